// A host that keeps corvel.dll in a plug-in folder of its own and loads it as development environments
// load their extensions: LoadLibraryW with the full path, no flags, no search-path changes, the working
// directory elsewhere. Built twice: with the shared C++ runtime, as a mingw-w64 C++ host is (its runtime
// DLLs loaded before corvel.dll), and linked statically, a process with no DLL of the runtime's names at
// all. Both call the C++ interface with a host object that throws through a C++ part of theirs
// (CxxExtension.cpp), which in the static host brings its runtime only after the library is loaded. Each
// then loads the library a second time with another plug-in's DLLs of those names (exporting nothing the
// library needs) loaded first.
//
// Usage: plugin_host PLUGIN\corvel.dll OTHER_PLUGIN_FOLDER CXX_PART\plugin_cxx_part.dll
// Prints one line per check and ends with the number of failures as its exit status.
#include <corvel/corvel_c.h>

#include "resource.h"

#include <windows.h>

#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

int g_failures = 0;

void Check(bool ok, const std::string& what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    std::fflush(stdout);
    if (!ok)
        ++g_failures;
}

// ---- The user ------------------------------------------------------------------------------------------

// What the user does, one step at a time: wait for a window of this thread with this caption and press a
// button in it.
struct Step {
    std::string caption;
    int button;
};
std::vector<Step> g_steps;
std::size_t g_nextStep = 0;
int g_ticks = 0;

BOOL CALLBACK FindCaption(HWND window, LPARAM found) {
    char caption[128] = {};
    ::GetWindowTextA(window, caption, sizeof caption);
    if (::IsWindowVisible(window) && g_steps[g_nextStep].caption == caption) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// A step not taken within a minute: the user gives up and closes whatever is open, so the call returns.
BOOL CALLBACK Close(HWND window, LPARAM) {
    ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

void CALLBACK Act(HWND, UINT, UINT_PTR, DWORD) {
    if (g_nextStep >= g_steps.size())
        return;
    if (++g_ticks > 2000) {
        ::EnumThreadWindows(::GetCurrentThreadId(), &Close, 0);
        return;
    }
    HWND window = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindCaption, reinterpret_cast<LPARAM>(&window));
    if (window)
        ::PostMessageA(::GetDlgItem(window, g_steps[g_nextStep++].button), BM_CLICK, 0, 0);
}

// Runs `call` while the user takes `steps`; true when every step was taken.
bool Play(std::vector<Step> steps, const std::function<void()>& call) {
    g_steps = std::move(steps);
    g_nextStep = 0;
    g_ticks = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 30, &Act);
    call();
    ::KillTimer(nullptr, timer);
    return g_nextStep == g_steps.size();
}

// The caption of the library's message boxes: its module's name.
const char* const kMessageBoxCaption = "corvel";

// ---- The library, bound by name ------------------------------------------------------------------------

template <typename Function> Function Bound(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}

// The names a module exports, read from its export directory.
std::set<std::string> ExportedNames(HMODULE module) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::set<std::string> names;
    if (!directory.VirtualAddress)
        return names;
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    const auto* nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.insert(reinterpret_cast<const char*>(base + nameRvas[i]));
    return names;
}

// The DLLs a module imports from, as its import directory names them.
std::vector<std::string> ImportedDlls(HMODULE module) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::vector<std::string> dlls;
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         directory.VirtualAddress && entry->Name; ++entry)
        dlls.push_back(reinterpret_cast<const char*>(base + entry->Name));
    return dlls;
}

const char* const kRuntimeDlls[] = {"libstdc++-6.dll", "libgcc_s_dw2-1.dll", "libgcc_s_seh-1.dll",
                                    "libwinpthread-1.dll"};

#ifdef _WIN64
#define CORVEL_SIZE_T "y" // size_t in a mangled name
#else
#define CORVEL_SIZE_T "j"
#endif
const char* const kCxxMultiFile =
    "_Z24CorvelDoMultiFileOptionsRSt3setINSt7__cxx1112basic_stringIcSt11char_"
    "traitsIcESaIcEEESt4lessIS5_ESaIS5_EERN13SourceControl11SCCProvider40CSCCAbstr"
    "actGetCommandOptionsFunctionoidERKS9_P6HWND__";

