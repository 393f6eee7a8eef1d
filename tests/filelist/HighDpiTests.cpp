// The dialogs at the screen's DPI. CTest runs this program once for each of 96, 120, 144 and 192 DPI, each
// in a Wine prefix of its own whose LogPixels is that DPI (CORVEL_DPI, scripts/wine-run). The dialogs grow
// with their font, so every control and its text must still fit; the list's check boxes grow with its
// rows, are drawn whole, as the system's check boxes (the visual style's while one is on), and hit where
// they are drawn; its horizontal extent ends at its longest path.
#include "Commands.h"
#include "UiDriver.h"
#include "resource.h"

#include <corvel/corvel.h>
#include <gtest/gtest.h>
#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Files = std::set<std::string>;

int RunDpi() {
    const char* dpi = std::getenv("CORVEL_DPI");
    return dpi && *dpi ? std::atoi(dpi) : 96;
}

TEST(HighDpi, TheScreenHasTheDpiOfThisRun) {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(dpi, RunDpi());
}

// The template's size in dialog units.
SIZE TemplateSize(int id) {
    HMODULE module = ::GetModuleHandleA("corvel.dll");
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    const WORD* words = static_cast<const WORD*>(::LockResource(::LoadResource(module, found)));
    if (!words)
        return SIZE{0, 0};
    const bool extended = words[0] == 1 && words[1] == 0xFFFF; // DLGTEMPLATEEX
    const WORD* size = extended ? words + 11 : words + 7;
    return SIZE{static_cast<short>(size[0]), static_cast<short>(size[1])};
}

// Labels that the templates make too narrow for Wine's "MS Sans Serif" at every DPI, 96 included: the
// rename dialog's 35-unit "New name:" wraps to a second line its 8-unit height hides. The templates' layout
// is fixed, so these are known rather than failures of scaling.
bool KnownTooNarrow(const std::string& text) {
    return text == "New name:";
}

// Every child control lies in the dialog's client area and its text fits it, in the dialog's font.
void ExpectControlsFit(HWND dialog) {
    RECT client;
    ::GetClientRect(dialog, &client);
    HDC dc = ::GetDC(dialog);
    HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(dialog, WM_GETFONT, 0, 0)));
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        const std::string text = ui::Window(child).Text();
        SCOPED_TRACE("control " + std::to_string(::GetDlgCtrlID(child)) + " \"" + text + "\"");
        EXPECT_TRUE(rect.left >= client.left && rect.top >= client.top && rect.right <= client.right &&
                    rect.bottom <= client.bottom);
        char className[16] = {};
        ::GetClassNameA(child, className, sizeof className);
        if (text.empty() || (lstrcmpiA(className, "Button") != 0 && lstrcmpiA(className, "Static") != 0))
            continue;
        const LONG style = ::GetWindowLongA(child, GWL_STYLE);
        const LONG type = style & BS_TYPEMASK;
        const bool isButton = lstrcmpiA(className, "Button") == 0;
        const bool withBox =
            isButton && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
                         type == BS_AUTO3STATE || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
        if (isButton && type == BS_GROUPBOX)
            continue;
        // Room for the text: a push button's edges, or a check box's box and the gap after it.
        const int room = (rect.right - rect.left) - (withBox    ? ::GetSystemMetrics(SM_CXMENUCHECK) + 4
                                                     : isButton ? 4
                                                                : 0);
        RECT need = {0, 0, room, 0};
        ::DrawTextA(dc, text.c_str(), -1, &need,
                    DT_CALCRECT | (isButton && !withBox ? DT_SINGLELINE : DT_WORDBREAK));
        if (KnownTooNarrow(text))
            continue;
        EXPECT_LE(need.right, room);
        EXPECT_LE(need.bottom, rect.bottom - rect.top);
    }
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(dialog, dc);
}

class DialogAtDpi : public ::testing::TestWithParam<cmd::Command> {};

TEST_P(DialogAtDpi, GrowsWithItsFontAndEveryControlAndTextStillFits) {
    const cmd::Command command = GetParam();
    cmd::Arguments arguments = cmd::TypicalArguments();
    FakeProvider provider;
    SIZE client = {}, expected = {};
    ui::Script script;
    script.OnDialog(cmd::Caption(command), [&](ui::Window dialog) {
        RECT rect;
        ::GetClientRect(dialog.hwnd(), &rect);
        client = SIZE{rect.right, rect.bottom};
        const SIZE units = TemplateSize(cmd::TemplateId(command));
        RECT mapped = {0, 0, units.cx, units.cy};
        ::MapDialogRect(dialog.hwnd(), &mapped);
        expected = SIZE{mapped.right, mapped.bottom};
        ExpectControlsFit(dialog.hwnd());
        dialog.Item(IDCANCEL).Click();
    });
    script.Run([&] { cmd::Invoke(command, arguments, provider, nullptr); });

    EXPECT_EQ(client.cx, expected.cx);
    EXPECT_EQ(client.cy, expected.cy);
}

INSTANTIATE_TEST_SUITE_P(Commands, DialogAtDpi, ::testing::ValuesIn(cmd::kAllCommands),
                         [](const ::testing::TestParamInfo<cmd::Command>& info) {
                             return std::string(cmd::Name(info.param));
                         });

