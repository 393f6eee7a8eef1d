// A long file list fills while its dialog is up. Whatever the user does before the last row arrives acts
// on every path as it would on the complete list; the rows arrive in their final order, a line counts
// them and goes, and the dialog's loop keeps answering.
#include "Commands.h"
#include "UiDriver.h"
#include "resource.h"

#include <corvel/corvel_c.h>

#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

using cmd::Command;
using cmd::Files;

// Long enough that the rows' order takes a while to work out; every third path is a candidate.
constexpr int kPaths = 20000;

std::string PathNumber(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "C:\\fill\\f%06d.c", i);
    return name;
}

void MakePaths(int count, Files& files, Files& others) {
    for (int i = 0; i < count; ++i)
        (i % 3 == 2 ? others : files).insert(PathNumber(i));
}

int RowCount(ui::Window list) {
    return static_cast<int>(::SendMessageA(list.hwnd(), LB_GETCOUNT, 0, 0));
}

// The dialog while its list fills, once the first rows are in: the line that counts the rows is there.
ui::Window FillingDialog() {
    ui::Window dialog = ui::ActiveDialog();
    const bool filling = dialog && dialog.Item(IDC_FILL_PROGRESS) && RowCount(dialog.Item(IDC_FILE_LIST)) > 0;
    return filling ? dialog : ui::Window();
}

// Whether the list's accessible object reads as busy.
bool Busy(HWND list) {
    IAccessible* object = nullptr;
    VARIANT self = {}, state = {};
    self.vt = VT_I4; // CHILDID_SELF
    if (::AccessibleObjectFromWindow(list, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                     reinterpret_cast<void**>(&object)) != S_OK)
        return false;
    const bool busy = object->get_accState(self, &state) == S_OK && (state.lVal & STATE_SYSTEM_BUSY) != 0;
    object->Release();
    return busy;
}

enum class Act { Ok, SelectAllThenOk, Cancel, FindLastRowThenCancel };

struct MidFillCase {
    Command command;
    bool throughC;
    Act act;
};

std::string CaseName(const ::testing::TestParamInfo<MidFillCase>& info) {
    static const char* const acts[] = {"Ok", "SelectAllThenOk", "Cancel", "FindLastRowThenCancel"};
    return std::string(cmd::Name(info.param.command)) + (info.param.throughC ? "ThroughC" : "ThroughCpp") +
           acts[static_cast<int>(info.param.act)];
}

// Calls the command's export, C++ or C, with the files; `files` becomes what came back on OK.
int Invoke(const MidFillCase& c, Files& files, const Files& others) {
    if (!c.throughC) {
        cmd::Arguments arguments;
        arguments.files = files;
        arguments.otherFiles = others;
        FakeProvider provider;
        const int result = cmd::Invoke(c.command, arguments, provider, nullptr);
        files = arguments.files;
        return result;
    }
    std::vector<const char*> in, out;
    for (const std::string& path : files)
        in.push_back(path.c_str());
    for (const std::string& path : others)
        out.push_back(path.c_str());
    char** checked = nullptr;
    size_t count = 0;
    char* comment = nullptr;
    int keep = 0;
    const int result = c.command == Command::MultiFile
                           ? corvel_multi_file_options(in.data(), in.size(), out.data(), out.size(), nullptr,
                                                       nullptr, &checked, &count)
                       : c.command == Command::CheckIn
                           ? corvel_check_in_options(in.data(), in.size(), out.data(), out.size(), &keep, "",
                                                     100, nullptr, nullptr, &checked, &count, &comment)
                           : corvel_check_out_options(in.data(), in.size(), out.data(), out.size(), "", 100,
                                                      nullptr, nullptr, &checked, &count, &comment);
    if (result == 1)
        files = Files(checked, checked + count);
    corvel_release(checked);
    corvel_release(comment);
    return result;
}

class MidFill : public ::testing::TestWithParam<MidFillCase> {};

