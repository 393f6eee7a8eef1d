// The gallery: every dialog opened with sample data, photographed and closed with OK.
#include "DemoCommands.h"
#include "Json.h"

#include <corvel/corvel_c.h>

#include "stb_image_write.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Capture {
    std::string pngPath;
    SIZE grow = {0, 0}; // how much larger than it opens the dialog is photographed, as a user would drag it
    HWND dialog = nullptr;
    int ticksSeen = 0;
    bool saved = false;
};

thread_local Capture* t_capture = nullptr;

BOOL CALLBACK FindEnabledDialog(HWND hwnd, LPARAM context) {
    char name[16] = {};
    ::GetClassNameA(hwnd, name, sizeof name);
    if (::IsWindowVisible(hwnd) && ::IsWindowEnabled(hwnd) && std::string(name) == "#32770") {
        *reinterpret_cast<HWND*>(context) = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND ActiveDialogOfThisThread() {
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindEnabledDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The window's pixels, caption and frame included, as 8-bit RGB rows.
bool SaveWindowAsPng(HWND window, const std::string& path) {
    RECT rect;
    ::GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC windowDC = ::GetWindowDC(window);
    // A mirrored (right-to-left) window's DC would copy its pixels mirrored once more.
    ::SetLayout(windowDC, 0);
    HDC memoryDC = ::CreateCompatibleDC(windowDC);
    HBITMAP bitmap = ::CreateCompatibleBitmap(windowDC, width, height);
    HGDIOBJ old = ::SelectObject(memoryDC, bitmap);
    ::BitBlt(memoryDC, 0, 0, width, height, windowDC, 0, 0, SRCCOPY);
    ::SelectObject(memoryDC, old);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<unsigned char> bgra(static_cast<size_t>(width) * height * 4);
    const int rows =
        ::GetDIBits(memoryDC, bitmap, 0, static_cast<UINT>(height), bgra.data(), &info, DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memoryDC);
    ::ReleaseDC(window, windowDC);
    if (rows != height)
        return false;

    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    for (size_t pixel = 0; pixel < static_cast<size_t>(width) * height; ++pixel) {
        rgb[pixel * 3 + 0] = bgra[pixel * 4 + 2];
        rgb[pixel * 3 + 1] = bgra[pixel * 4 + 1];
        rgb[pixel * 3 + 2] = bgra[pixel * 4 + 0];
    }
    return stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3) != 0;
}

// On each tick: once the dialog has been shown and painted for a few ticks, photograph it and press OK.
void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
    Capture* capture = t_capture;
    if (!capture || capture->saved)
        return;
    HWND dialog = ActiveDialogOfThisThread();
    if (!dialog)
        return;
    if (dialog != capture->dialog) {
        capture->dialog = dialog;
        capture->ticksSeen = 0;
        if (capture->grow.cx || capture->grow.cy) {
            RECT rect;
            ::GetWindowRect(dialog, &rect);
            ::SetWindowPos(dialog, nullptr, 0, 0, rect.right - rect.left + capture->grow.cx,
                           rect.bottom - rect.top + capture->grow.cy, SWP_NOMOVE | SWP_NOZORDER);
        }
        ::RedrawWindow(dialog, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        return;
    }
    if (++capture->ticksSeen < 3)
        return;
    if (!SaveWindowAsPng(dialog, capture->pngPath))
        std::fprintf(stderr, "corvel-demo: could not write %s\n", capture->pngPath.c_str());
    capture->saved = true;
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

struct Sample {
    const char* name;
    const char* command;
    DemoArguments arguments;
    SIZE grow = {0, 0};
};

std::vector<Sample> Samples() {
    const std::set<std::string> changed = {"C:\\Work\\Atlas\\src\\MainWindow.cpp",
                                           "C:\\Work\\Atlas\\src\\MainWindow.h",
                                           "C:\\Work\\Atlas\\src\\Printing\\PageSetup.cpp"};
    const std::set<std::string> candidates = {"C:\\Work\\Atlas\\docs\\CHANGES.txt",
                                              "C:\\Work\\Atlas\\src\\Resources\\atlas.rc"};
    std::vector<Sample> samples(7);
    samples[0] = {"1-multi-file", "multi", {}};
    samples[0].arguments.files = changed;
    samples[0].arguments.otherFiles = candidates;
    samples[1] = {"2-check-in", "checkin", samples[0].arguments};
    samples[1].arguments.keepCheckedOut = 1;
    samples[1].arguments.comment = "Fix the page margins when printing in landscape";
    samples[1].arguments.limit = 200;
    samples[2] = {"3-check-out", "checkout", samples[0].arguments};
    samples[2].arguments.comment = "Start on print preview";
    samples[3] = {"4-single-file", "single", {}};
    samples[3].arguments.path = "C:\\Work\\Atlas\\src\\MainWindow.cpp";
    samples[4] = {"5-difference", "diff", {}};
    samples[4].arguments.path = "C:\\Work\\Atlas\\src\\Printing\\PageSetup.cpp";
    samples[4].arguments.ignoreCase = 1;
    samples[5] = {"6-rename", "rename", {}};
    samples[5].arguments.existingFile = "C:\\Work\\Atlas\\src\\Printing\\PageSetup.cpp";
    samples[5].arguments.newName = "PageLayout.cpp";
    samples[6] = {"7-session", "session", {}};
    samples[6].arguments.ignoreSpaces = 1;
    samples[6].arguments.keepAfterCheckIn = 1;
    // The check-in dialog again, enlarged by its user for a longer change list.
    Sample resized = {"10-check-in-resized", "checkin", samples[1].arguments, {0, 0}};
    for (const char* file : {"C:\\Work\\Atlas\\src\\Printing\\PrintPreviewWindow.cpp",
                             "C:\\Work\\Atlas\\src\\Printing\\PrintPreviewWindow.h",
                             "C:\\Work\\Atlas\\src\\Printing\\Margins\\LandscapeMarginCalculator.cpp",
                             "C:\\Work\\Atlas\\tests\\Printing\\LandscapeMarginCalculatorTests.cpp"})
        resized.arguments.otherFiles.insert(file);
    const int dpi = [] {
        HDC screen = ::GetDC(nullptr);
        const int value = ::GetDeviceCaps(screen, LOGPIXELSX);
        ::ReleaseDC(nullptr, screen);
        return value;
    }();
    resized.grow = {::MulDiv(260, dpi, 96), ::MulDiv(120, dpi, 96)};
    samples.push_back(resized);
    return samples;
}

// The multi-file dialog through the C interface, and its result as JSON.
std::string MultiFileThroughC(const char* const* files, size_t fileCount, const char* const* others,
                              size_t otherCount) {
    char** checked = nullptr;
    size_t count = 0;
    const int result =
        corvel_multi_file_options(files, fileCount, others, otherCount, nullptr, nullptr, &checked, &count);
    std::string json = "{\"command\": \"corvel_multi_file_options\", \"result\": " + std::to_string(result);
    if (result == CORVEL_OK) {
        json += ", \"checked_files\": [";
        for (size_t i = 0; i < count; ++i)
            json += (i ? ", " : "") + JsonUtf8String(checked[i]);
        json += "]";
        corvel_release(checked);
    }
    return json + "}";
}

// The multi-file dialog once more, opened through the C interface with paths in several scripts.
std::string RunUnicodeSample() {
    const char* const files[] = {u8"C:\\Work\\Atlas\\src\\Έγγραφα\\Σελίδα.cpp",
                                 u8"C:\\Work\\Atlas\\src\\Печать\\Страница.h",
                                 u8"C:\\Work\\Atlas\\src\\印刷\\ページ設定.cpp"};
    const char* const others[] = {u8"C:\\Work\\Atlas\\docs\\说明\\更改.txt",
                                  u8"C:\\Work\\Atlas\\docs\\Café naïve.txt",
                                  u8"C:\\Work\\Atlas\\docs\\한국어\\메모.txt"};
    return MultiFileThroughC(files, 3, others, 3);
}

// Paths that try to pass for others: "invoice" + RIGHT-TO-LEFT OVERRIDE + "fdp.exe" would read
// "invoice exe.pdf", "a" + ZERO WIDTH SPACE + "b.c" would read "ab.c"; beside them a real "ab.c" and a
// folder name in Arabic. The multi-file dialog shows them through the C interface, then the single-file
// dialog the first of them in its path box.
const char* const kDisguisedPaths[] = {u8"C:\\work\\invoice\u202Efdp.exe", u8"C:\\work\\a\u200Bb.c",
                                       u8"C:\\work\\ab.c",
                                       u8"C:\\work\\\u0645\u0634\u0627\u0631\u064A\u0639\\plan.txt"};

std::string RunHiddenCharactersSample() {
    return MultiFileThroughC(kDisguisedPaths, 4, nullptr, 0);
}

std::string RunHiddenCharactersPathSample() {
    char* path = nullptr;
    const int result = corvel_single_file_options(kDisguisedPaths[0], nullptr, nullptr, &path);
    std::string json = "{\"command\": \"corvel_single_file_options\", \"result\": " + std::to_string(result);
    if (result == CORVEL_OK)
        json += ", \"new_path\": " + JsonUtf8String(path);
    corvel_release(path);
    return json + "}";
}

} // namespace

namespace {

// Runs `call`, photographs the dialog it opens and presses OK; writes the picture and the printed result.
bool CaptureSample(const std::string& folder, const char* name, const std::function<std::string()>& call,
                   SIZE grow = {0, 0}) {
    Capture capture;
    capture.pngPath = folder + "\\" + name + ".png";
    capture.grow = grow;
    t_capture = &capture;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &OnTick);
    const std::string json = call();
    ::KillTimer(nullptr, timer);
    t_capture = nullptr;

    const std::string jsonPath = folder + "\\" + name + ".json";
    if (FILE* file = std::fopen(jsonPath.c_str(), "w")) {
        std::fprintf(file, "%s\n", json.c_str());
        std::fclose(file);
    }
    std::printf("%s: %s\n", name, json.c_str());
    return capture.saved;
}

} // namespace

bool RunGallery(const std::string& folder, const std::string& only, HostOptions& provider) {
    ::CreateDirectoryA(folder.c_str(), nullptr);
    bool allSaved = true, any = false;
    // `only`: one sample's name, or several separated by commas.
    const auto wanted = [&](const char* name) {
        return only.empty() || ("," + only + ",").find("," + std::string(name) + ",") != std::string::npos;
    };
    for (Sample& sample : Samples())
        if (wanted(sample.name)) {
            any = true;
            allSaved = CaptureSample(
                           folder, sample.name,
                           [&] { return RunCommand(sample.command, sample.arguments, provider, nullptr); },
                           sample.grow) &&
                       allSaved;
        }
    if (wanted("8-multi-file-c")) {
        any = true;
        allSaved = CaptureSample(folder, "8-multi-file-c", [] { return RunUnicodeSample(); }) && allSaved;
    }
    if (wanted("12-hidden-characters")) {
        any = true;
        allSaved = CaptureSample(folder, "12-hidden-characters", [] { return RunHiddenCharactersSample(); },
                                 {::GetSystemMetrics(SM_CXSCREEN) / 8, 0}) &&
                   allSaved;
    }
    if (wanted("13-hidden-characters-path")) {
        any = true;
        allSaved = CaptureSample(folder, "13-hidden-characters-path",
                                 [] { return RunHiddenCharactersPathSample(); }) &&
                   allSaved;
    }
    return any && allSaved;
}