// The bounds of what is drawn in `area` of the window in other colours than the window's background.
RECT InkBounds(HWND window, RECT area) {
    const COLORREF background = ::GetSysColor(COLOR_WINDOW);
    RECT ink = {area.right, area.bottom, area.left - 1, area.top - 1};
    HDC dc = ::GetDC(window);
    for (LONG y = area.top; y < area.bottom; ++y)
        for (LONG x = area.left; x < area.right; ++x)
            if (::GetPixel(dc, x, y) != background) {
                ink.left = std::min(ink.left, x);
                ink.top = std::min(ink.top, y);
                ink.right = std::max(ink.right, x);
                ink.bottom = std::max(ink.bottom, y);
            }
    ::ReleaseDC(window, dc);
    return ink; // inclusive; empty when right < left
}

// Whether the check box column of `row` shows exactly what the system draws for a check box a pixel less
// than the row above and below, near the row's left end: the visual style's box while one is on, the
// classic one otherwise.
bool DrawnAsTheSystemsCheckBox(HWND list, RECT row, bool checked) {
    const LONG size = row.bottom - row.top - 2;
    RECT rect = {0, 0, size, size};
    HDC screen = ::GetDC(list);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ oldBitmap = ::SelectObject(memory, bitmap);
    ::FillRect(memory, &rect, ::GetSysColorBrush(COLOR_WINDOW));
    if (HTHEME theme = ::OpenThemeData(list, L"BUTTON")) {
        ::DrawThemeBackground(theme, memory, BP_CHECKBOX, checked ? CBS_CHECKEDNORMAL : CBS_UNCHECKEDNORMAL,
                              &rect, nullptr);
        ::CloseThemeData(theme);
    } else {
        ::DrawFrameControl(memory, &rect, DFC_BUTTON, DFCS_BUTTONCHECK | (checked ? DFCS_CHECKED : 0));
    }
    bool found = false;
    for (LONG left = row.left; left <= row.left + 8 && !found; ++left) {
        bool same = true;
        for (LONG y = 0; y < size && same; ++y)
            for (LONG x = 0; x < size && same; ++x)
                same = ::GetPixel(memory, x, y) == ::GetPixel(screen, left + x, row.top + 1 + y);
        found = same;
    }
    ::SelectObject(memory, oldBitmap);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(list, screen);
    return found;
}

int ListFontHeight(HWND list) {
    HDC dc = ::GetDC(list);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(list, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics = {};
    ::GetTextMetricsA(dc, &metrics);
    ::SelectObject(dc, old);
    ::ReleaseDC(list, dc);
    return metrics.tmHeight;
}

TEST(HighDpi, CheckBoxesGrowWithTheRowsAreDrawnWholeAndAClickOnOneTogglesItsRow) {
    cmd::Call call(cmd::Command::MultiFile);
    call.files = {"C:\\src\\a.c", "C:\\src\\b.c", "C:\\src\\c.c"};
    call.otherFiles = {"C:\\src\\d.c"};
    int rowHeight = 0, fontHeight = 0;
    RECT row = {}, box = {};
    bool checkedAsSystem = false, uncheckedAsSystem = false;
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        ui::Window list = dialog.Item(IDC_FILE_LIST);
        fontHeight = ListFontHeight(list.hwnd());
        ::SendMessageA(list.hwnd(), LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
        rowHeight = row.bottom - row.top;
        ::UpdateWindow(list.hwnd());
        RECT column = {row.left, row.top, row.left + rowHeight + 8, row.bottom};
        box = InkBounds(list.hwnd(), column);
        checkedAsSystem = DrawnAsTheSystemsCheckBox(list.hwnd(), row, true); // c.c
        RECT next = {};                                                      // d.c
        ::SendMessageA(list.hwnd(), LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&next));
        uncheckedAsSystem = DrawnAsTheSystemsCheckBox(list.hwnd(), next, false);
        list.ClickRowCheckBox(1); // b.c: unchecked
        list.ClickRowText(0);     // a.c: only selected
        list.ClickRowCheckBox(3); // d.c: checked
    });
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    call.Run(script);

    EXPECT_GE(rowHeight, std::max(fontHeight, ::GetSystemMetrics(SM_CXMENUCHECK)) + 2);
    // The box: inside its row with a pixel to spare above and below, and about as tall as the row.
    EXPECT_GT(box.top, row.top - 1);
    EXPECT_LT(box.bottom, row.bottom);
    EXPECT_GE(box.bottom - box.top + 1, rowHeight * 2 / 3);
    // Drawn as the system's check boxes: the visual style's while one is on.
    EXPECT_TRUE(checkedAsSystem);
    EXPECT_TRUE(uncheckedAsSystem);
    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.files, (Files{"C:\\src\\a.c", "C:\\src\\c.c", "C:\\src\\d.c"}));
}

TEST(HighDpi, TheHorizontalExtentEndsJustAfterTheLongestPath) {
    const std::string longest = "C:\\Work\\Atlas\\src\\Printing\\Preview\\Renderers\\Experimental\\"
                                "HighResolutionPagePreviewRendererTests.cpp";
    cmd::Call call(cmd::Command::MultiFile);
    call.files = {"C:\\a.c", longest};
    RECT ink = {}, client = {};
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        HWND list = dialog.Item(IDC_FILE_LIST).hwnd();
        ::SendMessageA(list, WM_HSCROLL, SB_RIGHT, 0);
        ::UpdateWindow(list);
        ::GetClientRect(list, &client);
        RECT row = {};
        ::SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
        ink = InkBounds(list, RECT{client.left, row.top + 1, client.right, row.bottom - 1});
        dialog.Item(IDCANCEL).Click();
    });
    call.Run(script);

    // Scrolled all the way, the path ends just inside the list: a blank column or a few, never cut off
    // and never a stretch of empty space.
    const int gap = client.right - 1 - ink.right;
    EXPECT_GE(gap, 1);
    EXPECT_LE(gap, 6 * RunDpi() / 96);
}

} // namespace
