// The dialogs the user can resize: the three file lists and the three path dialogs. Each opens at its
// template's size with a sizing border and a size grip, lays its controls out as it grows, stops at its
// opening size as it shrinks (the path dialogs never grow in height) and still returns the user's choices.
// The session dialog stays fixed. CTest runs the check-in case once more on a 144-DPI screen.
#include "Commands.h"
#include "UiDriver.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using cmd::Command;

constexpr int kGrowX = 120;
constexpr int kGrowY = 90;

// What share (0 or 100 percent) of the dialog's growth a control follows, in its place and its size. A
// label has no id of its own and is known by its text.
struct Follow {
    int id;
    const char* label;
    int moveX, moveY, sizeX, sizeY;
};

struct Resizable {
    Command command;
    bool growsInHeight;
    std::vector<Follow> controls; // the controls that follow the growth; every other one stays
};

const Follow kRightOfList[] = {
    {IDC_FILE_LIST, nullptr, 0, 0, 100, 100}, {IDOK, nullptr, 100, 0, 0, 0},
    {IDCANCEL, nullptr, 100, 0, 0, 0},        {IDC_SELECT_ALL, nullptr, 100, 0, 0, 0},
    {IDC_ADVANCED, nullptr, 100, 0, 0, 0},
};
const Follow kComment[] = {{IDC_COMMENT, nullptr, 0, 100, 100, 0}, {-1, "Co&mment:", 0, 100, 0, 0}};

