// Arguments a careless or hostile host may pass, through every export: huge and odd strings, a huge file
// set, extreme limits and flags, and parents that are missing, gone or on another thread. Each gets the
// library's documented answer; none may crash, hang or lose what the caller owns.
#include "Commands.h"
#include "UiDriver.h"
#include "FakeProvider.h"
#include "FileDialogDriver.h"
#include "Meters.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <mbctype.h>

#include <climits>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace robust {
namespace {

using namespace cmd;
using namespace ui;

// The strings a command hands to its dialog, changed by `change`; the sets only where the command shows
// them, as it does not read the others.
Arguments Transformed(Command command, const Arguments& given,
                      const std::function<std::string(std::string)>& change) {
    Arguments result = given;
    if (HasFileList(command)) {
        result.files.clear();
        for (const std::string& path : given.files)
            result.files.insert(change(path));
    }
    if (HasComment(command))
        result.comment = change(given.comment);
    if (command == Command::SingleFile || command == Command::Diff)
        result.path = change(given.path);
    if (command == Command::Rename) {
        result.newName = change(given.newName);
        result.existingFile = change(given.existingFile);
    }
    return result;
}

std::string UpToNul(std::string text) {
    const size_t nul = text.find('\0');
    return nul == std::string::npos ? text : text.substr(0, nul);
}

std::string Unchanged(std::string text) {
    return text;
}

// A path-like text of `length` characters: components of nine letters.
std::string LongPath(size_t length, char letter) {
    std::string path = "C:";
    while (path.size() < length)
        path += (path.size() % 10 == 2 ? '\\' : letter);
    return path;
}

struct StringCase {
    const char* name;
    std::function<void(Arguments&)> make;
    // What a string shown in a box or a row comes back as after OK without any edit.
    std::function<std::string(std::string)> afterOk;
};

void AllStrings(Arguments& a, const std::string& text) {
    a.comment = a.path = a.newName = a.existingFile = text;
}

const std::vector<StringCase>& StringCases() {
    static const std::vector<StringCase> cases = {
        {"HundredThousandCharacters",
         [](Arguments& a) {
             AllStrings(a, LongPath(100000, 'p'));
             a.newName = std::string(100000, 'n');
             a.files.insert(LongPath(100000, 'f'));
             a.otherFiles.insert(LongPath(100000, 'o'));
             a.maxCommentLength = 5; // a longer comment from the caller is shown and returned whole
         },
         Unchanged},
        {"Empty",
         [](Arguments& a) {
             AllStrings(a, "");
             a.files = {""}; // a row without text
             a.otherFiles.clear();
         },
         Unchanged},
        {"EmptySets",
         [](Arguments& a) {
             a.files.clear();
             a.otherFiles.clear();
         },
         Unchanged},
        // A box and a row hold a C string: what follows a NUL is not shown and so does not come back.
        {"NulInside",
         [](Arguments& a) {
             AllStrings(a, std::string("C:\\work\\a.c\0hidden", 18));
             a.files.insert(std::string("C:\\work\\b.c\0hidden", 18));
         },
         UpToNul},
        {"TabsLineBreaksAndControlCharacters",
         [](Arguments& a) {
             std::string text = "C:\\dir\tx\r\ny\nz\r";
             for (char c = 1; c < 0x20; ++c)
                 text += c;
             AllStrings(a, text);
             a.files.insert(text);
             a.otherFiles.insert("tab\there");
         },
         Unchanged},
        {"BytesFrom0x80To0xFF",
         [](Arguments& a) {
             std::string text = "C:\\";
             for (int c = 0x80; c <= 0xFF; ++c)
                 text += static_cast<char>(c);
             AllStrings(a, text);
             a.files.insert(text);
         },
         Unchanged},
        {"LeadByteLast",
         [](Arguments& a) {
             AllStrings(a, "C:\\dir\\name\x81");
             a.files.insert("C:\\dir\\name\x81");
             a.otherFiles.insert("C:\\dir\\other\xE0");
         },
         Unchanged},
    };
    return cases;
}

class HostileStrings : public ::testing::TestWithParam<std::tuple<Command, size_t>> {};

TEST_P(HostileStrings, ComeBackAsShownAfterOkAndUntouchedOtherwise) {
    const Command command = std::get<0>(GetParam());
    const StringCase& c = StringCases()[std::get<1>(GetParam())];
    Arguments given = TypicalArguments();
    c.make(given);
    for (Close how : {Close::Ok, Close::Cancel, Close::Escape}) {
        SCOPED_TRACE(Name(how));
        FakeProvider provider;
        Watchdog watchdog;
        WhenShown closer([how](ui::Window dialog) { PostClose(dialog, how); });
        Arguments arguments = given;
        const int result = Invoke(command, arguments, provider, nullptr);
        EXPECT_FALSE(watchdog.Fired());
        EXPECT_EQ(closer.DialogsShown(), 1);
        if (how == Close::Ok) {
            EXPECT_EQ(result, 1);
            EXPECT_EQ(arguments, Transformed(command, given, c.afterOk).WithFlagsReduced(command));
        } else {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(arguments, given.WithFlagsReduced(command));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryExport, HostileStrings,
                         ::testing::Combine(::testing::ValuesIn(kAllCommands),
                                            ::testing::Range<size_t>(0, StringCases().size())),
                         [](const ::testing::TestParamInfo<std::tuple<Command, size_t>>& info) {
                             return std::string(Name(std::get<0>(info.param))) + "_" +
                                    StringCases()[std::get<1>(info.param)].name;
                         });

// ---- A hundred thousand paths ----------------------------------------------------------------------

class ManyPaths : public ::testing::TestWithParam<Command> {};

TEST_P(ManyPaths, AHundredThousandComeBackAsCheckedAfterOk) {
    const Command command = GetParam();
    Arguments given = TypicalArguments();
    given.files.clear();
    given.otherFiles.clear();
    for (int i = 0; i < 100000; ++i) {
        char path[64];
        std::snprintf(path, sizeof path, "C:\\work\\module%03d\\File%05d.c", i % 997, i);
        (i % 2 ? given.files : given.otherFiles).insert(path);
    }
    FakeProvider provider;
    for (bool selectAll : {false, true}) {
        SCOPED_TRACE(selectAll ? "Select All, then OK" : "OK");
        Watchdog watchdog(120000);
        WhenShown closer([selectAll](ui::Window dialog) {
            if (selectAll)
                ::PostMessageA(::GetDlgItem(dialog.hwnd(), IDC_SELECT_ALL), BM_CLICK, 0, 0);
            PostClose(dialog, Close::Ok);
        });
        Arguments arguments = given;
        const DWORD started = ::GetTickCount();
        EXPECT_EQ(Invoke(command, arguments, provider, nullptr), 1);
        std::printf("[ figures  ] %s with 100,000 paths, %s: %lu ms\n", Name(command),
                    selectAll ? "Select All, OK" : "OK",
                    static_cast<unsigned long>(::GetTickCount() - started));
        Arguments expected = given.WithFlagsReduced(command);
        if (selectAll)
            expected.files.insert(given.otherFiles.begin(), given.otherFiles.end());
        EXPECT_TRUE(arguments == expected)
            << "files: " << arguments.files.size() << " paths, expected " << expected.files.size();
        EXPECT_FALSE(watchdog.Fired());
    }
}

INSTANTIATE_TEST_SUITE_P(TwoFileLists, ManyPaths, ::testing::Values(Command::MultiFile, Command::CheckIn),
                         ParamName());

// ---- Extreme flags ---------------------------------------------------------------------------------

class ExtremeFlags : public ::testing::TestWithParam<std::tuple<Command, int>> {};

TEST_P(ExtremeFlags, AreShownCheckedAndComeBackAsOne) {
    const Command command = std::get<0>(GetParam());
    const int value = std::get<1>(GetParam());
    for (Close how : {Close::Ok, Close::Cancel}) {
        SCOPED_TRACE(Name(how));
        FakeProvider provider;
        int checkedBoxes = 0;
        WhenShown closer([&](ui::Window dialog) {
            for (int id : {IDC_KEEP_CHECKED_OUT, IDC_IGNORE_CASE, IDC_IGNORE_SPACES, IDC_KEEP_AFTER_ADD,
                           IDC_KEEP_AFTER_CHECK_IN})
                if (HWND box = ::GetDlgItem(dialog.hwnd(), id))
                    checkedBoxes += ::SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
            PostClose(dialog, how);
        });
        Arguments arguments = TypicalArguments();
        arguments.flags = {value, value, value, value};
        EXPECT_EQ(Invoke(command, arguments, provider, nullptr), how == Close::Ok ? 1 : 0);
        EXPECT_EQ(checkedBoxes, FlagCount(command));
        for (int i = 0; i < FlagCount(command); ++i)
            EXPECT_EQ(arguments.flags[i], 1) << "flag " << i;
        for (int i = FlagCount(command); i < 4; ++i)
            EXPECT_EQ(arguments.flags[i], value) << "not a parameter of this export";
    }
}

INSTANTIATE_TEST_SUITE_P(ExportsWithFlags, ExtremeFlags,
                         ::testing::Combine(::testing::Values(Command::CheckIn, Command::Diff,
                                                              Command::Session),
                                            ::testing::Values(INT_MIN, INT_MAX)),
                         [](const ::testing::TestParamInfo<std::tuple<Command, int>>& info) {
                             return std::string(Name(std::get<0>(info.param))) +
                                    (std::get<1>(info.param) == INT_MIN ? "_IntMin" : "_IntMax");
                         });

// ---- Parents ---------------------------------------------------------------------------------------

class Parent : public ::testing::TestWithParam<Command> {};

TEST_P(Parent, NullGivesAnUnownedDialog) {
    const Command command = GetParam();
    FakeProvider provider;
    HWND owner = reinterpret_cast<HWND>(-1);
    WhenShown closer([&](ui::Window dialog) {
        owner = ::GetWindow(dialog.hwnd(), GW_OWNER);
        PostClose(dialog, Close::Ok);
    });
    Arguments arguments = TypicalArguments();
    EXPECT_EQ(Invoke(command, arguments, provider, nullptr), 1);
    EXPECT_EQ(owner, nullptr);
    EXPECT_EQ(arguments, TypicalArguments().WithFlagsReduced(command));
}

// A window that no longer exists cannot own a dialog: the dialog cannot be created, which the export
// answers as it answers any dialog that cannot be created.
TEST_P(Parent, ThatWasDestroyedIsAnsweredZeroWithNothingChangedButTheFlags) {
    const Command command = GetParam();
    HWND gone = ::CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr,
                                  nullptr, nullptr);
    ::DestroyWindow(gone);
    ASSERT_FALSE(::IsWindow(gone));
    FakeProvider provider;
    Watchdog watchdog(5000);
    WhenShown closer([](ui::Window dialog) { PostClose(dialog, Close::Ok); });
    Arguments arguments = TypicalArguments();
    const Usage before = MeasureUsage();
    EXPECT_EQ(Invoke(command, arguments, provider, gone), 0);
    EXPECT_EQ(arguments, TypicalArguments().WithFlagsReduced(command));
    EXPECT_EQ(closer.DialogsShown(), 0);
    EXPECT_FALSE(watchdog.Fired());
    const Usage after = MeasureUsage();
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_EQ(after.heapBlocks, before.heapBlocks) << "the wrapper made for the handle was not released";
}

// The host's window belongs to another thread, which keeps pumping its messages: the dialog is owned by
// it, keeps it disabled while it runs, and gives it back enabled.
TEST_P(Parent, OfAnotherThreadOwnsTheDialog) {
    const Command command = GetParam();
    HWND hostWindow = nullptr;
    HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread host([&] {
        hostWindow =
            ::CreateWindowExA(0, "STATIC", "Host of another thread", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                              200, 100, nullptr, nullptr, nullptr, nullptr);
        ::SetEvent(ready);
        MSG message;
        while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
            if (message.message == WM_USER) {
                ::DestroyWindow(hostWindow);
                break;
            }
            ::DispatchMessageA(&message);
        }
    });
    ::WaitForSingleObject(ready, 10000);
    ::CloseHandle(ready);
    ASSERT_TRUE(::IsWindow(hostWindow));

    FakeProvider provider;
    Watchdog watchdog;
    HWND owner = nullptr;
    bool ownerDisabled = false;
    WhenShown closer([&](ui::Window dialog) {
        owner = ::GetWindow(dialog.hwnd(), GW_OWNER);
        ownerDisabled = !::IsWindowEnabled(hostWindow);
        PostClose(dialog, Close::Ok);
    });
    Arguments arguments = TypicalArguments();
    EXPECT_EQ(Invoke(command, arguments, provider, hostWindow), 1);
    EXPECT_EQ(arguments, TypicalArguments().WithFlagsReduced(command));
    EXPECT_EQ(owner, hostWindow);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(::IsWindowEnabled(hostWindow));
    EXPECT_FALSE(watchdog.Fired());

    ::PostThreadMessageA(::GetWindowThreadProcessId(hostWindow, nullptr), WM_USER, 0, 0);
    host.join();
}

INSTANTIATE_TEST_SUITE_P(EveryExport, Parent, ::testing::ValuesIn(kAllCommands), ParamName());

// ---- Browse with hostile paths ---------------------------------------------------------------------

struct BrowseCase {
    const char* name;
    std::string box;
    int multibyteCodePage; // the runtime's multibyte code page while browsing; 0: as it is
    std::string offeredDir;
    std::string offeredName;
};

class HostileBrowse : public ::testing::TestWithParam<std::tuple<Command, size_t>> {};

const std::vector<BrowseCase>& BrowseCases() {
    static const std::vector<BrowseCase> cases = {
        // Longer than any part may be: refused whole rather than cut, so nothing misleading is offered.
        {"HundredThousandCharacters", LongPath(100000, 'p'), 0, "", ""},
        {"LeadByteLast", "C:\\dir\\name\x81", 932, "C:\\dir\\", "name\x81"},
        // 0x5C after a lead byte is the second half of a character, no separator.
        {"BackslashAsTrailByte", "C:\\\x83\\x.c", 932, "C:\\", "\x83\\x.c"},
        {"ControlCharacters", "C:\\a\tb\\c\r\nd.e", 0, "C:\\a\tb\\", "c\r\nd.e"},
    };
    return cases;
}

TEST_P(HostileBrowse, OffersWhatThePathGivesAndTakesTheChosenFile) {
    const Command command = std::get<0>(GetParam());
    const BrowseCase& c = BrowseCases()[std::get<1>(GetParam())];
    const int previousCodePage = _getmbcp();
    if (c.multibyteCodePage) {
        ASSERT_EQ(_setmbcp(c.multibyteCodePage), 0);
    }

    filedlg::OpenFileNameRecorder recorder(filedlg::OpenFileNameRecorder::Choose("D:\\x\\y.txt"));
    FakeProvider provider;
    WhenShown closer([](ui::Window dialog) {
        ::PostMessageA(::GetDlgItem(dialog.hwnd(), IDC_BROWSE), BM_CLICK, 0, 0);
        PostClose(dialog, Close::Ok);
    });
    Arguments arguments = TypicalArguments();
    arguments.path = arguments.existingFile = c.box;
    const int result = Invoke(command, arguments, provider, nullptr);
    _setmbcp(previousCodePage);

    EXPECT_EQ(result, 1);
    ASSERT_EQ(recorder.Calls().size(), 1u);
    const filedlg::OpenFileNameCall& offered = recorder.Calls()[0];
    EXPECT_EQ(offered.initialDir, c.offeredDir);
    EXPECT_FALSE(offered.initialDirIsNull);
    EXPECT_EQ(offered.fileName, c.offeredName);
    EXPECT_LT(offered.fileName.size(), offered.maxFile);
    EXPECT_EQ(command == Command::Rename ? arguments.existingFile : arguments.path, "D:\\x\\y.txt");
}

INSTANTIATE_TEST_SUITE_P(PathDialogs, HostileBrowse,
                         ::testing::Combine(::testing::Values(Command::SingleFile, Command::Diff,
                                                              Command::Rename),
                                            ::testing::Range<size_t>(0, BrowseCases().size())),
                         [](const ::testing::TestParamInfo<std::tuple<Command, size_t>>& info) {
                             return std::string(Name(std::get<0>(info.param))) + "_" +
                                    BrowseCases()[std::get<1>(info.param)].name;
                         });

} // namespace
} // namespace robust
