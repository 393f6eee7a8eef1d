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
#include <string>
#include <vector>

namespace {

int g_failures = 0;

void Check(bool ok, const std::string& what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    std::fflush(stdout);
    g_failures += ok ? 0 : 1;
}

// ---- The user: waits for a window of this thread with a caption and presses a button in it ------------

struct Step {
    std::string caption;
    int button;
};
std::vector<Step> g_steps;
std::size_t g_nextStep = 0;
int g_ticks = 0;

BOOL CALLBACK ActIn(HWND window, LPARAM giveUp) {
    char caption[128] = {};
    ::GetWindowTextA(window, caption, sizeof caption);
    if (giveUp) // a step not taken within a minute: close everything, so the call returns
        ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    else if (::IsWindowVisible(window) && g_steps[g_nextStep].caption == caption)
        return !::PostMessageA(::GetDlgItem(window, g_steps[g_nextStep++].button), BM_CLICK, 0, 0);
    return TRUE;
}

void CALLBACK Act(HWND, UINT, UINT_PTR, DWORD) {
    if (g_nextStep < g_steps.size())
        ::EnumThreadWindows(::GetCurrentThreadId(), &ActIn, ++g_ticks > 2000);
}

// Runs `call` while the user takes `steps`; true when every step was taken.
bool Play(std::vector<Step> steps, const std::function<void()>& call) {
    g_steps = std::move(steps);
    g_nextStep = g_ticks = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 30, &Act);
    call();
    ::KillTimer(nullptr, timer);
    return g_nextStep == g_steps.size();
}

// ---- The library, bound by name ------------------------------------------------------------------------

template <typename Function> Function Bound(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

std::wstring Wide(const std::string& text) {
    std::wstring wide(MAX_PATH, L'\0');
    wide.resize(::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], MAX_PATH) - 1);
    return wide;
}

const char* const kRuntimeDlls[] = {"libstdc++-6.dll", "libgcc_s_dw2-1.dll", "libgcc_s_seh-1.dll",
                                    "libwinpthread-1.dll"};

bool Loaded(HMODULE module) {
    HMODULE found = nullptr;
    return ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                    GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                reinterpret_cast<LPCSTR>(module), &found) != FALSE;
}

// ---- Every dialog through the C interface, OK pressed --------------------------------------------------

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

// A call's outputs as one line; what the library handed out is given back.
struct Outputs {
    HMODULE library;
    char** files = nullptr;
    size_t count = 0;
    char* texts[2] = {};
    int flags[4] = {1, 0, 1, 0};
    std::string Line(int result) {
        std::string line = std::to_string(result);
        for (size_t i = 0; i < count; ++i)
            line += std::string(" ") + files[i];
        for (char* text : texts)
            line += std::string(" ") + (text ? text : "-");
        for (int flag : flags)
            line += std::to_string(flag);
        for (void* block :
             {static_cast<void*>(files), static_cast<void*>(texts[0]), static_cast<void*>(texts[1])})
            Bound<void(CORVEL_CALL*)(void*)>(library, "corvel_release")(block);
        return line;
    }
};

struct Dialog {
    const char* caption;
    const char* function;
    std::function<int(void*, Outputs&)> call; // the function, as void*, and where its outputs go
    std::string expected;
};

const std::string kBoth = std::string(kFiles[0]) + " " + kFiles[1];
const std::vector<Dialog> kDialogs = {
    {"Options", "corvel_multi_file_options",
     [](void* f, Outputs& o) {
         return reinterpret_cast<decltype(&corvel_multi_file_options)>(f)(kFiles, 2, kOthers, 1, &kHost,
                                                                          nullptr, &o.files, &o.count);
     },
     "1 " + kBoth + " - -1010"},
    {"Options", "corvel_check_in_options",
     [](void* f, Outputs& o) {
         return reinterpret_cast<decltype(&corvel_check_in_options)>(f)(
             kFiles, 2, kOthers, 1, &o.flags[1], "Fix", 80, &kHost, nullptr, &o.files, &o.count, &o.texts[0]);
     },
     "1 " + kBoth + " Fix -1010"},
    {"Check Out Options", "corvel_check_out_options",
     [](void* f, Outputs& o) {
         return reinterpret_cast<decltype(&corvel_check_out_options)>(f)(
             kFiles, 1, nullptr, 0, "Why", 80, &kHost, nullptr, &o.files, &o.count, &o.texts[0]);
     },
     "1 " + std::string(kFiles[0]) + " Why -1010"},
    {"Options", "corvel_single_file_options",
     [](void* f, Outputs& o) {
         return reinterpret_cast<decltype(&corvel_single_file_options)>(f)(kFiles[1], &kHost, nullptr,
                                                                           &o.texts[0]);
     },
     "1 " + std::string(kFiles[1]) + " -1010"},
    {"Difference Options", "corvel_diff_options",
     [](void* f, Outputs& o) {
         return reinterpret_cast<decltype(&corvel_diff_options)>(f)(kFiles[0], &o.flags[0], &o.flags[1],
                                                                    &kHost, nullptr, &o.texts[0]);
     },
     "1 " + std::string(kFiles[0]) + " -1010"},
    {"Rename Options", "corvel_rename_options",
     [](void* f, Outputs& o) {
         return reinterpret_cast<decltype(&corvel_rename_options)>(f)(kFiles[0], "C:\\src\\new.c", nullptr,
                                                                      &o.texts[0], &o.texts[1]);
     },
     "1 " + std::string(kFiles[0]) + " C:\\src\\new.c1010"},
    {"Source Control Options", "corvel_session_options",
     [](void* f, Outputs& o) {
         return reinterpret_cast<decltype(&corvel_session_options)>(f)(&o.flags[0], &o.flags[1], &o.flags[2],
                                                                       &o.flags[3], &kHost, nullptr);
     },
     "1 - -1010"},
};

