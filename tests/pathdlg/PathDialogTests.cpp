// The single-file, difference and rename commands, driven through their real dialogs. Where a test
// browses, the open-file dialog is played by a recorder (the real one is exercised in BrowseTests).
#include "FileDialogDriver.h"
#include "PathDialogCalls.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using filedlg::OpenFileNameRecorder;

const char* const kAdvancedMessage =
    "Advanced options have become unexpectedly unavailable.\nTry again later. You "
    "may have to restart this program or your source control provider.";

using ui::Dismiss;
const auto kDismissals = ::testing::ValuesIn(ui::kDismissals);

// ---- Single file -----------------------------------------------------------------------------------

TEST(SingleFileOptions, ShowsThePathAndOkReturnsItUnchanged) {
    SingleFileCall call;
    call.path = "C:\\work\\src\\main.c";
    std::string caption, box;
    bool focusOnBox = false, advancedEnabled = false;
    ui::Script script;
    script.OnDialog("", [&](ui::Window dialog) {
        caption = dialog.Text();
        box = dialog.Item(IDC_PATH).Text();
        focusOnBox = ui::Focus().Id() == IDC_PATH;
        advancedEnabled = dialog.Item(IDC_ADVANCED).Enabled();
        dialog.Item(IDOK).Click();
    });
    call.Run(script);

    EXPECT_EQ(caption, "Options");
    EXPECT_EQ(box, "C:\\work\\src\\main.c");
    EXPECT_TRUE(focusOnBox);
    EXPECT_TRUE(advancedEnabled);
    EXPECT_EQ(call.provider.availabilityQueries, 1);
    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.path, "C:\\work\\src\\main.c");
}

TEST(SingleFileOptions, OkReturnsTheBoxAsTypedIncludingAnEmptyBox) {
    for (const std::string& typed : {std::string(""), std::string("  relative/new name.txt ")}) {
        SingleFileCall call;
        call.path = "C:\\old.c";
        ui::Script script;
        script.OnDialog("Options", [&](ui::Window dialog) { Retype(dialog.Item(IDC_PATH), typed); });
        script.OnDialog("Options", [](ui::Window) { ui::Focus().Key(VK_RETURN); });
        call.Run(script);

        EXPECT_EQ(call.result, 1);
        EXPECT_EQ(call.path, typed);
    }
}

class SingleFileDismissal : public ::testing::TestWithParam<const char*> {};

TEST_P(SingleFileDismissal, KeepsTheOldPathAfterAnEditOrAnAcceptedBrowse) {
    for (bool browse : {false, true}) {
        OpenFileNameRecorder recorder(OpenFileNameRecorder::Choose("D:\\x\\y.txt"));
        SingleFileCall call;
        call.path = "C:\\keep\\me.c";
        ui::Script script;
        script.OnDialog("Options", [browse](ui::Window dialog) {
            if (browse)
                dialog.Item(IDC_BROWSE).Click();
            else
                Retype(dialog.Item(IDC_PATH), "C:\\typed.c");
        });
        script.OnDialog("Options", [](ui::Window dialog) { Dismiss(dialog, GetParam()); });
        call.Run(script);

        EXPECT_EQ(recorder.Calls().size(), browse ? 1u : 0u);
        EXPECT_EQ(call.result, 0);
        EXPECT_EQ(call.path, "C:\\keep\\me.c");
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, SingleFileDismissal, kDismissals);

TEST(SingleFileOptions, BrowseThenOkReturnsTheChosenPath) {
    OpenFileNameRecorder recorder(OpenFileNameRecorder::Choose("D:\\x\\y.txt"));
    SingleFileCall call;
    call.path = "C:\\old.c";
    std::string box;
    ui::Script script;
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDC_BROWSE).Click(); });
    script.OnDialog("Options", [&](ui::Window dialog) {
        box = dialog.Item(IDC_PATH).Text();
        dialog.Item(IDOK).Click();
    });
    call.Run(script);

    EXPECT_EQ(box, "D:\\x\\y.txt");
    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.path, "D:\\x\\y.txt");
}