std::vector<Follow> Join(std::initializer_list<std::vector<Follow>> parts) {
    std::vector<Follow> all;
    for (const std::vector<Follow>& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const std::vector<Follow> kList(std::begin(kRightOfList), std::end(kRightOfList));
const std::vector<Follow> kCommentBox(std::begin(kComment), std::end(kComment));

const Resizable kResizable[] = {
    {Command::MultiFile, true, kList},
    {Command::CheckIn, true, Join({kList, kCommentBox, {{IDC_KEEP_CHECKED_OUT, nullptr, 0, 100, 100, 0}}})},
    {Command::CheckOut, true, Join({kList, kCommentBox})},
    // Under each path box its warning line, empty and hidden while the path holds nothing hidden.
    {Command::SingleFile, false, {{IDC_PATH, nullptr, 0, 0, 100, 0}, {-1, "", 0, 0, 100, 0}}},
    {Command::Diff, false, {{IDC_PATH, nullptr, 0, 0, 100, 0}, {-1, "", 0, 0, 100, 0}}},
    {Command::Rename,
     false,
     {{IDC_PATH, nullptr, 0, 0, 100, 0},
      {IDC_NEW_NAME, nullptr, 0, 0, 100, 0},
      {-1, "", 0, 0, 100, 0},
      {-1, "", 0, 0, 100, 0}}},
};
const Follow kStays = {0, nullptr, 0, 0, 0, 0};

void PrintTo(const Resizable& r, std::ostream* out) {
    *out << cmd::Name(r.command);
}

bool IsSizeGrip(HWND child) {
    char className[16] = {};
    ::GetClassNameA(child, className, sizeof className);
    return lstrcmpiA(className, "ScrollBar") == 0 && (::GetWindowLongA(child, GWL_STYLE) & SBS_SIZEGRIP);
}

std::vector<HWND> Children(HWND dialog) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

HWND SizeGrip(HWND dialog) {
    for (HWND child : Children(dialog))
        if (IsSizeGrip(child))
            return child;
    return nullptr;
}

RECT PlaceInDialog(HWND child) {
    RECT rect;
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

SIZE ClientSize(HWND window) {
    RECT rect;
    ::GetClientRect(window, &rect);
    return SIZE{rect.right, rect.bottom};
}

SIZE WindowSize(HWND window) {
    RECT rect;
    ::GetWindowRect(window, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void SetWindowSize(HWND window, SIZE size) {
    ::SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string Describe(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" + std::to_string(r.right) +
           ", " + std::to_string(r.bottom) + ")";
}

// The pixels of the window's client area as drawn now.
std::vector<DWORD> Pixels(HWND window) {
    const SIZE size = ClientSize(window);
    HDC dc = ::GetDC(window);
    HDC memory = ::CreateCompatibleDC(dc);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB};
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, size.cx, size.cy, dc, 0, 0, SRCCOPY);
    ::GdiFlush();
    std::vector<DWORD> pixels(static_cast<const DWORD*>(bits),
                              static_cast<const DWORD*>(bits) + static_cast<size_t>(size.cx * size.cy));
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(window, dc);
    return pixels;
}

void FinishPainting(HWND window) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

int ScreenDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

TEST(Screen, HasTheDpiOfThisRun) {
    const char* dpi = std::getenv("CORVEL_DPI");
    EXPECT_EQ(ScreenDpi(), dpi && *dpi ? std::atoi(dpi) : 96);
}

class ResizableDialog : public testing::TestWithParam<Resizable> {};

TEST_P(ResizableDialog, LaysItsControlsOutStopsAtItsOpeningSizeAndOkReturnsTheChoices) {
    const Resizable& r = GetParam();
    cmd::Call call(r.command, cmd::TypicalArguments());
    const cmd::Arguments before = call.arguments();
    ui::Script script;
    script.OnDialog(call.Caption(), [&](ui::Window window) {
        const HWND dialog = window.hwnd();
        // The button keeps the focus, so that no caret blinks between the two pictures below.
        ::SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(dialog, IDOK)), TRUE);
        FinishPainting(dialog);
        const SIZE openingWindow = WindowSize(dialog), openingClient = ClientSize(dialog);
        std::vector<std::pair<HWND, RECT>> opening;
        for (HWND child : Children(dialog))
            opening.emplace_back(child, PlaceInDialog(child));

        SetWindowSize(dialog, SIZE{openingWindow.cx + kGrowX, openingWindow.cy + kGrowY});
        const int dy = r.growsInHeight ? kGrowY : 0;
        EXPECT_EQ(ClientSize(dialog).cx, openingClient.cx + kGrowX);
        EXPECT_EQ(ClientSize(dialog).cy, openingClient.cy + dy);
        size_t laidOut = 0;
        for (const auto& [child, was] : opening) {
            if (IsSizeGrip(child))
                continue;
            const int id = ::GetDlgCtrlID(child);
            const std::string text = ui::Window(child).Text();
            SCOPED_TRACE("control " + std::to_string(id) + " \"" + text + "\"");
            const Follow* follow = &kStays;
            for (const Follow& f : r.controls)
                if (LOWORD(f.id) == LOWORD(id) && (!f.label || text == f.label))
                    follow = &f;
            laidOut += follow != &kStays;
            const int moveX = kGrowX * follow->moveX / 100, moveY = dy * follow->moveY / 100;
            const RECT expected = {was.left + moveX, was.top + moveY,
                                   was.right + moveX + kGrowX * follow->sizeX / 100,
                                   was.bottom + moveY + dy * follow->sizeY / 100};
            EXPECT_EQ(Describe(PlaceInDialog(child)), Describe(expected));
        }
        EXPECT_EQ(laidOut, r.controls.size());
        const HWND grip = SizeGrip(dialog);
        EXPECT_NE(grip, nullptr);
        const RECT gripPlace = PlaceInDialog(grip);
        EXPECT_EQ(gripPlace.right, openingClient.cx + kGrowX);
        EXPECT_EQ(gripPlace.bottom, openingClient.cy + dy);

        // What the grown dialog shows is what it shows when drawn again whole: nothing stayed behind.
        FinishPainting(dialog);
        const std::vector<DWORD> grown = Pixels(dialog);
        ::RedrawWindow(dialog, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        EXPECT_TRUE(grown == Pixels(dialog)) << "the grown dialog has leftovers of its earlier drawing";

        SetWindowSize(dialog, SIZE{openingWindow.cx / 3, openingWindow.cy / 3});
        EXPECT_EQ(WindowSize(dialog).cx, openingWindow.cx);
        EXPECT_EQ(WindowSize(dialog).cy, openingWindow.cy);
        for (const auto& [child, was] : opening)
            EXPECT_EQ(Describe(PlaceInDialog(child)), Describe(was)) << "control " << ::GetDlgCtrlID(child);

        SetWindowSize(dialog, SIZE{openingWindow.cx + kGrowX, openingWindow.cy + kGrowY});
        cmd::PostEdits(r.command, window);
        window.Item(IDOK).Click();
    });
    call.Run(script);

    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.arguments(), cmd::AfterEdits(r.command, before));
}

INSTANTIATE_TEST_SUITE_P(Dialogs, ResizableDialog, testing::ValuesIn(kResizable),
                         [](const testing::TestParamInfo<Resizable>& info) {
                             return std::string(cmd::Name(info.param.command));
                         });

bool IsResizable(Command command) {
    return command != Command::Session;
}

// The sizing border, and with it the system menu's Size item, belongs to exactly the six dialogs.
class SizingBorder : public testing::TestWithParam<Command> {};

TEST_P(SizingBorder, AndTheSystemMenusSizeItemOnlyWhereTheDialogIsResizable) {
    const Command command = GetParam();
    cmd::Call call(command, cmd::TypicalArguments());
    LONG style = 0;
    std::vector<ui::MenuItem> items;
    ui::Script script;
    script.OnDialog(call.Caption(), [&](ui::Window dialog) {
        style = ::GetWindowLongA(dialog.hwnd(), GWL_STYLE);
        ::PostMessageA(dialog.hwnd(), WM_SYSCOMMAND, SC_KEYMENU, ' '); // Alt+Space
    });
    script.OnMenu([&](ui::Window menu) {
        items = menu.MenuItems();
        // Escape would only close the popup and leave the caption's menu selected, in the menu's loop.
        ::EndMenu();
    });
    script.OnDialog(call.Caption(), [](ui::Window dialog) { dialog.Item(IDCANCEL).Click(); });
    call.Run(script);

    EXPECT_EQ((style & WS_THICKFRAME) != 0, IsResizable(command));
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX), 0);
    const ui::MenuItem size = {"&Size", IsResizable(command)};
    EXPECT_NE(std::find(items.begin(), items.end(), size), items.end()) << testing::PrintToString(items);
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, SizingBorder, testing::ValuesIn(cmd::kAllCommands), cmd::ParamName());

