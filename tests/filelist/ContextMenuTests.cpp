// The file list's context menu through the real multi-file dialog: the three ways it opens, its count line,
// what each command leaves checked after OK, Copy Paths, and the list's accessible summary of the count.
#include "FakeProvider.h"
#include "Commands.h"
#include "UiDriver.h"
#include "resource.h"

#include <corvel/corvel.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

using Files = std::set<std::string>;

enum class Opener { RightClick, ShiftF10, ApplicationsKey };

// Opens the list's menu; a right-click aims at `row`, the keys at the focused list.
void OpenMenu(ui::Window list, Opener how, int row) {
    switch (how) {
    case Opener::RightClick:
        list.RightClickRow(row);
        break;
    case Opener::ShiftF10:
        list.ShiftKey(VK_F10);
        break;
    case Opener::ApplicationsKey:
        list.Key(VK_APPS);
        break;
    }
}

Files NumberedPaths(const char* folder, int count) {
    Files paths;
    char path[64];
    for (int i = 0; i < count; ++i) {
        std::snprintf(path, sizeof path, "C:\\%s\\file%04d.c", folder, i);
        paths.insert(path);
    }
    return paths;
}

class CheckListMenuOpening : public ::testing::TestWithParam<Opener> {};

TEST_P(CheckListMenuOpening, ShowsTheCheckedCountThenTheCommands) {
    cmd::Call call(cmd::Command::MultiFile);
    call.files = NumberedPaths("checked", 1500);
    call.otherFiles = NumberedPaths("other", 1000);
    std::vector<ui::MenuItem> items;
    ui::Script script;
    script.OnDialog("Options", [](ui::Window dialog) {
        ui::Window list = dialog.Item(IDC_FILE_LIST);
        list.ClickRowText(3); // a selection, so that the commands on it are offered from the keyboard too
        OpenMenu(list, GetParam(), 3);
    });
    script.OnMenu([&](ui::Window menu) {
        items = menu.MenuItems();
        menu.Key(VK_ESCAPE);
    });
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    call.Run(script);

    const std::vector<ui::MenuItem> expected = {{"1,500 of 2,500 checked", false},
                                                {"&Check", true},
                                                {"&Uncheck", true},
                                                {"", false},
                                                {"Check &All", true},
                                                {"Uncheck A&ll", true},
                                                {"&Invert Checks", true},
                                                {"", false},
                                                {"C&opy Paths", true}};
    EXPECT_EQ(items, expected);
    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.files.size(), 1500u); // dismissing the menu changed nothing
}

INSTANTIATE_TEST_SUITE_P(Ways, CheckListMenuOpening,
                         ::testing::Values(Opener::RightClick, Opener::ShiftF10, Opener::ApplicationsKey));

// Rows a.c and b.c start checked, c.c and d.c not. `select` rows are clicked (selected) first; the menu
// is then opened by a right-click on `rightClick`, or by the Applications key when that is empty, and the
// command chosen by its mnemonic.
struct MenuCommandCase {
    const char* name;
    std::vector<std::string> select;
    std::string rightClick;
    char mnemonic;
    Files checkedAfterOk;
    std::string clipboard; // empty: not looked at
};

class CheckListMenuCommands : public ::testing::TestWithParam<MenuCommandCase> {};

TEST_P(CheckListMenuCommands, LeaveTheRowsCheckedAsTheCommandSays) {
    const MenuCommandCase& c = GetParam();
    if (!c.clipboard.empty() && ::OpenClipboard(nullptr)) {
        ::EmptyClipboard();
        ::CloseClipboard();
    }
    cmd::Call call(cmd::Command::MultiFile);
    call.files = {"C:\\src\\a.c", "C:\\src\\b.c"};
    call.otherFiles = {"C:\\src\\c.c", "C:\\src\\d.c"};
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        ui::Window list = dialog.Item(IDC_FILE_LIST);
        const std::vector<ui::Row> rows = list.Rows();
        for (const std::string& name : c.select)
            list.ClickRowText(ui::FindRow(rows, "C:\\src\\" + name));
        if (c.rightClick.empty())
            OpenMenu(list, Opener::ApplicationsKey, -1);
        else
            OpenMenu(list, Opener::RightClick, ui::FindRow(rows, "C:\\src\\" + c.rightClick));
    });
    script.OnMenu([&](ui::Window menu) { menu.Type(std::string(1, c.mnemonic)); });
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    call.Run(script);

    Files expected;
    for (const std::string& name : c.checkedAfterOk)
        expected.insert("C:\\src\\" + name);
    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.files, expected);
    if (!c.clipboard.empty()) {
        EXPECT_EQ(ui::ClipboardText(), c.clipboard);
    }
}

const MenuCommandCase kMenuCommands[] = {
    {"CheckAll", {}, "", 'a', {"a.c", "b.c", "c.c", "d.c"}, ""},
    {"UncheckAll", {}, "", 'l', {}, ""},
    {"Invert", {}, "", 'i', {"c.c", "d.c"}, ""},
    {"CheckTheSelection", {"c.c", "d.c"}, "c.c", 'c', {"a.c", "b.c", "c.c", "d.c"}, ""},
    {"UncheckTheSelectionFromTheKeyboard", {"a.c", "c.c"}, "", 'u', {"b.c"}, ""},
    {"ARightClickOutsideTheSelectionActsOnThatRowAlone", {"c.c"}, "d.c", 'c', {"a.c", "b.c", "d.c"}, ""},
    {"CopyPathsOfTheSelection", {"b.c", "c.c"}, "b.c", 'o', {"a.c", "b.c"}, "C:\\src\\b.c\r\nC:\\src\\c.c"},
    {"CopyPathOfARightClickedRowOutsideTheSelection", {"b.c"}, "d.c", 'o', {"a.c", "b.c"}, "C:\\src\\d.c"},
};

INSTANTIATE_TEST_SUITE_P(Commands, CheckListMenuCommands, ::testing::ValuesIn(kMenuCommands),
                         [](const ::testing::TestParamInfo<MenuCommandCase>& info) {
                             return info.param.name;
                         });

std::wstring Description(HWND list) {
    IAccessible* object = nullptr;
    std::wstring text = L"(no object)";
    if (::AccessibleObjectFromWindow(list, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                     reinterpret_cast<void**>(&object)) != S_OK)
        return text;
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR description = nullptr;
    text = object->get_accDescription(self, &description) == S_OK && description ? description : L"(none)";
    ::SysFreeString(description);
    object->Release();
    return text;
}

TEST(CheckListSummary, TheAccessibleListIsDescribedByItsCheckedCountAsItChanges) {
    cmd::Call call(cmd::Command::MultiFile);
    call.files = NumberedPaths("checked", 1200);
    call.otherFiles = {"C:\\other\\x.c"};
    std::vector<std::wstring> descriptions;
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        ui::Window list = dialog.Item(IDC_FILE_LIST);
        descriptions.push_back(Description(list.hwnd()));
        OpenMenu(list, Opener::ApplicationsKey, -1);
    });
    script.OnMenu([](ui::Window menu) { menu.Type("i"); });
    script.OnDialog("Options", [&](ui::Window dialog) {
        descriptions.push_back(Description(dialog.Item(IDC_FILE_LIST).hwnd()));
        dialog.Item(IDCANCEL).Click();
    });
    call.Run(script);

    EXPECT_EQ(descriptions, (std::vector<std::wstring>{L"1,200 of 1,201 checked", L"1 of 1,201 checked"}));
}

} // namespace
