// The single-file, difference and rename commands, driven through their real dialogs: what each shows of
// the caller's strings and flags, and what OK gives back after typing, toggling and browsing. Where a
// case browses, the open-file dialog is played by a recorder (the real one is exercised in BrowseTests).
#include "Commands.h"
#include "FileDialogDriver.h"
#include "UiDriver.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using cmd::Command;
using filedlg::OpenFileNameRecorder;

enum class Browse { None, Choose, Cancel };
const char* const kChosen = "D:\\x\\y.txt";

struct PathCase {
    const char* name;
    Command command;
    // Given: the path (the rename dialog's existing file), the new name, the difference's two flags.
    std::string path, newName;
    int ignoreCase, ignoreSpaces;
    // Done by the user, in this order: retyped boxes (none when null), both check boxes toggled, a
    // browse, and then OK (or Cancel).
    const char* typedPath;
    const char* typedName;
    bool toggleChecks;
    Browse browse;
    bool ok;
    // Given back.
    std::string pathAfter, newNameAfter;
    int ignoreCaseAfter, ignoreSpacesAfter;
};

const PathCase kPathCases[] = {
    {"SingleFileUnchanged", Command::SingleFile, "C:\\work\\src\\main.c", "", 0, 0, nullptr, nullptr, false,
     Browse::None, true, "C:\\work\\src\\main.c", "", 0, 0},
    {"SingleFileEmptied", Command::SingleFile, "C:\\old.c", "", 0, 0, "", nullptr, false, Browse::None, true,
     "", "", 0, 0},
    {"SingleFileTypedAsIs", Command::SingleFile, "C:\\old.c", "", 0, 0, "  relative/new name.txt ", nullptr,
     false, Browse::None, true, "  relative/new name.txt ", "", 0, 0},
    {"SingleFileBrowsed", Command::SingleFile, "C:\\old.c", "", 0, 0, nullptr, nullptr, false, Browse::Choose,
     true, kChosen, "", 0, 0},
    {"SingleFileBrowsedThenCancelled", Command::SingleFile, "C:\\keep\\me.c", "", 0, 0, nullptr, nullptr,
     false, Browse::Choose, false, "C:\\keep\\me.c", "", 0, 0},
    // Flags come back as 0 or 1.
    {"DiffFlagsZeroAndSeven", Command::Diff, "C:\\work\\src\\main.c", "", 0, 7, nullptr, nullptr, false,
     Browse::None, true, "C:\\work\\src\\main.c", "", 0, 1},
    {"DiffChecksAndPathChanged", Command::Diff, "C:\\old.c", "", -1, 0, "C:\\new.c", nullptr, true,
     Browse::None, true, "C:\\new.c", "", 0, 1},
    // Browse saves the check boxes before it reloads the controls, so what the user set survives it.
    {"DiffBrowsedKeepsTheChecks", Command::Diff, "C:\\old.c", "", 0, 1, nullptr, nullptr, true,
     Browse::Choose, true, kChosen, "", 1, 0},
    {"DiffBrowseCancelledKeepsTypedTextAndChecks", Command::Diff, "C:\\old.c", "", 0, 0, "C:\\typed.c",
     nullptr, true, Browse::Cancel, true, "C:\\typed.c", "", 1, 1},
    {"RenameUnchanged", Command::Rename, "C:\\work\\src\\main.c", "renamed.c", 0, 0, nullptr, nullptr, false,
     Browse::None, true, "C:\\work\\src\\main.c", "renamed.c", 0, 0},
    {"RenameBothEmpty", Command::Rename, "", "", 0, 0, nullptr, nullptr, false, Browse::None, true, "", "", 0,
     0},
    {"RenameNewNameCleared", Command::Rename, "C:\\a.c", "b.c", 0, 0, nullptr, "", false, Browse::None, true,
     "C:\\a.c", "", 0, 0},
    // Browse fills only the existing file; the new name survives it, edited or not.
    {"RenameBrowsed", Command::Rename, "C:\\a.c", "b.c", 0, 0, nullptr, nullptr, false, Browse::Choose, true,
     kChosen, "b.c", 0, 0},
    {"RenameNameEditedThenBrowsed", Command::Rename, "C:\\a.c", "b.c", 0, 0, nullptr, "edited.c", false,
     Browse::Choose, true, kChosen, "edited.c", 0, 0},
    {"RenameBrowseCancelledKeepsBothTypedTexts", Command::Rename, "C:\\a.c", "b.c", 0, 0, "C:\\typed\\file.c",
     " new name ", false, Browse::Cancel, true, "C:\\typed\\file.c", " new name ", 0, 0},
};

