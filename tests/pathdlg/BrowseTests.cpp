// The Browse button: what the library asks of the open-file dialog (recorded), and the real open-file
// dialog of the platform driven as a user would.
#include "Commands.h"
#include "FileDialogDriver.h"
#include "Languages.h"
#include "UiDriver.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace {

using cmd::Command;
using filedlg::OpenFileNameCall;
using filedlg::OpenFileNameRecorder;

// ---- What the library asks for ---------------------------------------------------------------------

struct OfferedCase {
    const char* box;
    std::string initialDir;
    std::string fileName;
};

void PrintTo(const OfferedCase& c, std::ostream* out) {
    *out << '"' << c.box << '"';
}

class BrowseOffers : public ::testing::TestWithParam<OfferedCase> {};

TEST_P(BrowseOffers, TheFolderAndFileNameOfThePathInTheBox) {
    OpenFileNameRecorder recorder(OpenFileNameRecorder::Cancel());
    cmd::Call call(Command::SingleFile);
    call.path = GetParam().box;
    ui::Script script;
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDC_BROWSE).Click(); });
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDCANCEL).Click(); });
    call.Run(script);

    ASSERT_EQ(recorder.Calls().size(), 1u);
    const OpenFileNameCall& offered = recorder.Calls()[0];
    EXPECT_FALSE(offered.initialDirIsNull);
    EXPECT_EQ(offered.initialDir, GetParam().initialDir);
    EXPECT_EQ(offered.fileName, GetParam().fileName);
}

const std::string kLongName(300, 'n');
const std::string kLongPathWithLongName = "C:\\src\\" + kLongName + ".c";
const std::string kLongPathWithLongDir = "C:\\" + kLongName + "\\main.c";

INSTANTIATE_TEST_SUITE_P(
    Paths, BrowseOffers,
    ::testing::Values(OfferedCase{"C:\\work\\src\\main.c", "C:\\work\\src\\", "main.c"},
                      OfferedCase{"", "", ""}, OfferedCase{"C:\\work\\src\\", "C:\\work\\src\\", ""},
                      OfferedCase{"main.c", "", "main.c"}, OfferedCase{"C:main.c", "C:", "main.c"},
                      OfferedCase{"\\\\server\\share\\dir\\a.b.c", "\\\\server\\share\\dir\\", "a.b.c"},
                      OfferedCase{"dir.d/name", "dir.d/", "name"},
                      OfferedCase{"C:\\home\\.profile", "C:\\home\\", ".profile"},
                      OfferedCase{"C:/mixed\\seps/x.tar.gz", "C:/mixed\\seps/", "x.tar.gz"},
                      // Refused by the path splitter: nothing of it is offered.
                      OfferedCase{kLongPathWithLongName.c_str(), "", ""},
                      OfferedCase{kLongPathWithLongDir.c_str(), "", ""}));

// The three dialogs share one procedure: each asks the same, over its own window, from what the user
// has typed into the path box.

class BrowseRequest : public ::testing::TestWithParam<Command> {};

TEST_P(BrowseRequest, IsTheSameFromEveryPathDialogAndStartsFromTheTypedText) {
    OpenFileNameRecorder recorder(OpenFileNameRecorder::Cancel());
    HWND pathDialog = nullptr;
    std::string boxAfterCancel;
    ui::Script script;
    script.OnDialog("", [&](ui::Window dialog) {
        pathDialog = dialog.hwnd();
        dialog.Item(IDC_PATH).Retype("D:\\typed\\dir\\file.txt");
        dialog.Item(IDC_BROWSE).Click();
    });
    script.OnDialog("", [&](ui::Window dialog) {
        boxAfterCancel = dialog.Item(IDC_PATH).Text();
        dialog.Item(IDCANCEL).Click();
    });
    const std::string original = "C:\\given\\given.c";
    cmd::Call call(GetParam());
    (GetParam() == Command::Rename ? call.existingFile : call.path) = original;
    call.Run(script);
    EXPECT_EQ(GetParam() == Command::Rename ? call.existingFile : call.path, original);

    ASSERT_EQ(recorder.Calls().size(), 1u);
    const OpenFileNameCall& offered = recorder.Calls()[0];
    EXPECT_EQ(offered.structSize, sizeof(OPENFILENAMEA));
    EXPECT_EQ(offered.owner, pathDialog);
    EXPECT_EQ(offered.flags, static_cast<DWORD>(OFN_HIDEREADONLY));
    ASSERT_FALSE(offered.filterIsNull);
    const char filter[] = "All Files (*.*)\0*.*\0"; // and the literal's own NUL closes the list
    EXPECT_EQ(offered.filter, std::string(filter, sizeof filter));
    EXPECT_TRUE(offered.customFilterIsNull);
    EXPECT_TRUE(offered.defExtIsNull);
    EXPECT_TRUE(offered.titleIsNull);
    EXPECT_TRUE(offered.hookIsNull);
    EXPECT_TRUE(offered.templateIsNull);
    EXPECT_GE(offered.maxFile, 32768u);
    EXPECT_EQ(offered.initialDir, "D:\\typed\\dir\\");
    EXPECT_EQ(offered.fileName, "file.txt");
    EXPECT_EQ(boxAfterCancel, "D:\\typed\\dir\\file.txt");
}

