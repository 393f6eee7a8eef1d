// The C interface through hosts written in C: the same source built as an MSVC-ABI DLL (clang, lld-link,
// corvel.lib) and with mingw-w64 gcc. Every function runs its real dialog with paths in several scripts,
// including characters outside the Basic Multilingual Plane; this program plays the user.
#include "CHost.h"
#include "FileDialogDriver.h"
#include "UiDriver.h"
#include "resource.h"

#include <corvel/corvel.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// ---- UTF-8 as the user sees it ---------------------------------------------------------------------

std::wstring Wide(const std::string& utf8) {
    std::wstring wide(utf8.size() + 1, L'\0');
    const int length =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<size_t>(length - 1) : 0);
    return wide;
}

std::string Utf8(const std::wstring& wide) {
    std::string utf8(wide.size() * 3 + 1, '\0');
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &utf8[0],
                                             static_cast<int>(utf8.size()), nullptr, nullptr);
    utf8.resize(length > 0 ? static_cast<size_t>(length - 1) : 0);
    return utf8;
}

std::string TextOf(ui::Window window) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window.hwnd())) + 1, L'\0');
    text.resize(
        static_cast<size_t>(::GetWindowTextW(window.hwnd(), &text[0], static_cast<int>(text.size()))));
    return Utf8(text);
}

// The rows of the check list as the list holds them, and which of them are checked (as the accessible
// object tells).
std::map<std::string, bool> RowsOf(ui::Window list) {
    std::map<std::string, bool> rows;
    const std::vector<ui::Row> marks = list.Rows();
    for (size_t index = 0; index < marks.size(); ++index) {
        std::wstring text(static_cast<size_t>(::SendMessageW(list.hwnd(), LB_GETTEXTLEN, index, 0)) + 1,
                          L'\0');
        text.resize(static_cast<size_t>(
            ::SendMessageW(list.hwnd(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]))));
        rows[Utf8(text)] = marks[index].checked;
    }
    return rows;
}

int RowOf(ui::Window list, const std::string& path) {
    const LRESULT row = ::SendMessageW(list.hwnd(), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(Wide(path).c_str()));
    EXPECT_NE(row, LB_ERR) << path;
    return static_cast<int>(row);
}

// Typed at the end of an edit box, one UTF-16 unit per WM_CHAR as the keyboard sends them.
void TypeAtEnd(ui::Window edit, const std::string& utf8) {
    ::SetFocus(edit.hwnd());
    edit.Key(VK_END);
    for (wchar_t unit : Wide(utf8))
        ::PostMessageW(edit.hwnd(), WM_CHAR, unit, 1);
}

