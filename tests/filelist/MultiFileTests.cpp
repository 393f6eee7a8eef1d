// The multi-file command, driven through its real dialog: what the list shows of the caller's two sets,
// and what OK gives back after the user has worked on the rows.
#include "Commands.h"
#include "UiDriver.h"
#include "resource.h"

#include <corvel/corvel.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

using cmd::Call;
using cmd::Command;
using Files = std::set<std::string>;
using Texts = std::vector<std::string>;

struct ListCase {
    const char* name;
    Files files, otherFiles;
    Texts rows;    // as shown, in the list's order
    Texts checked; // as shown
    Texts clicks;  // check boxes the user then clicks, by row text
    bool selectAll;
    Files filesAfterOk;
};

const ListCase kListCases[] = {
    // The list sorts without regard to case; a path in both sets is one row, checked.
    {"CallersFilesCheckedCandidatesUnchecked",
     {"src/b.c", "Src/A.c", "zeta.h"},
     {"src/b.c", "c.txt", "a.txt"},
     {"a.txt", "c.txt", "Src/A.c", "src/b.c", "zeta.h"},
     {"Src/A.c", "src/b.c", "zeta.h"},
     {},
     false,
     {"src/b.c", "Src/A.c", "zeta.h"}},
    {"OkReturnsExactlyTheCheckedRows",
     {"keep.c", "drop.c"},
     {"add.c", "leave.c"},
     {"add.c", "drop.c", "keep.c", "leave.c"},
     {"drop.c", "keep.c"},
     {"drop.c", "add.c"},
     false,
     {"add.c", "keep.c"}},
    {"PathsDifferingOnlyInCaseAreRowsOfTheirOwn",
     {"dir/File.c"},
     {"dir/file.c", "DIR/FILE.C"},
     {"dir/File.c", "DIR/FILE.C", "dir/file.c"},
     {"dir/File.c"},
     {"dir/File.c", "DIR/FILE.C"},
     false,
     {"DIR/FILE.C"}},
    {"APathWithANulIsShownAndReturnedUpToIt",
     {std::string("dir\\x.c\0hidden", 14), "a.c"},
     {},
     {"a.c", "dir\\x.c"},
     {"a.c", "dir\\x.c"},
     {},
     false,
     {"a.c", "dir\\x.c"}},
    {"UncheckingEveryRowEmptiesTheSet", {"a", "b"}, {}, {"a", "b"}, {"a", "b"}, {"a", "b"}, false, {}},
    {"BothSetsEmpty", {}, {}, {}, {}, {}, true, {}},
    {"OnlyCandidatesStartUnchecked", {}, {"x.c", "y.c"}, {"x.c", "y.c"}, {}, {}, false, {}},
    {"SelectAllChecksEveryRow",
     {"a.c"},
     {"b.c", "c.c"},
     {"a.c", "b.c", "c.c"},
     {"a.c"},
     {},
     true,
     {"a.c", "b.c", "c.c"}},
    {"SelectAllAfterUnchecking",
     {"a.c", "b.c"},
     {"c.c"},
     {"a.c", "b.c", "c.c"},
     {"a.c", "b.c"},
     {"a.c"},
     true,
     {"a.c", "b.c", "c.c"}},
};

class MultiFileList : public ::testing::TestWithParam<ListCase> {};

TEST_P(MultiFileList, ShowsBothSetsAndOkReturnsTheCheckedRows) {
    const ListCase& c = GetParam();
    Call call(Command::MultiFile);
    call.files = c.files;
    call.otherFiles = c.otherFiles;
    std::vector<ui::Row> shown, after;
    bool focusOnList = false;
    int extent = -1;
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        ui::Window list = dialog.Item(IDC_FILE_LIST);
        shown = list.Rows();
        focusOnList = ui::Focus().Id() == IDC_FILE_LIST;
        extent = list.HorizontalExtent();
        for (const std::string& text : c.clicks)
            list.ClickRowCheckBox(ui::FindRow(shown, text));
        if (c.selectAll)
            dialog.Item(IDC_SELECT_ALL).Click();
    });
    script.OnDialog("Options", [&](ui::Window dialog) {
        after = dialog.Item(IDC_FILE_LIST).Rows();
        dialog.Item(IDOK).Click();
    });
    call.Run(script);

    EXPECT_EQ(ui::RowTexts(shown), c.rows);
    EXPECT_EQ(ui::CheckedRowTexts(shown), c.checked);
    EXPECT_TRUE(focusOnList);
    EXPECT_EQ(extent == 0, c.rows.empty());
    if (c.selectAll) {
        for (const ui::Row& row : after) {
            EXPECT_TRUE(row.checked) << row.text;
            EXPECT_TRUE(row.selected) << row.text;
        }
    }
    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.files, c.filesAfterOk);
    EXPECT_EQ(call.otherFiles, c.otherFiles);
}

INSTANTIATE_TEST_SUITE_P(Cases, MultiFileList, ::testing::ValuesIn(kListCases),
                         [](const ::testing::TestParamInfo<ListCase>& info) { return info.param.name; });

TEST(MultiFileOptions, TheSameSetAsFilesAndCandidatesIsOneRowAPath) {
    Files both = {"one.c", "two.c", "three.c"};
    FakeProvider provider;
    std::vector<std::string> checked;
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        ui::Window list = dialog.Item(IDC_FILE_LIST);
        checked = ui::CheckedRowTexts(list.Rows());
        list.ClickRowCheckBox(ui::FindRow(list.Rows(), "two.c"));
    });
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    int result = -1;
    script.Run([&] { result = CorvelDoMultiFileOptions(both, provider, both, nullptr); });

    EXPECT_EQ(checked, (std::vector<std::string>{"one.c", "three.c", "two.c"}));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(both, (Files{"one.c", "three.c"}));
}

// One row changed each way in a long list: on OK each such path is looked up in the other set, where many
// would be placed along one walk through it.
TEST(MultiFileOptions, AFewRowsChangedInALongListMoveBetweenTheSets) {
    Call call(Command::MultiFile);
    for (int i = 0; i < 200; ++i) {
        char path[32];
        std::snprintf(path, sizeof path, "C:\\work\\file%03d.c", i);
        (i % 2 ? call.otherFiles : call.files).insert(path);
    }
    Files expected = call.files;
    expected.erase("C:\\work\\file050.c");
    expected.insert("C:\\work\\file151.c");
    ui::Script script;
    // One click a step: finding its point scrolls the list, and the click is taken only later.
    for (const char* path : {"C:\\work\\file050.c", "C:\\work\\file151.c"})
        script.OnDialog("Options", [path](ui::Window dialog) {
            ui::Window list = dialog.Item(IDC_FILE_LIST);
            list.ClickRowCheckBox(ui::FindRow(list.Rows(), path));
        });
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    call.Run(script);

    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.files, expected);
}

TEST(MultiFileOptions, SpaceTogglesTheFocusedRow) {
    Call call(Command::MultiFile);
    call.files = {"a.c", "b.c"};
    ui::Script script;
    script.OnDialog("Options", [](ui::Window dialog) {
        ui::Window list = dialog.Item(IDC_FILE_LIST);
        ::SendMessageA(list.hwnd(), LB_SETCARETINDEX, 1, FALSE);
        list.Key(VK_SPACE);
    });
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    call.Run(script);

    EXPECT_EQ(call.files, Files{"a.c"});
}

} // namespace
