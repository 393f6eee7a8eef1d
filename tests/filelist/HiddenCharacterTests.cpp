// Paths holding direction overrides, invisible, control and format characters: each row shows them as
// named markers (drawn, and spelt out to screen readers), is flagged in its tooltip and description, and
// every path comes back byte for byte; a path box holding one warns under the box and returns its text
// unchanged.
#include "Commands.h"
#include "Languages.h"
#include "UiDriver.h"
#include "resource.h"

#include <corvel/corvel_c.h>

#include <gtest/gtest.h>
#include <oleacc.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

// The frame drawn round each marker.
constexpr COLORREF kMarkerColour = RGB(192, 0, 0);

std::string Utf8(const std::wstring& text) {
    std::string bytes(text.size() * 4 + 1, '\0');
    bytes.resize(static_cast<size_t>(
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0],
                              static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

std::vector<HWND> VisibleControls(HWND dialog) {
    std::vector<HWND> controls;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (::IsWindowVisible(child))
            controls.push_back(child);
    return controls;
}

RECT Place(HWND window) {
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return rect;
}

std::wstring Read(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*property)(VARIANT, BSTR*),
                  long id) {
    VARIANT child;
    child.vt = VT_I4;
    child.lVal = id;
    BSTR text = nullptr;
    std::wstring result = (object->*property)(child, &text) == S_OK && text ? text : L"";
    ::SysFreeString(text);
    return result;
}

IAccessible* ListObject(ui::Window dialog) {
    IAccessible* object = nullptr;
    EXPECT_EQ(::AccessibleObjectFromWindow(dialog.Item(IDC_FILE_LIST).hwnd(),
                                           static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                           reinterpret_cast<void**>(&object)),
              S_OK);
    return object;
}

// Pixels of the marker colour in the row's text part, as the list has drawn it on screen.
int MarkerPixels(HWND list, int row) {
    RECT rect;
    ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = ::GetDC(list), memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    int count = 0;
    const DWORD wanted =
        (GetRValue(kMarkerColour) << 16) | (GetGValue(kMarkerColour) << 8) | GetBValue(kMarkerColour);
    for (int i = 0; i < width * height; ++i)
        count += (static_cast<const DWORD*>(bits)[i] & 0xFFFFFF) == wanted;
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(list, screen);
    return count;
}

struct PathCase {
    std::wstring path;
    std::wstring name;    // the accessible name: the path with its markers spelt out
    std::wstring warning; // the row's description; empty for a path with nothing hidden
};

const std::vector<PathCase>& PathCases() {
    static const std::vector<PathCase> cases = {
        {L"C:\\work\\invoice\u202Efdp.exe", L"C:\\work\\invoice<RLO>fdp.exe",
         L"contains a right-to-left override (U+202E)"},
        {L"C:\\work\\a\u200Bb.c", L"C:\\work\\a<ZWSP>b.c", L"contains a zero width space (U+200B)"},
        {L"\u200EC:\\start.txt", L"<LRM>C:\\start.txt", L"contains a left-to-right mark (U+200E)"},
        {L"C:\\end.txt\u2069", L"C:\\end.txt<PDI>", L"contains a pop directional isolate (U+2069)"},
        {L"C:\\tab\tx\u0085y.c", L"C:\\tab<U+0009>x<U+0085>y.c",
         L"contains a control character (U+0009), a control character (U+0085)"},
        {L"C:\\soft\u00ADhyphen\uFEFF.c", L"C:\\soft<SHY>hyphen<ZWNBSP>.c",
         L"contains a soft hyphen (U+00AD), a zero width no-break space (U+FEFF)"},
        {L"C:\\emoji\u2764\uFE0F\U000E0041.c", L"C:\\emoji\u2764<VS16><U+E0041>.c",
         L"contains a variation selector (U+FE0F), an invisible character (U+E0041)"},
        {L"C:\\\u0645\u0634\u0627\u0631\u064A\u0639\\\u2067x.c",
         L"C:\\\u0645\u0634\u0627\u0631\u064A\u0639\\<RLI>x.c", L"contains a right-to-left isolate (U+2067)"},
        {L"C:\\\u05E4\u05E8\u05D5\u05D9\u05E7\u05D8\\\u061C\u202Dy.c",
         L"C:\\\u05E4\u05E8\u05D5\u05D9\u05E7\u05D8\\<ALM><LRO>y.c",
         L"contains an Arabic letter mark (U+061C), a left-to-right override (U+202D)"},
        {L"C:\\\u0645\u0634\u0627\u0631\u064A\u0639\\plain.c",
         L"C:\\\u0645\u0634\u0627\u0631\u064A\u0639\\plain.c", L""},
        {L"C:\\\u05E4\u05E8\u05D5\u05D9\u05E7\u05D8\\plain.c",
         L"C:\\\u05E4\u05E8\u05D5\u05D9\u05E7\u05D8\\plain.c", L""},
        {L"C:\\work\\ab.c", L"C:\\work\\ab.c", L""},
    };
    return cases;
}

TEST(HiddenCharacters, RowsShowTheirMarkersAndEveryPathComesBackByteForByte) {
    std::vector<std::string> paths;
    for (const PathCase& c : PathCases())
        paths.push_back(Utf8(c.path));
    std::vector<const char*> files;
    for (const std::string& path : paths)
        files.push_back(path.c_str());

    std::map<std::wstring, std::pair<std::wstring, int>> rowsSeen; // name: description, marker pixels
    std::wstring listDescription;
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        // Tall enough for every row to be drawn.
        ::SetWindowPos(dialog.hwnd(), nullptr, 0, 0, 700, 600, SWP_NOMOVE | SWP_NOZORDER);
        HWND list = dialog.Item(IDC_FILE_LIST).hwnd();
        ::RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        IAccessible* object = ListObject(dialog);
        const int rows = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
        int invoiceRow = -1;
        for (int row = 0; row < rows; ++row) {
            const std::wstring name = Read(object, &IAccessible::get_accName, row + 1);
            if (name == PathCases()[0].name)
                invoiceRow = row;
            rowsSeen[name] = {Read(object, &IAccessible::get_accDescription, row + 1),
                              MarkerPixels(list, row)};
        }
        listDescription = Read(object, &IAccessible::get_accDescription, CHILDID_SELF);
        object->Release();
        dialog.Item(IDC_FILE_LIST).RestMouseOnRow(invoiceRow);
    });
    script.OnWindow("the invoice row's tooltip", ui::VisibleToolTip, [&](ui::Window tip) {
        ui::Window dialog = ui::ActiveDialog();
        const std::string text = tip.ToolTipText(dialog.Item(IDC_FILE_LIST));
        EXPECT_EQ(text, "C:\\work\\invoice<RLO>fdp.exe\r\ncontains a right-to-left override (U+202E)");
        ui::PostClose(dialog, ui::Close::Ok);
    });
    char** checked = nullptr;
    size_t count = 0;
    script.Run([&] {
        ASSERT_EQ(corvel_multi_file_options(files.data(), files.size(), nullptr, 0, nullptr, nullptr,
                                            &checked, &count),
                  CORVEL_OK);
    });
    ASSERT_NE(checked, nullptr);
    EXPECT_EQ(std::set<std::string>(checked, checked + count),
              std::set<std::string>(paths.begin(), paths.end()));
    corvel_release(checked);

    ASSERT_EQ(rowsSeen.size(), PathCases().size());
    for (const PathCase& c : PathCases()) {
        const auto& [description, pixels] = rowsSeen[c.name];
        EXPECT_EQ(Utf8(description), Utf8(c.warning)) << Utf8(c.name);
        // A marker is drawn for each row with something hidden, and none for the others.
        EXPECT_EQ(pixels > 0, !c.warning.empty()) << Utf8(c.name) << ": " << pixels << " marker pixels";
    }
    EXPECT_EQ(Utf8(listDescription),
              "12 of 12 checked, 9 paths contain hidden or direction-changing characters");
}

