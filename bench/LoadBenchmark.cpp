// From LoadLibraryW to the first dialog on screen, in a process that has loaded nothing of the library's
// before (a cold start of the host's plug-in): the time to load corvel.dll, and the time until the
// multi-file dialog, opened through the C interface right after, is activated. The dialog is cancelled at
// once. One measurement a process; scripts/bench runs it several times for each DLL and prints the medians.
//
// Usage: load_benchmark PATH\corvel.dll [--altered-search-path]
// The flag loads with LOAD_WITH_ALTERED_SEARCH_PATH, which a DLL that needs runtime DLLs beside it asks of
// a host that keeps it in a folder of its own.
#include <corvel/corvel_c.h>

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

LARGE_INTEGER g_start, g_shown;

double MillisecondsSince(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LRESULT CALLBACK CancelOnActivation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && g_shown.QuadPart == 0) {
        ::QueryPerformanceCounter(&g_shown);
        ::PostMessageA(reinterpret_cast<HWND>(wParam), WM_COMMAND, IDCANCEL, 0);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: load_benchmark PATH\\corvel.dll [--altered-search-path]\n");
        return 2;
    }
    wchar_t path[MAX_PATH];
    ::MultiByteToWideChar(CP_ACP, 0, argv[1], -1, path, MAX_PATH);
    const DWORD flags = argc > 2 && std::strcmp(argv[2], "--altered-search-path") == 0
                            ? LOAD_WITH_ALTERED_SEARCH_PATH
                            : 0;
    HHOOK hook = ::SetWindowsHookExA(WH_CBT, &CancelOnActivation, nullptr, ::GetCurrentThreadId());

    ::QueryPerformanceCounter(&g_start);
    HMODULE library = ::LoadLibraryExW(path, nullptr, flags);
    LARGE_INTEGER loaded;
    ::QueryPerformanceCounter(&loaded);
    if (!library) {
        std::printf("not loaded (error %lu)\n", ::GetLastError());
        return 1;
    }
    using MultiFile = decltype(&corvel_multi_file_options);
    const auto multiFile =
        reinterpret_cast<MultiFile>(reinterpret_cast<void*>(::GetProcAddress(library, "corvel_multi_file_options")));
    const char* const files[] = {"C:\\src\\main.c", "C:\\src\\util.c"};
    const char* const others[] = {"C:\\src\\readme.md"};
    char** checked = nullptr;
    size_t count = 0;
    const int result = multiFile(files, 2, others, 1, nullptr, nullptr, &checked, &count);
    if (hook)
        ::UnhookWindowsHookEx(hook);
    if (result != CORVEL_CANCEL || g_shown.QuadPart == 0) {
        std::printf("the dialog was not shown (result %d)\n", result);
        return 1;
    }
    std::printf("load %.1f ms, dialog shown %.1f ms\n", MillisecondsSince(g_start, loaded),
                MillisecondsSince(g_start, g_shown));
    return 0;
}