// The system menu's Size by keyboard: an arrow key picks the right edge, each further one moves it by 8
// pixels, Enter ends it; the list follows the edge.
TEST(KeyboardSizing, ArrowKeysMoveTheRightEdgeAndTheListFollows) {
    cmd::Call call(Command::CheckIn, cmd::TypicalArguments());
    HWND dialog = nullptr;
    SIZE opening = {}, grown = {};
    LONG listWidth = 0, listWidthGrown = 0;
    ui::Script script;
    script.OnDialog(call.Caption(), [&](ui::Window window) {
        dialog = window.hwnd();
        opening = WindowSize(dialog);
        listWidth = WindowSize(::GetDlgItem(dialog, IDC_FILE_LIST)).cx;
        ::PostMessageA(dialog, WM_SYSCOMMAND, SC_SIZE, 0);
    });
    // One key a tick: the size loop moves the cursor from where it was when the key was posted.
    for (int key = 0; key < 3; ++key)
        script.Then("right arrow", [&] { return ::PostMessageA(dialog, WM_KEYDOWN, VK_RIGHT, 1) != FALSE; });
    script.Then("the edge moved by two steps", [&] {
        grown = WindowSize(dialog);
        if (grown.cx != opening.cx + 16)
            return false;
        listWidthGrown = WindowSize(::GetDlgItem(dialog, IDC_FILE_LIST)).cx;
        return ::PostMessageA(dialog, WM_KEYDOWN, VK_RETURN, 1) != FALSE;
    });
    script.OnDialog(call.Caption(), [&](ui::Window window) {
        grown = WindowSize(dialog);
        window.Item(IDCANCEL).Click();
    });
    call.Run(script);

    EXPECT_EQ(grown.cx, opening.cx + 16);
    EXPECT_EQ(grown.cy, opening.cy);
    EXPECT_EQ(listWidthGrown, listWidth + 16);
}

// Resizing a long list costs the rows in view, never every row: nothing is filled, measured or
// extended again, and only the rows on screen are drawn.
struct ListWork {
    HWND list = nullptr;
    int refills = 0, measures = 0, extents = 0, draws = 0;
};
ListWork* g_work = nullptr;

LRESULT CALLBACK CountListWork(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && g_work) {
        if (sent->hwnd == g_work->list) {
            g_work->refills += sent->message == LB_ADDSTRING || sent->message == LB_INSERTSTRING ||
                               sent->message == LB_RESETCONTENT || sent->message == LB_DELETESTRING;
            g_work->extents += sent->message == LB_SETHORIZONTALEXTENT || sent->message == LB_SETITEMHEIGHT;
        }
        g_work->measures += sent->message == WM_MEASUREITEM;
        g_work->draws += sent->message == WM_DRAWITEM;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(LongList, GrowingTheDialogDrawsTheRowsInViewAndRefillsNothing) {
    cmd::Arguments arguments;
    for (int i = 0; i < 3000; ++i)
        arguments.files.insert("C:\\src\\file" + std::to_string(i) + ".c");
    cmd::Call call(Command::CheckIn, arguments);
    ListWork work;
    int extentBefore = -1, extentAfter = -1, rowsInView = 0;
    ui::Script script;
    script.OnDialog(call.Caption(), [&](ui::Window window) {
        const HWND dialog = window.hwnd();
        work.list = ::GetDlgItem(dialog, IDC_FILE_LIST);
        FinishPainting(dialog);
        extentBefore = window.Item(IDC_FILE_LIST).HorizontalExtent();
        const SIZE size = WindowSize(dialog);
        g_work = &work;
        HHOOK hook = ::SetWindowsHookExA(WH_CALLWNDPROC, &CountListWork, nullptr, ::GetCurrentThreadId());
        SetWindowSize(dialog, SIZE{size.cx + 40, size.cy + 40});
        FinishPainting(dialog);
        ::UnhookWindowsHookEx(hook);
        g_work = nullptr;
        extentAfter = window.Item(IDC_FILE_LIST).HorizontalExtent();
        const LRESULT rowHeight = ::SendMessageA(work.list, LB_GETITEMHEIGHT, 0, 0);
        rowsInView = rowHeight > 0 ? static_cast<int>(ClientSize(work.list).cy / rowHeight) + 1 : 0;
        window.Item(IDCANCEL).Click();
    });
    call.Run(script);

    EXPECT_EQ(work.refills, 0);
    EXPECT_EQ(work.measures, 0);
    EXPECT_EQ(work.extents, 0);
    EXPECT_EQ(extentAfter, extentBefore);
    EXPECT_GT(work.draws, 0);
    EXPECT_LE(work.draws, rowsInView);
}

} // namespace
