// How long the check-in dialog takes to open, to select all and to return after OK, and how much memory
// it needs at its peak, for 1,000 to 1,000,000 paths; measured in the same run against
// - the straightforward fill: a plain Win32 dialog with the same list box filled one LB_ADDSTRING and one
//   check-mark write per path, with the same text measuring (up to 100,000 paths: it grows too slowly);
// - the floor: the same plain dialog whose list box is only fed the rows already sorted (LB_INSERTSTRING
//   at the end with drawing off, the marks as item data), whose Select All only sets the marks, and whose
//   OK only reads them back. No dialog built on this list box can open or select all faster. Its OK is no
//   lower bound: the list box sends a WM_DELETEITEM per row as it goes, and this dialog takes each through
//   the dialog manager into a procedure that looks the list up again.
// Each measurement runs in a process of its own, so that the peak memory figure is that run's alone.
// In our dialog the bulk actions of the list's context menu (Uncheck All, Invert Checks, Check All) are
// timed too, from choosing the command to the list repainted, and so is one step of resizing the dialog
// at 100,000 paths, from SetWindowPos to every window repainted. A long list fills while the dialog is
// up; "open" above still waits for every row.
// A second table follows that fill itself at 100,000 and 1,000,000 paths, against filling the whole list
// before the dialog shows (CORVEL_FILL_BEFORE_SHOWING=1): when the dialog is on screen, when the list is
// complete, the longest time the dialog's loop leaves its queue unread, how long a keystroke typed
// meanwhile waits, and the peak memory.
#include <corvel/corvel.h>

#include "resource.h"

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using Files = std::set<std::string>;

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Realistic change lists: 60 to 120 characters, mixed letter case, shared directories.
std::vector<std::string> MakePaths(size_t count) {
    static const char* const roots[] = {"C:\\Work\\Atlas", "C:\\Work\\atlas-tools", "D:\\Src\\Billing",
                                        "C:\\Users\\dev\\Projects\\Mercury"};
    static const char* const dirs[] = {"src",  "Src",     "include", "tests",       "Printing",
                                       "UI",   "net",     "Common",  "third_party", "Resources",
                                       "docs", "Reports", "2026",    "Q4",          "legacy"};
    static const char* const words[] = {"Page",   "setup", "Layout", "window", "Main",  "report",  "Summary",
                                        "parser", "Token", "stream", "Buffer", "cache", "Account", "region"};
    static const char* const extensions[] = {".cpp", ".h", ".c", ".rc", ".txt", ".CPP", ".hpp"};
    std::mt19937 random(12345);
    std::set<std::string> unique;
    std::vector<std::string> paths;
    while (paths.size() < count) {
        std::string path = roots[random() % 4];
        const size_t target = 60 + random() % 61;
        while (path.size() + 20 < target)
            path += std::string("\\") + dirs[random() % 15];
        path += "\\";
        while (path.size() + 8 < target)
            path += words[random() % 14];
        path += std::to_string(random() % 1000) + extensions[random() % 7];
        if (unique.insert(path).second)
            paths.push_back(path);
    }
    return paths;
}

size_t CommittedBytes() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

// The most memory committed from its making to Rise(), above what was committed as it was made; looked at
// every millisecond from a thread of its own. The process's own peak counter will not do: under Wine it
// follows the current figure (measured), and elsewhere it would count what came before the call.
class CommittedPeak {
public:
    CommittedPeak() {
        m_thread = ::CreateThread(nullptr, 0, &Run, this, 0, nullptr);
        // The sampler's own stack is in use before the figure is taken.
        while (m_thread && !m_sampled.load())
            ::Sleep(0);
        m_before = CommittedBytes();
    }
    CommittedPeak(const CommittedPeak&) = delete;
    CommittedPeak& operator=(const CommittedPeak&) = delete;
    ~CommittedPeak() { Rise(); }

    size_t Rise() {
        m_stop.store(true);
        if (m_thread) {
            ::WaitForSingleObject(m_thread, INFINITE);
            ::CloseHandle(m_thread);
            m_thread = nullptr;
        }
        const size_t peak = std::max(m_peak.load(), CommittedBytes());
        return peak > m_before ? peak - m_before : 0;
    }

private:
    static DWORD WINAPI Run(void* parameter) {
        CommittedPeak& self = *static_cast<CommittedPeak*>(parameter);
        while (!self.m_stop.load()) {
            self.m_peak.store(std::max(self.m_peak.load(), CommittedBytes()));
            self.m_sampled.store(true);
            ::Sleep(1);
        }
        return 0;
    }

    size_t m_before = 0;
    std::atomic<size_t> m_peak{0};
    std::atomic<bool> m_sampled{false}, m_stop{false};
    HANDLE m_thread = nullptr;
};

// ---- Timing the user's steps from the dialog's own thread ------------------------------------------

// The context menu's bulk actions, by mnemonic, in the order they are played.
const char kBulkKeys[] = {'l', 'i', 'a'}; // Uncheck A&ll, &Invert Checks, Check &All
constexpr int kBulkCount = 3;