INSTANTIATE_TEST_SUITE_P(Dialogs, BrowseRequest,
                         ::testing::Values(Command::SingleFile, Command::Diff, Command::Rename),
                         cmd::ParamName());

// The filter in the user's language; in English where the ANSI code page cannot hold the translation.
TEST(Browse, TheFilterInTheUsersLanguageWhereTheCodePageHoldsIt) {
    if (::GetACP() != 1252)
        GTEST_SKIP() << "the cases are for code page 1252";
    const std::pair<LANGID, const char*> languageFilter[] = {
        {0x0407, "Alle Dateien (*.*)"}, {0x0419, "All Files (*.*)"}, {0x0409, "All Files (*.*)"}};
    for (const auto& [language, name] : languageFilter) {
        lang::AsUserInterfaceLanguage asked(language);
        OpenFileNameRecorder recorder(OpenFileNameRecorder::Cancel());
        ui::Script script;
        script.OnDialog("", [](ui::Window dialog) { dialog.Item(IDC_BROWSE).Click(); });
        script.OnDialog("", [](ui::Window dialog) { dialog.Item(IDCANCEL).Click(); });
        cmd::Call(Command::SingleFile).Run(script);
        ASSERT_EQ(recorder.Calls().size(), 1u);
        EXPECT_EQ(recorder.Calls()[0].filter, name + std::string("\0*.*\0", 6)) << language;
    }
}

TEST(Browse, AChosenPathLongerThanMaxPathComesBackWhole) {
    std::string chosen = "C:\\deep";
    while (chosen.size() < 1000)
        chosen += "\\folder" + std::to_string(chosen.size());
    chosen += "\\file.txt";
    OpenFileNameRecorder recorder(OpenFileNameRecorder::Choose(chosen));
    cmd::Call call(Command::SingleFile);
    call.path = "C:\\start.c";
    std::string box;
    ui::Script script;
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDC_BROWSE).Click(); });
    script.OnDialog("Options", [&](ui::Window dialog) {
        box = dialog.Item(IDC_PATH).Text();
        dialog.Item(IDOK).Click();
    });
    call.Run(script);

    EXPECT_EQ(box, chosen);
    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.path, chosen);
}

TEST(Browse, EveryClickStartsAgainFromTheBox) {
    OpenFileNameRecorder recorder(OpenFileNameRecorder::Choose("E:\\picked\\first.txt"));
    cmd::Call call(Command::SingleFile);
    call.path = "C:\\a\\b.c";
    ui::Script script;
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDC_BROWSE).Click(); });
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDC_BROWSE).Click(); });
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDCANCEL).Click(); });
    call.Run(script);

    ASSERT_EQ(recorder.Calls().size(), 2u);
    EXPECT_EQ(recorder.Calls()[0].initialDir, "C:\\a\\");
    EXPECT_EQ(recorder.Calls()[0].fileName, "b.c");
    EXPECT_EQ(recorder.Calls()[1].initialDir, "E:\\picked\\");
    EXPECT_EQ(recorder.Calls()[1].fileName, "first.txt");
    EXPECT_EQ(call.path, "C:\\a\\b.c");
}

// ---- The platform's own dialog ---------------------------------------------------------------------

const std::string kRoot = "C:\\corvel-tests\\browse";
const std::string kSrc = kRoot + "\\src";

std::string Folded(std::string path) {
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    std::transform(path.begin(), path.end(), path.begin(), [](unsigned char c) { return std::tolower(c); });
    return path;
}

class RealFileDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        filedlg::CreateFileAt(kSrc + "\\main.c");
        filedlg::CreateFileAt(kSrc + "\\other.c");
        filedlg::RemoveFile(kSrc + "\\missing.txt");
    }
};

