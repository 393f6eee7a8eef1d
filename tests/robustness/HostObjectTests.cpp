// The Advanced button of every dialog that has one, against the host object's answers: shown, unavailable,
// or throwing from either operation (a standard exception, an int or a type the library cannot know); and
// the host calling another export from inside its advanced options, so that a second modal dialog of the
// library runs inside the first.
#include "Commands.h"
#include "UiDriver.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace robust {
namespace {

using namespace cmd;
using namespace ui;

const char* const kUnavailable =
    "Advanced options have become unexpectedly unavailable.\nTry again later. You may "
    "have to restart this program or your source control provider.";

using Availability = FakeProvider::Availability;
using Thrown = FakeProvider::Thrown;

const Command kWithAdvanced[] = {Command::MultiFile,  Command::CheckIn, Command::CheckOut,
                                 Command::SingleFile, Command::Diff,    Command::Session};

// What the host object answers, and whether showing its options fails (and with what).
struct HostCase {
    const char* name;
    Availability availability;
    bool showThrows;
    Thrown thrown;
};

const HostCase kHostCases[] = {
    {"Shows", Availability::Available, false, Thrown::StdException},
    {"Unavailable", Availability::Unavailable, false, Thrown::StdException},
    {"QueryThrowsStdException", Availability::Throws, false, Thrown::StdException},
    {"QueryThrowsInt", Availability::Throws, false, Thrown::Int},
    {"QueryThrowsUnknownType", Availability::Throws, false, Thrown::UnknownType},
    {"ShowThrowsStdException", Availability::Available, true, Thrown::StdException},
    {"ShowThrowsInt", Availability::Available, true, Thrown::Int},
    {"ShowThrowsUnknownType", Availability::Available, true, Thrown::UnknownType},
};

class HostObject : public ::testing::TestWithParam<std::tuple<Command, HostCase>> {};

// The user edits everything, clicks Advanced twice and presses OK. Availability is asked once, when the
// dialog opens; an unavailable or failing query leaves Advanced disabled, without a message. Each shown
// set of options is owned by the dialog; each failure to show them is told once, in the library's warning,
// and the dialog goes on with the user's edits intact.
TEST_P(HostObject, AdvancedFollowsItsAnswersAndAFailureIsToldOncePerClick) {
    const Command command = std::get<0>(GetParam());
    const HostCase& host = std::get<1>(GetParam());
    Call call(command, TypicalArguments());
    call.provider.availability = host.availability;
    call.provider.showThrows = host.showThrows;
    call.provider.thrown = host.thrown;
    const bool enabled = host.availability == Availability::Available;

    HWND dialogWindow = nullptr;
    bool advancedEnabled = !enabled;
    std::vector<std::string> boxes; // caption, text and icon of each message box
    const auto answerBox = [&](ui::Window box) {
        boxes.push_back(box.Text() + "|" + box.MessageText() + (box.HasIcon(IDI_EXCLAMATION) ? "|!" : "|?"));
        box.Item(IDOK).Click();
    };
    const auto clickAdvanced = [&](ui::Window dialog) {
        dialogWindow = dialog.hwnd();
        advancedEnabled = dialog.Item(IDC_ADVANCED).Enabled();
        dialog.Item(IDC_ADVANCED).Click();
    };
    ui::Script script;
    script.OnDialog(call.Caption(), [&](ui::Window dialog) {
        PostEdits(command, dialog);
        clickAdvanced(dialog);
    });
    if (enabled && host.showThrows)
        script.OnMessageBox(answerBox);
    script.OnDialog(call.Caption(), clickAdvanced);
    if (enabled && host.showThrows)
        script.OnMessageBox(answerBox);
    script.OnDialog(call.Caption(), [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    call.Run(script);

    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.arguments(), AfterEdits(command, TypicalArguments()));
    EXPECT_EQ(advancedEnabled, enabled);
    EXPECT_EQ(call.provider.availabilityQueries, 1);
    EXPECT_EQ(call.provider.showCalls, enabled ? 2 : 0);
    EXPECT_EQ(call.provider.invocations, 0) << "the object itself is never called";
    if (enabled) {
        EXPECT_EQ(call.provider.lastOwner, dialogWindow);
    }
    const std::string warning = std::string("corvel|") + kUnavailable + "|!";
    EXPECT_EQ(boxes, std::vector<std::string>(enabled && host.showThrows ? 2 : 0, warning));
}

INSTANTIATE_TEST_SUITE_P(EveryDialogWithAdvanced, HostObject,
                         ::testing::Combine(::testing::ValuesIn(kWithAdvanced),
                                            ::testing::ValuesIn(kHostCases)),
                         [](const ::testing::TestParamInfo<std::tuple<Command, HostCase>>& info) {
                             return std::string(Name(std::get<0>(info.param))) + "_" +
                                    std::get<1>(info.param).name;
                         });

// ---- A nested export -------------------------------------------------------------------------------

// The host answers Advanced by calling another export (or the same one again) over the library's open
// dialog. Both calls must give their own results; afterwards the outer dialog still works (its Advanced
// button, its message box with the library's caption, its OK with edits) and so does the next call.
class NestedExport : public ::testing::TestWithParam<std::tuple<Command, Command>> {};

TEST_P(NestedExport, GivesBothCallsTheirOwnResultsAndLeavesTheOuterDialogWorking) {
    const Command outer = std::get<0>(GetParam());
    const Command inner = std::get<1>(GetParam());
    HostWindow host;
    FakeProvider outerProvider;
    FakeProvider innerProvider;
    Arguments innerArguments = TypicalArguments();
    int innerResult = -1;
    HWND outerDialog = nullptr, innerOwner = nullptr;
    outerProvider.onShow = [&](HWND owner) {
        if (outerProvider.showCalls == 1) {
            innerResult = Invoke(inner, innerArguments, innerProvider, owner);
        } else {
            outerProvider.showThrows = true; // the second click: the library's message box
        }
    };
    std::string boxCaption, boxText;
    ui::Script script;
    script
        .OnDialog(Caption(outer),
                  [&](ui::Window dialog) {
                      outerDialog = dialog.hwnd();
                      dialog.Item(IDC_ADVANCED).Click();
                  })
        .Then("the nested dialog",
              [&]() {
                  ui::Window dialog = ui::ActiveDialog();
                  if (!dialog || dialog.hwnd() == outerDialog || dialog.IsMessageBox() ||
                      dialog.Text() != Caption(inner))
                      return false;
                  innerOwner = ::GetWindow(dialog.hwnd(), GW_OWNER);
                  PostEdits(inner, dialog);
                  dialog.Item(IDOK).Click();
                  return true;
              })
        .Then("the outer dialog again",
              [&]() {
                  ui::Window dialog = ui::ActiveDialog();
                  if (dialog.hwnd() != outerDialog)
                      return false;
                  dialog.Item(IDC_ADVANCED).Click();
                  return true;
              })
        .OnMessageBox([&](ui::Window box) {
            boxCaption = box.Text();
            boxText = box.MessageText();
            box.Item(IDOK).Click();
        })
        .Then("the outer dialog, accepted with edits", [&]() {
            ui::Window dialog = ui::ActiveDialog();
            if (dialog.hwnd() != outerDialog)
                return false;
            PostEdits(outer, dialog);
            dialog.Item(IDOK).Click();
            return true;
        });
    Arguments outerArguments = TypicalArguments();
    int outerResult = -1;
    script.Run([&] { outerResult = Invoke(outer, outerArguments, outerProvider, host.hwnd()); });

    EXPECT_EQ(innerResult, 1);
    EXPECT_EQ(innerArguments, AfterEdits(inner, TypicalArguments()));
    EXPECT_EQ(innerOwner, outerDialog) << "the nested dialog is owned by the window the host was given";
    EXPECT_EQ(outerResult, 1);
    EXPECT_EQ(outerArguments, AfterEdits(outer, TypicalArguments()));
    EXPECT_EQ(boxCaption, "corvel");
    EXPECT_EQ(boxText, kUnavailable);
    EXPECT_TRUE(::IsWindowEnabled(host.hwnd()));

    // The next call starts from its own arguments only.
    FakeProvider provider;
    WhenShown closer([](ui::Window dialog) { PostClose(dialog, Close::Ok); });
    Arguments next = TypicalArguments();
    EXPECT_EQ(Invoke(outer, next, provider, host.hwnd()), 1);
    EXPECT_EQ(next, TypicalArguments().WithFlagsReduced(outer));
}

std::vector<std::tuple<Command, Command>> NestedPairs() {
    std::vector<std::tuple<Command, Command>> pairs;
    for (Command outer : kWithAdvanced) {
        pairs.emplace_back(outer, outer); // the same dialog class, twice on the stack
        pairs.emplace_back(outer, outer == Command::Session ? Command::Rename : Command::Session);
    }
    return pairs;
}

INSTANTIATE_TEST_SUITE_P(EveryDialogWithAdvanced, NestedExport, ::testing::ValuesIn(NestedPairs()),
                         [](const ::testing::TestParamInfo<std::tuple<Command, Command>>& info) {
                             return std::string(Name(std::get<0>(info.param))) + "_Calls" +
                                    Name(std::get<1>(info.param));
                         });

} // namespace
} // namespace robust