void PasteAtEnd(ui::Window edit, const std::string& utf8) {
    const std::wstring text = Wide(utf8);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(::GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ::SetClipboardData(CF_UNICODETEXT, memory);
    ::CloseClipboard();
    ::SetFocus(edit.hwnd());
    edit.Key(VK_END);
    ::PostMessageW(edit.hwnd(), WM_PASTE, 0, 0);
}

// ---- Paths in several scripts ----------------------------------------------------------------------

const std::string kGreek = u8"C:\\Έργα\\αρχείο.c";
const std::string kJapanese = u8"C:\\プロジェクト\\設定.h";
const std::string kChinese = u8"D:\\源代码\\文件.cpp";
const std::string kEmoji = u8"C:\\notes\\\U0001F600 todo.txt";    // outside the BMP
const std::string kExtensionB = u8"C:\\\U0002000B\\\U00020021.c"; // CJK extension B, outside the BMP
const std::string kCyrillic = u8"C:\\Проект\\главный.cpp";
const std::string kLatin = u8"C:\\Café\\naïve résumé.c";

// ---- The two hosts ---------------------------------------------------------------------------------

struct Host {
    HMODULE module = nullptr;
    chost_multi_file_fn multiFile = nullptr;
    chost_check_in_fn checkIn = nullptr;
    chost_check_out_fn checkOut = nullptr;
    chost_single_file_fn singleFile = nullptr;
    chost_diff_fn diff = nullptr;
    chost_rename_fn rename = nullptr;
    chost_session_fn session = nullptr;
    chost_bad_arguments_fn badArguments = nullptr;
};

template <typename F> void Bind(HMODULE module, const char* name, F& function) {
    function = reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    ASSERT_NE(function, nullptr) << name;
}

class CHosts : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        host.module = ::LoadLibraryA(GetParam());
        ASSERT_NE(host.module, nullptr) << GetParam();
        Bind(host.module, "chost_multi_file", host.multiFile);
        Bind(host.module, "chost_check_in", host.checkIn);
        Bind(host.module, "chost_check_out", host.checkOut);
        Bind(host.module, "chost_single_file", host.singleFile);
        Bind(host.module, "chost_diff", host.diff);
        Bind(host.module, "chost_rename", host.rename);
        Bind(host.module, "chost_session", host.session);
        Bind(host.module, "chost_bad_arguments", host.badArguments);
    }
    void TearDown() override {
        if (host.module)
            ::FreeLibrary(host.module);
    }

    Host host;
    chost_provider provider = {1, 1, 0, 0, nullptr};
    char out[1 << 16] = {};

    // The lines the host wrote: key to values, in order.
    std::multimap<std::string, std::string> Output() const {
        std::multimap<std::string, std::string> lines;
        std::string text(out);
        for (size_t start = 0, end; start < text.size(); start = end + 1) {
            end = text.find('\n', start);
            const std::string line = text.substr(start, end - start);
            const size_t equals = line.find('=');
            lines.emplace(line.substr(0, equals), equals == std::string::npos ? "" : line.substr(equals + 1));
        }
        return lines;
    }
    std::vector<std::string> Values(const std::string& key) const {
        std::vector<std::string> values;
        const auto lines = Output();
        for (auto range = lines.equal_range(key); range.first != range.second; ++range.first)
            values.push_back(range.first->second);
        return values;
    }
    std::string Value(const std::string& key) const {
        const std::vector<std::string> values = Values(key);
        return values.size() == 1 ? values[0] : "<" + std::to_string(values.size()) + " values>";
    }
};

using Paths = std::vector<const char*>;

Paths Pointers(const std::vector<std::string>& paths) {
    Paths pointers;
    for (const std::string& path : paths)
        pointers.push_back(path.c_str());
    return pointers;
}

// ---- The file lists --------------------------------------------------------------------------------

TEST_P(CHosts, MultiFileShowsEveryScriptAndReturnsTheCheckedPathsByteForByte) {
    const std::vector<std::string> files = {kGreek, kJapanese, kEmoji, kLatin};
    const std::vector<std::string> others = {kCyrillic, kChinese, kExtensionB, kLatin};
    const Paths filePointers = Pointers(files), otherPointers = Pointers(others);
    std::map<std::string, bool> shown;
    HWND dialogWindow = nullptr;
    int result = -1;
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        dialogWindow = dialog.hwnd();
        shown = RowsOf(dialog.Item(IDC_FILE_LIST));
        EXPECT_TRUE(dialog.Item(IDC_ADVANCED).Enabled());
        dialog.Item(IDC_ADVANCED).Click();
    });
    script.OnDialog("Options", [&](ui::Window dialog) {
        ui::Window list = dialog.Item(IDC_FILE_LIST);
        list.ClickRowCheckBox(RowOf(list, kGreek));
        list.ClickRowCheckBox(RowOf(list, kExtensionB));
    });
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    script.Run([&] {
        result = host.multiFile(filePointers.data(), filePointers.size(), otherPointers.data(),
                                otherPointers.size(), &provider, nullptr, out, sizeof out);
    });

    const std::map<std::string, bool> expectedRows = {
        {kGreek, true},     {kJapanese, true}, {kEmoji, true},      {kLatin, true},
        {kCyrillic, false}, {kChinese, false}, {kExtensionB, false}};
    EXPECT_EQ(shown, expectedRows);
    EXPECT_EQ(provider.availability_calls, 1);
    EXPECT_EQ(provider.show_calls, 1);
    EXPECT_EQ(provider.last_owner, dialogWindow);
    ASSERT_EQ(result, CORVEL_OK);
    const std::set<std::string> checked = {kJapanese, kEmoji, kLatin, kExtensionB};
    EXPECT_EQ(Values("file"), std::vector<std::string>(checked.begin(), checked.end()));
    EXPECT_EQ(Value("files"), "4");
}

