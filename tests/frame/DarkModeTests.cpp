// The dialogs in the user's apps mode, light and dark, read from the screen. Wine 10.0 tells a program the
// mode (scripts/wine10-run runs this program there); the test sets it as the user does, in the user's
// settings, and the library asks the system for it. What is measured: the background's median luminance,
// the contrast of every enabled control's text against its background (at least 4.5:1, WCAG AA), the file
// list's rows, selection and hidden-character markers, the context menu and the tooltip, and the dark
// caption the library asks for. High contrast wins over dark, and a C host chooses for its own calls.
#include "Commands.h"
#include "DarkModeHost.h"
#include "ImportHook.h"
#include "NoCopy.h"
#include "UiDriver.h"
#include "resource.h"

#include <commctrl.h>
#include <dwmapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

// ---- Colours as WCAG 2 measures them --------------------------------------------------------------

double Channel(int value) {
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(COLORREF colour) {
    return 0.2126 * Channel(GetRValue(colour)) + 0.7152 * Channel(GetGValue(colour)) +
           0.0722 * Channel(GetBValue(colour));
}

double Contrast(COLORREF a, COLORREF b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// ---- What is on the screen ------------------------------------------------------------------------

// The pixels of a rectangle of the screen, row by row.
struct Picture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The part `rect` of `window`'s client area, as the window shows it. Read from the window's own DC: the
// X display may be a few milliseconds behind what the window has drawn.
Picture Grab(HWND window, RECT rect) {
    Picture picture;
    picture.width = std::max<int>(0, rect.right - rect.left);
    picture.height = std::max<int>(0, rect.bottom - rect.top);
    if (picture.width == 0 || picture.height == 0)
        return picture;
    HDC screen = ::GetDC(window);
    ::SetLayout(screen, 0);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, picture.width, picture.height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, picture.width, picture.height, screen, rect.left, rect.top, SRCCOPY);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<DWORD> bgrx(static_cast<size_t>(picture.width) * picture.height);
    ::SelectObject(memory, old);
    ::GetDIBits(memory, bitmap, 0, picture.height, bgrx.data(), &info, DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(window, screen);
    picture.pixels.reserve(bgrx.size());
    for (DWORD pixel : bgrx)
        picture.pixels.push_back(RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF));
    return picture;
}

Picture GrabClient(HWND window) {
    RECT client;
    ::GetClientRect(window, &client);
    return Grab(window, client);
}

// The median relative luminance of a picture, 0 (black) to 1 (white).
double MedianLuminance(const Picture& picture) {
    if (picture.pixels.empty())
        return -1;
    std::vector<double> values;
    values.reserve(picture.pixels.size());
    for (COLORREF pixel : picture.pixels)
        values.push_back(Luminance(pixel));
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

COLORREF MostFrequent(const Picture& picture, COLORREF except = CLR_INVALID) {
    std::map<COLORREF, int> counts;
    for (COLORREF pixel : picture.pixels)
        if (pixel != except)
            ++counts[pixel];
    COLORREF best = CLR_INVALID;
    int most = 0;
    for (const auto& [colour, count] : counts)
        if (count > most) {
            most = count;
            best = colour;
        }
    return best;
}

// The text against its background: the background is the colour most of the picture has, the text's
// colour the one that stands out most against it (the core of its strokes; smoothed edges lie between).
double TextContrast(const Picture& picture) {
    const COLORREF background = MostFrequent(picture);
    double most = 1;
    for (COLORREF pixel : picture.pixels)
        most = std::max(most, Contrast(pixel, background));
    return most;
}

// The contrast of a hidden-character marker in a row. Its box is the filled area: the colour, other than
// the row's background, with the most pixels whose four neighbours share it (strokes of text have few).
// Its text and frame are what stands out most against the box, inside the box. 0 when there is none.
double MarkerContrast(const Picture& row) {
    const COLORREF background = MostFrequent(row);
    std::map<COLORREF, int> inner;
    for (int y = 1; y + 1 < row.height; ++y)
        for (int x = 1; x + 1 < row.width; ++x) {
            const COLORREF c = row.At(x, y);
            if (c != background && row.At(x - 1, y) == c && row.At(x + 1, y) == c && row.At(x, y - 1) == c &&
                row.At(x, y + 1) == c)
                ++inner[c];
        }
    if (inner.empty())
        return 0;
    const COLORREF box = std::max_element(inner.begin(), inner.end(), [](const auto& a, const auto& b) {
                             return a.second < b.second;
                         })->first;
    int left = row.width, right = -1, top = row.height, bottom = -1;
    for (int y = 0; y < row.height; ++y)
        for (int x = 0; x < row.width; ++x)
            if (row.At(x, y) == box) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    double most = 1;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            most = std::max(most, Contrast(row.At(x, y), box));
    return most;
}

std::string ClassOf(HWND window) {
    char name[64] = "";
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

// ---- The user's setting and what the library asks of the system ----------------------------------

enum class Mode { kLight, kDark };

const char* const kPersonalize = "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

// Sets the user's apps mode as the user's settings keep it, and puts back what was there.
class UserAppsMode : NoCopy {
public:
    explicit UserAppsMode(Mode mode) {
        DWORD size = sizeof m_saved;
        m_had = ::RegGetValueA(HKEY_CURRENT_USER, kPersonalize, "AppsUseLightTheme", RRF_RT_REG_DWORD,
                               nullptr, &m_saved, &size) == ERROR_SUCCESS;
        Set(mode == Mode::kLight ? 1 : 0);
    }
    ~UserAppsMode() {
        if (m_had)
            Set(m_saved);
        else
            ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kPersonalize, "AppsUseLightTheme");
    }

private:
    static void Set(DWORD light) {
        ::RegSetKeyValueA(HKEY_CURRENT_USER, kPersonalize, "AppsUseLightTheme", REG_DWORD, &light,
                          sizeof light);
    }
    DWORD m_saved = 1;
    bool m_had = false;
};

// A window attribute asked for and its value (-1 for a value that is no BOOL).
using CaptionRequest = std::pair<DWORD, BOOL>;

std::vector<CaptionRequest> g_captionRequests;
void* g_realSetAttribute = nullptr;

HRESULT WINAPI RecordCaptionRequest(HWND window, DWORD attribute, LPCVOID value, DWORD size) {
    g_captionRequests.push_back({attribute, size == sizeof(BOOL) ? *static_cast<const BOOL*>(value) : -1});
    using Fn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
    return reinterpret_cast<Fn>(g_realSetAttribute)(window, attribute, value, size);
}

// The library's requests of DwmSetWindowAttribute while it lives.
class CaptionRequests : NoCopy {
public:
    CaptionRequests()
        : m_hook("dwmapi.dll", "DwmSetWindowAttribute", reinterpret_cast<void*>(&RecordCaptionRequest)) {
        g_realSetAttribute = m_hook.Original();
        g_captionRequests.clear();
    }
    bool Installed() const { return m_hook.Installed(); }
    const std::vector<CaptionRequest>& Made() const { return g_captionRequests; }

private:
    hook::ImportHook m_hook;
};

// DWMWA_USE_IMMERSIVE_DARK_MODE, the number the dark caption has on the Windows 10 build Wine 10.0
// reports (19045).
constexpr DWORD kDarkCaptionAttribute = 20;

// High contrast as the library's question of the system answers it, while the object lives.
void* g_realSystemParameters = nullptr;
BOOL WINAPI HighContrastOn(UINT action, UINT param, PVOID data, UINT flags) {
    if (action == SPI_GETHIGHCONTRAST && data) {
        static_cast<HIGHCONTRASTW*>(data)->dwFlags = HCF_HIGHCONTRASTON | HCF_AVAILABLE;
        return TRUE;
    }
    using Fn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT);
    return reinterpret_cast<Fn>(g_realSystemParameters)(action, param, data, flags);
}
class HighContrast : NoCopy {
public:
    HighContrast() : m_hook("user32.dll", "SystemParametersInfoW", reinterpret_cast<void*>(&HighContrastOn)) {
        g_realSystemParameters = m_hook.Original();
    }
    bool Installed() const { return m_hook.Installed(); }

private:
    hook::ImportHook m_hook;
};

// ---- What a user sees of a dialog -----------------------------------------------------------------

const char* const kFlaggedPath = "C:\\work\\src\\re\xADport.c"; // a soft hyphen, shown as a marker

struct Look {
    double background = -1; // the median luminance of the client area
    double worstText = 100; // the lowest contrast of an enabled control's text
    std::string worstControl;
    // The file list: a plain row's text, a selected row's text, the selection against the list, a marker.
    double rowText = 0, selectedRowText = 0, selection = 0, marker = 0;
};

std::ostream& operator<<(std::ostream& out, const Look& look) {
    return out << "background " << look.background << ", worst text " << look.worstText << " ("
               << look.worstControl << "), row " << look.rowText << ", selected row " << look.selectedRowText
               << ", selection " << look.selection << ", marker " << look.marker;
}

// A row's text part: past its check box.
RECT RowTextRect(HWND list, int row) {
    RECT rect = {};
    ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    rect.left += (rect.bottom - rect.top) + 4;
    return rect;
}

int RowOf(ui::Window list, const std::string& text) {
    const std::vector<ui::Row> rows = list.Rows();
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].text == text)
            return static_cast<int>(i);
    return -1;
}

