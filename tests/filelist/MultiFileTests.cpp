// The multi-file command, driven through its real dialog.
#include "FakeProvider.h"
#include "MultiFileCall.h"
#include "UiDriver.h"
#include "resource.h"

#include <corvel/corvel.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

using Files = std::set<std::string>;

TEST(MultiFileOptions, ShowsCallersFilesCheckedAndCandidatesUncheckedInTheListsOrder) {
    MultiFileCall call;
    call.files = {"src/b.c", "Src/A.c", "zeta.h"};
    call.otherFiles = {"src/b.c", "c.txt", "a.txt"};
    std::vector<ui::Row> rows;
    bool focusOnList = false, advancedEnabled = false;
    std::string caption;
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        caption = dialog.Text();
        rows = dialog.Item(IDC_FILE_LIST).Rows();
        focusOnList = ui::Focus().Id() == IDC_FILE_LIST;
        advancedEnabled = dialog.Item(IDC_ADVANCED).Enabled();
        dialog.Item(IDOK).Click();
    });
    call.Run(script);

    EXPECT_EQ(caption, "Options");
    // The list sorts without regard to case; a path in both sets is one row, checked.
    EXPECT_EQ(ui::RowTexts(rows),
              (std::vector<std::string>{"a.txt", "c.txt", "Src/A.c", "src/b.c", "zeta.h"}));
    EXPECT_EQ(ui::CheckedRowTexts(rows), (std::vector<std::string>{"Src/A.c", "src/b.c", "zeta.h"}));
    EXPECT_TRUE(focusOnList);
    EXPECT_TRUE(advancedEnabled);
    EXPECT_EQ(call.provider.availabilityQueries, 1);
    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.files, (Files{"src/b.c", "Src/A.c", "zeta.h"}));
    EXPECT_EQ(call.otherFiles, (Files{"src/b.c", "c.txt", "a.txt"}));
}

TEST(MultiFileOptions, OkReturnsExactlyTheCheckedRows) {
    MultiFileCall call;
    call.files = {"keep.c", "drop.c"};
    call.otherFiles = {"add.c", "leave.c"};
    ui::Script script;
    script.OnDialog("Options", [](ui::Window dialog) {
        ui::Window list = dialog.Item(IDC_FILE_LIST);
        const auto rows = list.Rows();
        list.ClickRowCheckBox(ui::FindRow(rows, "drop.c"));
        list.ClickRowCheckBox(ui::FindRow(rows, "add.c"));
    });
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    call.Run(script);

    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.files, (Files{"add.c", "keep.c"}));
    EXPECT_EQ(call.otherFiles, (Files{"add.c", "leave.c"}));
}

TEST(MultiFileOptions, PathsThatDifferOnlyInCaseAreRowsOfTheirOwn) {
    MultiFileCall call;
    call.files = {"dir/File.c"};
    call.otherFiles = {"dir/file.c", "DIR/FILE.C"};
    std::vector<ui::Row> rows;
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        rows = dialog.Item(IDC_FILE_LIST).Rows();
        ui::Window list = dialog.Item(IDC_FILE_LIST);
        list.ClickRowCheckBox(ui::FindRow(rows, "dir/File.c"));
        list.ClickRowCheckBox(ui::FindRow(rows, "DIR/FILE.C"));
    });
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    call.Run(script);

    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(ui::CheckedRowTexts(rows), std::vector<std::string>{"dir/File.c"});
    EXPECT_EQ(call.files, Files{"DIR/FILE.C"});
}

TEST(MultiFileOptions, APathWithANulIsShownAndReturnedUpToIt) {
    MultiFileCall call;
    call.files = {std::string("dir\\x.c\0hidden", 14), "a.c"};
    std::vector<std::string> texts;
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        texts = ui::RowTexts(dialog.Item(IDC_FILE_LIST).Rows());
        dialog.Item(IDOK).Click();
    });
    call.Run(script);

    EXPECT_EQ(texts, (std::vector<std::string>{"a.c", "dir\\x.c"}));
    EXPECT_EQ(call.files, (Files{"a.c", "dir\\x.c"}));
}

TEST(MultiFileOptions, UncheckingEveryRowThenOkEmptiesTheSet) {
    MultiFileCall call;
    call.files = {"a", "b"};
    ui::Script script;
    script.OnDialog("Options", [](ui::Window dialog) {
        dialog.Item(IDC_FILE_LIST).ClickRowCheckBox(0);
        dialog.Item(IDC_FILE_LIST).ClickRowCheckBox(1);
    });
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    call.Run(script);

    EXPECT_EQ(call.result, 1);
    EXPECT_TRUE(call.files.empty());
}

