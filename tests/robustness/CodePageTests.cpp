// Paths are the caller's bytes, whatever the ANSI code page makes of them: every path the user did not
// change comes back byte for byte from the file-list commands, also when the code page cannot turn it into
// text (a lead byte before a byte that is no trail byte, a lead byte last, bytes that are no character at
// all), and whatever else the sets hold. The suite runs once in the ANSI code page of the machine and once
// under code page 932 (CTest sets CORVEL_EXPECT_ACP for that run).
#include "Commands.h"
#include "FakeProvider.h"
#include "UiDriver.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace robust {
namespace {

using namespace cmd;
using namespace ui;

using namespace std::string_literals;

TEST(CodePage, IsTheOneThisRunIsFor) {
    const char* expected = std::getenv("CORVEL_EXPECT_ACP");
    if (expected) {
        ASSERT_EQ(::GetACP(), static_cast<UINT>(std::atoi(expected))) << "the run is not under its code page";
    }
    std::printf("[ figures  ] ANSI code page %u\n", ::GetACP());
}

const std::string kPlainA = "C:\\plain\\a.c", kPlainB = "C:\\plain\\b.c", kPlainC = "C:\\plain\\c.c";
const std::string kLeadBeforeSpace = "C:\\x\\\x81 y.c";            // no trail byte after the lead byte
const std::string kLeadLast = "C:\\x\\name\x81";                   // a lead byte with nothing after it
const std::string kBackslashTrail = "C:\\\x83\\x.c";               // 0x5C as the trail byte of a character
const std::string kNoCharacters = "C:\\x\\\x80\xA0\xFD\xFE\xFF.c"; // no character of code page 932
const std::string kKana = "C:\\x\\\x82\xA0\x82\xA2.c";             // two characters of code page 932
const std::string kWithNul = "C:\\x\\nul\0tail.c"s;                // shown and returned up to the NUL
const std::string kWithNulCut = "C:\\x\\nul";

Arguments AwkwardSets() {
    Arguments a = TypicalArguments();
    a.files = {kLeadBeforeSpace, kBackslashTrail, kKana, kWithNul, kPlainA, kPlainB};
    a.otherFiles = {kLeadLast, kNoCharacters, kPlainC, kPlainA};
    return a;
}

enum class Action { Ok, SelectAll, UncheckOne };

struct CodePageCase {
    Command command;
    Action action;
};

class UntouchedPaths : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(UntouchedPaths, ComeBackByteForByte) {
    const CodePageCase c = GetParam();
    Arguments arguments = AwkwardSets();
    const Arguments given = arguments;
    size_t rows = 0;
    ui::Script script;
    script.OnDialog("", [&](ui::Window dialog) {
        const ui::Window list = dialog.Item(IDC_FILE_LIST);
        rows = list.Rows().size();
        if (c.action == Action::SelectAll)
            dialog.Item(IDC_SELECT_ALL).Click();
        if (c.action == Action::UncheckOne)
            list.ClickRowCheckBox(ui::FindRow(list.Rows(), kPlainB));
        dialog.Item(IDOK).Click();
    });
    FakeProvider provider;
    int result = -1;
    script.Run([&] { result = Invoke(c.command, arguments, provider, nullptr); });

    Files expected = {kLeadBeforeSpace, kBackslashTrail, kKana, kWithNulCut, kPlainA, kPlainB};
    if (c.action == Action::SelectAll)
        expected.insert({kLeadLast, kNoCharacters, kPlainC});
    if (c.action == Action::UncheckOne)
        expected.erase(kPlainB);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(rows, 9u) << "one row a path, none dropped";
    EXPECT_EQ(arguments.files, expected);
    EXPECT_EQ(arguments.otherFiles, given.otherFiles);
}

std::string CaseName(const ::testing::TestParamInfo<CodePageCase>& info) {
    static const char* const actions[] = {"Ok", "SelectAll", "UncheckOne"};
    return std::string(Name(info.param.command)) + "_" + actions[static_cast<int>(info.param.action)];
}

INSTANTIATE_TEST_SUITE_P(FileLists, UntouchedPaths,
                         ::testing::Values(CodePageCase{Command::MultiFile, Action::Ok},
                                           CodePageCase{Command::MultiFile, Action::SelectAll},
                                           CodePageCase{Command::MultiFile, Action::UncheckOne},
                                           CodePageCase{Command::CheckIn, Action::Ok},
                                           CodePageCase{Command::CheckIn, Action::UncheckOne},
                                           CodePageCase{Command::CheckOut, Action::Ok},
                                           CodePageCase{Command::CheckOut, Action::SelectAll}),
                         CaseName);

} // namespace
} // namespace robust
