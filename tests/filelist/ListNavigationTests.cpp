// Working through a long file list in the real multi-file dialog: finding a file by typing its name, and
// reading a path that the list's width cuts off in a tooltip.
#include "FakeProvider.h"
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

using Files = std::set<std::string>;

const char kPageSetup[] = "C:\\Work\\Atlas\\src\\Printing\\PageSetup.cpp";
const char kMainCpp[] = "C:\\Work\\Atlas\\src\\MainWindow.cpp";
const char kMainH[] = "C:\\Work\\Atlas\\src\\MainWindow.h";
const char kChanges[] = "C:\\Work\\Atlas\\docs\\CHANGES.txt";
const char kAtlasRc[] = "C:/Work/Atlas/src/Resources/atlas.rc";
const char kLast[] = "C:\\Work\\Atlas\\gen\\file199.c";

// What is typed into the list (all within a second; '\b' is Backspace), and the row the caret must then
// be on; none: the caret stays where it was.
struct FindCase {
    const char* name;
    const char* typed;
    const char* row;
};

class CheckListFind : public ::testing::TestWithParam<FindCase> {};

TEST_P(CheckListFind, MovesTheCaretToTheRowAndChangesNoMark) {
    const FindCase& c = GetParam();
    cmd::Call call(cmd::Command::MultiFile);
    call.files = {kPageSetup, kMainH, kAtlasRc};
    call.otherFiles = {kMainCpp, kChanges};
    char path[64];
    for (int i = 0; i < 200; ++i) { // enough rows that the found one must be scrolled to
        std::snprintf(path, sizeof path, "C:\\Work\\Atlas\\gen\\file%03d.c", i);
        (i % 2 ? call.files : call.otherFiles).insert(path);
    }
    std::vector<ui::Row> before, after;
    int caretBefore = -1, caret = -1;
    bool inView = false;
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        ui::Window list = dialog.Item(IDC_FILE_LIST);
        before = list.Rows();
        caretBefore = list.Caret();
        list.Type(c.typed);
    });
    script.OnDialog("Options", [&](ui::Window dialog) {
        ui::Window list = dialog.Item(IDC_FILE_LIST);
        after = list.Rows();
        caret = list.Caret();
        inView = list.RowInView(caret);
        dialog.Item(IDCANCEL).Click();
    });
    call.Run(script);

    const int expected = c.row ? ui::FindRow(after, c.row) : caretBefore;
    ASSERT_GE(caret, 0);
    EXPECT_EQ(caret, expected) << "caret on " << after[static_cast<size_t>(caret)].text;
    EXPECT_TRUE(inView);
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(after[i].checked, before[i].checked) << after[i].text;
        EXPECT_EQ(after[i].selected, before[i].selected) << after[i].text;
    }
}

const FindCase kFinds[] = {
    {"ByFileNameIgnoringCase", "pagesetup", kPageSetup},
    {"ALongerTextMovesOnFromTheFirstMatch", "MainWindow.h", kMainH},
    {"FileNameAfterAForwardSlash", "atlas.", kAtlasRc},
    {"WholePathWhenNoFileNameBeginsWithIt", "c:\\work\\atlas\\docs", kChanges},
    {"BackspaceShortensTheText", "PageX\b", kPageSetup},
    {"FarDownTheListScrolledIntoView", "file199", kLast},
    {"NoMatchLeavesTheCaret", "zzz", nullptr},
};

INSTANTIATE_TEST_SUITE_P(Typed, CheckListFind, ::testing::ValuesIn(kFinds),
                         [](const ::testing::TestParamInfo<FindCase>& info) { return info.param.name; });

TEST(CheckListToolTip, ShowsTheWholePathOfAClippedRowAndNothingForARowThatFits) {
    const std::string clipped = "C:\\Work\\Atlas\\src\\Printing\\Preview\\Renderers\\Experimental\\"
                                "HighResolutionPagePreviewRenderer.cpp";
    cmd::Call call(cmd::Command::MultiFile);
    call.files = {clipped, "C:\\a.c"};
    ui::Window list;
    std::string text;
    bool shownForShortRow = true;
    DWORD movedAt = 0;
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        list = dialog.Item(IDC_FILE_LIST);
        list.RestMouseOnRow(ui::FindRow(list.Rows(), clipped));
    });
    script.Then("tooltip shown", [&] {
        ui::Window tip = ui::VisibleToolTip();
        if (!tip)
            return false;
        text = tip.ToolTipText(list);
        list.RestMouseOnRow(ui::FindRow(list.Rows(), "C:\\a.c"));
        movedAt = ::GetTickCount();
        return true;
    });
    script.Then("a second on the short row", [&] {
        if (::GetTickCount() - movedAt < 1000)
            return false;
        shownForShortRow = static_cast<bool>(ui::VisibleToolTip());
        ui::ActiveDialog().Item(IDOK).Click();
        return true;
    });
    call.Run(script);

    EXPECT_EQ(text, clipped);
    EXPECT_FALSE(shownForShortRow);
}

} // namespace