struct Timings {
    double call = 0, shown = 0, selectAllStart = 0, selectAllEnd = 0, okStart = 0, returned = 0;
    double bulkStart[kBulkCount] = {}, bulk[kBulkCount] = {-1, -1, -1};
};
Timings g_timings;
HWND g_dialog = nullptr;
bool g_withMenu = false; // our dialog has the context menu; the baseline has none
int g_bulk = 0;          // the bulk action being played
// 0 opening, 1 shown, 10 select all pressed, 2 select all done, 20 menu key pressed, 21 command chosen,
// 22 command carried out, 3 OK pressed
int g_stage = 0;

// Private thread messages that mark the end of a step: posted right after the user's click, they are
// retrieved once the click has been handled. Hooks on sent messages are avoided: under Wine they cost
// far more than the list messages they would watch.
const UINT kSelectAllDone = WM_APP + 1;
const UINT kBulkDone = WM_APP + 2;

LRESULT CALLBACK OnGetMessage(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        // The first paint once the list is complete means the dialog is up, filled, and the loop has
        // nothing else to do. While a long list fills, a line above it counts the rows.
        if (message->message == WM_PAINT && g_stage == 0) {
            HWND dialog = ::GetAncestor(message->hwnd, GA_ROOT);
            if (!::GetDlgItem(dialog, IDC_FILL_PROGRESS)) {
                g_timings.shown = Now();
                g_dialog = dialog;
                g_stage = 1;
            }
        } else if (message->message == kSelectAllDone && message->hwnd == nullptr) {
            g_timings.selectAllEnd = Now();
            g_stage = 2;
        } else if (message->message == kBulkDone && message->hwnd == nullptr) {
            g_stage = 22;
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Plays the user: Select All once the dialog is up, then OK.
void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_stage == 1) {
        g_stage = 10; // waiting for Select All to finish
        g_timings.selectAllStart = Now();
        ::PostMessageA(::GetDlgItem(g_dialog, IDC_SELECT_ALL), BM_CLICK, 0, 0);
        ::PostThreadMessageA(::GetCurrentThreadId(), kSelectAllDone, 0, 0);
    } else if (g_stage == 2 && g_withMenu && g_bulk < kBulkCount) {
        g_stage = 20;
        ::PostMessageA(::GetDlgItem(g_dialog, IDC_FILE_LIST), WM_KEYDOWN, VK_APPS, 1);
    } else if (g_stage == 20) {
        // This tick comes inside the menu's own modal loop, once the menu is up.
        HWND menu = ::FindWindowA("#32768", nullptr);
        if (!menu || !::IsWindowVisible(menu))
            return;
        g_stage = 21;
        g_timings.bulkStart[g_bulk] = Now();
        ::PostMessageA(menu, WM_CHAR, static_cast<WPARAM>(kBulkKeys[g_bulk]), 1);
        ::PostThreadMessageA(::GetCurrentThreadId(), kBulkDone, 0, 0);
    } else if (g_stage == 22) {
        // A timer tick comes only once the queue is empty and the list has been repainted.
        g_timings.bulk[g_bulk] = Now() - g_timings.bulkStart[g_bulk];
        ++g_bulk;
        g_stage = 2;
    } else if (g_stage == 2) {
        g_stage = 3;
        g_timings.okStart = Now();
        ::PostMessageA(::GetDlgItem(g_dialog, IDOK), BM_CLICK, 0, 0);
    }
}

// ---- The straightforward fill, for comparison -------------------------------------------------------

enum class Fill { Straightforward, Floor, Ours };

struct Baseline {
    Files checked, unchecked;
    bool floor = false;
    std::vector<char> marks; // the floor's result: each row's mark
};

void BaselineSetCheck(HWND list, int index, int mark) {
    ::SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index), mark);
    RECT rect;
    if (::SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect)) !=
        LB_ERR)
        ::InvalidateRect(list, &rect, FALSE);
}

