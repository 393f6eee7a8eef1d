// The check list's rows must be in the order of a sorted list box, so that the list's own type-ahead search
// keeps working: a real list box filled one path at a time is the reference. Rows that the list box deems
// equal (paths equal but for case), which it leaves wherever its search happens to stop, come in a fixed
// order: the caller's files first, then the candidates, each in byte order.
#include "FakeProvider.h"
#include "ImportHook.h"
#include "Commands.h"
#include "UiDriver.h"
#include "resource.h"

#include <corvel/corvel.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using Files = std::set<std::string>;

std::wstring Wide(const std::string& text) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], length);
    return wide;
}

// The rows a sorted list box of the same kind gives when every path is added on its own.
std::vector<std::string> ReferenceRows(const Files& checked, const Files& unchecked, LCID* locale) {
    HWND list = ::CreateWindowA("LISTBOX", "",
                                WS_POPUP | LBS_SORT | LBS_HASSTRINGS | LBS_OWNERDRAWFIXED | LBS_MULTIPLESEL |
                                    WS_VSCROLL | WS_HSCROLL,
                                0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    for (const Files* set : {&checked, &unchecked})
        for (const std::string& path : *set)
            ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.c_str()));
    *locale = static_cast<LCID>(::SendMessageA(list, LB_GETLOCALE, 0, 0));
    std::vector<std::string> rows = ui::Window(list).Rows().empty() ? std::vector<std::string>{} : [&] {
        std::vector<std::string> texts;
        for (const ui::Row& row : ui::Window(list).Rows())
            texts.push_back(row.text);
        return texts;
    }();
    ::DestroyWindow(list);
    return rows;
}

// Runs of rows that the list box's comparison deems equal, each in row order.
std::vector<std::vector<std::string>> EqualRuns(const std::vector<std::string>& rows, LCID locale) {
    std::vector<std::vector<std::string>> runs;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i == 0 || ::CompareStringW(locale, NORM_IGNORECASE, Wide(rows[i - 1]).c_str(), -1,
                                       Wide(rows[i]).c_str(), -1) != CSTR_EQUAL)
            runs.emplace_back();
        runs.back().push_back(rows[i]);
    }
    return runs;
}

std::vector<std::string> TrickyPaths(unsigned seed, size_t count) {
    const std::vector<std::string> pieces = {"src",
                                             "Src",
                                             "SRC",
                                             "file1",
                                             "file10",
                                             "file2",
                                             "File2",
                                             "a b",
                                             "a  b",
                                             "a-b",
                                             "ab",
                                             "a'b",
                                             "co-op",
                                             "coop",
                                             "_x",
                                             "~x",
                                             "x~",
                                             "#1",
                                             "$",
                                             "%",
                                             "&",
                                             "(1)",
                                             "[1]",
                                             "{1}",
                                             "+",
                                             ",",
                                             ";",
                                             "=",
                                             "@",
                                             "^",
                                             "`",
                                             "!",
                                             ".",
                                             "..",
                                             ".hidden",
                                             "z",
                                             "Z",
                                             "\xE9t\xE9",
                                             "ete",
                                             "Ete",
                                             "\xC9t\xE9",
                                             "stra\xDF"
                                             "e",
                                             "strasse",
                                             "\xE6on",
                                             "aeon",
                                             "\x8C"
                                             "uvre",
                                             "oeuvre",
                                             "\x80",
                                             "\xA0x",
                                             "\xFF",
                                             "\xD8",
                                             "o",
                                             "0",
                                             "9",
                                             "99",
                                             "100"};
    std::mt19937 random(seed);
    std::vector<std::string> paths;
    for (size_t i = 0; i < count; ++i) {
        std::string path = (random() % 3 == 0) ? "C:\\" : "";
        const size_t parts = 1 + random() % 4;
        for (size_t p = 0; p < parts; ++p) {
            if (p)
                path += (random() % 4 == 0) ? "/" : "\\";
            path += pieces[random() % pieces.size()];
            if (random() % 3 == 0)
                path += pieces[random() % pieces.size()];
        }
        if (random() % 2)
            path += (random() % 2) ? ".c" : ".H";
        paths.push_back(path);
    }
    return paths;
}