Look LookAt(ui::Window dialog) {
    HWND hDlg = dialog.hwnd();
    // No focus rectangles: what is measured is text, not the dots around it.
    ::SendMessageW(hDlg, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    ui::Window list = dialog.Item(IDC_FILE_LIST);
    int plainRow = -1, selectedRow = -1, flaggedRow = -1;
    if (list) {
        flaggedRow = RowOf(list, kFlaggedPath);
        const int caret = static_cast<int>(::SendMessageW(list.hwnd(), LB_GETCARETINDEX, 0, 0));
        const int count = static_cast<int>(::SendMessageW(list.hwnd(), LB_GETCOUNT, 0, 0));
        for (int row = 0; row < count && selectedRow < 0; ++row) {
            if (row == caret || row == flaggedRow)
                continue;
            if (plainRow < 0)
                plainRow = row;
            else
                selectedRow = row;
        }
        ::SendMessageW(list.hwnd(), LB_SETSEL, FALSE, -1);
        ::SendMessageW(list.hwnd(), LB_SETSEL, TRUE, selectedRow);
    }
    ::RedrawWindow(hDlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);

    Look look;
    look.background = MedianLuminance(GrabClient(hDlg));
    for (HWND child = ::GetWindow(hDlg, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const std::string kind = ClassOf(child);
        const bool textual = kind == "Button" || kind == "Static" || kind == "Edit";
        // Disabled controls are exempt from the contrast rule, as WCAG has them.
        if (!textual || !::IsWindowVisible(child) || !::IsWindowEnabled(child) ||
            ui::Window(child).Text().empty())
            continue;
        const double contrast = TextContrast(GrabClient(child));
        if (contrast < look.worstText) {
            look.worstText = contrast;
            look.worstControl = kind + " \"" + ui::Window(child).Text() + "\"";
        }
    }
    if (list) {
        const Picture plain = Grab(list.hwnd(), RowTextRect(list.hwnd(), plainRow));
        const Picture selected = Grab(list.hwnd(), RowTextRect(list.hwnd(), selectedRow));
        look.rowText = TextContrast(plain);
        look.selectedRowText = TextContrast(selected);
        look.selection = Contrast(MostFrequent(selected), MostFrequent(plain));
        if (flaggedRow >= 0)
            look.marker = MarkerContrast(Grab(list.hwnd(), RowTextRect(list.hwnd(), flaggedRow)));
    }
    return look;
}

// A popup window's background and the worst contrast of its text.
struct PopupLook {
    double background = -1;
    double worstText = 100;
};

PopupLook LookAtMenu(ui::Window menu) {
    PopupLook look;
    look.background = MedianLuminance(GrabClient(menu.hwnd()));
    HMENU handle = reinterpret_cast<HMENU>(::SendMessageW(menu.hwnd(), MN_GETHMENU, 0, 0));
    const int count = handle ? ::GetMenuItemCount(handle) : 0;
    for (int i = 0; i < count; ++i) {
        const UINT state = ::GetMenuState(handle, static_cast<UINT>(i), MF_BYPOSITION);
        RECT item;
        if ((state & (MF_GRAYED | MF_DISABLED | MF_SEPARATOR)) ||
            !::GetMenuItemRect(nullptr, handle, i, &item))
            continue;
        ::MapWindowPoints(nullptr, menu.hwnd(), reinterpret_cast<POINT*>(&item), 2);
        look.worstText = std::min(look.worstText, TextContrast(Grab(menu.hwnd(), item)));
    }
    return look;
}

PopupLook LookAtToolTip(ui::Window tip) {
    const Picture picture = GrabClient(tip.hwnd());
    return {MedianLuminance(picture), TextContrast(picture)};
}

// Luminance limits: a light dialog as the system draws it (96-99 % before this work), a dark one.
constexpr double kLightAtLeast = 0.80, kDarkAtMost = 0.10;
constexpr double kTextAtLeast = 4.5, kSelectionAtLeast = 3.0;

void ExpectMode(double luminance, Mode mode, const std::string& what) {
    if (mode == Mode::kDark)
        EXPECT_LE(luminance, kDarkAtMost) << what << " is not dark";
    else
        EXPECT_GE(luminance, kLightAtLeast) << what << " is not light";
}

cmd::Arguments ArgumentsWithAFlaggedPath() {
    cmd::Arguments arguments = cmd::TypicalArguments();
    arguments.files.insert(kFlaggedPath);
    return arguments;
}

// ---- Every dialog in both modes -------------------------------------------------------------------

struct Case {
    cmd::Command command;
    Mode mode;
};

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    return std::string(cmd::Name(info.param.command)) + (info.param.mode == Mode::kDark ? "Dark" : "Light");
}

std::vector<Case> EveryDialogInBothModes() {
    std::vector<Case> cases;
    for (cmd::Command command : cmd::kAllCommands)
        for (Mode mode : {Mode::kLight, Mode::kDark})
            cases.push_back({command, mode});
    return cases;
}

class DialogInMode : public ::testing::TestWithParam<Case> {};

TEST_P(DialogInMode, FollowsTheUsersAppsModeReadablyWithItsListMenuTooltipAndCaption) {
    const Case c = GetParam();
    UserAppsMode user(c.mode);
    CaptionRequests caption;
    ASSERT_TRUE(caption.Installed()) << "corvel.dll does not import DwmSetWindowAttribute";
    cmd::Call call(c.command, ArgumentsWithAFlaggedPath());
    const bool hasList = cmd::HasFileList(c.command);
    Look look;
    PopupLook menu, tip;
    std::vector<ui::MenuItem> menuItems;
    ui::Script script;
    script.OnDialog(call.Caption(), [&](ui::Window dialog) {
        look = LookAt(dialog);
        if (hasList)
            dialog.Item(IDC_FILE_LIST).Key(VK_APPS);
    });
    if (hasList) {
        script.OnMenu([&](ui::Window open) {
            menu = LookAtMenu(open);
            menuItems = open.MenuItems();
            open.Key(VK_ESCAPE);
        });
        script.OnDialog(call.Caption(), [&](ui::Window dialog) {
            ui::Window list = dialog.Item(IDC_FILE_LIST);
            // From another row: a tooltip waits for the mouse to move, and it may rest there already.
            list.RestMouseOnRow(RowOf(list, kFlaggedPath) == 0 ? 1 : 0);
            list.RestMouseOnRow(RowOf(list, kFlaggedPath));
        });
        script.OnWindow("the flagged row's tooltip", ui::VisibleToolTip, [&](ui::Window open) {
            tip = LookAtToolTip(open);
            ui::PostClose(ui::ActiveDialog(), ui::Close::Cancel);
        });
    } else {
        script.OnDialog(call.Caption(), [](ui::Window dialog) { ui::PostClose(dialog, ui::Close::Cancel); });
    }
    call.Run(script);

    SCOPED_TRACE(::testing::Message() << look);
    // The figures, for the record of each run.
    std::printf("%s: %s; menu %.2f, tooltip %.2f\n", CaseName({c, 0}).c_str(),
                (::testing::Message() << look).GetString().c_str(), menu.worstText, tip.worstText);
    ExpectMode(look.background, c.mode, "the dialog");
    EXPECT_GE(look.worstText, kTextAtLeast) << look.worstControl;
    if (c.mode == Mode::kDark)
        EXPECT_EQ(caption.Made(), (std::vector<CaptionRequest>{{kDarkCaptionAttribute, TRUE}}));
    else
        EXPECT_EQ(caption.Made(), std::vector<CaptionRequest>());
    if (!hasList)
        return;
    EXPECT_GE(look.rowText, kTextAtLeast);
    // In light the selection is the system's colour pair, as the user chose it (Windows' own default has
    // 4.5:1; Wine's light blue less): the row keeps to it.
    const double selectedAtLeast =
        c.mode == Mode::kDark
            ? kTextAtLeast
            : std::min(kTextAtLeast,
                       Contrast(::GetSysColor(COLOR_HIGHLIGHT), ::GetSysColor(COLOR_HIGHLIGHTTEXT)) - 0.05);
    EXPECT_GE(look.selectedRowText, selectedAtLeast);
    EXPECT_GE(look.selection, kSelectionAtLeast);
    EXPECT_GE(look.marker, kTextAtLeast);
    ExpectMode(menu.background, c.mode, "the context menu");
    EXPECT_GE(menu.worstText, kTextAtLeast) << "the context menu";
    // Drawn by the library in dark, the items still read as the system's do.
    EXPECT_NE(std::find(menuItems.begin(), menuItems.end(), ui::MenuItem{"&Check", true}), menuItems.end());
    ExpectMode(tip.background, c.mode, "the tooltip");
    EXPECT_GE(tip.worstText, kTextAtLeast) << "the tooltip";
}

INSTANTIATE_TEST_SUITE_P(Dialogs, DialogInMode, ::testing::ValuesIn(EveryDialogInBothModes()), CaseName);

// ---- High contrast --------------------------------------------------------------------------------

class HighContrastDialog : public ::testing::TestWithParam<cmd::Command> {};

TEST_P(HighContrastDialog, WinsOverTheDarkAppsModeWithTheSystemColours) {
    UserAppsMode user(Mode::kDark);
    HighContrast highContrast;
    ASSERT_TRUE(highContrast.Installed());
    CaptionRequests caption;
    cmd::Call call(GetParam(), cmd::TypicalArguments());
    double background = -1;
    ui::Script script;
    script.OnDialog(call.Caption(), [&](ui::Window dialog) {
        background = MedianLuminance(GrabClient(dialog.hwnd()));
        ui::PostClose(dialog, ui::Close::Cancel);
    });
    call.Run(script);
    ExpectMode(background, Mode::kLight, "the dialog");
    EXPECT_EQ(caption.Made(), std::vector<CaptionRequest>());
}

INSTANTIATE_TEST_SUITE_P(Commands, HighContrastDialog, ::testing::ValuesIn(cmd::kAllCommands),
                         cmd::ParamName());

// ---- The host's choice, through the C interface ---------------------------------------------------

// The session dialog's background, opened by `open`.
double SessionBackground(const std::function<void()>& open) {
    double background = -1;
    ui::Script script;
    script.OnDialog(cmd::Caption(cmd::Command::Session), [&](ui::Window dialog) {
        background = MedianLuminance(GrabClient(dialog.hwnd()));
        ui::PostClose(dialog, ui::Close::Cancel);
    });
    script.Run(open);
    return background;
}

int CORVEL_CALL PlainSessionCall() {
    int flags[4] = {};
    return corvel_session_options(&flags[0], &flags[1], &flags[2], &flags[3], nullptr, nullptr);
}

int CallCppExport(void*) {
    int ignoreCase = 0, ignoreSpaces = 0, keepAfterAdd = 0, keepAfterCheckIn = 0;
    FakeProvider provider;
    return CorvelDoSessionOptions(ignoreCase, ignoreSpaces, keepAfterAdd, keepAfterCheckIn, provider,
                                  nullptr);
}

struct Choice {
    const char* name;
    Mode user;
    size_t size; // of the host's options
    int appearance;
    bool highContrast;
    bool cppInside; // the C++ interface is called inside the choice
    Mode shown;
};

const Choice kChoices[] = {
    {"DarkOverLight", Mode::kLight, sizeof(corvel_options), CORVEL_APPEARANCE_DARK, false, false,
     Mode::kDark},
    {"LightOverDark", Mode::kDark, sizeof(corvel_options), CORVEL_APPEARANCE_LIGHT, false, false,
     Mode::kLight},
    {"SystemInDark", Mode::kDark, sizeof(corvel_options), CORVEL_APPEARANCE_SYSTEM, false, false,
     Mode::kDark},
    {"SystemInLight", Mode::kLight, sizeof(corvel_options), CORVEL_APPEARANCE_SYSTEM, false, false,
     Mode::kLight},
    // A host built with a later header, whose options have fields this library does not know.
    {"LargerOptions", Mode::kLight, sizeof(corvel_options) + 16, CORVEL_APPEARANCE_DARK, false, false,
     Mode::kDark},
    {"HighContrastWinsOverDark", Mode::kLight, sizeof(corvel_options), CORVEL_APPEARANCE_DARK, true, false,
     Mode::kLight},
    {"CppInterfaceFollowsTheSystem", Mode::kLight, sizeof(corvel_options), CORVEL_APPEARANCE_DARK, false,
     true, Mode::kLight},
};

class HostChoice : public ::testing::TestWithParam<Choice> {};

TEST_P(HostChoice, AppliesToTheCallsInsideAndNothingAfter) {
    const Choice c = GetParam();
    ASSERT_TRUE(dark_host_has_options()) << "corvel.dll has no corvel_with_options";
    UserAppsMode user(c.user);
    std::unique_ptr<HighContrast> highContrast(c.highContrast ? new HighContrast : nullptr);
    int result = -1;
    const double inside = SessionBackground([&] {
        result = dark_host_session(c.size, c.appearance, c.cppInside ? &CallCppExport : nullptr, nullptr);
    });
    EXPECT_EQ(result, CORVEL_CANCEL);
    ExpectMode(inside, c.shown, "the dialog inside the choice");
    // The next call follows the user's mode again.
    const double after = SessionBackground([] { PlainSessionCall(); });
    ExpectMode(after, c.highContrast ? Mode::kLight : c.user, "the dialog after the choice");
}

INSTANTIATE_TEST_SUITE_P(Hosts, HostChoice, ::testing::ValuesIn(kChoices),
                         [](const ::testing::TestParamInfo<Choice>& info) {
                             return std::string(info.param.name);
                         });

TEST(HostChoiceOptions, BadOptionsAreRefusedWithoutCallingTheHost) {
    int calls = -1;
    EXPECT_EQ(dark_host_bad_options(&calls), 0);
    EXPECT_EQ(calls, 0);
}

} // namespace