// The ANSI interface shows what its code page's bytes stand for (0xAD is a soft hyphen in code page 1252),
// and a row's warning is in the user's language: English names single characters, German their kind.
TEST(HiddenCharacters, AnsiPathsAreJudgedAfterConversionAndWarnedOfInTheUsersLanguage) {
    if (::GetACP() != 1252)
        GTEST_SKIP() << "the ANSI code page is " << ::GetACP();
    const std::pair<LANGID, std::wstring> cases[] = {
        {0x0409, L"contains a soft hyphen (U+00AD)"},
        {0x0407, L"enth\u00E4lt ein unsichtbares Zeichen (U+00AD)"},
    };
    for (const auto& [language, warning] : cases) {
        lang::AsUserInterfaceLanguage asked(language);
        cmd::Arguments arguments;
        arguments.files = {"C:\\soft\xADhyphen.c", "C:\\plain.c"};
        const cmd::Arguments given = arguments;
        std::vector<std::wstring> heard;
        ui::Script script;
        script.OnDialog("", [&](ui::Window dialog) {
            IAccessible* object = ListObject(dialog);
            for (long id = 1; id <= 2; ++id)
                heard.push_back(Read(object, &IAccessible::get_accName, id));
            heard.push_back(Read(object, &IAccessible::get_accDescription, 2));
            object->Release();
            ui::PostClose(dialog, ui::Close::Ok);
        });
        FakeProvider provider;
        script.Run([&] { EXPECT_EQ(cmd::Invoke(cmd::Command::MultiFile, arguments, provider, nullptr), 1); });
        EXPECT_EQ(heard, (std::vector<std::wstring>{L"C:\\plain.c", L"C:\\soft<SHY>hyphen.c", warning}));
        EXPECT_EQ(arguments, given);
    }
}