TEST(SingleFileOptions, AdvancedUnavailableOrThrowingDisablesTheButtonAndBrowseStillWorks) {
    for (auto availability : {FakeProvider::Availability::Unavailable, FakeProvider::Availability::Throws}) {
        OpenFileNameRecorder recorder(OpenFileNameRecorder::Choose("D:\\x\\y.txt"));
        SingleFileCall call;
        call.path = "C:\\old.c";
        call.provider.availability = availability;
        bool enabled = true, messageBox = false;
        ui::Script script;
        script.Then("dialog", [&] {
            ui::Window dialog = ui::ActiveDialog();
            if (!dialog)
                return false;
            messageBox = dialog.IsMessageBox();
            enabled = dialog.Item(IDC_ADVANCED).Enabled();
            dialog.Item(IDC_ADVANCED).Click(); // a user cannot: it is disabled
            dialog.Item(IDC_BROWSE).Click();
            return true;
        });
        script.OnDialog("Options", [&](ui::Window dialog) {
            enabled = enabled || dialog.Item(IDC_ADVANCED).Enabled();
            dialog.Item(IDOK).Click();
        });
        call.Run(script);

        EXPECT_FALSE(messageBox);
        EXPECT_FALSE(enabled);
        EXPECT_EQ(call.provider.showCalls, 0);
        EXPECT_EQ(call.result, 1);
        EXPECT_EQ(call.path, "D:\\x\\y.txt");
    }
}

TEST(SingleFileOptions, AdvancedIsShownOverTheDialogAndAThrowGetsAMessageBoxPerClick) {
    SingleFileCall call;
    call.path = "C:\\old.c";
    call.provider.showThrows = true;
    HWND dialogWindow = nullptr;
    std::vector<std::string> texts;
    int exclamations = 0;
    bool stillEnabled = false;
    ui::Script script;
    for (int click = 0; click < 2; ++click) {
        script.OnDialog("Options", [&](ui::Window dialog) {
            dialogWindow = dialog.hwnd();
            dialog.Item(IDC_ADVANCED).Click();
        });
        script.OnMessageBox([&](ui::Window box) {
            texts.push_back(box.MessageText());
            exclamations += box.HasIcon(IDI_EXCLAMATION) ? 1 : 0;
            box.Item(IDOK).Click();
        });
    }
    script.OnDialog("Options", [&](ui::Window dialog) {
        stillEnabled = dialog.Item(IDC_ADVANCED).Enabled();
        dialog.Item(IDCANCEL).Click();
    });
    call.Run(script);

    EXPECT_EQ(texts, (std::vector<std::string>{kAdvancedMessage, kAdvancedMessage}));
    EXPECT_EQ(exclamations, 2);
    EXPECT_TRUE(stillEnabled);
    EXPECT_EQ(call.provider.showCalls, 2);
    EXPECT_EQ(call.provider.lastOwner, dialogWindow);
    EXPECT_EQ(call.provider.availabilityQueries, 1);
    EXPECT_EQ(call.provider.invocations, 0);
    EXPECT_EQ(call.result, 0);
    EXPECT_EQ(call.path, "C:\\old.c");
}

// ---- Difference ------------------------------------------------------------------------------------

struct Checks {
    int ignoreCase = -1;
    int ignoreSpaces = -1;
};

Checks ReadChecks(ui::Window dialog) {
    return Checks{dialog.Item(IDC_IGNORE_CASE).ButtonCheck(), dialog.Item(IDC_IGNORE_SPACES).ButtonCheck()};
}

TEST(DiffOptions, FlagsZeroAndSevenShowAsClearAndCheckedAndComeBackAsZeroAndOne) {
    for (bool ok : {false, true}) {
        DiffCall call;
        call.ignoreCase = 0;
        call.ignoreSpaces = 7;
        call.path = "C:\\work\\src\\main.c";
        Checks shown;
        std::string caption, box;
        bool focusOnBox = false;
        ui::Script script;
        script.OnDialog("", [&](ui::Window dialog) {
            caption = dialog.Text();
            box = dialog.Item(IDC_PATH).Text();
            shown = ReadChecks(dialog);
            focusOnBox = ui::Focus().Id() == IDC_PATH;
            dialog.Item(ok ? IDOK : IDCANCEL).Click();
        });
        call.Run(script);

        EXPECT_EQ(caption, "Difference Options");
        EXPECT_EQ(box, "C:\\work\\src\\main.c");
        EXPECT_EQ(shown.ignoreCase, BST_UNCHECKED);
        EXPECT_EQ(shown.ignoreSpaces, BST_CHECKED);
        EXPECT_TRUE(focusOnBox);
        EXPECT_EQ(call.result, ok ? 1 : 0);
        EXPECT_EQ(call.ignoreCase, 0);
        EXPECT_EQ(call.ignoreSpaces, 1);
        EXPECT_EQ(call.path, "C:\\work\\src\\main.c");
    }
}