TEST_P(CHosts, MultiFileCancelledOrWithoutHostWritesNothing) {
    const Paths files = {kGreek.c_str()};
    bool advancedEnabled = true;
    int result = -1;
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        advancedEnabled = dialog.Item(IDC_ADVANCED).Enabled();
        dialog.Item(IDC_FILE_LIST).ClickRowCheckBox(0);
        ui::PostClose(dialog, ui::Close::Escape);
    });
    script.Run([&] {
        result = host.multiFile(files.data(), files.size(), nullptr, 0, nullptr, nullptr, out, sizeof out);
    });
    EXPECT_EQ(result, CORVEL_CANCEL);
    EXPECT_FALSE(advancedEnabled);
    EXPECT_EQ(std::string(out), "untouched\n");
}

TEST_P(CHosts, CheckInReturnsEditsAndLimitsTheCommentInUtf16UnitsWhileTypingAndPasting) {
    const Paths files = {kChinese.c_str(), kEmoji.c_str()};
    int keep = 0;
    std::string shownComment;
    int result = -1;
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        shownComment = TextOf(dialog.Item(IDC_COMMENT));
        dialog.Item(IDC_KEEP_CHECKED_OUT).Click();
        dialog.Item(IDC_FILE_LIST).ClickRowCheckBox(RowOf(dialog.Item(IDC_FILE_LIST), kChinese));
        TypeAtEnd(dialog.Item(IDC_COMMENT), u8" αβ");
    });
    // Limit 8: "Ελλ" and " αβ" fill 6 units; of the pasted text two units fit, the rest is refused, and so
    // is anything typed after it.
    script.OnDialog("Options",
                    [&](ui::Window dialog) { PasteAtEnd(dialog.Item(IDC_COMMENT), u8"文件\U0001F600x"); });
    script.OnDialog("Options", [&](ui::Window dialog) { TypeAtEnd(dialog.Item(IDC_COMMENT), u8"z"); });
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    script.Run([&] {
        result = host.checkIn(files.data(), files.size(), nullptr, 0, &keep, u8"Ελλ", 8, &provider, nullptr,
                              out, sizeof out);
    });
    EXPECT_EQ(shownComment, u8"Ελλ");
    ASSERT_EQ(result, CORVEL_OK);
    EXPECT_EQ(keep, 1);
    EXPECT_EQ(Values("file"), std::vector<std::string>{kEmoji});
    EXPECT_EQ(Value("comment"), u8"Ελλ αβ文件");
}

TEST_P(CHosts, CheckInKeepsALongerCommentWholeAndCountsAPairAsTwoUnits) {
    const Paths files = {kGreek.c_str()};
    const std::string longComment = u8"\U0001F600\U0001F600\U0001F600 trop long";
    int keep = 7;
    std::string shown;
    int result = -1;
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        shown = TextOf(dialog.Item(IDC_COMMENT));
        TypeAtEnd(dialog.Item(IDC_COMMENT), u8"!");
    });
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    script.Run([&] {
        result = host.checkIn(files.data(), files.size(), nullptr, 0, &keep, longComment.c_str(), 4,
                              &provider, nullptr, out, sizeof out);
    });
    EXPECT_EQ(shown, longComment);
    ASSERT_EQ(result, CORVEL_OK);
    EXPECT_EQ(keep, 1);
    EXPECT_EQ(Value("comment"), longComment);
}