TEST_P(MidFill, ActsOnEveryPathAsOnTheCompleteList) {
    const MidFillCase& c = GetParam();
    Files files, others;
    MakePaths(kPaths, files, others);
    const Files given = files;
    int arrivedWhenActing = -1;
    bool lineWhenActing = false;
    int caretAfterFind = -1;
    // The user acts as the dialog comes up, while the rows' order is still being worked out; the clicks
    // wait in the queue until the dialog's loop runs.
    const auto click = [](ui::Window dialog, int id) {
        ::PostMessageA(dialog.Item(id).hwnd(), BM_CLICK, 0, 0);
    };
    ui::WhenShown shown([&](ui::Window dialog) {
        ui::Window list = dialog.Item(IDC_FILE_LIST);
        arrivedWhenActing = RowCount(list);
        lineWhenActing = static_cast<bool>(dialog.Item(IDC_FILL_PROGRESS));
        switch (c.act) {
        case Act::Ok:
            click(dialog, IDOK);
            break;
        case Act::SelectAllThenOk:
            click(dialog, IDC_SELECT_ALL);
            click(dialog, IDOK);
            break;
        case Act::Cancel:
            click(dialog, IDCANCEL);
            break;
        case Act::FindLastRowThenCancel:
            list.Type(PathNumber(kPaths - 1).substr(8)); // the file's name
            break;
        }
    });
    ui::Script script;
    if (c.act == Act::FindLastRowThenCancel)
        script.OnWindow("the dialog after typing", ui::ActiveDialog, [&](ui::Window dialog) {
            caretAfterFind = dialog.Item(IDC_FILE_LIST).Caret();
            dialog.Item(IDCANCEL).Click();
        });
    int result = -1;
    ui::Watchdog watchdog;
    script.Run([&] { result = Invoke(c, files, others); });
    EXPECT_FALSE(watchdog.Fired());

    EXPECT_EQ(arrivedWhenActing, 0);
    EXPECT_TRUE(lineWhenActing);
    Files expected = given;
    if (c.act == Act::SelectAllThenOk)
        expected.insert(others.begin(), others.end());
    if (c.act == Act::FindLastRowThenCancel) {
        EXPECT_EQ(caretAfterFind, kPaths - 1) << "the last path had not arrived when typed";
    }
    const bool ok = c.act == Act::Ok || c.act == Act::SelectAllThenOk;
    EXPECT_EQ(result, ok ? 1 : 0);
    EXPECT_TRUE(files == expected) << files.size() << " paths came back, " << expected.size() << " expected";
}