TEST_F(RealFileDialog, OpensInTheFolderOfThePathWithItsFileNameOverThePathDialog) {
    cmd::Call call(Command::SingleFile);
    call.path = kSrc + "\\main.c";
    HWND pathDialog = nullptr, owner = nullptr;
    std::string folder, fileName, box;
    bool pathDialogDisabled = false;
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        pathDialog = dialog.hwnd();
        dialog.Item(IDC_BROWSE).Click();
    });
    script.Then("open-file dialog", filedlg::WhenOpen([&](ui::Window fileDialog) {
                    folder = filedlg::FolderPath(fileDialog);
                    fileName = filedlg::FileNameBox(fileDialog);
                    owner = ::GetWindow(fileDialog.hwnd(), GW_OWNER);
                    pathDialogDisabled = !::IsWindowEnabled(pathDialog);
                    fileDialog.Item(IDCANCEL).Click();
                }));
    script.OnDialog("Options", [&](ui::Window dialog) {
        box = dialog.Item(IDC_PATH).Text();
        dialog.Item(IDOK).Click();
    });
    call.Run(script);

    EXPECT_EQ(Folded(folder), Folded(kSrc));
    EXPECT_EQ(fileName, "main.c");
    EXPECT_EQ(owner, pathDialog);
    EXPECT_TRUE(pathDialogDisabled);
    EXPECT_EQ(box, kSrc + "\\main.c");
    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.path, kSrc + "\\main.c");
}

TEST_F(RealFileDialog, AnEmptyPathOffersAnEmptyFileName) {
    cmd::Call call(Command::SingleFile);
    std::string fileName = "unset";
    ui::Script script;
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDC_BROWSE).Click(); });
    script.Then("open-file dialog", filedlg::WhenOpen([&](ui::Window fileDialog) {
                    fileName = filedlg::FileNameBox(fileDialog);
                    fileDialog.Item(IDCANCEL).Click();
                }));
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDCANCEL).Click(); });
    call.Run(script);

    EXPECT_EQ(fileName, "");
    EXPECT_EQ(call.result, 0);
    EXPECT_EQ(call.path, "");
}

// A typed name comes back with its folder, whether or not the file exists; the check boxes the user
// set before browsing stay as they were.
class RealFileDialogTypedName : public RealFileDialog, public ::testing::WithParamInterface<const char*> {};

TEST_P(RealFileDialogTypedName, ComesBackAsAFullPath) {
    const std::string name = GetParam();
    cmd::Call call(Command::Diff);
    call.path = kSrc + "\\main.c";
    call.flags[cmd::kIgnoreCase] = 1;
    std::string box;
    int caseCheck = -1, spacesCheck = -1;
    ui::Script script;
    script.OnDialog("Difference Options", [](ui::Window dialog) {
        dialog.Item(IDC_IGNORE_CASE).Click();
        dialog.Item(IDC_IGNORE_SPACES).Click();
        dialog.Item(IDC_BROWSE).Click();
    });
    script.Then("open-file dialog",
                filedlg::WhenOpen([&](ui::Window fileDialog) { filedlg::AcceptName(fileDialog, name); }));
    script.OnDialog("Difference Options", [&](ui::Window dialog) {
        box = dialog.Item(IDC_PATH).Text();
        caseCheck = dialog.Item(IDC_IGNORE_CASE).ButtonCheck();
        spacesCheck = dialog.Item(IDC_IGNORE_SPACES).ButtonCheck();
        dialog.Item(IDOK).Click();
    });
    call.Run(script);

    EXPECT_EQ(Folded(box), Folded(kSrc + "\\" + name));
    EXPECT_EQ(caseCheck, BST_UNCHECKED);
    EXPECT_EQ(spacesCheck, BST_CHECKED);
    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.path, box);
    EXPECT_EQ(call.flags[cmd::kIgnoreCase], 0);
    EXPECT_EQ(call.flags[cmd::kIgnoreSpaces], 1);
}

INSTANTIATE_TEST_SUITE_P(Names, RealFileDialogTypedName, ::testing::Values("other.c", "missing.txt"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.index == 0 ? "Existing" : "Missing");
                         });

TEST_F(RealFileDialog, CancelLeavesBothRenameBoxesAsTyped) {
    cmd::Call call(Command::Rename);
    call.existingFile = kSrc + "\\main.c";
    call.newName = "first.c";
    std::string fileName, upper, lower;
    ui::Script script;
    script.OnDialog("Rename Options", [](ui::Window dialog) {
        dialog.Item(IDC_PATH).Retype(kSrc + "\\other.c");
        dialog.Item(IDC_NEW_NAME).Retype("second.c");
        dialog.Item(IDC_BROWSE).Click();
    });
    script.Then("open-file dialog", filedlg::WhenOpen([&](ui::Window fileDialog) {
                    fileName = filedlg::FileNameBox(fileDialog);
                    fileDialog.Item(IDCANCEL).Click();
                }));
    script.OnDialog("Rename Options", [&](ui::Window dialog) {
        upper = dialog.Item(IDC_PATH).Text();
        lower = dialog.Item(IDC_NEW_NAME).Text();
        dialog.Item(IDOK).Click();
    });
    call.Run(script);

    EXPECT_EQ(fileName, "other.c");
    EXPECT_EQ(upper, kSrc + "\\other.c");
    EXPECT_EQ(lower, "second.c");
    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.existingFile, kSrc + "\\other.c");
    EXPECT_EQ(call.newName, "second.c");
}

} // namespace
