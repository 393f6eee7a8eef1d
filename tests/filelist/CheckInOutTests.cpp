// The check-in and check-out commands, driven through their real dialogs: the comment box both have and
// the "Keep checked out" box that is check-in's alone. Their file list is the multi-file command's.
#include "Commands.h"
#include "UiDriver.h"
#include "resource.h"

#include <corvel/corvel.h>
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

using cmd::Call;
using cmd::Command;
using Files = std::set<std::string>;

// Moves the focus to a control the way the dialog manager does (an edit box gets its text selected).
void FocusControl(ui::Window dialog, int id) {
    ::SendMessageA(dialog.hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(dialog.Item(id).hwnd()), TRUE);
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

// ---- The comment box, in both dialogs ---------------------------------------------------------------

// Markers no box ever reports as its limit: the limit of a box that was never limited, and a limit not
// looked at.
constexpr UINT kUnlimited = 0;
constexpr UINT kAnyLimit = ~0u;

struct CommentCase {
    const char* name;
    std::string given;
    int maxLength;
    std::string typed; // at the end of the box, when it is enabled; '\b' is a Backspace
    bool enabled;
    std::string shown;
    UINT limit;
    std::string returned;
};

const CommentCase kCommentCases[] = {
    {"TypedAfterTheCallersComment", "old", 100, " and new", true, "old", 100, "old and new"},
    {"LimitZeroDisablesTheBox", "as given", 0, "xyz", false, "as given", kUnlimited, "as given"},
    {"LimitMinusOneDisablesTheBox", "as given", -1, "xyz", false, "as given", kUnlimited, "as given"},
    {"LimitIntMinDisablesTheBox", "as given", INT_MIN, "xyz", false, "as given", kUnlimited, "as given"},
    {"LimitOneTakesOneCharacter", "", 1, "xyz", true, "", 1, "x"},
    {"LimitIntMaxTakesAll", "", INT_MAX, "xyz", true, "", kAnyLimit, "xyz"},
    {"ALongerCommentIsKeptWhole", "0123456789", 4, "", true, "0123456789", 4, "0123456789"},
    // Typing cannot lengthen it; once shortened, it fills up to the limit.
    {"ALongerCommentCannotGrow", "0123456789", 4, "abc\b\b\b\b\b\b\b\babc", true, "0123456789", 4, "01ab"},
    {"ANulEndsTheComment", std::string("before\0after", 12), 100, "", true, "before", 100, "before"},
};

class CommentBox : public ::testing::TestWithParam<std::tuple<Command, CommentCase>> {};

TEST_P(CommentBox, ShowsTheCallersCommentAndTakesWhatIsTypedUpToTheLimit) {
    const CommentCase& c = std::get<1>(GetParam());
    Call call(std::get<0>(GetParam()));
    call.files = {"a.c"};
    call.comment = c.given;
    call.maxCommentLength = c.maxLength;
    int focus = 0;
    bool enabled = !c.enabled;
    std::string shown;
    UINT limit = 0;
    ui::Script script;
    script.OnDialog(call.Caption(), [&](ui::Window dialog) {
        focus = ui::Focus().Id();
        ui::Window box = dialog.Item(IDC_COMMENT);
        enabled = box.Enabled();
        shown = box.Text();
        limit = LimitOf(box);
        if (enabled) { // a user cannot type into a disabled box
            FocusControl(dialog, IDC_COMMENT);
            box.Key(VK_END);
            box.Type(c.typed);
        }
    });
    script.OnDialog(call.Caption(), [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    call.Run(script);

    EXPECT_EQ(focus, IDOK);
    EXPECT_EQ(enabled, c.enabled);
    EXPECT_EQ(shown, c.shown);
    if (c.limit != kAnyLimit) {
        EXPECT_EQ(limit, c.limit == kUnlimited ? UnlimitedEditLimit() : c.limit);
    }
    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.comment, c.returned);
    EXPECT_EQ(call.maxCommentLength, c.maxLength);
    EXPECT_EQ(call.files, Files{"a.c"});
}

INSTANTIATE_TEST_SUITE_P(BothDialogs, CommentBox,
                         ::testing::Combine(::testing::Values(Command::CheckIn, Command::CheckOut),
                                            ::testing::ValuesIn(kCommentCases)),
                         [](const ::testing::TestParamInfo<std::tuple<Command, CommentCase>>& info) {
                             return std::string(cmd::Name(std::get<0>(info.param))) + "_" +
                                    std::get<1>(info.param).name;
                         });

class CommentDialogs : public ::testing::TestWithParam<Command> {};

TEST_P(CommentDialogs, EnterInTheCommentBoxPressesOk) {
    Call call(GetParam());
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

TEST_P(CommentDialogs, AltMMovesTheFocusToTheCommentBox) {
    Call call(GetParam());
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

INSTANTIATE_TEST_SUITE_P(BothDialogs, CommentDialogs, ::testing::Values(Command::CheckIn, Command::CheckOut),
                         cmd::ParamName());

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
        Call call(Command::CheckIn);
        call.flags[cmd::kKeepCheckedOut] = c.given;
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
        EXPECT_EQ(call.flags[cmd::kKeepCheckedOut], c.expected);
        EXPECT_EQ(call.result, c.ok ? 1 : 0);
    }
}

} // namespace