// Each path box holding an override: a warning under the box, the controls below moved clear of it, and
// the box's text returned exactly. The single-file box then loses the override as the user edits it.
TEST(HiddenCharacters, PathBoxesWarnAndReturnTheirTextUnchanged) {
    const std::string path = Utf8(L"C:\\work\\invoice\u202Efdp.exe");
    const std::string warning = "This path contains a right-to-left override (U+202E).";
    struct BoxCase {
        cmd::Command command;
        std::vector<int> boxes;
    };
    for (const BoxCase& box :
         {BoxCase{cmd::Command::SingleFile, {IDC_PATH}}, BoxCase{cmd::Command::Diff, {IDC_PATH}},
          BoxCase{cmd::Command::Rename, {IDC_PATH, IDC_NEW_NAME}}}) {
        SCOPED_TRACE(cmd::Name(box.command));
        int warnings = 0;
        ui::Script script;
        script.OnDialog(cmd::Caption(box.command), [&](ui::Window dialog) {
            for (int id : box.boxes) {
                // The warning is the static right under the box, clear of every control below it.
                for (HWND line : VisibleControls(dialog.hwnd())) {
                    const RECT lineRect = Place(line);
                    if (ui::Window(line).Text() != warning ||
                        lineRect.top < Place(dialog.Item(id).hwnd()).bottom)
                        continue;
                    ++warnings;
                    for (HWND other : VisibleControls(dialog.hwnd())) {
                        RECT overlap, otherRect = Place(other);
                        EXPECT_TRUE(other == line || !::IntersectRect(&overlap, &otherRect, &lineRect))
                            << ui::Window(other).Text();
                    }
                    break;
                }
            }
            if (box.command == cmd::Command::SingleFile)
                dialog.Item(IDC_PATH).Retype("C:\\clean.c");
            else
                ui::PostClose(dialog, ui::Close::Ok);
        });
        if (box.command == cmd::Command::SingleFile) {
            script.Then("the warning goes with the override", [] {
                ui::Window dialog = ui::ActiveDialog();
                for (HWND control : VisibleControls(dialog.hwnd()))
                    if (ui::Window(control).Text().find("U+202E") != std::string::npos)
                        return false;
                ui::PostClose(dialog, ui::Close::Ok);
                return true;
            });
        }
        char* first = nullptr;
        char* second = nullptr;
        int ignoreCase = 0, ignoreSpaces = 0;
        script.Run([&] {
            const int result =
                box.command == cmd::Command::SingleFile
                    ? corvel_single_file_options(path.c_str(), nullptr, nullptr, &first)
                : box.command == cmd::Command::Diff
                    ? corvel_diff_options(path.c_str(), &ignoreCase, &ignoreSpaces, nullptr, nullptr, &first)
                    : corvel_rename_options(path.c_str(), path.c_str(), nullptr, &first, &second);
            EXPECT_EQ(result, CORVEL_OK);
        });
        EXPECT_EQ(warnings, static_cast<int>(box.boxes.size()));
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(std::string(first), box.command == cmd::Command::SingleFile ? "C:\\clean.c" : path);
        if (second) {
            EXPECT_EQ(std::string(second), path);
        }
        corvel_release(first);
        corvel_release(second);
    }
}

} // namespace
