// A C++ part of a host, in a DLL of its own with its own mingw-w64 runtime beside it: it calls corvel.dll's
// C++ interface with a host object whose ShowAdvancedOptions throws. Loaded by plugin_host, also after
// corvel.dll, so that the library meets this runtime only when the call comes.
#include <corvel/corvel.h>

#include <set>
#include <stdexcept>
#include <string>

namespace {

class ThrowingProvider : public SourceControl::SCCProvider::CSCCAbstractGetCommandOptionsFunctionoid {
public:
    void operator()() override {}
    bool ShowAdvancedOptions(HWND) override { throw std::runtime_error("the provider is gone"); }
    bool AreAdvancedOptionsAvailable() override { return true; }
};

const char* const kMultiFile =
    "_Z24CorvelDoMultiFileOptionsRSt3setINSt7__cxx1112basic_stringIcSt11char_traitsI"
    "cESaIcEEESt4lessIS5_ESaIS5_EERN13SourceControl11SCCProvider40CSCCAbstractGetCo"
    "mmandOptionsFunctionoidERKS9_P6HWND__";

} // namespace

// The multi-file dialog through the C++ interface: its result, and in *kept whether the files came back as
// they went in (the user presses OK without changing a row), or -1 when the library lacks the export.
extern "C" __declspec(dllexport) int CallMultiFileWithThrowingProvider(HMODULE corvel, int* kept) {
    using MultiFile = decltype(&CorvelDoMultiFileOptions);
    const auto multiFile =
        reinterpret_cast<MultiFile>(reinterpret_cast<void*>(::GetProcAddress(corvel, kMultiFile)));
    if (!multiFile)
        return -1;
    const std::set<std::string> given = {"C:\\src\\a.c", "C:\\src\\b.c"};
    std::set<std::string> files = given;
    ThrowingProvider provider;
    const int result = multiFile(files, provider, {"C:\\src\\c.c"}, nullptr);
    *kept = files == given;
    return result;
}
