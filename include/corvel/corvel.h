// corvel.h - the interface a host compiles against.
//
// corvel.dll shows the option dialogs of the host's source-control commands. Each export shows one
// modal dialog over `parent`, filled from the arguments; when the user presses OK it writes the choices
// back into the arguments and returns 1, otherwise it returns 0 and leaves files, paths and comments
// alone. Flags (`int&`) are written back after every call as 0 or 1.
//
// This is a C++ interface with standard-library types, so the host must be built as the DLL is:
// - compiler: mingw-w64 GCC of the host's architecture with the posix thread model, C++17 or later:
//   i686-w64-mingw32-g++-posix for 32-bit x86 (DWARF-2 exceptions), x86_64-w64-mingw32-g++-posix for x64
//   (SEH exceptions); each links the corvel.dll of its own architecture;
// - runtime: the compiler's shared C++ runtime (libstdc++-6.dll, its default) and shared GCC runtime (link
//   with -shared-libgcc), shipped beside the host's executable as for any mingw-w64 C++ program, so that
//   std::set/std::string and exceptions cross between host and DLL.
// corvel.dll carries its own copy of that runtime and imports none of those DLLs: it is the only file of
// the library a host ships, and it may lie in a folder of its own (loaded by its full path).
// Exceptions other than those of the host object (for example std::bad_alloc) pass through to the host.
#ifndef CORVEL_CORVEL_H
#define CORVEL_CORVEL_H

#include <windows.h>

#include <set>
#include <string>

#if defined(CORVEL_BUILDING_DLL)
#define CORVEL_API __declspec(dllexport)
#elif defined(CORVEL_STATIC)
#define CORVEL_API
#else
#define CORVEL_API __declspec(dllimport)
#endif

namespace SourceControl {
namespace SCCProvider {

// Implemented by the host, already bound to the provider, the command and its files. The library only
// borrows it for one call and never copies or deletes it.
class CSCCAbstractGetCommandOptionsFunctionoid {
public:
    // Runs the bound command's own option retrieval. The library never calls it.
    virtual void operator()() = 0;
    // Shows the provider's advanced options, owned by `owner`. The result is ignored by the library.
    virtual bool ShowAdvancedOptions(HWND owner) = 0;
    // True when advanced options can be shown now. Asked once when a dialog opens.
    virtual bool AreAdvancedOptionsAvailable() = 0;

protected:
    // Not deleted through this interface: the host owns the object.
    ~CSCCAbstractGetCommandOptionsFunctionoid() = default;
};

} // namespace SCCProvider
} // namespace SourceControl

// A command on several files: `files` checked, `otherFiles` not in `files` unchecked. On OK `files`
// becomes exactly the checked rows.
CORVEL_API int CorvelDoMultiFileOptions(
    std::set<std::string>& files,
    SourceControl::SCCProvider::CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
    const std::set<std::string>& otherFiles, HWND parent);

// Check in: the file list, "Keep checked out" and a comment limited to `maxCommentLength` characters
// (0 or less: the comment box is disabled).
CORVEL_API int
CorvelDoCheckInOptions(std::set<std::string>& files,
                       SourceControl::SCCProvider::CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                       int& keepCheckedOut, std::string& comment, int maxCommentLength,
                       const std::set<std::string>& otherFiles, HWND parent);

// Check out: the file list and a comment, limited as for check-in.
CORVEL_API int
CorvelDoCheckOutOptions(std::set<std::string>& files,
                        SourceControl::SCCProvider::CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                        std::string& comment, int maxCommentLength, const std::set<std::string>& otherFiles,
                        HWND parent);

// A command on one file: the path, with Browse.
CORVEL_API int CorvelDoSingleFileOptions(
    std::string& path, SourceControl::SCCProvider::CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
    HWND parent);

// Show differences: ignore case, ignore spaces and the path, with Browse.
CORVEL_API int
CorvelDoDiffOptions(int& ignoreCase, int& ignoreSpaces,
                    SourceControl::SCCProvider::CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                    std::string& path, HWND parent);

// Rename: note the order, the new name (lower box) comes before the existing file (upper box).
CORVEL_API int CorvelDoRenameOptions(std::string& newName, std::string& existingFile, HWND parent);

// The session-wide preferences. The top check box belongs to the fourth parameter.
CORVEL_API int CorvelDoSessionOptions(
    int& ignoreCase, int& ignoreSpaces, int& keepCheckedOutAfterAdd, int& keepCheckedOutAfterCheckIn,
    SourceControl::SCCProvider::CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, HWND parent);

#endif // CORVEL_CORVEL_H