std::set<std::string> Expected15Exports() {
    std::set<std::string> names = {"corvel_multi_file_options", "corvel_check_in_options",
                                   "corvel_check_out_options",  "corvel_single_file_options",
                                   "corvel_diff_options",       "corvel_rename_options",
                                   "corvel_session_options",    "corvel_release"};
    names.insert(kCxxMultiFile);
    for (const char* name :
         {"_Z22CorvelDoCheckInOptionsRSt3setINSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEESt4lessIS5_"
          "ESaIS5_EERN13SourceControl11SCCProvider40CSCCAbstractGetCommandOptionsFunctionoidERiRS5_iRKS9_"
          "P6HWND__",
          "_Z23CorvelDoCheckOutOptionsRSt3setINSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEESt4lessIS5_"
          "ESaIS5_EERN13SourceControl11SCCProvider40CSCCAbstractGetCommandOptionsFunctionoidERS5_iRKS9_"
          "P6HWND__",
          "_Z25CorvelDoSingleFileOptionsRNSt7__cxx1112basic_stringIcSt11char_"
          "traitsIcESaIcEEERN13SourceControl11"
          "SCCProvider40CSCCAbstractGetCommandOptionsFunctionoidEP6HWND__",
          "_Z19CorvelDoDiffOptionsRiS_"
          "RN13SourceControl11SCCProvider40CSCCAbstractGetCommandOptionsFunctionoidERN"
          "St7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEEP6HWND__",
          "_Z21CorvelDoRenameOptionsRNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEES5_P6HWND__",
          "_Z22CorvelDoSessionOptionsRiS_S_S_"
          "RN13SourceControl11SCCProvider40CSCCAbstractGetCommandOptionsFunctio"
          "noidEP6HWND__"})
        names.insert(name);
    return names;
}

// ---- Every dialog through the C interface --------------------------------------------------------------

struct CDialogCase {
    const char* name;
    const char* caption;
    // Makes the call with fixed arguments and returns its result and outputs as one line.
    std::function<std::string(HMODULE)> call;
    std::string expected;
};

std::string Joined(char** strings, size_t count) {
    std::string line;
    for (size_t i = 0; i < count; ++i)
        line += std::string(i ? "|" : "") + strings[i];
    return line;
}

int AvailableAlways(void*) {
    return 1;
}
int ShownAlways(void*, corvel_hwnd) {
    return 1;
}
const corvel_host kHost = {nullptr, &AvailableAlways, &ShownAlways};
const char* const kFiles[] = {"C:\\src\\main.c",
                              "C:\\src\\\xCE\xA3\xCE\xB5\xCE\xBB\xCE\xAF\xCE\xB4\xCE\xB1.c"};
const char* const kOthers[] = {"C:\\src\\util.c"};