TEST(MultiFileOptions, BothSetsEmpty) {
    MultiFileCall call;
    int rows = -1, extent = -1;
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        ui::Window list = dialog.Item(IDC_FILE_LIST);
        rows = static_cast<int>(list.Rows().size());
        extent = list.HorizontalExtent();
        dialog.Item(IDC_SELECT_ALL).Click();
    });
    script.OnDialog("Options", [&](ui::Window dialog) {
        rows += static_cast<int>(dialog.Item(IDC_FILE_LIST).Rows().size());
        dialog.Item(IDOK).Click();
    });
    call.Run(script);

    EXPECT_EQ(rows, 0);
    EXPECT_EQ(extent, 0);
    EXPECT_EQ(call.result, 1);
    EXPECT_TRUE(call.files.empty());
}

TEST(MultiFileOptions, OnlyCandidatesStartUncheckedAndOkWithoutChangeKeepsTheSetEmpty) {
    MultiFileCall call;
    call.otherFiles = {"x.c", "y.c"};
    std::vector<std::string> checked{"unset"};
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        checked = ui::CheckedRowTexts(dialog.Item(IDC_FILE_LIST).Rows());
        dialog.Item(IDOK).Click();
    });
    call.Run(script);

    EXPECT_TRUE(checked.empty());
    EXPECT_EQ(call.result, 1);
    EXPECT_TRUE(call.files.empty());
}

TEST(MultiFileOptions, SameSetAsFilesAndCandidates) {
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

TEST(MultiFileOptions, SelectAllSelectsAndChecksEveryRow) {
    MultiFileCall call;
    call.files = {"a.c"};
    call.otherFiles = {"b.c", "c.c"};
    std::vector<ui::Row> rows;
    ui::Script script;
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDC_SELECT_ALL).Click(); });
    script.OnDialog("Options", [&](ui::Window dialog) {
        rows = dialog.Item(IDC_FILE_LIST).Rows();
        dialog.Item(IDOK).Click();
    });
    call.Run(script);

    ASSERT_EQ(rows.size(), 3u);
    for (const ui::Row& row : rows) {
        EXPECT_TRUE(row.checked) << row.text;
        EXPECT_TRUE(row.selected) << row.text;
    }
    EXPECT_EQ(call.files, (Files{"a.c", "b.c", "c.c"}));
}

// Every way of leaving without OK leaves the caller's set alone, whatever was changed before.
class MultiFileDismissal : public ::testing::TestWithParam<const char*> {};

TEST_P(MultiFileDismissal, LeavesTheSetUntouched) {
    const std::string how = GetParam();
    MultiFileCall call;
    call.files = {"a.c", "b.c"};
    call.otherFiles = {"c.c"};
    ui::Script script;
    script.OnDialog("Options", [](ui::Window dialog) {
        dialog.Item(IDC_FILE_LIST).ClickRowCheckBox(0);
        dialog.Item(IDC_SELECT_ALL).Click();
        dialog.Item(IDC_FILE_LIST).ClickRowCheckBox(1);
    });
    script.OnDialog("Options", [how](ui::Window dialog) { ui::Dismiss(dialog, how); });
    call.Run(script);

    EXPECT_EQ(call.result, 0);
    EXPECT_EQ(call.files, (Files{"a.c", "b.c"}));
}

INSTANTIATE_TEST_SUITE_P(Ways, MultiFileDismissal, ::testing::ValuesIn(ui::kDismissals));

TEST(MultiFileOptions, SpaceTogglesTheFocusedRow) {
    MultiFileCall call;
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

TEST(MultiFileOptions, AdvancedCallsTheHostObjectWithTheDialogAsOwner) {
    MultiFileCall call;
    call.files = {"a.c"};
    HWND dialogWindow = nullptr;
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        dialogWindow = dialog.hwnd();
        dialog.Item(IDC_ADVANCED).Click();
    });
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    call.Run(script);

    EXPECT_EQ(call.provider.showCalls, 1);
    EXPECT_EQ(call.provider.lastOwner, dialogWindow);
    EXPECT_EQ(call.provider.invocations, 0);
}