INT_PTR CALLBACK BaselineDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    Baseline* baseline = reinterpret_cast<Baseline*>(::GetWindowLongPtrA(dialog, DWLP_USER));
    HWND list = ::GetDlgItem(dialog, IDC_FILE_LIST);
    switch (message) {
    case WM_INITDIALOG: {
        ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        baseline = reinterpret_cast<Baseline*>(lParam);
        if (baseline->floor) {
            ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
            for (int pass = 0; pass < 2; ++pass)
                for (const std::string& path : pass == 0 ? baseline->checked : baseline->unchecked) {
                    const LRESULT index =
                        ::SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(-1), (LPARAM)path.c_str());
                    if (pass == 0)
                        ::SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index), 1);
                }
            ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
            return TRUE;
        }
        HDC dc = ::GetDC(list);
        HGDIOBJ oldFont =
            ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(list, WM_GETFONT, 0, 0)));
        LONG widest = 0;
        for (int pass = 0; pass < 2; ++pass) {
            for (const std::string& path : pass == 0 ? baseline->checked : baseline->unchecked) {
                SIZE size;
                ::GetTextExtentPoint32A(dc, path.c_str(), static_cast<int>(path.size()), &size);
                widest = std::max(widest, size.cx);
                const int index = static_cast<int>(
                    ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.c_str())));
                BaselineSetCheck(list, index, pass == 0 ? 1 : 0);
            }
        }
        ::SelectObject(dc, oldFont);
        ::ReleaseDC(list, dc);
        ::SendMessageA(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest), 0);
        return TRUE;
    }
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->itemID == static_cast<UINT>(-1))
            return TRUE;
        char text[512] = {};
        if (::SendMessageA(list, LB_GETTEXTLEN, item->itemID, 0) < static_cast<LRESULT>(sizeof text))
            ::SendMessageA(list, LB_GETTEXT, item->itemID, reinterpret_cast<LPARAM>(text));
        ::ExtTextOutA(item->hDC, item->rcItem.left + 20, item->rcItem.top, ETO_OPAQUE, &item->rcItem, text,
                      static_cast<UINT>(std::strlen(text)), nullptr);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_SELECT_ALL) {
            const int count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
            if (baseline->floor)
                ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
            ::SendMessageA(list, LB_SELITEMRANGEEX, 0, count - 1);
            for (int index = 0; index < count; ++index)
                if (baseline->floor)
                    ::SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index), 1);
                else
                    BaselineSetCheck(list, index, 1);
            if (baseline->floor)
                ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
            return TRUE;
        }
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY: {
        if (baseline->floor) {
            const int count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
            baseline->marks.resize(static_cast<size_t>(count));
            for (int index = 0; index < count; ++index)
                baseline->marks[static_cast<size_t>(index)] =
                    static_cast<char>(::SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
            return FALSE;
        }
        baseline->checked.clear();
        baseline->unchecked.clear();
        const int count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
        std::string text;
        for (int index = 0; index < count; ++index) {
            text.resize(static_cast<size_t>(::SendMessageA(list, LB_GETTEXTLEN, index, 0)) + 1);
            ::SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
            const std::string path(text.c_str());
            (::SendMessageA(list, LB_GETITEMDATA, index, 0) ? baseline->checked : baseline->unchecked)
                .insert(path);
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

int RunBaseline(Files& files, const Files& otherFiles, bool floor) {
    Baseline baseline;
    baseline.floor = floor;
    baseline.checked = files;
    std::set_difference(otherFiles.begin(), otherFiles.end(), files.begin(), files.end(),
                        std::inserter(baseline.unchecked, baseline.unchecked.end()));
    const HMODULE resources = ::GetModuleHandleA("corvel.dll");
    HRSRC found = ::FindResourceA(resources, MAKEINTRESOURCEA(IDD_CHECK_IN_OPTIONS), MAKEINTRESOURCEA(5));
    const void* dialogTemplate = ::LockResource(::LoadResource(resources, found));
    const INT_PTR result =
        ::DialogBoxIndirectParamA(::GetModuleHandleA(nullptr), static_cast<LPCDLGTEMPLATEA>(dialogTemplate),
                                  nullptr, &BaselineDialogProc, reinterpret_cast<LPARAM>(&baseline));
    if (result != IDOK)
        return 0;
    if (floor)
        return std::count(baseline.marks.begin(), baseline.marks.end(), 1) ==
                       static_cast<std::ptrdiff_t>(files.size() + baseline.unchecked.size())
                   ? 1
                   : 0;
    files.clear();
    for (const std::string& path : baseline.checked)
        files.insert(path);
    return 1;
}

class NoAdvancedOptions : public SourceControl::SCCProvider::CSCCAbstractGetCommandOptionsFunctionoid {
public:
    void operator()() override {}
    bool ShowAdvancedOptions(HWND) override { return true; }
    bool AreAdvancedOptionsAvailable() override { return false; }
};

// One measurement in this process; prints "open selectAll ok peakBytes pathBytes".
int Measure(Fill fill, size_t count, const char* resultFile) {
    const std::vector<std::string> paths = MakePaths(count);
    Files files, otherFiles;
    size_t pathBytes = 0;
    for (size_t i = 0; i < paths.size(); ++i) {
        (i % 3 == 2 ? otherFiles : files).insert(paths[i]);
        pathBytes += paths[i].size();
    }
    NoAdvancedOptions provider;
    int keep = 1;
    std::string comment = "Benchmark";

    g_withMenu = fill == Fill::Ours;
    HHOOK hooks[] = {::SetWindowsHookExA(WH_GETMESSAGE, &OnGetMessage, nullptr, ::GetCurrentThreadId())};
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, &OnTick);
    CommittedPeak memory;
    g_timings.call = Now();
    const int result = fill == Fill::Ours
                           ? CorvelDoCheckInOptions(files, provider, keep, comment, 200, otherFiles, nullptr)
                           : RunBaseline(files, otherFiles, fill == Fill::Floor);
    g_timings.returned = Now();
    const size_t peak = memory.Rise();
    ::KillTimer(nullptr, timer);
    for (HHOOK hook : hooks)
        ::UnhookWindowsHookEx(hook);

    if (result != 1 || (fill != Fill::Floor && files.size() != paths.size())) {
        std::fprintf(stderr, "benchmark: unexpected result %d with %zu files\n", result, files.size());
        return 1;
    }
    FILE* out = std::fopen(resultFile, "w");
    if (!out)
        return 1;
    std::fprintf(out, "%.4f %.4f %.4f %zu %zu %.4f %.4f %.4f\n", g_timings.shown - g_timings.call,
                 g_timings.selectAllEnd - g_timings.selectAllStart, g_timings.returned - g_timings.okStart,
                 peak, pathBytes, g_timings.bulk[0], g_timings.bulk[1], g_timings.bulk[2]);
    std::fclose(out);
    return 0;
}

// ---- One step of resizing ---------------------------------------------------------------------------

constexpr int kResizeSteps = 8;
constexpr int kResizeStep = 40; // pixels, in width and in height
double g_resizeSeconds = -1;    // the mean of the steps

// Once the dialog is up: grows it step by step, each step from SetWindowPos to every window of the dialog
// repainted, then cancels it.
void CALLBACK OnResizeTick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_stage != 1)
        return;
    g_stage = 3;
    RECT rect;
    ::GetWindowRect(g_dialog, &rect);
    double total = 0;
    for (int step = 1; step <= kResizeSteps; ++step) {
        const double start = Now();
        ::SetWindowPos(g_dialog, nullptr, 0, 0, rect.right - rect.left + step * kResizeStep,
                       rect.bottom - rect.top + step * kResizeStep,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::RedrawWindow(g_dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        total += Now() - start;
    }
    g_resizeSeconds = total / kResizeSteps;
    ::PostMessageA(::GetDlgItem(g_dialog, IDCANCEL), BM_CLICK, 0, 0);
}

// One resize measurement in this process; prints the mean seconds of a step.
int MeasureResize(size_t count, const char* resultFile) {
    const std::vector<std::string> paths = MakePaths(count);
    Files files(paths.begin(), paths.end()), otherFiles;
    NoAdvancedOptions provider;
    int keep = 0;
    std::string comment;
    HHOOK hook = ::SetWindowsHookExA(WH_GETMESSAGE, &OnGetMessage, nullptr, ::GetCurrentThreadId());
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, &OnResizeTick);
    CorvelDoCheckInOptions(files, provider, keep, comment, 200, otherFiles, nullptr);
    ::KillTimer(nullptr, timer);
    ::UnhookWindowsHookEx(hook);
    FILE* out = g_resizeSeconds >= 0 ? std::fopen(resultFile, "w") : nullptr;
    if (!out)
        return 1;
    std::fprintf(out, "%.6f\n", g_resizeSeconds);
    std::fclose(out);
    return 0;
}

// ---- The list filling while the dialog is up ---------------------------------------------------------

// One fill, watched from three sides: the dialog's thread, through its message hook and a WinEvent
// callback; a helper thread, which pings the dialog's loop and types into the comment box meanwhile; and
// a timer, which cancels the dialog once the list is complete.
struct FillRun {
    bool today = false; // the whole list filled before the dialog shows
    size_t rows = 0;
    HWND pingWindow = nullptr;
    HWND dialog = nullptr;
    double call = 0, shown = 0, complete = 0;
    std::atomic<bool> isShown{false}, isComplete{false};
    // The helper thread's; read by the dialog's thread only once the helper has ended, but for the count.
    double longestStall = 0, longestStallShown = 0; // the latter of the waits begun once shown
    std::vector<double> keySent;
    std::atomic<int> keysSent{0};
    // The dialog's thread's.
    std::vector<double> keyReceived;
    HANDLE helper = nullptr;
    bool cancelled = false, rowsMissing = false;
};
FillRun g_fill;

constexpr double kFillGiveUpSeconds = 600;
// Room in the comment box for every key typed while a million rows arrive: a full box would refuse a key
// with a beep, which is no part of what is measured.
constexpr int kFillCommentLimit = 100000;

void MarkFillComplete(double when) {
    g_fill.complete = when;
    g_fill.isComplete.store(true);
}

LRESULT CALLBACK OnFillGetMessage(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        if (message->message == WM_PAINT && !g_fill.isShown.load()) {
            g_fill.shown = Now();
            g_fill.dialog = ::GetAncestor(message->hwnd, GA_ROOT);
            // Keystrokes typed while the list fills go to the comment box, as a user's would.
            ::SetFocus(::GetDlgItem(g_fill.dialog, IDC_COMMENT));
            g_fill.isShown.store(true);
            // Filled before showing, the list was complete before the first paint.
            if (g_fill.today)
                MarkFillComplete(g_fill.shown);
        } else if (message->message == WM_KEYDOWN && message->wParam == 'A') {
            g_fill.keyReceived.push_back(Now());
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The list tells that it is no longer busy once its last row is in.
void CALLBACK OnFillStateChange(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    if (!g_fill.today && !g_fill.isComplete.load() && object == OBJID_CLIENT && child == CHILDID_SELF &&
        ::GetDlgCtrlID(hwnd) == IDC_FILE_LIST)
        MarkFillComplete(Now());
}

// The user and the loop's watchdog, from the start of the call until the list is complete: after a random
// pause, a message sent to a window of the dialog's thread waits until its loop looks at the queue; the
// longest wait is the longest stall. While the list fills, the key A is typed every 80 ms too, as real
// input: a fast typist's pace, kept whatever the loop's answers.
constexpr double kKeyEverySeconds = 0.080;

DWORD WINAPI RunFillHelper(void*) {
    std::mt19937 random(static_cast<unsigned>(Now() * 1e6));
    double nextKey = -1;
    while (!g_fill.isComplete.load()) {
        ::Sleep(3 + static_cast<DWORD>(random() % 10));
        if (nextKey < 0 && g_fill.isShown.load())
            nextKey = Now() + kKeyEverySeconds;
        if (nextKey >= 0 && Now() >= nextKey && !g_fill.isComplete.load()) {
            nextKey += kKeyEverySeconds;
            INPUT keys[2] = {};
            keys[0].type = INPUT_KEYBOARD;
            keys[0].ki.wVk = 'A';
            keys[0].ki.wScan = static_cast<WORD>(::MapVirtualKeyW('A', MAPVK_VK_TO_VSC));
            keys[1] = keys[0];
            keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
            g_fill.keySent.push_back(Now());
            if (::SendInput(2, keys, sizeof keys[0]) == 2)
                g_fill.keysSent.store(static_cast<int>(g_fill.keySent.size()));
            else
                g_fill.keySent.pop_back();
        }
        const bool shown = g_fill.isShown.load();
        const double start = Now();
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutW(g_fill.pingWindow, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &answer);
        const double stall = Now() - start;
        g_fill.longestStall = std::max(g_fill.longestStall, stall);
        if (shown)
            g_fill.longestStallShown = std::max(g_fill.longestStallShown, stall);
    }
    return 0;
}

// Once the list is complete, the helper has ended and the last key typed has arrived (or 200 ms have
// passed): cancels the dialog. The helper may be waiting for this thread's loop, which is why it is not
// waited for here.
void CALLBACK OnFillTick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_fill.cancelled || !g_fill.dialog)
        return;
    const bool givenUp = Now() - g_fill.call > kFillGiveUpSeconds;
    if (!givenUp) {
        if (!g_fill.isComplete.load() || ::WaitForSingleObject(g_fill.helper, 0) != WAIT_OBJECT_0)
            return;
        if (static_cast<int>(g_fill.keyReceived.size()) < g_fill.keysSent.load() &&
            Now() - g_fill.complete < 0.2)
            return;
    }
    g_fill.cancelled = true;
    const LRESULT count = ::SendMessageW(::GetDlgItem(g_fill.dialog, IDC_FILE_LIST), LB_GETCOUNT, 0, 0);
    g_fill.rowsMissing = givenUp || count != static_cast<LRESULT>(g_fill.rows);
    ::PostMessageW(::GetDlgItem(g_fill.dialog, IDCANCEL), BM_CLICK, 0, 0);
}

// One fill in this process; prints "shown complete stall stallShown keyMedian keyMax keysSent keysReceived
// peakBytes", the key figures -1 when no key was typed and stallShown -1 when the list was complete as it
// showed.
int MeasureFill(bool today, size_t count, const char* resultFile) {
    const std::vector<std::string> paths = MakePaths(count);
    Files files, otherFiles;
    for (size_t i = 0; i < paths.size(); ++i)
        (i % 3 == 2 ? otherFiles : files).insert(paths[i]);
    NoAdvancedOptions provider;
    int keep = 1;
    std::string comment = "Benchmark";
    ::SetEnvironmentVariableW(L"CORVEL_FILL_BEFORE_SHOWING", today ? L"1" : nullptr);

    g_fill.today = today;
    g_fill.rows = paths.size();
    g_fill.pingWindow = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                          ::GetModuleHandleW(nullptr), nullptr);
    // In context, the callback must live in a module: this program is one.
    HWINEVENTHOOK stateHook = ::SetWinEventHook(
        EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_STATECHANGE, ::GetModuleHandleW(nullptr), &OnFillStateChange,
        ::GetCurrentProcessId(), ::GetCurrentThreadId(), WINEVENT_INCONTEXT);
    HHOOK hook = ::SetWindowsHookExA(WH_GETMESSAGE, &OnFillGetMessage, nullptr, ::GetCurrentThreadId());
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, &OnFillTick);
    if (!g_fill.pingWindow || !stateHook || !hook || !timer) {
        std::fprintf(stderr, "benchmark: cannot watch the fill\n");
        return 1;
    }
    CommittedPeak memory;
    g_fill.helper = ::CreateThread(nullptr, 0, &RunFillHelper, nullptr, 0, nullptr);
    if (!g_fill.helper)
        return 1;
    g_fill.call = Now();
    const int result =
        CorvelDoCheckInOptions(files, provider, keep, comment, kFillCommentLimit, otherFiles, nullptr);
    const size_t peak = memory.Rise();
    // The helper ends by itself once the list is complete; if the dialog closed before, it is told so.
    g_fill.isComplete.store(true);
    ::WaitForSingleObject(g_fill.helper, INFINITE);
    ::CloseHandle(g_fill.helper);
    ::KillTimer(nullptr, timer);
    ::UnhookWindowsHookEx(hook);
    ::UnhookWinEvent(stateHook);
    ::DestroyWindow(g_fill.pingWindow);

    if (result != 0 || !g_fill.cancelled || g_fill.rowsMissing || g_fill.complete < g_fill.shown) {
        std::fprintf(stderr, "benchmark: the fill went wrong (result %d, %s)\n", result,
                     !g_fill.cancelled    ? "not cancelled"
                     : g_fill.rowsMissing ? "rows missing"
                                          : "complete before shown");
        return 1;
    }
    std::vector<double> latencies;
    for (size_t i = 0; i < std::min(g_fill.keySent.size(), g_fill.keyReceived.size()); ++i)
        latencies.push_back(g_fill.keyReceived[i] - g_fill.keySent[i]);
    std::sort(latencies.begin(), latencies.end());
    FILE* out = std::fopen(resultFile, "w");
    if (!out)
        return 1;
    std::fprintf(
        out, "%.4f %.4f %.4f %.4f %.4f %.4f %zu %zu %zu\n", g_fill.shown - g_fill.call,
        g_fill.complete - g_fill.call, g_fill.longestStall, g_fill.today ? -1.0 : g_fill.longestStallShown,
        latencies.empty() ? -1.0 : latencies[latencies.size() / 2],
        latencies.empty() ? -1.0 : latencies.back(), g_fill.keySent.size(), g_fill.keyReceived.size(), peak);
    std::fclose(out);
    return 0;
}