TEST_P(CHosts, CheckOutLetsACharacterOfTwoUnitsInWholeOrNotAtAll) {
    const Paths files = {kLatin.c_str()};
    int result = -1;
    ui::Script script;
    // Limit 4: after "ab", a paste of "c😀d" stops before the pair; with one unit left the pair cannot be
    // typed either, and "e" still can.
    script.OnDialog("Check Out Options",
                    [](ui::Window dialog) { TypeAtEnd(dialog.Item(IDC_COMMENT), "ab"); });
    script.OnDialog("Check Out Options",
                    [](ui::Window dialog) { PasteAtEnd(dialog.Item(IDC_COMMENT), u8"c\U0001F600d"); });
    script.OnDialog("Check Out Options",
                    [](ui::Window dialog) { TypeAtEnd(dialog.Item(IDC_COMMENT), u8"\U0001F600e"); });
    script.OnDialog("Check Out Options", [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    script.Run([&] {
        result = host.checkOut(files.data(), files.size(), nullptr, 0, nullptr, 4, nullptr, nullptr, out,
                               sizeof out);
    });
    ASSERT_EQ(result, CORVEL_OK);
    EXPECT_EQ(Value("comment"), "abce");
}

TEST_P(CHosts, CheckOutWarnsWhenTheHostCannotShowItsOptionsAndStillReturnsUntouchedTexts) {
    provider.show_succeeds = 0;
    const Paths files = {kCyrillic.c_str(), kExtensionB.c_str()};
    const Paths others = {kJapanese.c_str()};
    const std::string comment = u8"コメント \U0001F600 ελληνικά";
    std::string boxText;
    bool exclamation = false, dialogStillOpen = false;
    int result = -1;
    ui::Script script;
    script.OnDialog("Check Out Options", [](ui::Window dialog) { dialog.Item(IDC_ADVANCED).Click(); });
    script.OnMessageBox([&](ui::Window box) {
        boxText = box.MessageText();
        exclamation = box.HasIcon(IDI_EXCLAMATION);
        box.Item(IDOK).Click();
    });
    script.OnDialog("Check Out Options", [&](ui::Window dialog) {
        dialogStillOpen = true;
        dialog.Item(IDOK).Click();
    });
    script.Run([&] {
        result = host.checkOut(files.data(), files.size(), others.data(), others.size(), comment.c_str(), 100,
                               &provider, nullptr, out, sizeof out);
    });
    EXPECT_EQ(boxText,
              "Advanced options have become unexpectedly unavailable.\nTry again later. You may have to "
              "restart this program or your source control provider.");
    EXPECT_TRUE(exclamation);
    EXPECT_TRUE(dialogStillOpen);
    EXPECT_EQ(provider.show_calls, 1);
    ASSERT_EQ(result, CORVEL_OK);
    const std::set<std::string> checked = {kCyrillic, kExtensionB};
    EXPECT_EQ(Values("file"), std::vector<std::string>(checked.begin(), checked.end()));
    EXPECT_EQ(Value("comment"), comment);
}

// ---- The path dialogs ------------------------------------------------------------------------------

void CreateUnicodeFile(const std::wstring& path) {
    for (size_t separator = path.find(L'\\', 3); separator != std::wstring::npos;
         separator = path.find(L'\\', separator + 1))
        ::CreateDirectoryW(path.substr(0, separator).c_str(), nullptr);
    HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
}

std::string SendForWideText(ui::Window window, UINT message) {
    std::wstring buffer(32768, L'\0');
    ::SendMessageW(window.hwnd(), message, buffer.size(), reinterpret_cast<LPARAM>(&buffer[0]));
    return Utf8(buffer.c_str());
}

TEST_P(CHosts, SingleFileBrowsesInAUnicodeFolderAndReturnsTheChosenPath) {
    provider.answer_availability = 2; // the callback says "not now"
    const std::string folder = u8"C:\\corvel-capi\\Ωμέγα 文件夹 \U0001F600";
    const std::string start = folder + u8"\\начало.txt", chosen = folder + u8"\\選んだ \U00020021.txt";
    CreateUnicodeFile(Wide(start));
    CreateUnicodeFile(Wide(chosen));
    std::string shownPath, offeredFolder, offeredName;
    bool advancedEnabled = true;
    int result = -1;
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        shownPath = TextOf(dialog.Item(IDC_PATH));
        advancedEnabled = dialog.Item(IDC_ADVANCED).Enabled();
        dialog.Item(IDC_BROWSE).Click();
    });
    script.Then("open-file dialog", filedlg::WhenOpen([&](ui::Window fileDialog) {
                    offeredFolder = SendForWideText(fileDialog, CDM_GETFOLDERPATH);
                    if (!offeredFolder.empty() && offeredFolder.back() == '\\')
                        offeredFolder.pop_back();
                    offeredName = SendForWideText(fileDialog, CDM_GETSPEC);
                    const std::wstring name = Wide(chosen.substr(folder.size() + 1));
                    ::SetWindowTextW(fileDialog.Item(filedlg::kFileNameCombo).hwnd(), name.c_str());
                    ::PostMessageW(fileDialog.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                                   reinterpret_cast<LPARAM>(fileDialog.Item(IDOK).hwnd()));
                }));
    script.OnDialog("Options", [&](ui::Window dialog) {
        EXPECT_EQ(TextOf(dialog.Item(IDC_PATH)), chosen);
        dialog.Item(IDOK).Click();
    });
    script.Run([&] { result = host.singleFile(start.c_str(), &provider, nullptr, out, sizeof out); });
    EXPECT_EQ(shownPath, start);
    EXPECT_FALSE(advancedEnabled);
    EXPECT_EQ(provider.availability_calls, 1);
    EXPECT_EQ(offeredFolder, folder);
    EXPECT_EQ(offeredName, u8"начало.txt");
    ASSERT_EQ(result, CORVEL_OK);
    EXPECT_EQ(Value("path"), chosen);
}