// corvel.dll cannot start a thread: sorting a long list must only take longer.
struct NoThreads {
    static int refused;
    static HANDLE WINAPI CreateThread(SECURITY_ATTRIBUTES*, SIZE_T, LPTHREAD_START_ROUTINE, void*, DWORD,
                                      DWORD*) {
        ++refused;
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
};
int NoThreads::refused = 0;

struct OrderCase {
    size_t paths;
    bool threadsRefused;
};

class ListOrder : public ::testing::TestWithParam<OrderCase> {};

// A short list, and one long enough to have its sort keys made on two threads, or on one when no second
// thread can be started.
INSTANTIATE_TEST_SUITE_P(Sizes, ListOrder,
                         ::testing::Values(OrderCase{1500, false}, OrderCase{24000, false},
                                           OrderCase{24000, true}),
                         [](const ::testing::TestParamInfo<OrderCase>& info) {
                             return std::to_string(info.param.paths) +
                                    (info.param.threadsRefused ? "_NoThreadToBeHad" : "");
                         });

TEST_P(ListOrder, RowsAndCheckMarksAreThoseOfAddingEachPathToTheList) {
    const std::vector<std::string> paths = TrickyPaths(20261208, GetParam().paths);
    cmd::Call call(cmd::Command::MultiFile);
    Files &files = call.files, &otherFiles = call.otherFiles;
    for (size_t i = 0; i < paths.size(); ++i)
        (i % 3 == 0 ? otherFiles : files).insert(paths[i]);
    Files unchecked;
    for (const std::string& path : otherFiles)
        if (!files.count(path))
            unchecked.insert(path);

    std::vector<ui::Row> rows;
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        rows = dialog.Item(IDC_FILE_LIST).Rows();
        dialog.Item(IDCANCEL).Click();
    });
    {
        NoThreads::refused = 0;
        std::unique_ptr<hook::ImportHook> noThreads;
        if (GetParam().threadsRefused) {
            noThreads = std::make_unique<hook::ImportHook>("kernel32.dll", "CreateThread",
                                                           reinterpret_cast<void*>(&NoThreads::CreateThread));
            ASSERT_TRUE(noThreads->Installed());
        }
        call.Run(script);
        // Refused: the one copying the sets as the dialog is made, the fill's own and then the sort's
        // second one, so the list fills before showing. (A list this short is counted without a thread.)
        EXPECT_EQ(NoThreads::refused, GetParam().threadsRefused ? 3 : 0);
    }

    LCID locale = 0;
    const std::vector<std::string> reference = ReferenceRows(files, unchecked, &locale);
    std::vector<std::string> texts;
    size_t wrongMarks = 0;
    for (const ui::Row& row : rows) {
        texts.push_back(row.text);
        wrongMarks += row.checked != (files.count(row.text) == 1);
    }
    EXPECT_EQ(wrongMarks, 0u);
    ASSERT_EQ(texts.size(), reference.size());
    const auto ours = EqualRuns(texts, locale);
    const auto theirs = EqualRuns(reference, locale);
    ASSERT_EQ(ours.size(), theirs.size());
    for (size_t i = 0; i < ours.size(); ++i) {
        // The reference run's rows in the documented order: the caller's files, then the candidates.
        std::vector<std::string> run = theirs[i], expected;
        std::sort(run.begin(), run.end());
        for (const Files* set : {&files, &unchecked})
            for (const std::string& text : run)
                if (set->count(text))
                    expected.push_back(text);
        ASSERT_EQ(ours[i], expected) << "run " << i << " starting with " << expected.front();
    }
}

} // namespace
