// The host's function object misbehaving: throwing from either operation, with a standard exception, an
// int or a type the library cannot know; and calling another export from inside its advanced options,
// so that a second modal dialog of the library runs inside the first.
#include "Commands.h"
#include "DialogCloser.h"
#include "FakeProvider.h"
#include "UiDriver.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace robust {
namespace {

const char* const kUnavailable =
    "Advanced options have become unexpectedly unavailable.\nTry again later. You may "
    "have to restart this program or your source control provider.";

// A type declared only here: nothing in the library can name it, so only a catch-all can stop it.
struct KnownOnlyToTheHost {
    int code;
};

enum class Thrown { StdException, Int, UnknownType };

const char* Name(Thrown thrown) {
    switch (thrown) {
    case Thrown::StdException:
        return "StdException";
    case Thrown::Int:
        return "Int";
    case Thrown::UnknownType:
        return "UnknownType";
    }
    return "?";
}

[[noreturn]] void Throw(Thrown thrown) {
    switch (thrown) {
    case Thrown::StdException:
        throw std::runtime_error("the provider went away");
    case Thrown::Int:
        throw 42;
    case Thrown::UnknownType:
        throw KnownOnlyToTheHost{7};
    }
    throw 0;
}

class ThrowingProvider : public Provider {
public:
    bool queryThrows = false;
    bool showThrows = false;
    Thrown thrown = Thrown::StdException;
    std::function<void(HWND owner)> onShow;
    int queries = 0;
    int shows = 0;

    void operator()() override {}
    bool AreAdvancedOptionsAvailable() override {
        ++queries;
        if (queryThrows)
            Throw(thrown);
        return true;
    }
    bool ShowAdvancedOptions(HWND owner) override {
        ++shows;
        if (onShow)
            onShow(owner);
        if (showThrows)
            Throw(thrown);
        return true;
    }
};

using ThrowCase = std::tuple<Command, Thrown>;

std::string ThrowCaseName(const ::testing::TestParamInfo<ThrowCase>& info) {
    return std::string(Name(std::get<0>(info.param))) + "_" + Name(std::get<1>(info.param));
}

const Command kWithAdvanced[] = {Command::MultiFile,  Command::CheckIn, Command::CheckOut,
                                 Command::SingleFile, Command::Diff,    Command::Session};

class HostObjectThrows : public ::testing::TestWithParam<ThrowCase> {};

TEST_P(HostObjectThrows, FromTheAvailabilityQueryDisablesAdvancedWithoutAMessage) {
    const Command command = std::get<0>(GetParam());
    ThrowingProvider provider;
    provider.queryThrows = true;
    provider.thrown = std::get<1>(GetParam());
    bool advancedEnabled = true;
    int messageBoxes = 0;
    WhenShown closer([&](HWND dialog) {
        if (IsMessageBox(dialog)) {
            ++messageBoxes;
            PostClose(dialog, Close::Ok);
            return;
        }
        advancedEnabled = ::IsWindowEnabled(::GetDlgItem(dialog, IDC_ADVANCED)) != FALSE;
        PostClose(dialog, Close::Ok);
    });
    Arguments arguments = TypicalArguments();
    EXPECT_EQ(Invoke(command, arguments, provider, nullptr), 1);
    EXPECT_EQ(arguments, TypicalArguments().WithFlagsReduced(command));
    EXPECT_FALSE(advancedEnabled);
    EXPECT_EQ(messageBoxes, 0);
    EXPECT_EQ(provider.queries, 1);
    EXPECT_EQ(provider.shows, 0);
}

TEST_P(HostObjectThrows, FromShowingTheOptionsIsToldOncePerClickAndTheDialogGoesOn) {
    const Command command = std::get<0>(GetParam());
    const char* caption = Caption(command);
    ThrowingProvider provider;
    provider.showThrows = true;
    provider.thrown = std::get<1>(GetParam());
    std::vector<std::string> texts, captions;
    int exclamations = 0;
    bool enabledAfterFailure = false;
    const auto answerBox = [&](ui::Window box) {
        texts.push_back(box.MessageText());
        captions.push_back(box.Text());
        exclamations += box.HasIcon(IDI_EXCLAMATION) ? 1 : 0;
        box.Item(IDOK).Click();
    };
    ui::Script script;
    script.OnDialog(caption, [](ui::Window dialog) { dialog.Item(IDC_ADVANCED).Click(); })
        .OnMessageBox(answerBox)
        .OnDialog(caption,
                  [&](ui::Window dialog) {
                      enabledAfterFailure = dialog.Item(IDC_ADVANCED).Enabled();
                      dialog.Item(IDC_ADVANCED).Click();
                  })
        .OnMessageBox(answerBox)
        .OnDialog(caption, [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    Arguments arguments = TypicalArguments();
    int result = -1;
    script.Run([&] { result = Invoke(command, arguments, provider, nullptr); });

    EXPECT_EQ(result, 1);
    EXPECT_EQ(arguments, TypicalArguments().WithFlagsReduced(command));
    EXPECT_EQ(provider.shows, 2);
    EXPECT_EQ(provider.queries, 1) << "availability is asked once, when the dialog opens";
    EXPECT_TRUE(enabledAfterFailure);
    EXPECT_EQ(texts, std::vector<std::string>(2, kUnavailable));
    EXPECT_EQ(captions, std::vector<std::string>(2, "corvel"));
    EXPECT_EQ(exclamations, 2);
}

INSTANTIATE_TEST_SUITE_P(EveryDialogWithAdvanced, HostObjectThrows,
                         ::testing::Combine(::testing::ValuesIn(kWithAdvanced),
                                            ::testing::Values(Thrown::StdException, Thrown::Int,
                                                              Thrown::UnknownType)),
                         ThrowCaseName);

// ---- A nested export -------------------------------------------------------------------------------

// The host answers Advanced by calling another export (or the same one again) over the library's open
// dialog. Both calls must give their own results; afterwards the outer dialog still works (its Advanced
// button, its message box with the library's caption, its OK with edits) and so does the next call.
class NestedExport : public ::testing::TestWithParam<std::tuple<Command, Command>> {};

TEST_P(NestedExport, GivesBothCallsTheirOwnResultsAndLeavesTheOuterDialogWorking) {
    const Command outer = std::get<0>(GetParam());
    const Command inner = std::get<1>(GetParam());
    HostWindow host;
    ThrowingProvider outerProvider;
    FakeProvider innerProvider;
    Arguments innerArguments = TypicalArguments();
    int innerResult = -1;
    HWND outerDialog = nullptr, innerOwner = nullptr;
    outerProvider.onShow = [&](HWND owner) {
        if (outerProvider.shows == 1) {
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
                  PostEdits(inner, dialog.hwnd());
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
            PostEdits(outer, dialog.hwnd());
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
    WhenShown closer([](HWND dialog) { PostClose(dialog, Close::Ok); });
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
