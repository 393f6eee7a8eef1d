// The check-in and check-out commands, driven through their real dialogs. What the two share (the file
// list and the comment box) runs against both; the "Keep checked out" box is check-in's alone.
#include "FakeProvider.h"
#include "UiDriver.h"
#include "resource.h"

#include <corvel/corvel.h>
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <vector>

namespace {

using Files = std::set<std::string>;

enum class Command { CheckIn, CheckOut };

// Moves the focus to a control the way the dialog manager does (an edit box gets its text selected).
void FocusControl(ui::Window dialog, int id) {
    ::SendMessageA(dialog.hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(dialog.Item(id).hwnd()), TRUE);
}

// Moves the caret to the end of the focused edit box and types `text` there.
void TypeAtEnd(ui::Window edit, const std::string& text) {
    edit.Key(VK_END);
    edit.Type(text);
}

UINT LimitOf(ui::Window edit) {
    return static_cast<UINT>(::SendMessageA(edit.hwnd(), EM_GETLIMITTEXT, 0, 0));
}

// The limit of an edit box that was never limited, as this platform sets it.
UINT UnlimitedEditLimit() {
    HWND edit =
        ::CreateWindowExA(0, "EDIT", "", ES_AUTOHSCROLL, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    const UINT limit = static_cast<UINT>(::SendMessageA(edit, EM_GETLIMITTEXT, 0, 0));
    ::DestroyWindow(edit);
    return limit;
}

struct CommentCall {
    explicit CommentCall(Command which) : command(which) {}

    Command command;
    Files files;
    Files otherFiles;
    FakeProvider provider;
    int keepCheckedOut = 0; // check-in only
    std::string comment;
    int maxCommentLength = 100;
    int result = -1;

    std::string Caption() const { return command == Command::CheckIn ? "Options" : "Check Out Options"; }

    void Run(ui::Script& script) {
        script.Run([this] {
            result = command == Command::CheckIn
                         ? CorvelDoCheckInOptions(files, provider, keepCheckedOut, comment, maxCommentLength,
                                                  otherFiles, nullptr)
                         : CorvelDoCheckOutOptions(files, provider, comment, maxCommentLength, otherFiles,
                                                   nullptr);
        });
    }
};

// ---- Both dialogs ----------------------------------------------------------------------------------

class CommentDialogs : public ::testing::TestWithParam<Command> {
protected:
    CommentCall NewCall() const { return CommentCall(GetParam()); }
};

std::string CommandName(const ::testing::TestParamInfo<Command>& info) {
    return info.param == Command::CheckIn ? "CheckIn" : "CheckOut";
}

INSTANTIATE_TEST_SUITE_P(Commands, CommentDialogs, ::testing::Values(Command::CheckIn, Command::CheckOut),
                         CommandName);

TEST_P(CommentDialogs, OkWritesBackTheCheckedRowsAndTheEditedComment) {
    CommentCall call = NewCall();
    call.files = {"A", "B"};
    call.otherFiles = {"B", "C"};
    call.comment = "old";
    std::vector<std::string> checkedOnOpen;
    std::string shown;
    int focus = 0;
    bool boxEnabled = false;
    UINT limit = 0;
    ui::Script script;
    script.OnDialog(call.Caption(), [&](ui::Window dialog) {
        focus = ui::Focus().Id();
        ui::Window list = dialog.Item(IDC_FILE_LIST);
        checkedOnOpen = ui::CheckedRowTexts(list.Rows());
        shown = dialog.Item(IDC_COMMENT).Text();
        boxEnabled = dialog.Item(IDC_COMMENT).Enabled();
        limit = LimitOf(dialog.Item(IDC_COMMENT));
        list.ClickRowCheckBox(ui::FindRow(list.Rows(), "B"));
        list.ClickRowCheckBox(ui::FindRow(list.Rows(), "C"));
        FocusControl(dialog, IDC_COMMENT);
        TypeAtEnd(dialog.Item(IDC_COMMENT), " and new");
    });
    script.OnDialog(call.Caption(), [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    call.Run(script);

    EXPECT_EQ(focus, IDOK);
    EXPECT_EQ(checkedOnOpen, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(shown, "old");
    EXPECT_TRUE(boxEnabled);
    EXPECT_EQ(limit, 100u);
    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.files, (Files{"A", "C"}));
    EXPECT_EQ(call.otherFiles, (Files{"B", "C"}));
    EXPECT_EQ(call.comment, "old and new");
}

TEST_P(CommentDialogs, ALimitOfZeroOrLessDisablesTheBoxWhichStillShowsTheComment) {
    const UINT unlimited = UnlimitedEditLimit();
    for (int maxLength : {0, -1, INT_MIN}) {
        SCOPED_TRACE(maxLength);
        CommentCall call = NewCall();
        call.files = {"a.c"};
        call.otherFiles = {"b.c"};
        call.comment = "as given";
        call.maxCommentLength = maxLength;
        bool enabled = true;
        std::string shown;
        UINT limit = 0;
        ui::Script script;
        script.OnDialog(call.Caption(), [&](ui::Window dialog) {
            ui::Window box = dialog.Item(IDC_COMMENT);
            enabled = box.Enabled();
            shown = box.Text();
            limit = LimitOf(box);
            dialog.Item(IDC_FILE_LIST).ClickRowCheckBox(1); // the list works as usual
        });
        script.OnDialog(call.Caption(), [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
        call.Run(script);

        EXPECT_FALSE(enabled);
        EXPECT_EQ(shown, "as given");
        EXPECT_EQ(limit, unlimited);
        EXPECT_EQ(call.result, 1);
        EXPECT_EQ(call.comment, "as given");
        EXPECT_EQ(call.files, (Files{"a.c", "b.c"}));
    }
}

TEST_P(CommentDialogs, ALimitOfOneTakesOneTypedCharacter) {
    CommentCall call = NewCall();
    call.maxCommentLength = 1;
    std::string typed;
    ui::Script script;
    script.OnDialog(call.Caption(), [](ui::Window dialog) {
        FocusControl(dialog, IDC_COMMENT);
        dialog.Item(IDC_COMMENT).Type("xyz");
    });
    script.OnDialog(call.Caption(), [&](ui::Window dialog) {
        typed = dialog.Item(IDC_COMMENT).Text();
        dialog.Item(IDOK).Click();
    });
    call.Run(script);

    EXPECT_EQ(typed, "x");
    EXPECT_EQ(call.comment, "x");
}

TEST_P(CommentDialogs, ALongerCommentFromTheCallerIsShownAndReturnedWhole) {
    CommentCall call = NewCall();
    call.comment = "0123456789";
    call.maxCommentLength = 4;
    std::string shown;
    ui::Script script;
    script.OnDialog(call.Caption(), [&](ui::Window dialog) {
        shown = dialog.Item(IDC_COMMENT).Text();
        dialog.Item(IDOK).Click();
    });
    call.Run(script);

    EXPECT_EQ(shown, "0123456789");
    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.comment, "0123456789");
}

TEST_P(CommentDialogs, TypingCannotLengthenALongerCommentButFillsUpToTheLimit) {
    CommentCall call = NewCall();
    call.comment = "0123456789";
    call.maxCommentLength = 4;
    std::string afterTyping;
    ui::Script script;
    script.OnDialog(call.Caption(), [](ui::Window dialog) {
        FocusControl(dialog, IDC_COMMENT);
        TypeAtEnd(dialog.Item(IDC_COMMENT), "abc");
    });
    script.OnDialog(call.Caption(), [&](ui::Window dialog) {
        ui::Window box = dialog.Item(IDC_COMMENT);
        afterTyping = box.Text();
        box.Type(std::string(8, '\b') + "abc"); // down to "01", then room for two more
    });
    script.OnDialog(call.Caption(), [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    call.Run(script);

    EXPECT_EQ(afterTyping, "0123456789");
    EXPECT_EQ(call.comment, "01ab");
}

TEST_P(CommentDialogs, ANulInTheCommentEndsWhatIsShownAndReturned) {
    CommentCall call = NewCall();
    call.comment = std::string("before\0after", 12);
    std::string shown;
    ui::Script script;
    script.OnDialog(call.Caption(), [&](ui::Window dialog) {
        shown = dialog.Item(IDC_COMMENT).Text();
        dialog.Item(IDOK).Click();
    });
    call.Run(script);

    EXPECT_EQ(shown, "before");
    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.comment, "before");
    EXPECT_EQ(call.comment.size(), 6u);
}

TEST_P(CommentDialogs, EnterInTheCommentBoxPressesOk) {
    CommentCall call = NewCall();
    call.files = {"a.c"};
    ui::Script script;
    script.OnDialog(call.Caption(), [](ui::Window dialog) {
        FocusControl(dialog, IDC_COMMENT);
        ui::Window box = dialog.Item(IDC_COMMENT);
        box.Type("fixed");
        box.Key(VK_RETURN);
    });
    call.Run(script);

    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.comment, "fixed");
    EXPECT_EQ(call.files, Files{"a.c"});
}

TEST_P(CommentDialogs, LeavingWithoutOkAfterChangesWritesNothingBack) {
    for (const std::string how : ui::kDismissals) {
        SCOPED_TRACE(how);
        CommentCall call = NewCall();
        call.files = {"a.c", "b.c"};
        call.otherFiles = {"c.c"};
        call.comment = "keep me";
        ui::Script script;
        script.OnDialog(call.Caption(), [](ui::Window dialog) {
            ui::Window list = dialog.Item(IDC_FILE_LIST);
            list.ClickRowCheckBox(0);
            list.ClickRowCheckBox(2);
            FocusControl(dialog, IDC_COMMENT);
            dialog.Item(IDC_COMMENT).Type("changed");
        });
        script.OnDialog(call.Caption(), [how](ui::Window dialog) { ui::Dismiss(dialog, how); });
        call.Run(script);

        EXPECT_EQ(call.result, 0);
        EXPECT_EQ(call.files, (Files{"a.c", "b.c"}));
        EXPECT_EQ(call.comment, "keep me");
    }
}

TEST_P(CommentDialogs, OkWithEveryRowUncheckedEmptiesTheFiles) {
    CommentCall call = NewCall();
    call.files = {"a.c", "b.c"};
    call.otherFiles = {"c.c"};
    ui::Script script;
    script.OnDialog(call.Caption(), [](ui::Window dialog) {
        dialog.Item(IDC_FILE_LIST).ClickRowCheckBox(0);
        dialog.Item(IDC_FILE_LIST).ClickRowCheckBox(1);
    });
    script.OnDialog(call.Caption(), [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    call.Run(script);

    EXPECT_EQ(call.result, 1);
    EXPECT_TRUE(call.files.empty());
    EXPECT_EQ(call.otherFiles, Files{"c.c"});
}

TEST_P(CommentDialogs, SelectAllChecksEveryRow) {
    CommentCall call = NewCall();
    call.files = {"a.c"};
    call.otherFiles = {"b.c", "c.c"};
    ui::Script script;
    script.OnDialog(call.Caption(), [](ui::Window dialog) { dialog.Item(IDC_SELECT_ALL).Click(); });
    script.OnDialog(call.Caption(), [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    call.Run(script);

    EXPECT_EQ(call.files, (Files{"a.c", "b.c", "c.c"}));
}

TEST_P(CommentDialogs, AdvancedShowsTheProvidersOptionsOverTheDialog) {
    CommentCall call = NewCall();
    HWND dialogWindow = nullptr;
    ui::Script script;
    script.OnDialog(call.Caption(), [&](ui::Window dialog) {
        dialogWindow = dialog.hwnd();
        dialog.Item(IDC_ADVANCED).Click();
    });
    script.OnDialog(call.Caption(), [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    call.Run(script);

    EXPECT_EQ(call.provider.availabilityQueries, 1);
    EXPECT_EQ(call.provider.showCalls, 1);
    EXPECT_EQ(call.provider.lastOwner, dialogWindow);
}

TEST_P(CommentDialogs, TabWalksTheControlsInTemplateOrder) {
    CommentCall call = NewCall();
    call.files = {"a.c"};
    const std::vector<int> expected =
        call.command == Command::CheckIn
            ? std::vector<int>{IDOK,        IDCANCEL,      IDC_ADVANCED,   IDC_KEEP_CHECKED_OUT,
                               IDC_COMMENT, IDC_FILE_LIST, IDC_SELECT_ALL, IDOK}
            : std::vector<int>{IDOK,          IDCANCEL,       IDC_COMMENT, IDC_ADVANCED,
                               IDC_FILE_LIST, IDC_SELECT_ALL, IDOK};
    std::vector<int> visited;
    ui::Script script;
    // Each Tab goes through the dialog's own loop before the next step looks at the focus.
    for (size_t step = 0; step + 1 < expected.size(); ++step)
        script.OnDialog(call.Caption(), [&](ui::Window) {
            visited.push_back(ui::Focus().Id());
            ui::Focus().Key(VK_TAB);
        });
    script.OnDialog(call.Caption(), [&](ui::Window dialog) {
        visited.push_back(ui::Focus().Id());
        dialog.Item(IDCANCEL).Click();
    });
    call.Run(script);

    EXPECT_EQ(visited, expected);
}

TEST_P(CommentDialogs, AltMMovesTheFocusToTheCommentBox) {
    CommentCall call = NewCall();
    call.files = {"a.c"};
    int focused = 0;
    ui::Script script;
    script.OnDialog(call.Caption(), [](ui::Window) { ui::Focus().AltKey('m'); });
    script.OnDialog(call.Caption(), [&](ui::Window dialog) {
        focused = ui::Focus().Id();
        dialog.Item(IDCANCEL).Click();
    });
    call.Run(script);

    EXPECT_EQ(focused, IDC_COMMENT);
}

// ---- Check-in's own ---------------------------------------------------------------------------------

TEST(CheckInOptions, KeepCheckedOutComesBackAsZeroOrOneAfterEveryCall) {
    struct Case {
        int given;
        bool toggle;
        bool ok;
        int shownChecked;
        int expected;
    };
    const Case cases[] = {
        {7, false, false, BST_CHECKED, 1}, // Cancel reduces the caller's value
        {7, true, false, BST_CHECKED, 1},  // ... whatever the box says
        {7, true, true, BST_CHECKED, 0},   // OK takes the box
        {7, false, true, BST_CHECKED, 1},   {0, true, true, BST_UNCHECKED, 1},
        {0, true, false, BST_UNCHECKED, 0}, {-3, false, false, BST_CHECKED, 1}, // any nonzero value is true
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "given " << c.given << (c.toggle ? ", toggled" : "") << (c.ok ? ", OK" : ", Cancel"));
        CommentCall call(Command::CheckIn);
        call.keepCheckedOut = c.given;
        int shown = -1;
        ui::Script script;
        script.OnDialog("Options", [&](ui::Window dialog) {
            shown = dialog.Item(IDC_KEEP_CHECKED_OUT).ButtonCheck();
            if (c.toggle)
                dialog.Item(IDC_KEEP_CHECKED_OUT).Click();
        });
        script.OnDialog("Options", [&](ui::Window dialog) { dialog.Item(c.ok ? IDOK : IDCANCEL).Click(); });
        call.Run(script);

        EXPECT_EQ(shown, c.shownChecked);
        EXPECT_EQ(call.keepCheckedOut, c.expected);
        EXPECT_EQ(call.result, c.ok ? 1 : 0);
    }
}

TEST(CheckInOptions, CancelAfterChangingRowsBoxAndCommentKeepsAllButTheReducedFlag) {
    CommentCall call(Command::CheckIn);
    call.files = {"a.c"};
    call.otherFiles = {"b.c"};
    call.keepCheckedOut = 7;
    call.comment = "original";
    ui::Script script;
    script.OnDialog("Options", [](ui::Window dialog) {
        dialog.Item(IDC_SELECT_ALL).Click();
        dialog.Item(IDC_KEEP_CHECKED_OUT).Click();
        FocusControl(dialog, IDC_COMMENT);
        dialog.Item(IDC_COMMENT).Type("replaced");
    });
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDCANCEL).Click(); });
    call.Run(script);

    EXPECT_EQ(call.result, 0);
    EXPECT_EQ(call.files, Files{"a.c"});
    EXPECT_EQ(call.keepCheckedOut, 1);
    EXPECT_EQ(call.comment, "original");
}

} // namespace
