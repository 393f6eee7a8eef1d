// The session options command: four flags whose parameter order is not the order of their rows.
#include "Commands.h"
#include "UiDriver.h"
#include "resource.h"

#include <corvel/corvel.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

const char* const kCaption = "Source Control Options";

// The four parameters in their order: ignore case, ignore spaces, keep after add, keep after check-in.
using Flags = std::array<int, 4>;

struct CheckBoxRow {
    std::string caption;
    int checked;
    HWND hwnd;
};

// The dialog's check boxes as a user sees them: from the top of the dialog down.
std::vector<CheckBoxRow> RowsFromTheTop(ui::Window dialog) {
    std::vector<std::pair<LONG, CheckBoxRow>> found;
    for (HWND child = ::GetWindow(dialog.hwnd(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if ((::GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) != BS_AUTOCHECKBOX)
            continue;
        RECT rect;
        ::GetWindowRect(child, &rect);
        ui::Window box(child);
        found.push_back({rect.top, CheckBoxRow{box.Text(), box.ButtonCheck(), child}});
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<CheckBoxRow> rows;
    for (auto& entry : found)
        rows.push_back(entry.second);
    return rows;
}

const std::array<std::string, 4> kRowCaptions = {
    "Keep files checked out after check in", "Keep files checked out after add",
    "Ignore case when showing differences", "Ignore spaces when showing differences"};

TEST(SessionOptions, EachParameterDrivesItsOwnRow) {
    cmd::Call call(cmd::Command::Session);
    call.flags = {0, 7, 0, -1};
    std::vector<CheckBoxRow> rows;
    bool focusOnTopRow = false;
    ui::Script script;
    script.OnDialog(kCaption, [&](ui::Window dialog) {
        rows = RowsFromTheTop(dialog);
        focusOnTopRow = !rows.empty() && ui::Focus().hwnd() == rows[0].hwnd;
        dialog.Item(IDOK).Click();
    });
    call.Run(script);

    ASSERT_EQ(rows.size(), 4u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(rows[i].caption, kRowCaptions[i]);
    // Top row: the fourth parameter (-1); second: the third (0); third: the first (0); bottom: the second
    // (7).
    EXPECT_EQ(rows[0].checked, 1);
    EXPECT_EQ(rows[1].checked, 0);
    EXPECT_EQ(rows[2].checked, 0);
    EXPECT_EQ(rows[3].checked, 1);
    EXPECT_TRUE(focusOnTopRow);
    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(call.flags, (Flags{0, 1, 0, 1}));
}

TEST(SessionOptions, CheckingOneRowSetsExactlyItsParameter) {
    const std::array<Flags, 4> expected = {Flags{0, 0, 0, 1}, Flags{0, 0, 1, 0}, Flags{1, 0, 0, 0},
                                           Flags{0, 1, 0, 0}};
    for (size_t row = 0; row < 4; ++row) {
        cmd::Call call(cmd::Command::Session);
        ui::Script script;
        script.OnDialog(kCaption,
                        [row](ui::Window dialog) { ui::Window(RowsFromTheTop(dialog)[row].hwnd).Click(); });
        script.OnDialog(kCaption, [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
        call.Run(script);

        EXPECT_EQ(call.result, 1) << "row " << row;
        EXPECT_EQ(call.flags, expected[row]) << "row " << row << " (" << kRowCaptions[row] << ")";
    }
}

} // namespace