TEST(DiffOptions, OkReturnsTheChangedChecksAndPath) {
    DiffCall call;
    call.ignoreCase = -1;
    call.ignoreSpaces = 0;
    call.path = "C:\\old.c";
    ui::Script script;
    script.OnDialog("Difference Options", [](ui::Window dialog) {
        dialog.Item(IDC_IGNORE_CASE).Click();
        dialog.Item(IDC_IGNORE_SPACES).Click();
        Retype(dialog.Item(IDC_PATH), "C:\\new.c");
    });
    script.OnDialog("Difference Options", [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    call.Run(script);

    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.ignoreCase, 0);
    EXPECT_EQ(call.ignoreSpaces, 1);
    EXPECT_EQ(call.path, "C:\\new.c");
}

class DiffDismissal : public ::testing::TestWithParam<const char*> {};

TEST_P(DiffDismissal, KeepsTheCallersFlagsAndPath) {
    DiffCall call;
    call.ignoreCase = 1;
    call.ignoreSpaces = 1;
    call.path = "C:\\keep.c";
    ui::Script script;
    script.OnDialog("Difference Options", [](ui::Window dialog) {
        dialog.Item(IDC_IGNORE_CASE).Click();
        dialog.Item(IDC_IGNORE_SPACES).Click();
        Retype(dialog.Item(IDC_PATH), "C:\\typed.c");
    });
    script.OnDialog("Difference Options", [](ui::Window dialog) { Dismiss(dialog, GetParam()); });
    call.Run(script);

    EXPECT_EQ(call.result, 0);
    EXPECT_EQ(call.ignoreCase, 1);
    EXPECT_EQ(call.ignoreSpaces, 1);
    EXPECT_EQ(call.path, "C:\\keep.c");
}

INSTANTIATE_TEST_SUITE_P(Ways, DiffDismissal, kDismissals);

// Browse saves the check boxes before it reloads the controls, so what the user set survives it.
TEST(DiffOptions, AnAcceptedBrowseKeepsTheChecksTheUserSet) {
    OpenFileNameRecorder recorder(OpenFileNameRecorder::Choose("D:\\x\\y.txt"));
    DiffCall call;
    call.ignoreCase = 0;
    call.ignoreSpaces = 1;
    call.path = "C:\\old.c";
    Checks afterBrowse;
    std::string box;
    ui::Script script;
    script.OnDialog("Difference Options", [](ui::Window dialog) {
        dialog.Item(IDC_IGNORE_CASE).Click();
        dialog.Item(IDC_IGNORE_SPACES).Click();
        dialog.Item(IDC_BROWSE).Click();
    });
    script.OnDialog("Difference Options", [&](ui::Window dialog) {
        afterBrowse = ReadChecks(dialog);
        box = dialog.Item(IDC_PATH).Text();
        dialog.Item(IDOK).Click();
    });
    call.Run(script);

    EXPECT_EQ(afterBrowse.ignoreCase, BST_CHECKED);
    EXPECT_EQ(afterBrowse.ignoreSpaces, BST_UNCHECKED);
    EXPECT_EQ(box, "D:\\x\\y.txt");
    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.ignoreCase, 1);
    EXPECT_EQ(call.ignoreSpaces, 0);
    EXPECT_EQ(call.path, "D:\\x\\y.txt");
}

TEST(DiffOptions, ACancelledBrowseKeepsTheTypedTextAndTheChecks) {
    OpenFileNameRecorder recorder(OpenFileNameRecorder::Cancel());
    DiffCall call;
    call.path = "C:\\old.c";
    Checks afterBrowse;
    std::string box;
    ui::Script script;
    script.OnDialog("Difference Options", [](ui::Window dialog) {
        dialog.Item(IDC_IGNORE_CASE).Click();
        Retype(dialog.Item(IDC_PATH), "C:\\typed.c");
        dialog.Item(IDC_BROWSE).Click();
    });
    script.OnDialog("Difference Options", [&](ui::Window dialog) {
        afterBrowse = ReadChecks(dialog);
        box = dialog.Item(IDC_PATH).Text();
        dialog.Item(IDOK).Click();
    });
    call.Run(script);

    ASSERT_EQ(recorder.Calls().size(), 1u);
    EXPECT_EQ(afterBrowse.ignoreCase, BST_CHECKED);
    EXPECT_EQ(afterBrowse.ignoreSpaces, BST_UNCHECKED);
    EXPECT_EQ(box, "C:\\typed.c");
    EXPECT_EQ(call.ignoreCase, 1);
    EXPECT_EQ(call.ignoreSpaces, 0);
    EXPECT_EQ(call.path, "C:\\typed.c");
}

