// The dialogs in every language the library speaks, as the user sees them: in the language the thread's
// user interface asks for (or the nearest one there is), every text whole inside its control in the font
// the dialog was given, mnemonics unique, each dialog at least as large as in English, and right-to-left
// languages laid out mirrored. Then the strings outside the templates, and a run in a process of the
// user's own locale (CTest runs it under German, Japanese and Arabic; CORVEL_EXPECT_LANGUAGE names it).
#include "Commands.h"
#include "Languages.h"
#include "UiDriver.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using cmd::Command;
using lang::Language;

std::wstring TextOf(HWND window) {
    wchar_t text[512] = L"";
    ::GetWindowTextW(window, text, 512);
    return text;
}

// A resource of corvel.dll in exactly `language`: a template's caption, or a string.
const WCHAR* Resource(WORD type, UINT id, LANGID language) {
    HMODULE module = hook::LibraryUnderTest();
    HRSRC found = ::FindResourceExW(module, MAKEINTRESOURCEW(type), MAKEINTRESOURCEW(id), language);
    return found ? static_cast<const WCHAR*>(::LockResource(::LoadResource(module, found))) : L"\0\0\0";
}
std::wstring Caption(Command command, LANGID language) {
    const WCHAR* at =
        Resource(5, static_cast<UINT>(cmd::TemplateId(command)), language) + 9; // past the header
    for (int field = 0; field < 2; ++field) // menu and class: none or an ordinal in these templates
        at += *at == 0xFFFF ? 2 : 1;
    return at;
}
std::wstring String(UINT id, LANGID language) {
    const WCHAR* at = Resource(6, id / 16 + 1, language);
    for (UINT i = 0; i < id % 16; ++i)
        at += 1 + *at;
    return std::wstring(at + 1, *at);
}

// The access key a text marks with '&', upper case; 0 for none.
wchar_t Mnemonic(const std::wstring& text) {
    const size_t at = text.find(L'&');
    return at != std::wstring::npos && at + 1 < text.size()
               ? static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(
                     ::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(text[at + 1])))))
               : 0;
}

// Opens the command's dialog with typical arguments, hands it to `look` as it comes up and cancels it.
void Open(Command command, const std::function<void(HWND dialog)>& look) {
    cmd::Arguments arguments = cmd::TypicalArguments();
    FakeProvider provider;
    ui::WhenShown shown([&](ui::Window dialog) {
        look(dialog.hwnd());
        ui::PostClose(dialog, ui::Close::Cancel);
    });
    cmd::Invoke(command, arguments, provider, nullptr);
}

// A text's width as its control draws it: a label's on one line, a button's (or check box's) ideal size.
int NeededWidth(HWND control) {
    const std::wstring text = TextOf(control);
    SIZE ideal = {};
    if (text.empty() || ::SendMessageW(control, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)))
        return ideal.cx;
    HDC dc = ::GetDC(control);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT rect = {};
    ::DrawTextW(dc, text.c_str(), -1, &rect, DT_CALCRECT | DT_SINGLELINE);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return rect.right;
}

RECT ScreenRect(HWND window) {
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return rect;
}

class EveryLanguage : public testing::TestWithParam<Language> {
protected:
    // Each dialog's size in English, the least every language opens it at.
    static void SetUpTestSuite() {
        lang::AsUserInterfaceLanguage english(0x0409);
        for (Command command : cmd::kAllCommands)
            Open(command, [&](HWND dialog) { s_english[command] = ScreenRect(dialog); });
    }
    static std::map<Command, RECT> s_english;
};
std::map<Command, RECT> EveryLanguage::s_english;

// Every control's text whole inside the control, in the font the dialog was given; the least room any
// text has to spare, in pixels, is kept in `leastSpare`.
void ExpectEveryTextFits(HWND dialog, int& leastSpare) {
    RECT units = {0, 0, 100, 0}; // 100 dialog units in pixels, to tell what a clipped text needs
    ::MapDialogRect(dialog, &units);
    for (HWND control = ::GetWindow(dialog, GW_CHILD); control; control = ::GetWindow(control, GW_HWNDNEXT)) {
        const RECT rect = ScreenRect(control);
        const int needed = NeededWidth(control);
        EXPECT_LE(needed, rect.right - rect.left)
            << "clipped: " << testing::PrintToString(TextOf(control)) << " needs "
            << (needed * 100 + units.right - 1) / units.right << " dialog units";
        if (needed > 0)
            leastSpare = std::min(leastSpare, static_cast<int>(rect.right - rect.left) - needed);
    }
}