struct Figures {
    double open = 0, selectAll = 0, ok = 0;
    size_t peakBytes = 0, pathBytes = 0;
    double bulk[kBulkCount] = {-1, -1, -1}; // -1: not measured
};

const char* const kFillNames[] = {"baseline", "floor", "ours"};

// Runs this program again with `arguments` and the name of a file for its result, and gives back what it
// wrote there.
bool RunSelf(const char* self, const std::string& arguments, std::string& result) {
    char folder[MAX_PATH], file[MAX_PATH];
    ::GetTempPathA(MAX_PATH, folder);
    ::GetTempFileNameA(folder, "cvb", 0, file);
    std::string commandLine = std::string("\"") + self + "\" " + arguments + " \"" + file + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return false;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 1;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    result.clear();
    if (FILE* in = std::fopen(file, "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, in))
            result += buffer;
        std::fclose(in);
    }
    ::DeleteFileA(file);
    return exitCode == 0 && !result.empty();
}

bool RunChildOnce(const char* self, Fill fill, size_t count, Figures& figures) {
    std::string result;
    return RunSelf(self,
                   std::string("measure ") + kFillNames[static_cast<int>(fill)] + " " + std::to_string(count),
                   result) &&
           std::sscanf(result.c_str(), "%lf %lf %lf %zu %zu %lf %lf %lf", &figures.open, &figures.selectAll,
                       &figures.ok, &figures.peakBytes, &figures.pathBytes, &figures.bulk[0],
                       &figures.bulk[1], &figures.bulk[2]) == 8;
}

// The median of three runs of each figure, so that one disturbed run does not decide.
bool RunChild(const char* self, Fill fill, size_t count, Figures& figures) {
    std::vector<Figures> runs(3);
    for (Figures& run : runs)
        if (!RunChildOnce(self, fill, count, run))
            return false;
    auto median = [&](auto field) {
        std::vector<std::remove_reference_t<decltype(runs[0].*field)>> values;
        for (const Figures& run : runs)
            values.push_back(run.*field);
        std::sort(values.begin(), values.end());
        return values[1];
    };
    figures.open = median(&Figures::open);
    figures.selectAll = median(&Figures::selectAll);
    figures.ok = median(&Figures::ok);
    figures.peakBytes = median(&Figures::peakBytes);
    figures.pathBytes = runs[0].pathBytes;
    for (int action = 0; action < kBulkCount; ++action) {
        std::vector<double> values;
        for (const Figures& run : runs)
            values.push_back(run.bulk[action]);
        std::sort(values.begin(), values.end());
        figures.bulk[action] = values[1];
    }
    return true;
}

// ---- The table of the list filling while the dialog is up --------------------------------------------

struct FillFigures {
    double shown = 0, complete = 0, stall = 0, stallShown = -1; // -1: complete as it showed
    double keyMedian = -1, keyMax = -1;                         // -1: no key typed
    size_t keysSent = 0, keysReceived = 0, peakBytes = 0;
};

bool RunFillOnce(const char* self, bool today, size_t count, FillFigures& figures) {
    std::string result;
    return RunSelf(self, std::string("fill ") + (today ? "today " : "ours ") + std::to_string(count),
                   result) &&
           std::sscanf(result.c_str(), "%lf %lf %lf %lf %lf %lf %zu %zu %zu", &figures.shown,
                       &figures.complete, &figures.stall, &figures.stallShown, &figures.keyMedian,
                       &figures.keyMax, &figures.keysSent, &figures.keysReceived, &figures.peakBytes) == 9;
}

constexpr int kFillRuns = 5;

// The median of each figure over the runs; the key figures over the runs in which a key was typed.
FillFigures MedianFill(const std::vector<FillFigures>& runs) {
    auto median = [&](auto field, bool typedOnly) {
        std::vector<std::remove_cv_t<std::remove_reference_t<decltype(runs[0].*field)>>> values;
        for (const FillFigures& run : runs)
            if (!typedOnly || run.keyMedian >= 0)
                values.push_back(run.*field);
        std::sort(values.begin(), values.end());
        using Value = typename decltype(values)::value_type;
        return values.empty() ? static_cast<Value>(-1) : values[values.size() / 2];
    };
    FillFigures figures;
    figures.shown = median(&FillFigures::shown, false);
    figures.complete = median(&FillFigures::complete, false);
    figures.stall = median(&FillFigures::stall, false);
    figures.stallShown = median(&FillFigures::stallShown, false);
    figures.keyMedian = median(&FillFigures::keyMedian, true);
    figures.keyMax = median(&FillFigures::keyMax, true);
    figures.peakBytes = median(&FillFigures::peakBytes, false);
    for (const FillFigures& run : runs) {
        figures.keysSent += run.keysSent;
        figures.keysReceived += run.keysReceived;
    }
    return figures;
}

// Runs the two ways by turns, so that a machine that slows down or speeds up meanwhile weighs on both
// alike: the median figures of each way, and the median of the ratios of each pair of runs taken one
// after the other (sliced over today's), for the time to complete and for the peak memory.
bool RunFillPairs(const char* self, size_t count, FillFigures& ours, FillFigures& today, double& growth,
                  double& memory) {
    std::vector<FillFigures> oursRuns(kFillRuns), todayRuns(kFillRuns);
    std::vector<double> growths, memories;
    for (int run = 0; run < kFillRuns; ++run) {
        if (!RunFillOnce(self, false, count, oursRuns[run]) ||
            !RunFillOnce(self, true, count, todayRuns[run]))
            return false;
        if (todayRuns[run].complete > 0)
            growths.push_back(oursRuns[run].complete / todayRuns[run].complete);
        if (todayRuns[run].peakBytes > 0)
            memories.push_back(static_cast<double>(oursRuns[run].peakBytes) /
                               static_cast<double>(todayRuns[run].peakBytes));
    }
    ours = MedianFill(oursRuns);
    today = MedianFill(todayRuns);
    const auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values.empty() ? 0.0 : values[values.size() / 2];
    };
    growth = median(growths);
    memory = median(memories);
    return true;
}