TEST(DiffOptions, AdvancedUnavailableOrThrowingDisablesTheButtonOnly) {
    for (auto availability : {FakeProvider::Availability::Unavailable, FakeProvider::Availability::Throws}) {
        DiffCall call;
        call.path = "C:\\old.c";
        call.provider.availability = availability;
        bool enabled = true, messageBox = false;
        ui::Script script;
        script.Then("dialog", [&] {
            ui::Window dialog = ui::ActiveDialog();
            if (!dialog)
                return false;
            messageBox = dialog.IsMessageBox();
            enabled = dialog.Item(IDC_ADVANCED).Enabled();
            dialog.Item(IDC_IGNORE_SPACES).Click();
            return true;
        });
        script.OnDialog("Difference Options", [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
        call.Run(script);

        EXPECT_FALSE(messageBox);
        EXPECT_FALSE(enabled);
        EXPECT_EQ(call.provider.availabilityQueries, 1);
        EXPECT_EQ(call.result, 1);
        EXPECT_EQ(call.ignoreSpaces, 1);
    }
}

TEST(DiffOptions, AThrowingAdvancedGetsAMessageBoxAndLeavesTheControlsAlone) {
    DiffCall call;
    call.path = "C:\\old.c";
    call.ignoreCase = 1;
    call.provider.showThrows = true;
    HWND dialogWindow = nullptr;
    std::string text;
    Checks afterMessage;
    ui::Script script;
    script.OnDialog("Difference Options", [&](ui::Window dialog) {
        dialogWindow = dialog.hwnd();
        dialog.Item(IDC_IGNORE_SPACES).Click();
        dialog.Item(IDC_ADVANCED).Click();
    });
    script.OnMessageBox([&](ui::Window box) {
        text = box.MessageText();
        box.Item(IDOK).Click();
    });
    script.OnDialog("Difference Options", [&](ui::Window dialog) {
        afterMessage = ReadChecks(dialog);
        dialog.Item(IDOK).Click();
    });
    call.Run(script);

    EXPECT_EQ(text, kAdvancedMessage);
    EXPECT_EQ(call.provider.lastOwner, dialogWindow);
    EXPECT_EQ(afterMessage.ignoreCase, BST_CHECKED);
    EXPECT_EQ(afterMessage.ignoreSpaces, BST_CHECKED);
    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.path, "C:\\old.c");
}

// ---- Rename ----------------------------------------------------------------------------------------

TEST(RenameOptions, ShowsEachStringInItsBoxAndOkReturnsThemUnchanged) {
    RenameCall call;
    call.existingFile = "C:\\work\\src\\main.c";
    call.newName = "renamed.c";
    std::string caption, upper, lower;
    bool focusOnUpper = false, hasAdvanced = true;
    ui::Script script;
    OnPathDialog(script, "", [&](ui::Window dialog) {
        caption = dialog.Text();
        upper = dialog.Item(IDC_PATH).Text();
        lower = dialog.Item(IDC_NEW_NAME).Text();
        focusOnUpper = ui::Focus().Id() == IDC_PATH;
        hasAdvanced = static_cast<bool>(dialog.Item(IDC_ADVANCED));
        dialog.Item(IDOK).Click();
    });
    call.Run(script);

    EXPECT_EQ(caption, "Rename Options");
    EXPECT_EQ(upper, "C:\\work\\src\\main.c");
    EXPECT_EQ(lower, "renamed.c");
    EXPECT_TRUE(focusOnUpper);
    EXPECT_FALSE(hasAdvanced);
    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.existingFile, "C:\\work\\src\\main.c");
    EXPECT_EQ(call.newName, "renamed.c");
}