TEST_P(CHosts, DiffWithoutAvailabilityCallbackReturnsFlagsOnCancelAndEditsOnOk) {
    provider.answer_availability = 0; // NULL callback: never available
    int ignoreCase = 5, ignoreSpaces = 0;
    bool advancedEnabled = true;
    std::string shown;
    int result = -1;
    {
        ui::Script script;
        script.OnDialog("Difference Options", [&](ui::Window dialog) {
            advancedEnabled = dialog.Item(IDC_ADVANCED).Enabled();
            shown = TextOf(dialog.Item(IDC_PATH));
            dialog.Item(IDC_IGNORE_SPACES).Click();
            dialog.Item(IDCANCEL).Click();
        });
        script.Run([&] {
            result = host.diff(kExtensionB.c_str(), &ignoreCase, &ignoreSpaces, &provider, nullptr, out,
                               sizeof out);
        });
    }
    EXPECT_FALSE(advancedEnabled);
    EXPECT_EQ(provider.availability_calls, 0);
    EXPECT_EQ(shown, kExtensionB);
    EXPECT_EQ(result, CORVEL_CANCEL);
    EXPECT_EQ(ignoreCase, 1);
    EXPECT_EQ(ignoreSpaces, 0);
    EXPECT_EQ(std::string(out), "untouched\n");

    ui::Script script;
    script.OnDialog("Difference Options", [&](ui::Window dialog) {
        dialog.Item(IDC_IGNORE_CASE).Click();
        TypeAtEnd(dialog.Item(IDC_PATH), u8"ü\U0001F600");
    });
    script.OnDialog("Difference Options", [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    script.Run([&] {
        result =
            host.diff(kExtensionB.c_str(), &ignoreCase, &ignoreSpaces, &provider, nullptr, out, sizeof out);
    });
    ASSERT_EQ(result, CORVEL_OK);
    EXPECT_EQ(ignoreCase, 0);
    EXPECT_EQ(Value("path"), kExtensionB + u8"ü\U0001F600");
}

TEST_P(CHosts, RenameShowsBothTextsAndReturnsThemAsEdited) {
    const std::string newName = u8"νέο όνομα \U0001F600.c";
    std::string shownFile, shownName;
    int result = -1;
    ui::Script script;
    script.OnDialog("Rename Options", [&](ui::Window dialog) {
        shownFile = TextOf(dialog.Item(IDC_PATH));
        shownName = TextOf(dialog.Item(IDC_NEW_NAME));
        TypeAtEnd(dialog.Item(IDC_NEW_NAME), u8"語");
    });
    script.OnDialog("Rename Options", [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    script.Run([&] { result = host.rename(kJapanese.c_str(), newName.c_str(), nullptr, out, sizeof out); });
    EXPECT_EQ(shownFile, kJapanese);
    EXPECT_EQ(shownName, newName);
    ASSERT_EQ(result, CORVEL_OK);
    EXPECT_EQ(Value("existing"), kJapanese);
    EXPECT_EQ(Value("name"), newName + u8"語");
}

TEST_P(CHosts, SessionWarnsOnAFailingShowAndReturnsTheFlags) {
    provider.show_succeeds = 0;
    int flags[4] = {0, 3, 0, -1};
    int boxes = 0;
    int result = -1;
    ui::Script script;
    script.OnDialog("Source Control Options", [](ui::Window dialog) { dialog.Item(IDC_ADVANCED).Click(); });
    script.OnMessageBox([&](ui::Window box) {
        ++boxes;
        box.Item(IDOK).Click();
    });
    script.OnDialog("Source Control Options", [](ui::Window dialog) {
        dialog.Item(IDC_IGNORE_CASE).Click();
        dialog.Item(IDC_KEEP_AFTER_CHECK_IN).Click();
        dialog.Item(IDOK).Click();
    });
    script.Run([&] { result = host.session(flags, &provider, nullptr); });
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(provider.show_calls, 1);
    ASSERT_EQ(result, CORVEL_OK);
    EXPECT_EQ(flags[0], 1);
    EXPECT_EQ(flags[1], 1);
    EXPECT_EQ(flags[2], 0);
    EXPECT_EQ(flags[3], 0);
}

// ---- Bad arguments ---------------------------------------------------------------------------------

int g_dialogsSeen = 0;

void CALLBACK CloseAnyDialog(HWND, UINT, UINT_PTR, DWORD) {
    if (ui::Window dialog = ui::ActiveDialog()) {
        ++g_dialogsSeen;
        ::PostMessageA(dialog.hwnd(), WM_COMMAND, IDCANCEL, 0);
    }
}

TEST_P(CHosts, BadArgumentsAreRefusedWithTheirCodesBeforeAnythingIsShownOrWritten) {
    g_dialogsSeen = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, &CloseAnyDialog);
    const int failures = host.badArguments(out, sizeof out);
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(failures, 0) << out;
    EXPECT_EQ(g_dialogsSeen, 0);
}

// ---- The two interfaces nested ---------------------------------------------------------------------

std::string g_nestedName;
int g_nestedResult = -1;

int CORVEL_CALL AlwaysAvailable(void*) {
    return 1;
}

// Answers Advanced with a rename through the C++ interface, in the ANSI code page.
int CORVEL_CALL RenameThroughCpp(void*, HWND owner) {
    std::string existing = "C:\\caf\xE9.txt";
    g_nestedName = "na\xEFve.txt";
    g_nestedResult = CorvelDoRenameOptions(g_nestedName, existing, owner);
    return 1;
}

TEST(NestedCalls, AHostCallbackOfTheCInterfaceCallsTheCppOneInTheAnsiCodePage) {
    const char* const files[] = {kGreek.c_str()};
    corvel_host hostObject = {nullptr, &AlwaysAvailable, &RenameThroughCpp};
    char** checked = nullptr;
    size_t count = 0;
    std::string shownName;
    int result = -1;
    ui::Script script;
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDC_ADVANCED).Click(); });
    script.OnDialog("Rename Options", [&](ui::Window dialog) {
        shownName = TextOf(dialog.Item(IDC_NEW_NAME));
        dialog.Item(IDOK).Click();
    });
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    script.Run([&] {
        result = corvel_multi_file_options(files, 1, nullptr, 0, &hostObject, nullptr, &checked, &count);
    });
    EXPECT_EQ(shownName, u8"naïve.txt");
    EXPECT_EQ(g_nestedResult, 1);
    EXPECT_EQ(g_nestedName, "na\xEFve.txt");
    ASSERT_EQ(result, CORVEL_OK);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(std::string(checked[0]), kGreek);
    corvel_release(checked);
}

std::string HostName(const ::testing::TestParamInfo<const char*>& info) {
    return std::string(info.param).find("msvc") != std::string::npos ? "MsvcAbi" : "MingwGcc";
}

INSTANTIATE_TEST_SUITE_P(BuiltBy, CHosts, ::testing::Values("capi_host_msvc.dll", "capi_host_gcc.dll"),
                         HostName);

} // namespace