TEST_P(EveryLanguage, EveryDialogInItsLanguageWhollyReadableAndInReadingOrder) {
    const Language language = GetParam();
    lang::AsUserInterfaceLanguage asked(language.id);
    for (Command command : cmd::kAllCommands) {
        SCOPED_TRACE(cmd::Name(command));
        Open(command, [&](HWND dialog) {
            EXPECT_EQ(TextOf(dialog), Caption(command, language.id));
            int leastSpare = INT_MAX;
            ExpectEveryTextFits(dialog, leastSpare);
            std::set<wchar_t> keys;
            for (HWND control = ::GetWindow(dialog, GW_CHILD); control;
                 control = ::GetWindow(control, GW_HWNDNEXT)) {
                const wchar_t key = Mnemonic(TextOf(control));
                EXPECT_TRUE(!key || keys.insert(key).second) << "mnemonic used twice: " << int{key};
            }
            // Mirrored: the list and session dialogs' buttons stand left, the path dialogs' OK right of
            // Cancel, the size grip bottom left; paths still read left to right, the comment does not.
            const RECT window = ScreenRect(dialog), english = s_english[command];
            EXPECT_TRUE(window.right - window.left >= english.right - english.left &&
                        window.bottom - window.top >= english.bottom - english.top);
            EXPECT_EQ((::GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0, language.rightToLeft);
            const bool beside = cmd::HasFileList(command) || command == Command::Session;
            const LONG middle = (window.left + window.right) / 2,
                       ok = ScreenRect(::GetDlgItem(dialog, IDOK)).left;
            EXPECT_EQ(beside ? ok > middle : ok > ScreenRect(::GetDlgItem(dialog, IDCANCEL)).left,
                      beside != language.rightToLeft);
            if (HWND grip = ::GetDlgItem(dialog, 0xE801)) {
                EXPECT_EQ(ScreenRect(grip).left < middle, language.rightToLeft) << "size grip";
            }
            for (int id : {IDC_PATH, IDC_NEW_NAME, IDC_COMMENT})
                if (HWND box = ::GetDlgItem(dialog, id)) {
                    const LONG style =
                        ::GetWindowLongW(box, GWL_EXSTYLE) & (WS_EX_LAYOUTRTL | WS_EX_RTLREADING);
                    EXPECT_EQ(style != 0, id == IDC_COMMENT && language.rightToLeft) << "box " << id;
                }
        });
    }
}

// The context menu (its summaries with the numbers in place: one path holds a control character) and the
// warning message box.
TEST_P(EveryLanguage, MenuAndMessageInItsLanguage) {
    const LANGID language = GetParam().id;
    lang::AsUserInterfaceLanguage asked(language);
    cmd::Arguments arguments = cmd::TypicalArguments();
    arguments.otherFiles.insert("C:\\unit\x1Fseparator.txt");
    cmd::Call call(Command::MultiFile, arguments);
    call.provider.showThrows = true;
    std::vector<std::wstring> menu;
    std::wstring message;
    ui::Script script;
    script.OnDialog("", [](ui::Window dialog) { dialog.Item(IDC_FILE_LIST).RightClickRow(0); });
    script.OnMenu([&](ui::Window popup) {
        HMENU handle = reinterpret_cast<HMENU>(::SendMessageW(popup.hwnd(), MN_GETHMENU, 0, 0));
        for (int i = 0; i < ::GetMenuItemCount(handle); ++i) {
            wchar_t text[256] = L"";
            if (::GetMenuStringW(handle, static_cast<UINT>(i), text, 256, MF_BYPOSITION) > 0)
                menu.push_back(text);
        }
        popup.Key(VK_ESCAPE);
    });
    script.OnDialog("", [](ui::Window dialog) { dialog.Item(IDC_ADVANCED).Click(); });
    script.OnMessageBox([&](ui::Window box) {
        message = TextOf(::GetDlgItem(box.hwnd(), 0xFFFF));
        box.Key(VK_RETURN);
    });
    script.OnDialog("", [](ui::Window dialog) { ui::PostClose(dialog, ui::Close::Cancel); });
    call.Run(script);

    std::wstring summary = String(IDS_CHECKED_SUMMARY, language);
    summary.replace(summary.find(L"%1"), 2, L"3");
    summary.replace(summary.find(L"%2"), 2, L"6");
    std::vector<std::wstring> expected = {summary, String(IDS_HIDDEN_SUMMARY_ONE, language)};
    for (UINT id = IDS_MENU_CHECK; id <= IDS_MENU_COPY_PATHS; ++id)
        expected.push_back(String(id, language));
    EXPECT_EQ(menu, expected);
    EXPECT_EQ(message, String(IDS_ADVANCED_UNAVAILABLE, language));
    // What a path holds is put into these.
    for (UINT id : {IDS_HIDDEN_CONTAINS, IDS_HIDDEN_IN_BOX, IDS_HIDDEN_SUMMARY})
        EXPECT_NE(String(id, language).find(L"%1"), std::wstring::npos) << id;
}

INSTANTIATE_TEST_SUITE_P(Shipped, EveryLanguage, testing::ValuesIn(lang::Shipped()),
                         [](const testing::TestParamInfo<Language>& info) {
                             std::string name = info.param.tag;
                             name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                             return name;
                         });

// A language the library has not: the same language of another region or script, a named stand-in, or
// English. Then, without any stand-in, the process's own language, which Wine takes from the locale.
TEST(LanguageChoice, NearestLanguageTheLibraryHasThenTheUsersOwn) {
    const std::pair<LANGID, LANGID> asked_shown[] = {
        {0x0c07, 0x0407}, {0x0c0c, 0x040c}, {0x080a, 0x0c0a}, {0x0809, 0x0409}, // de-AT fr-CA es-MX en-GB
        {0x281a, 0x241a}, {0x101a, 0x041a}, {0x1004, 0x0804}, {0x0c04, 0x0404}, // sr-Cyrl hr-BA zh-SG zh-HK
        {0x0814, 0x0414}, {0x0c01, 0x0401}, {0x043c, 0x0409},                   // nn-NO ar-EG ga-IE
    };
    for (const auto& [asked, shown] : asked_shown) {
        lang::AsUserInterfaceLanguage language(asked);
        Open(Command::Session,
             [&](HWND dialog) { EXPECT_EQ(TextOf(dialog), Caption(Command::Session, shown)); });
    }
}

int ScreenDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

// The family of the font a window's text is drawn in, as the system realised it (the face a dialog asks
// for may be a name that stands for another), in UTF-8.
std::string FamilyOf(HWND window) {
    HDC dc = ::GetDC(window);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(window, WM_GETFONT, 0, 0)));
    std::string family = "?";
    if (const UINT size = ::GetOutlineTextMetricsW(dc, 0, nullptr)) {
        std::vector<char> metrics(size);
        auto* outline = reinterpret_cast<OUTLINETEXTMETRICW*>(metrics.data());
        if (::GetOutlineTextMetricsW(dc, size, outline)) {
            const auto* name = reinterpret_cast<const wchar_t*>(
                metrics.data() + reinterpret_cast<UINT_PTR>(outline->otmpFamilyName));
            char utf8[4 * LF_FACESIZE] = "";
            ::WideCharToMultiByte(CP_UTF8, 0, name, -1, utf8, sizeof utf8, nullptr, nullptr);
            family = utf8;
        }
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(window, dc);
    return family;
}