TEST(RenameOptions, BothEmptyStartEmptyAndAClearedNewNameComesBackEmpty) {
    RenameCall empty;
    std::string upper = "unset", lower = "unset";
    ui::Script first;
    OnPathDialog(first, "Rename Options", [&](ui::Window dialog) {
        upper = dialog.Item(IDC_PATH).Text();
        lower = dialog.Item(IDC_NEW_NAME).Text();
        dialog.Item(IDOK).Click();
    });
    empty.Run(first);
    EXPECT_EQ(upper, "");
    EXPECT_EQ(lower, "");
    EXPECT_EQ(empty.result, 1);

    RenameCall cleared;
    cleared.existingFile = "C:\\a.c";
    cleared.newName = "b.c";
    ui::Script second;
    OnPathDialog(second, "Rename Options", [](ui::Window dialog) { Retype(dialog.Item(IDC_NEW_NAME), ""); });
    OnPathDialog(second, "Rename Options", [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    cleared.Run(second);
    EXPECT_EQ(cleared.result, 1);
    EXPECT_EQ(cleared.existingFile, "C:\\a.c");
    EXPECT_EQ(cleared.newName, "");
}

class RenameDismissal : public ::testing::TestWithParam<const char*> {};

TEST_P(RenameDismissal, KeepsBothStrings) {
    RenameCall call;
    call.existingFile = "C:\\a.c";
    call.newName = "b.c";
    ui::Script script;
    OnPathDialog(script, "Rename Options", [](ui::Window dialog) {
        Retype(dialog.Item(IDC_PATH), "C:\\other.c");
        Retype(dialog.Item(IDC_NEW_NAME), "other.c");
    });
    OnPathDialog(script, "Rename Options", [](ui::Window dialog) { Dismiss(dialog, GetParam()); });
    call.Run(script);

    EXPECT_EQ(call.result, 0);
    EXPECT_EQ(call.existingFile, "C:\\a.c");
    EXPECT_EQ(call.newName, "b.c");
}

INSTANTIATE_TEST_SUITE_P(Ways, RenameDismissal, kDismissals);

// The new-name box survives an accepted browse, whether the user edited it first or not.
TEST(RenameOptions, AnAcceptedBrowseFillsOnlyTheExistingFile) {
    for (bool editNewName : {false, true}) {
        OpenFileNameRecorder recorder(OpenFileNameRecorder::Choose("D:\\x\\y.txt"));
        RenameCall call;
        call.existingFile = "C:\\a.c";
        call.newName = "b.c";
        std::string upper, lower;
        ui::Script script;
        OnPathDialog(script, "Rename Options", [editNewName](ui::Window dialog) {
            if (editNewName)
                Retype(dialog.Item(IDC_NEW_NAME), "edited.c");
            dialog.Item(IDC_BROWSE).Click();
        });
        OnPathDialog(script, "Rename Options", [&](ui::Window dialog) {
            upper = dialog.Item(IDC_PATH).Text();
            lower = dialog.Item(IDC_NEW_NAME).Text();
            dialog.Item(IDOK).Click();
        });
        call.Run(script);

        const std::string expectedName = editNewName ? "edited.c" : "b.c";
        ASSERT_EQ(recorder.Calls().size(), 1u);
        EXPECT_EQ(recorder.Calls()[0].initialDir, "C:\\");
        EXPECT_EQ(recorder.Calls()[0].fileName, "a.c");
        EXPECT_EQ(upper, "D:\\x\\y.txt");
        EXPECT_EQ(lower, expectedName);
        EXPECT_EQ(call.result, 1);
        EXPECT_EQ(call.existingFile, "D:\\x\\y.txt");
        EXPECT_EQ(call.newName, expectedName);
    }
}

TEST(RenameOptions, ACancelledBrowseKeepsBothTypedTexts) {
    OpenFileNameRecorder recorder(OpenFileNameRecorder::Cancel());
    RenameCall call;
    call.existingFile = "C:\\a.c";
    call.newName = "b.c";
    std::string upper, lower;
    ui::Script script;
    OnPathDialog(script, "Rename Options", [](ui::Window dialog) {
        Retype(dialog.Item(IDC_PATH), "C:\\typed\\file.c");
        Retype(dialog.Item(IDC_NEW_NAME), " new name ");
        dialog.Item(IDC_BROWSE).Click();
    });
    OnPathDialog(script, "Rename Options", [&](ui::Window dialog) {
        upper = dialog.Item(IDC_PATH).Text();
        lower = dialog.Item(IDC_NEW_NAME).Text();
        dialog.Item(IDOK).Click();
    });
    call.Run(script);

    ASSERT_EQ(recorder.Calls().size(), 1u);
    EXPECT_EQ(recorder.Calls()[0].fileName, "file.c");
    EXPECT_EQ(upper, "C:\\typed\\file.c");
    EXPECT_EQ(lower, " new name ");
    EXPECT_EQ(call.existingFile, "C:\\typed\\file.c");
    EXPECT_EQ(call.newName, " new name ");
}

} // namespace