std::vector<CDialogCase> CDialogCases() {
    using Release = void(CORVEL_CALL*)(void*);
    auto release = [](HMODULE library, void* block) { Bound<Release>(library, "corvel_release")(block); };
    std::vector<CDialogCase> cases;
    cases.push_back({"multi-file", "Options",
                     [=](HMODULE library) {
                         char** checked = nullptr;
                         size_t count = 0;
                         const int result = Bound<decltype(&corvel_multi_file_options)>(
                             library, "corvel_multi_file_options")(kFiles, 2, kOthers, 1, &kHost, nullptr,
                                                                   &checked, &count);
                         const std::string line = std::to_string(result) + " " + Joined(checked, count);
                         release(library, checked);
                         return line;
                     },
                     std::string("1 ") + kFiles[0] + "|" + kFiles[1]});
    cases.push_back(
        {"check-in", "Options",
         [=](HMODULE library) {
             char** checked = nullptr;
             size_t count = 0;
             char* comment = nullptr;
             int keep = 1;
             const int result = Bound<decltype(&corvel_check_in_options)>(library, "corvel_check_in_options")(
                 kFiles, 2, kOthers, 1, &keep, "Fix", 80, &kHost, nullptr, &checked, &count, &comment);
             const std::string line = std::to_string(result) + " " + Joined(checked, count) +
                                      " keep=" + std::to_string(keep) + " " + (comment ? comment : "");
             release(library, checked);
             release(library, comment);
             return line;
         },
         std::string("1 ") + kFiles[0] + "|" + kFiles[1] + " keep=1 Fix"});
    cases.push_back({"check-out", "Check Out Options",
                     [=](HMODULE library) {
                         char** checked = nullptr;
                         size_t count = 0;
                         char* comment = nullptr;
                         const int result = Bound<decltype(&corvel_check_out_options)>(
                             library, "corvel_check_out_options")(kFiles, 1, nullptr, 0, "Why", 80, &kHost,
                                                                  nullptr, &checked, &count, &comment);
                         const std::string line = std::to_string(result) + " " + Joined(checked, count) +
                                                  " " + (comment ? comment : "");
                         release(library, checked);
                         release(library, comment);
                         return line;
                     },
                     std::string("1 ") + kFiles[0] + " Why"});
    cases.push_back({"single-file", "Options",
                     [=](HMODULE library) {
                         char* path = nullptr;
                         const int result = Bound<decltype(&corvel_single_file_options)>(
                             library, "corvel_single_file_options")(kFiles[1], &kHost, nullptr, &path);
                         const std::string line = std::to_string(result) + " " + (path ? path : "");
                         release(library, path);
                         return line;
                     },
                     std::string("1 ") + kFiles[1]});
    cases.push_back({"difference", "Difference Options",
                     [=](HMODULE library) {
                         char* path = nullptr;
                         int ignoreCase = 1, ignoreSpaces = 0;
                         const int result =
                             Bound<decltype(&corvel_diff_options)>(library, "corvel_diff_options")(
                                 kFiles[0], &ignoreCase, &ignoreSpaces, &kHost, nullptr, &path);
                         const std::string line = std::to_string(result) + " " + (path ? path : "") + " " +
                                                  std::to_string(ignoreCase) + std::to_string(ignoreSpaces);
                         release(library, path);
                         return line;
                     },
                     std::string("1 ") + kFiles[0] + " 10"});
    cases.push_back({"rename", "Rename Options",
                     [=](HMODULE library) {
                         char* existing = nullptr;
                         char* newName = nullptr;
                         const int result =
                             Bound<decltype(&corvel_rename_options)>(library, "corvel_rename_options")(
                                 kFiles[0], "C:\\src\\new.c", nullptr, &existing, &newName);
                         const std::string line = std::to_string(result) + " " + (existing ? existing : "") +
                                                  " -> " + (newName ? newName : "");
                         release(library, existing);
                         release(library, newName);
                         return line;
                     },
                     std::string("1 ") + kFiles[0] + " -> C:\\src\\new.c"});
    cases.push_back({"session", "Source Control Options",
                     [=](HMODULE library) {
                         int flags[4] = {1, 0, 1, 0};
                         const int result =
                             Bound<decltype(&corvel_session_options)>(library, "corvel_session_options")(
                                 &flags[0], &flags[1], &flags[2], &flags[3], &kHost, nullptr);
                         return std::to_string(result) + " " + std::to_string(flags[0]) +
                                std::to_string(flags[1]) + std::to_string(flags[2]) +
                                std::to_string(flags[3]);
                     },
                     "1 1010"});
    return cases;
}

void CheckEveryDialog(HMODULE library, const std::string& when) {
    for (const CDialogCase& dialog : CDialogCases()) {
        std::string line;
        const bool played = Play({{dialog.caption, IDOK}}, [&] { line = dialog.call(library); });
        Check(played && line == dialog.expected, when + ": the " + dialog.name + " dialog, OK: " + line);
    }
}

// ---- Loading -------------------------------------------------------------------------------------------

std::wstring Wide(const char* text) {
    std::wstring wide(MAX_PATH, L'\0');
    wide.resize(::MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], MAX_PATH) - 1);
    return wide;
}

std::string Folder(const std::string& path) {
    return path.substr(0, path.find_last_of("\\/"));
}

bool Loaded(HMODULE module) {
    HMODULE found = nullptr;
    return ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                    GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                reinterpret_cast<LPCSTR>(module), &found) != FALSE;
}

void UnloadPlugin(HMODULE library, const std::string& when) {
    ::FreeLibrary(library);
    Check(!Loaded(library), when + ": FreeLibrary unloads corvel.dll");
}

HMODULE LoadPlugin(const std::string& path, const std::string& when) {
    HMODULE library = ::LoadLibraryW(Wide(path.c_str()).c_str());
    Check(library != nullptr, when + ": LoadLibraryW(full path) loads corvel.dll (error " +
                                  std::to_string(library ? 0 : ::GetLastError()) + ")");
    return library;
}