// The ANSI code page of a language's own locale.
UINT CodePageOf(LANGID language) {
    UINT codePage = 0;
    ::GetLocaleInfoW(MAKELCID(language, SORT_DEFAULT), LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                     reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(WCHAR));
    return codePage;
}

// The font "MS Shell Dlg" becomes, and so every text's width, depends on the process's locale: Wine (as
// Windows) gives each ANSI code page its own dialog fonts. In a process of a user's locale, every language
// of that code page is measured as its users see it. CTest runs this in a locale of each code page the
// languages have, at 96 and at 144 DPI; the figures give each language's tightest text.
TEST(UserLocale, EveryLanguageOfItsCodePageFitsInTheUsersFont) {
    int measured = 0;
    for (const Language& language : lang::Shipped()) {
        if (CodePageOf(language.id) != ::GetACP())
            continue;
        SCOPED_TRACE(language.tag);
        lang::AsUserInterfaceLanguage asked(language.id);
        int leastSpare = INT_MAX;
        std::string family;
        for (Command command : cmd::kAllCommands) {
            SCOPED_TRACE(cmd::Name(command));
            Open(command, [&](HWND dialog) {
                ExpectEveryTextFits(dialog, leastSpare);
                family = FamilyOf(dialog);
            });
        }
        std::printf("[ figures  ] %-10s code page %u, %d DPI, dialog font %s: the tightest text has %d px "
                    "to spare\n",
                    language.tag, ::GetACP(), ScreenDpi(), family.c_str(), leastSpare);
        ++measured;
    }
    EXPECT_GT(measured, 0) << "no language of code page " << ::GetACP();
}

TEST(UserLocale, DialogInTheUsersLanguageWorksAsInEnglish) {
    const char* expected = std::getenv("CORVEL_EXPECT_LANGUAGE");
    const LANGID language = expected ? static_cast<LANGID>(std::strtoul(expected, nullptr, 16)) : 0x0409;
    ASSERT_EQ(::GetUserDefaultUILanguage(), language) << "the run is not in its locale";
    cmd::Call call(Command::CheckIn, cmd::TypicalArguments());
    std::wstring caption;
    ui::Script script;
    script.OnDialog("", [&](ui::Window dialog) {
        caption = TextOf(dialog.hwnd());
        dialog.Item(IDC_FILE_LIST).ClickRowCheckBox(0);
    });
    script.OnDialog("", [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    call.Run(script);
    EXPECT_EQ(caption, Caption(Command::CheckIn, language));
    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.files.size(), cmd::TypicalArguments().files.size() - 1); // the click unchecked a row
}

} // namespace