// ---- A load of the library, and what is checked with it -------------------------------------------------

void CheckLibrary(const std::string& plugin, const std::string& cxxPart, bool withCxxPart,
                  const std::string& when) {
    HMODULE library = ::LoadLibraryW(Wide(plugin).c_str());
    Check(library != nullptr, when + ": LoadLibraryW(full path) loads corvel.dll (error " +
                                  std::to_string(library ? 0 : ::GetLastError()) + ")");
    if (!library)
        return;
    for (const Dialog& dialog : kDialogs) {
        Outputs outputs{library};
        std::string line;
        const bool played = Play({{dialog.caption, IDOK}}, [&] {
            line = outputs.Line(
                dialog.call(reinterpret_cast<void*>(::GetProcAddress(library, dialog.function)), outputs));
        });
        Check(played && line == dialog.expected, when + ": " + dialog.function + ", OK: " + line);
    }
    // Through the host's C++ part: Advanced, where the provider throws; the dialog tells the user in a
    // message box (captioned with the library's name) and stays; then OK.
    if (withCxxPart) {
        HMODULE part = ::LoadLibraryExW(Wide(cxxPart).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        const auto call =
            part ? Bound<int (*)(HMODULE, int*)>(part, "CallMultiFileWithThrowingProvider") : nullptr;
        int result = -1, kept = 0;
        const bool played = call && Play({{"Options", IDC_ADVANCED}, {"corvel", IDOK}, {"Options", IDOK}},
                                         [&] { result = call(library, &kept); });
        Check(
            played && result == 1 && kept,
            when +
                ": the C++ host object threw from Advanced; the dialog warned, stayed and gave OK's result");
        if (part)
            ::FreeLibrary(part);
    }
    ::FreeLibrary(library);
    Check(!Loaded(library), when + ": FreeLibrary unloads corvel.dll");
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
    Check(plugin.rfind(std::string(directory) + "\\", 0) != 0, "the working directory is not the plug-in's");
    bool runtimeLoaded = false;
    for (const char* runtime : kRuntimeDlls)
        runtimeLoaded |= ::GetModuleHandleA(runtime) != nullptr;
#ifdef CORVEL_HOST_STATIC
    const bool cxxHost = false;
#else
    const bool cxxHost = true;
#endif
    const std::string host = cxxHost ? "C++ host" : "static host";
    Check(runtimeLoaded == cxxHost, host + (cxxHost ? ": has" : ": has no") + " runtime DLLs loaded");

    // As the host's only plug-in; the static host's C++ part comes only after the library, with its runtime.
    CheckLibrary(plugin, cxxPart, true, host);

    // After another plug-in brought DLLs of the runtime's names that export nothing useful. (In the static
    // host the C++ part would bind to those itself: the trap the library avoids.)
    const std::string when = host + ", another plug-in's runtime DLLs loaded first";
    std::vector<HMODULE> others;
    for (const char* runtime : kRuntimeDlls) {
        others.push_back(::LoadLibraryW(Wide(other + "\\" + runtime).c_str()));
        Check(others.back() != nullptr, when + ": the other plug-in's " + runtime + " is loaded");
    }
    CheckLibrary(plugin, cxxPart, cxxHost, when);
    // The other plug-in's modules are as it left them: loaded once each, so one FreeLibrary unloads them.
    for (HMODULE module : others) {
        ::FreeLibrary(module);
        Check(!Loaded(module), when + ": its DLL at " + std::to_string(reinterpret_cast<uintptr_t>(module)) +
                                   " kept no reference from corvel.dll");
    }
    std::printf("%d failure(s)\n", g_failures);
    return g_failures;
}