// Prints the table; false if a measurement failed.
bool PrintFillTable(const char* self, const char* architecture) {
    const size_t sizes[] = {100000, 1000000};
    std::printf(
        "the list filling while the dialog is up, check-in dialog, %s build; seconds, median of %d runs\n"
        "of each way, the two ways run by turns; today's way fills the list before the dialog shows\n"
        "(CORVEL_FILL_BEFORE_SHOWING=1); the growths are medians of the ratios of each pair of runs.\n"
        "longest loop stall: the longest a message sent to the dialog's thread waited for its loop, from\n"
        "the call until the list is complete; once shown: of those sent once the dialog was on screen\n"
        "(today's way has none: its list is complete as it shows). keystroke latency: from typing a key\n"
        "(SendInput, into the comment box) while the list fills to the dialog's loop taking it, median\n"
        "and maximum of a run; today's way has no window to type into until it shows, so its latency is\n"
        "the time to show. peak MB: peak committed memory above the process just before the call\n",
        architecture, kFillRuns);
    std::printf("%8s | %-30s | %11s | %s\n", "paths", "figure", "sliced", "today's way");
    bool allRan = true;
    std::string growth, memory;
    size_t keysSent = 0, keysReceived = 0;
    for (size_t count : sizes) {
        FillFigures ours, today;
        double growthOfPairs = 0, memoryOfPairs = 0;
        if (!RunFillPairs(self, count, ours, today, growthOfPairs, memoryOfPairs)) {
            std::printf("%8zu | measurement failed\n", count);
            allRan = false;
            continue;
        }
        keysSent += ours.keysSent;
        keysReceived += ours.keysReceived;
        std::printf("%8zu | %-30s | %11.3f | %11.3f\n", count, "dialog on screen", ours.shown, today.shown);
        std::printf("%8zu | %-30s | %11.3f | %11.3f\n", count, "list complete", ours.complete,
                    today.complete);
        std::printf("%8zu | %-30s | %11.3f | %11.3f\n", count, "longest loop stall", ours.stall, today.stall);
        char stallShown[32] = "-";
        if (ours.stallShown >= 0)
            std::snprintf(stallShown, sizeof stallShown, "%.3f", ours.stallShown);
        std::printf("%8zu | %-30s | %11s | %11s\n", count, "longest loop stall once shown", stallShown, "-");
        char latency[64] = "-";
        if (ours.keyMedian >= 0)
            std::snprintf(latency, sizeof latency, "%.3f/%.3f", ours.keyMedian, ours.keyMax);
        std::printf("%8zu | %-30s | %11s | %11.3f (no window until shown)\n", count,
                    "keystroke latency, median/max", latency, today.shown);
        std::printf("%8zu | %-30s | %11.1f | %11.1f\n", count, "peak MB",
                    static_cast<double>(ours.peakBytes) / 1e6, static_cast<double>(today.peakBytes) / 1e6);
        char part[64];
        std::snprintf(part, sizeof part, "%s%.2fx (%s)", growth.empty() ? "" : ", ", growthOfPairs,
                      count == 100000 ? "100,000" : "1,000,000");
        growth += part;
        std::snprintf(part, sizeof part, "%s%.2fx (%s)", memory.empty() ? "" : ", ", memoryOfPairs,
                      count == 100000 ? "100,000" : "1,000,000");
        memory += part;
    }
    if (!growth.empty())
        std::printf("growth of the time to complete, sliced over today's way: %s; peak memory: %s\n",
                    growth.c_str(), memory.c_str());
    if (keysReceived != keysSent)
        std::printf("note: %zu of the %zu keys typed while the list filled reached the dialog\n",
                    keysReceived, keysSent);
    return allRan;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "measure") {
        const std::string name = argv[2];
        const Fill fill = name == "ours" ? Fill::Ours : name == "floor" ? Fill::Floor : Fill::Straightforward;
        return Measure(fill, std::strtoul(argv[3], nullptr, 10), argv[4]);
    }
    if (argc == 4 && std::string(argv[1]) == "resize")
        return MeasureResize(std::strtoul(argv[2], nullptr, 10), argv[3]);
    if (argc == 5 && std::string(argv[1]) == "fill")
        return MeasureFill(std::string(argv[2]) == "today", std::strtoul(argv[3], nullptr, 10), argv[4]);