std::vector<MidFillCase> MidFillCases() {
    std::vector<MidFillCase> cases;
    for (Command command : {Command::MultiFile, Command::CheckIn, Command::CheckOut})
        for (bool throughC : {false, true})
            for (Act act : {Act::Ok, Act::SelectAllThenOk, Act::Cancel})
                cases.push_back({command, throughC, act});
    // The list's own search is the same code in every dialog.
    cases.push_back({Command::CheckIn, true, Act::FindLastRowThenCancel});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(ListDialogs, MidFill, ::testing::ValuesIn(MidFillCases()), CaseName);

TEST(SlicedFill, RowsArriveInOrderUnderACountingLineWhileTheLoopKeepsAnsweringAndMarksReachThemAll) {
    // Long enough that a fast machine is still filling when the user has opened the menu: while only
    // timers wait, a slice runs up to 250 ms, so each of the user's steps may wait that long for its turn.
    constexpr int kLong = 1000000;
    Files files, others;
    MakePaths(kLong, files, others);
    std::vector<std::string> lines;
    DWORD firstLineAt = 0, lastLineAt = 0;
    int notBusy = 0;
    int outOfOrder = 0, samples = 0;
    DWORD lastTick = 0, longestGap = 0, watchedFrom = 0, watchedTo = 0;
    bool lineGone = false;
    bool busyAfter = true;
    ui::Script script;
    // An arrived row unchecked, then every mark inverted from the menu, before the last row is in.
    int arrivedWhenInverting = -1;
    // The line and the last row in are read at every step while the rows arrive: a fast machine brings
    // them all in within a few turns of the loop.
    const auto observe = [&](ui::Window dialog) {
        HWND list = dialog.Item(IDC_FILE_LIST).hwnd();
        if (const int count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0))) {
            // The last row in is the one the complete list holds there.
            char text[64] = {};
            ::SendMessageA(list, LB_GETTEXT, count - 1, reinterpret_cast<LPARAM>(text));
            outOfOrder += text != PathNumber(count - 1);
            ++samples;
        }
        if (ui::Window line = dialog.Item(IDC_FILL_PROGRESS)) {
            lines.push_back(line.Text());
            notBusy += !Busy(dialog.Item(IDC_FILE_LIST).hwnd());
            lastLineAt = ::GetTickCount();
            if (lines.size() == 1)
                firstLineAt = lastLineAt;
        }
    };
    script.OnWindow("the list filling", FillingDialog, [&](ui::Window dialog) {
        observe(dialog);
        dialog.Item(IDC_FILE_LIST).ClickRowCheckBox(0);
        dialog.Item(IDC_FILE_LIST).Key(VK_APPS);
    });
    script.OnMenu([&](ui::Window menu) {
        observe(ui::ActiveDialog());
        arrivedWhenInverting = RowCount(ui::ActiveDialog().Item(IDC_FILE_LIST));
        menu.Type("i");
        lastTick = watchedFrom = ::GetTickCount();
    });
    // Every tick of the driver is a turn of the dialog's loop: their gaps bound its stalls.
    script.Then("the fill observed to its end", [&] {
        const DWORD now = ::GetTickCount();
        longestGap = std::max(longestGap, now - lastTick);
        lastTick = now;
        ui::Window dialog = ui::ActiveDialog();
        HWND list = dialog.Item(IDC_FILE_LIST).hwnd();
        const int count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
        observe(dialog);
        if (count < kLong)
            return false;
        watchedTo = now;
        lineGone = !dialog.Item(IDC_FILL_PROGRESS);
        busyAfter = Busy(list);
        dialog.Item(IDOK).Click();
        return true;
    });
    cmd::Arguments arguments;
    arguments.files = files;
    arguments.otherFiles = others;
    script.Run(
        [&] {
            FakeProvider provider;
            EXPECT_EQ(cmd::Invoke(Command::MultiFile, arguments, provider, nullptr), 1);
        },
        60000);
    EXPECT_LT(arrivedWhenInverting, kLong - 1000) << "inverted only after the fill";
    others.insert(PathNumber(0));
    EXPECT_TRUE(arguments.files == others) << "the marks of the rows to come were inverted too";

    ASSERT_GE(lines.size(), 2u) << "the line was seen while the rows arrived";
    const std::regex counting("[0-9,]+ of 1,000,000 files");
    for (const std::string& line : lines)
        EXPECT_TRUE(std::regex_match(line, counting)) << line;
    // The figures change at most every 100 ms: over a longer fill they must have moved.
    if (lastLineAt - firstLineAt >= 250) {
        EXPECT_NE(lines.front(), lines.back()) << "the count moved";
    }
    EXPECT_EQ(notBusy, 0) << "the list reads as busy while it fills";
    EXPECT_GE(samples, 2);
    EXPECT_EQ(outOfOrder, 0);
    EXPECT_TRUE(lineGone);
    EXPECT_FALSE(busyAfter);
    // Filling the rest in one go would stall the loop for all of it. Slices run longer while nobody
    // types, so on a slow (emulated) machine the bound grows with the fill it watched.
    EXPECT_LT(longestGap, std::max<DWORD>(400, (watchedTo - watchedFrom) / 4))
        << "over " << watchedTo - watchedFrom << " ms";
}