class PathDialog : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathDialog, ShowsTheCallersValuesAndOkReturnsTheBoxesAndChecksAsLeft) {
    const PathCase& c = GetParam();
    const bool rename = c.command == Command::Rename;
    std::unique_ptr<OpenFileNameRecorder> recorder;
    if (c.browse != Browse::None)
        recorder = std::make_unique<OpenFileNameRecorder>(c.browse == Browse::Choose
                                                              ? OpenFileNameRecorder::Choose(kChosen)
                                                              : OpenFileNameRecorder::Cancel());
    cmd::Call call(c.command);
    (rename ? call.existingFile : call.path) = c.path;
    call.newName = c.newName;
    call.flags[cmd::kIgnoreCase] = c.ignoreCase;
    call.flags[cmd::kIgnoreSpaces] = c.ignoreSpaces;

    std::string caption, shownPath, shownName, leftPath, leftName;
    int focus = 0, shownCase = -1, shownSpaces = -1, leftCase = -1, leftSpaces = -1;
    bool hasAdvanced = false;
    ui::Script script;
    script.OnDialog("", [&](ui::Window dialog) {
        caption = dialog.Text();
        shownPath = dialog.Item(IDC_PATH).Text();
        shownName = dialog.Item(IDC_NEW_NAME).Text();
        shownCase = dialog.Item(IDC_IGNORE_CASE).ButtonCheck();
        shownSpaces = dialog.Item(IDC_IGNORE_SPACES).ButtonCheck();
        focus = ui::Focus().Id();
        hasAdvanced = static_cast<bool>(dialog.Item(IDC_ADVANCED));
        if (c.typedPath)
            dialog.Item(IDC_PATH).Retype(c.typedPath);
        if (c.typedName)
            dialog.Item(IDC_NEW_NAME).Retype(c.typedName);
        if (c.toggleChecks) {
            dialog.Item(IDC_IGNORE_CASE).Click();
            dialog.Item(IDC_IGNORE_SPACES).Click();
        }
        if (c.browse != Browse::None)
            dialog.Item(IDC_BROWSE).Click();
    });
    script.OnDialog(call.Caption(), [&](ui::Window dialog) {
        leftPath = dialog.Item(IDC_PATH).Text();
        leftName = dialog.Item(IDC_NEW_NAME).Text();
        leftCase = dialog.Item(IDC_IGNORE_CASE).ButtonCheck();
        leftSpaces = dialog.Item(IDC_IGNORE_SPACES).ButtonCheck();
        dialog.Item(c.ok ? IDOK : IDCANCEL).Click();
    });
    call.Run(script);

    EXPECT_EQ(caption, call.Caption());
    EXPECT_EQ(shownPath, c.path);
    EXPECT_EQ(shownName, rename ? c.newName : "");
    EXPECT_EQ(focus, IDC_PATH);
    EXPECT_EQ(hasAdvanced, !rename);
    if (c.command == Command::Diff) {
        EXPECT_EQ(shownCase, c.ignoreCase ? BST_CHECKED : BST_UNCHECKED);
        EXPECT_EQ(shownSpaces, c.ignoreSpaces ? BST_CHECKED : BST_UNCHECKED);
        EXPECT_EQ(leftCase, c.ignoreCaseAfter ? BST_CHECKED : BST_UNCHECKED);
        EXPECT_EQ(leftSpaces, c.ignoreSpacesAfter ? BST_CHECKED : BST_UNCHECKED);
        EXPECT_EQ(call.flags[cmd::kIgnoreCase], c.ignoreCaseAfter);
        EXPECT_EQ(call.flags[cmd::kIgnoreSpaces], c.ignoreSpacesAfter);
    }
    EXPECT_EQ(recorder ? recorder->Calls().size() : 0u, c.browse != Browse::None ? 1u : 0u);
    if (c.ok) {
        EXPECT_EQ(leftPath, c.pathAfter);
        EXPECT_EQ(leftName, c.newNameAfter);
    }
    EXPECT_EQ(call.result, c.ok ? 1 : 0);
    EXPECT_EQ(rename ? call.existingFile : call.path, c.pathAfter);
    EXPECT_EQ(call.newName, c.newNameAfter);
}

INSTANTIATE_TEST_SUITE_P(Cases, PathDialog, ::testing::ValuesIn(kPathCases),
                         [](const ::testing::TestParamInfo<PathCase>& info) { return info.param.name; });

TEST(SingleFileOptions, EnterInThePathBoxPressesOk) {
    cmd::Call call(Command::SingleFile);
    call.path = "C:\\old.c";
    ui::Script script;
    script.OnDialog("Options", [](ui::Window dialog) {
        dialog.Item(IDC_PATH).Retype("C:\\new.c");
        dialog.Item(IDC_PATH).Key(VK_RETURN);
    });
    call.Run(script);

    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.path, "C:\\new.c");
}

} // namespace