#ifdef _WIN64
    const char* const architecture = "x86_64";
#else
    const char* const architecture = "i686";
#endif
    if (argc == 2 && std::string(argv[1]) == "fill-table")
        return PrintFillTable(argv[0], architecture) ? 0 : 1;

    const size_t sizes[] = {1000, 10000, 100000, 1000000};
    std::printf(
        "check-in dialog, %s build; times in seconds, median of 3 runs; memory: peak committed bytes\n"
        "above the process just before the call, and that as a multiple of the bytes of the path texts\n",
        architecture);
    std::printf("%8s | %-8s | %7s | %7s | %7s | %7s | %9s | %10s | %14s\n", "paths", "fill", "open",
                "sel.all", "ok", "total", "peak MB", "x path MB", "baseline/ours");
    double oursOpen[2] = {0, 0}, floorOpen[2] = {0, 0};
    bool allRan = true;
    std::vector<std::pair<size_t, Figures>> bulkRows;
    for (size_t count : sizes) {
        Figures figures[3];
        bool ran[3] = {false, false, false};
        for (Fill fill : {Fill::Straightforward, Fill::Floor, Fill::Ours}) {
            const int i = static_cast<int>(fill);
            if (fill == Fill::Straightforward && count > 100000)
                continue;
            ran[i] = RunChild(argv[0], fill, count, figures[i]);
            if (!ran[i]) {
                std::printf("%8zu | %-8s | measurement failed\n", count, kFillNames[i]);
                allRan = false;
                continue;
            }
            const Figures& f = figures[i];
            const double total = f.open + f.selectAll + f.ok;
            std::printf("%8zu | %-8s | %7.3f | %7.3f | %7.3f | %7.3f | %9.1f | %10.2f |", count,
                        kFillNames[i], f.open, f.selectAll, f.ok, total,
                        static_cast<double>(f.peakBytes) / 1e6,
                        static_cast<double>(f.peakBytes) / static_cast<double>(f.pathBytes));
            const Figures& base = figures[static_cast<int>(Fill::Straightforward)];
            if (fill == Fill::Ours && ran[static_cast<int>(Fill::Straightforward)])
                std::printf(" %14.1f", (base.open + base.selectAll + base.ok) / total);
            std::printf("\n");
        }
        if (ran[static_cast<int>(Fill::Ours)])
            bulkRows.emplace_back(count, figures[static_cast<int>(Fill::Ours)]);
        const int slot = count == 100000 ? 0 : count == 1000000 ? 1 : -1;
        if (slot >= 0) {
            oursOpen[slot] = figures[static_cast<int>(Fill::Ours)].open;
            floorOpen[slot] = figures[static_cast<int>(Fill::Floor)].open;
        }
    }
    if (oursOpen[0] > 0 && oursOpen[1] > 0)
        std::printf(
            "growth of the open time from 100,000 to 1,000,000 paths: ours %.1f-fold, floor %.1f-fold\n",
            oursOpen[1] / oursOpen[0], floorOpen[0] > 0 ? floorOpen[1] / floorOpen[0] : 0.0);
    std::printf("\nthe list's context menu, ours: from choosing the command to the list repainted; seconds,\n"
                "median of 3 runs\n");
    std::printf("%8s | %12s | %13s | %10s\n", "paths", "uncheck all", "invert checks", "check all");
    for (const auto& [count, f] : bulkRows)
        std::printf("%8zu | %12.3f | %13.3f | %10.3f\n", count, f.bulk[0], f.bulk[1], f.bulk[2]);

    std::vector<double> steps;
    for (int run = 0; run < 3; ++run) {
        std::string result;
        double seconds = 0;
        if (RunSelf(argv[0], "resize 100000", result) && std::sscanf(result.c_str(), "%lf", &seconds) == 1)
            steps.push_back(seconds);
    }
    if (steps.size() == 3) {
        std::sort(steps.begin(), steps.end());
        std::printf(
            "\nresizing ours at 100,000 paths: one step of %d x %d pixels, from SetWindowPos to the dialog\n"
            "repainted: %.2f ms (mean of %d steps, median of 3 runs)\n",
            kResizeStep, kResizeStep, steps[1] * 1000, kResizeSteps);
    } else {
        std::printf("\nresizing ours at 100,000 paths: measurement failed\n");
        allRan = false;
    }
    std::printf("\n");
    if (!PrintFillTable(argv[0], architecture))
        allRan = false;
    return allRan ? 0 : 1;
}