void CheckLoadedAlone(HMODULE library, const std::string& when) {
    Check(ExportedNames(library) == Expected15Exports(), when + ": exactly the 15 exports");
    bool importsRuntime = false;
    for (const std::string& dll : ImportedDlls(library))
        for (const char* runtime : kRuntimeDlls)
            importsRuntime |= ::lstrcmpiA(dll.c_str(), runtime) == 0;
    Check(!importsRuntime, when + ": imports no runtime DLL");
}

// ---- The C++ interface with a host object that throws ----------------------------------------------------

// Through the host's C++ part (CxxExtension.cpp): Advanced, where the provider throws, the dialog tells the
// user in a message box and stays; then OK.
void CheckCxxHostObjectThatThrows(HMODULE library, const std::string& extensionPath,
                                  const std::string& when) {
    HMODULE extension =
        ::LoadLibraryExW(Wide(extensionPath.c_str()).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    using Call = int (*)(HMODULE, int*);
    const Call call = extension ? Bound<Call>(extension, "CallMultiFileWithThrowingProvider") : nullptr;
    Check(call != nullptr, when + ": the host's C++ part is loaded");
    if (!call)
        return;
    int result = -1, kept = 0;
    const bool played = Play({{"Options", IDC_ADVANCED}, {kMessageBoxCaption, IDOK}, {"Options", IDOK}},
                             [&] { result = call(library, &kept); });
    Check(played && result == 1 && kept,
          when + ": the C++ host object threw from Advanced; the dialog warned, stayed and gave OK's result");
    ::FreeLibrary(extension);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(
            stderr,
            "usage: plugin_host PLUGIN\\corvel.dll OTHER_PLUGIN_FOLDER CXX_PART\\plugin_cxx_part.dll\n");
        return 2;
    }
    ::SetErrorMode(SEM_FAILCRITICALERRORS); // a missing import fails the load instead of asking the user
    const std::string plugin = argv[1], other = argv[2], cxxPart = argv[3];
    char directory[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, directory);
    Check(::lstrcmpiA(directory, Folder(plugin).c_str()) != 0, "the working directory is not the plug-in's");
    bool runtimeLoaded = false;
    for (const char* runtime : kRuntimeDlls)
        runtimeLoaded |= ::GetModuleHandleA(runtime) != nullptr;
#ifdef CORVEL_HOST_STATIC
    Check(!runtimeLoaded, "this host has no DLL of the runtime's names loaded");
    const std::string host = "static host";
#else
    Check(runtimeLoaded, "this C++ host has its own runtime DLLs loaded");
    const std::string host = "C++ host";
#endif

    // Once as the host's only plug-in. The static host loads its C++ part only now, after the library,
    // with the C++ runtime that comes with it.
    if (HMODULE library = LoadPlugin(plugin, host)) {
        CheckLoadedAlone(library, host);
        CheckEveryDialog(library, host);
        CheckCxxHostObjectThatThrows(library, cxxPart, host);
        UnloadPlugin(library, host);
    }

    // Once more after another plug-in brought DLLs of the runtime's names that export nothing useful.
    const std::string when = host + ", another plug-in's runtime DLLs loaded first";
    std::vector<HMODULE> others;
    for (const char* runtime :
         {"libstdc++-6.dll", "libgcc_s_dw2-1.dll", "libgcc_s_seh-1.dll", "libwinpthread-1.dll"}) {
        HMODULE module = ::LoadLibraryW(Wide((other + "\\" + runtime).c_str()).c_str());
        Check(module != nullptr, when + ": the other plug-in's " + runtime + " is loaded (error " +
                                     std::to_string(module ? 0 : ::GetLastError()) + ")");
        if (module)
            others.push_back(module);
    }
    if (HMODULE library = LoadPlugin(plugin, when)) {
        CheckLoadedAlone(library, when);
        CheckEveryDialog(library, when);
#ifndef CORVEL_HOST_STATIC
        // (In the static host the C++ part would bind to those DLLs itself: the trap the library avoids.)
        CheckCxxHostObjectThatThrows(library, cxxPart, when);
#endif
        UnloadPlugin(library, when);
    }
    // The other plug-in's modules are as it left them: loaded once each, so one FreeLibrary unloads them.
    for (HMODULE module : others) {
        char name[MAX_PATH] = {};
        ::GetModuleFileNameA(module, name, MAX_PATH);
        ::FreeLibrary(module);
        Check(!Loaded(module), when + ": " + name + " kept no reference from corvel.dll");
    }
    std::printf("%d failure(s)\n", g_failures);
    return g_failures;
}
