// The session options command: four flags whose parameter order is not the order of their rows.
#include "FakeProvider.h"
#include "UiDriver.h"
#include "resource.h"

#include <corvel/corvel.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <array>
#include <string>
#include <vector>

namespace {

const char* const kCaption = "Source Control Options";

struct Flags {
    int ignoreCase, ignoreSpaces, keepAfterAdd, keepAfterCheckIn;
    bool operator==(const Flags& o) const {
        return ignoreCase == o.ignoreCase && ignoreSpaces == o.ignoreSpaces &&
               keepAfterAdd == o.keepAfterAdd && keepAfterCheckIn == o.keepAfterCheckIn;
    }
};

std::ostream& operator<<(std::ostream& out, const Flags& f) {
    return out << "(" << f.ignoreCase << ", " << f.ignoreSpaces << ", " << f.keepAfterAdd << ", "
               << f.keepAfterCheckIn << ")";
}

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

struct SessionCall {
    Flags flags{};
    FakeProvider provider;
    int result = -1;
    void Run(ui::Script& script) {
        script.Run([this] {
            result = CorvelDoSessionOptions(flags.ignoreCase, flags.ignoreSpaces, flags.keepAfterAdd,
                                            flags.keepAfterCheckIn, provider, nullptr);
        });
    }
};

const std::array<std::string, 4> kRowCaptions = {
    "Keep files checked out after check in", "Keep files checked out after add",
    "Ignore case when showing differences", "Ignore spaces when showing differences"};

TEST(SessionOptions, EachParameterDrivesItsOwnRow) {
    SessionCall call;
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
        SessionCall call;
        ui::Script script;
        script.OnDialog(kCaption,
                        [row](ui::Window dialog) { ui::Window(RowsFromTheTop(dialog)[row].hwnd).Click(); });
        script.OnDialog(kCaption, [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
        call.Run(script);

        EXPECT_EQ(call.result, 1) << "row " << row;
        EXPECT_EQ(call.flags, expected[row]) << "row " << row << " (" << kRowCaptions[row] << ")";
    }
}

// Every way of leaving without OK: the flags come back as given, reduced to 0 or 1.
class SessionDismissal : public ::testing::TestWithParam<const char*> {};

TEST_P(SessionDismissal, ReturnsTheGivenFlagsAsZeroOrOne) {
    const std::string how = GetParam();
    for (Flags given : {Flags{0, 7, 0, -1}, Flags{1, 1, 1, 1}, Flags{INT_MIN, 0, INT_MAX, 0}}) {
        SessionCall call;
        call.flags = given;
        ui::Script script;
        script.OnDialog(kCaption, [](ui::Window dialog) {
            for (const CheckBoxRow& row : RowsFromTheTop(dialog))
                ui::Window(row.hwnd).Click();
        });
        script.OnDialog(kCaption, [how](ui::Window dialog) { ui::Dismiss(dialog, how); });
        call.Run(script);

        EXPECT_EQ(call.result, 0);
        EXPECT_EQ(call.flags, (Flags{given.ignoreCase != 0, given.ignoreSpaces != 0, given.keepAfterAdd != 0,
                                     given.keepAfterCheckIn != 0}))
            << "given " << given;
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, SessionDismissal, ::testing::ValuesIn(ui::kDismissals));

TEST(SessionOptions, AdvancedFollowsTheHostObject) {
    struct Case {
        FakeProvider::Availability availability;
        bool enabled;
    };
    for (Case c : {Case{FakeProvider::Availability::Available, true},
                   Case{FakeProvider::Availability::Unavailable, false},
                   Case{FakeProvider::Availability::Throws, false}}) {
        SessionCall call;
        call.provider.availability = c.availability;
        bool enabled = !c.enabled;
        HWND dialogWindow = nullptr;
        ui::Script script;
        script.OnDialog(kCaption, [&](ui::Window dialog) {
            dialogWindow = dialog.hwnd();
            enabled = dialog.Item(IDC_ADVANCED).Enabled();
            dialog.Item(IDC_ADVANCED).Click();
        });
        script.OnDialog(kCaption, [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
        call.Run(script);

        EXPECT_EQ(enabled, c.enabled);
        EXPECT_EQ(call.provider.availabilityQueries, 1);
        EXPECT_EQ(call.provider.showCalls, c.enabled ? 1 : 0);
        if (c.enabled) {
            EXPECT_EQ(call.provider.lastOwner, dialogWindow);
        }
        EXPECT_EQ(call.result, 1);
    }
}

TEST(SessionOptions, AShowThatThrowsOnEveryClickGetsAMessageBoxEachTimeAndChangesNothing) {
    SessionCall call;
    call.flags = {1, 0, 1, 0};
    call.provider.showThrows = true;
    int boxes = 0;
    ui::Script script;
    for (int click = 0; click < 3; ++click) {
        script.OnDialog(kCaption, [](ui::Window dialog) { dialog.Item(IDC_ADVANCED).Click(); });
        script.OnMessageBox([&](ui::Window box) {
            boxes += box.HasIcon(IDI_EXCLAMATION) ? 1 : 0;
            box.Item(IDOK).Click();
        });
    }
    script.OnDialog(kCaption, [](ui::Window dialog) { dialog.Item(IDCANCEL).Click(); });
    call.Run(script);

    EXPECT_EQ(boxes, 3);
    EXPECT_EQ(call.provider.showCalls, 3);
    EXPECT_EQ(call.result, 0);
    EXPECT_EQ(call.flags, (Flags{1, 0, 1, 0}));
}

} // namespace