// What the list knows of its texts once every row is in: the extent it scrolls to, and its accessible
// description, which counts the paths that hide characters.
struct Measures {
    int extent = -1;
    std::wstring description;
};

Measures MeasuresOnceComplete(const Files& files, const Files& others) {
    Measures measures;
    const int total = static_cast<int>(files.size() + others.size());
    ui::Script script;
    script.OnWindow(
        "the complete list",
        [total] {
            ui::Window dialog = ui::ActiveDialog();
            const bool complete =
                dialog && !dialog.Item(IDC_FILL_PROGRESS) && RowCount(dialog.Item(IDC_FILE_LIST)) == total;
            return complete ? dialog : ui::Window();
        },
        [&](ui::Window dialog) {
            ui::Window list = dialog.Item(IDC_FILE_LIST);
            measures.extent = list.HorizontalExtent();
            IAccessible* object = nullptr;
            VARIANT self = {};
            self.vt = VT_I4; // CHILDID_SELF
            BSTR text = nullptr;
            if (::AccessibleObjectFromWindow(list.hwnd(), static_cast<DWORD>(OBJID_CLIENT),
                                             __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&object)) == S_OK) {
                if (object->get_accDescription(self, &text) == S_OK && text)
                    measures.description = text;
                ::SysFreeString(text);
                object->Release();
            }
            ui::PostClose(dialog, ui::Close::Cancel);
        });
    std::vector<const char*> in, out;
    for (const std::string& path : files)
        in.push_back(path.c_str());
    for (const std::string& path : others)
        out.push_back(path.c_str());
    script.Run([&] {
        char** checked = nullptr;
        size_t count = 0;
        EXPECT_EQ(corvel_multi_file_options(in.data(), in.size(), out.data(), out.size(), nullptr, nullptr,
                                            &checked, &count),
                  CORVEL_CANCEL);
        corvel_release(checked);
    });
    return measures;
}

// The part of the description after the checked count: the paths that hide characters, if any.
std::wstring HiddenCount(const std::wstring& description) {
    const size_t comma = description.find(L", ");
    return comma == std::wstring::npos ? L"" : description.substr(comma + 2);
}

struct WidestCase {
    const char* name;
    std::vector<std::string> files, others; // UTF-8, each wider than the short paths around them
    bool hides;
};

TEST(SlicedFill, TheWidestTextAndTheHiddenCountAreThoseOfTheSameListFilledAtOnce) {
    const std::vector<WidestCase> cases = {
        {"widest among the files", {"C:\\a\\long\\way\\down\\to\\the\\widest\\file.c"}, {}, false},
        {"widest among the others", {"C:\\b.c"}, {"C:\\a\\long\\way\\down\\to\\the\\widest\\other.c"}, false},
        // Its markers make the row wider than its characters alone.
        {"widest by its markers",
         {"C:\\x\u202E\u200B\u200E\u2069.c", "C:\\y\u00AD.c"},
         {"C:\\z\u2067\u202D.c"},
         true},
    };
    for (const WidestCase& c : cases) {
        const Files files(c.files.begin(), c.files.end()), others(c.others.begin(), c.others.end());
        const Measures atOnce = MeasuresOnceComplete(files, others);
        Files longFiles = files, longOthers = others;
        MakePaths(kPaths, longFiles, longOthers);
        const Measures sliced = MeasuresOnceComplete(longFiles, longOthers);
        EXPECT_GT(atOnce.extent, 0) << c.name;
        EXPECT_EQ(sliced.extent, atOnce.extent) << c.name;
        EXPECT_EQ(HiddenCount(atOnce.description).empty(), !c.hides) << c.name;
        EXPECT_EQ(HiddenCount(sliced.description), HiddenCount(atOnce.description)) << c.name;
    }
}

} // namespace