TEST(MultiFileOptions, AdvancedIsDisabledWhenUnavailableOrWhenTheQueryThrows) {
    for (auto availability : {FakeProvider::Availability::Unavailable, FakeProvider::Availability::Throws}) {
        MultiFileCall call;
        call.files = {"a.c"};
        call.provider.availability = availability;
        bool enabled = true, messageBox = false;
        size_t rows = 0;
        ui::Script script;
        script.Then("dialog", [&] {
            ui::Window dialog = ui::ActiveDialog();
            if (!dialog)
                return false;
            messageBox = dialog.IsMessageBox();
            enabled = dialog.Item(IDC_ADVANCED).Enabled();
            rows = dialog.Item(IDC_FILE_LIST).Rows().size();
            dialog.Item(IDC_ADVANCED).Click(); // does nothing: it is disabled
            dialog.Item(IDOK).Click();
            return true;
        });
        call.Run(script);

        EXPECT_FALSE(messageBox);
        EXPECT_FALSE(enabled);
        EXPECT_EQ(rows, 1u);
        EXPECT_EQ(call.provider.showCalls, 0);
        EXPECT_EQ(call.result, 1);
    }
}

TEST(MultiFileOptions, AProviderThatThrowsGetsOneMessageBoxPerClickAndTheDialogStaysOpen) {
    MultiFileCall call;
    call.files = {"a.c", "b.c"};
    call.provider.showThrows = true;
    std::vector<std::string> texts;
    int exclamations = 0;
    bool advancedStillEnabled = false;
    ui::Script script;
    for (int click = 0; click < 2; ++click) {
        script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDC_ADVANCED).Click(); });
        script.OnMessageBox([&](ui::Window box) {
            texts.push_back(box.MessageText());
            exclamations += box.HasIcon(IDI_EXCLAMATION) ? 1 : 0;
            box.Item(IDOK).Click();
        });
    }
    script.OnDialog("Options", [&](ui::Window dialog) {
        advancedStillEnabled = dialog.Item(IDC_ADVANCED).Enabled();
        dialog.Item(IDC_FILE_LIST).ClickRowCheckBox(0);
        dialog.Item(IDOK).Click();
    });
    call.Run(script);

    const std::string expected =
        "Advanced options have become unexpectedly unavailable.\nTry again later. You may "
        "have to restart this program or your source control provider.";
    EXPECT_EQ(texts, (std::vector<std::string>{expected, expected}));
    EXPECT_EQ(exclamations, 2);
    EXPECT_TRUE(advancedStillEnabled);
    EXPECT_EQ(call.provider.showCalls, 2);
    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.files, Files{"b.c"});
}

} // namespace

namespace {

// The rightmost column of a list row that holds text pixels, in client coordinates, as the list paints
// itself now.
int RightmostTextPixel(HWND list, int row) {
    RECT client, item;
    ::GetClientRect(list, &client);
    ::SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    HDC screen = ::GetDC(list);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::SendMessageA(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
    // The list scrolls by moving the window origin of the DC it paints; read back in client pixels.
    ::SetWindowOrgEx(memory, 0, 0, nullptr);
    ::SelectClipRgn(memory, nullptr);
    const COLORREF background = ::GetSysColor(COLOR_WINDOW);
    int rightmost = -1;
    for (int x = client.right - 1; x >= 0 && rightmost < 0; --x)
        for (int y = std::max<int>(item.top, 0) + 1; y < item.bottom - 1; ++y)
            if (::GetPixel(memory, x, y) != background) {
                rightmost = x;
                break;
            }
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(list, screen);
    return rightmost;
}

TEST(MultiFileOptions, TheEndOfTheLongestPathScrollsWhollyIntoViewAndNoFurther) {
    const std::string longest = "C:\\Projects\\Client\\Modules\\Billing\\Reports\\Quarterly\\Summaries\\"
                                "2026\\Q4\\Regional\\North\\summary_by_account_and_region_final_WWW.cpp";
    MultiFileCall call;
    call.files = {"a.c", longest};
    call.otherFiles = {"C:\\Projects\\Client\\readme.txt"};
    int gapAtFullRight = -1, clientWidth = 0, extent = 0;
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        HWND list = dialog.Item(IDC_FILE_LIST).hwnd();
        RECT client;
        ::GetClientRect(list, &client);
        clientWidth = client.right;
        extent = dialog.Item(IDC_FILE_LIST).HorizontalExtent();
        ::SendMessageA(list, WM_HSCROLL, SB_RIGHT, 0);
        const int row = static_cast<int>(::SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                        reinterpret_cast<LPARAM>(longest.c_str())));
        gapAtFullRight = clientWidth - 1 - RightmostTextPixel(list, row);
        dialog.Item(IDCANCEL).Click();
    });
    call.Run(script);

    EXPECT_GT(extent, clientWidth) << "the longest path is wider than the list";
    // Scrolled fully right, the last glyph ends just inside the list: not cut off (a gap of at least one
    // blank column), and no stretch of empty space beyond it.
    EXPECT_GE(gapAtFullRight, 1);
    EXPECT_LE(gapAtFullRight, 6);
}

} // namespace
