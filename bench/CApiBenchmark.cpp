// The C interface's cost: a call through corvel_multi_file_options against the same call through the C++
// export, and 100,000 UTF-8 paths in several scripts through the dialog and back. Each dialog is
// accepted the moment it is activated. Prints its figures; scripts/bench runs it.
#include <corvel/corvel.h>
#include <corvel/corvel_c.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

class NoOptions : public SourceControl::SCCProvider::CSCCAbstractGetCommandOptionsFunctionoid {
public:
    void operator()() override {}
    bool ShowAdvancedOptions(HWND) override { return true; }
    bool AreAdvancedOptionsAvailable() override { return false; }
};

// Presses OK in every dialog as it becomes active.
LRESULT CALLBACK AcceptOnActivation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE)
        ::PostMessageA(reinterpret_cast<HWND>(wParam), WM_COMMAND, IDOK, 0);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

double Seconds(const std::function<void()>& call) {
    const auto start = std::chrono::steady_clock::now();
    call();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Paths of 60 to 120 bytes; in UTF-8 with folder names in six scripts, or in ASCII.
std::vector<std::string> MakePaths(size_t count, bool unicode) {
    static const char* const kScripts[] = {u8"έργα",   u8"проект", u8"設定ファイル",
                                           u8"源代码", u8"café",   u8"\U0001F600"};
    static const char* const kAscii[] = {"erga", "proekt", "settei", "yuandaima", "cafe", "smile"};
    std::vector<std::string> paths;
    paths.reserve(count);
    unsigned seed = 12345;
    for (size_t i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        const char* const* words = unicode ? kScripts : kAscii;
        std::string path = "C:\\work\\";
        path += words[seed % 6];
        path += "\\module";
        path += std::to_string((seed >> 8) % 97);
        path += "\\";
        path += words[(seed >> 4) % 6];
        path += "_source_file_";
        path += std::to_string(i);
        path += std::string((seed >> 12) % 40, 'x');
        path += ".cpp";
        paths.push_back(path);
    }
    return paths;
}

int CallC(const std::vector<const char*>& files, std::vector<std::string>* returned) {
    char** checked = nullptr;
    size_t count = 0;
    const int result =
        corvel_multi_file_options(files.data(), files.size(), nullptr, 0, nullptr, nullptr, &checked, &count);
    if (result == CORVEL_OK) {
        if (returned)
            returned->assign(checked, checked + count);
        corvel_release(checked);
    }
    return result;
}

} // namespace

int main() {
    HHOOK hook = ::SetWindowsHookExA(WH_CBT, &AcceptOnActivation, nullptr, ::GetCurrentThreadId());
    NoOptions options;

    // A call's overhead: ten paths, the dialog accepted at once, C++ and C calls interleaved.
    {
        const std::vector<std::string> paths = MakePaths(10, false);
        std::vector<const char*> pointers;
        for (const std::string& path : paths)
            pointers.push_back(path.c_str());
        std::vector<double> cpp, c;
        for (int round = 0; round < 25; ++round) {
            cpp.push_back(Seconds([&] {
                std::set<std::string> files(paths.begin(), paths.end());
                CorvelDoMultiFileOptions(files, options, std::set<std::string>(), nullptr);
            }));
            c.push_back(Seconds([&] { CallC(pointers, nullptr); }));
        }
        std::vector<double> checking;
        for (int round = 0; round < 1000; ++round)
            checking.push_back(Seconds([&] {
                char** checked = nullptr;
                corvel_multi_file_options(pointers.data(), pointers.size(), nullptr, 0, nullptr, nullptr,
                                          &checked,
                                          nullptr); // refused after every argument was checked
            }));
        std::printf("multi-file dialog, 10 ASCII paths, accepted at once; median of 25 calls\n");
        std::printf("  C++ export %8.2f ms\n  C export   %8.2f ms   (difference %+.2f ms)\n",
                    Median(cpp) * 1e3, Median(c) * 1e3, (Median(c) - Median(cpp)) * 1e3);
        std::printf("  argument checks of the C export alone: %.1f us\n", Median(checking) * 1e6);
    }

    // 100,000 paths: UTF-8 in six scripts through the C export, ASCII through the C++ one.
    {
        const size_t count = 100000;
        const std::vector<std::string> unicode = MakePaths(count, true), ascii = MakePaths(count, false);
        std::vector<const char*> pointers;
        size_t bytes = 0, asciiBytes = 0;
        for (const std::string& path : unicode) {
            pointers.push_back(path.c_str());
            bytes += path.size();
        }
        for (const std::string& path : ascii)
            asciiBytes += path.size();
        std::vector<double> cpp, c, checking;
        bool sameBytes = true;
        for (int round = 0; round < 3; ++round) {
            std::set<std::string> files(ascii.begin(), ascii.end());
            cpp.push_back(
                Seconds([&] { CorvelDoMultiFileOptions(files, options, std::set<std::string>(), nullptr); }));
            std::vector<std::string> returned;
            c.push_back(Seconds([&] { CallC(pointers, &returned); }));
            const std::set<std::string> expected(unicode.begin(), unicode.end());
            sameBytes = sameBytes && returned == std::vector<std::string>(expected.begin(), expected.end());
            checking.push_back(Seconds([&] {
                char** checked = nullptr;
                corvel_multi_file_options(pointers.data(), pointers.size(), nullptr, 0, nullptr, nullptr,
                                          &checked, nullptr);
            }));
        }
        std::printf("multi-file dialog, 100,000 paths, accepted at once (call to return); median of 3\n");
        std::printf("  C++ export, ASCII paths (%.1f MB)          %7.3f s\n", asciiBytes / 1e6, Median(cpp));
        std::printf("  C export, UTF-8 paths in six scripts (%.1f MB) %7.3f s, returned byte for byte: %s\n",
                    bytes / 1e6, Median(c), sameBytes ? "yes" : "NO");
        std::printf("  of which the UTF-8 checks of the arguments  %7.3f s\n", Median(checking));
    }
    ::UnhookWindowsHookEx(hook);
    return 0;
}
