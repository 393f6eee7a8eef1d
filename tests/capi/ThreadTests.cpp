// The C functions on threads of the host's own: two dialogs open at once on two threads, each played by
// its own user, each call returning that user's choices. The threads are new and make the call before
// anything else, so each is a thread that has never had a message queue. This thread plays both users
// from outside, through their windows.
#include "UiDriver.h"
#include "resource.h"

#include <corvel/corvel_c.h>

#include <gtest/gtest.h>
#include <usp10.h>

#include <set>
#include <string>
#include <vector>

namespace {

// What one thread passes to corvel_check_in_options and gets back.
struct CheckInCall {
    std::vector<std::string> files;
    int keep;
    std::string comment;

    int result = -1;
    std::set<std::string> checked;
    std::string newComment;

    void Run() {
        std::vector<const char*> pointers;
        for (const std::string& file : files)
            pointers.push_back(file.c_str());
        char** list = nullptr;
        size_t count = 0;
        char* text = nullptr;
        result = corvel_check_in_options(pointers.data(), pointers.size(), nullptr, 0, &keep, comment.c_str(),
                                         200, nullptr, nullptr, &list, &count, &text);
        if (result == CORVEL_OK) {
            checked.insert(list, list + count);
            newComment = text;
            corvel_release(list);
            corvel_release(text);
        }
    }
};

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    char name[16] = {};
    ::GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "#32770" && ::IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// Wine 8.0 keeps one text-layout cache a font for the whole process. When two threads create the cache
// of the same font at the same moment, the one that loses the race frees its own cache but unlinks the
// winner's, leaving freed memory listed, and a later lookup crashes. Every text drawn or edited makes
// and drops such a cache, so two dialogs drawing at once hit this within a few runs. A cache held for
// each font the dialogs draw with keeps every later lookup on the path that finds the held one.
class HeldTextCaches : NoCopy {
public:
    // The fonts of a check-in dialog and its controls, and the system's caption and message fonts.
    HeldTextCaches() {
        ui::Script()
            .OnDialog("",
                      [this](ui::Window dialog) {
                          Hold(reinterpret_cast<HFONT>(::SendMessageA(dialog.hwnd(), WM_GETFONT, 0, 0)));
                          for (HWND child = ::GetWindow(dialog.hwnd(), GW_CHILD); child;
                               child = ::GetWindow(child, GW_HWNDNEXT))
                              Hold(reinterpret_cast<HFONT>(::SendMessageA(child, WM_GETFONT, 0, 0)));
                          ui::PostClose(dialog, ui::Close::Cancel);
                      })
            .Run([] {
                CheckInCall{{"C:\\a.c"}, 0, "x"}.Run();
            });
        NONCLIENTMETRICSW metrics = {sizeof metrics};
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        for (const LOGFONTW& font : {metrics.lfCaptionFont, metrics.lfSmCaptionFont, metrics.lfMessageFont})
            if (HFONT copy = ::CreateFontIndirectW(&font)) {
                Hold(copy);
                ::DeleteObject(copy);
            }
    }
    ~HeldTextCaches() {
        for (SCRIPT_CACHE& cache : m_caches)
            ::ScriptFreeCache(&cache);
    }

private:
    void Hold(HFONT font) {
        HDC dc = ::CreateCompatibleDC(nullptr);
        HGDIOBJ old = ::SelectObject(dc, font ? font : ::GetStockObject(SYSTEM_FONT));
        SCRIPT_CACHE cache = nullptr;
        long height = 0;
        if (SUCCEEDED(::ScriptCacheGetHeight(dc, &cache, &height)))
            m_caches.push_back(cache);
        ::SelectObject(dc, old);
        ::DeleteDC(dc);
    }
    std::vector<SCRIPT_CACHE> m_caches;
};

// A new thread of the system's own (no runtime between it and the call) that runs one call.
class CallThread {
public:
    // Started only once a message posted to it was refused: it had no message queue.
    explicit CallThread(CheckInCall& call)
        : m_handle(::CreateThread(nullptr, 0, Main, &call, CREATE_SUSPENDED, &m_id)) {
        hadQueue = ::PostThreadMessageA(m_id, WM_NULL, 0, 0) != FALSE;
        ::ResumeThread(m_handle);
    }
    ~CallThread() { Join(); }
    DWORD id() const { return m_id; }
    bool hadQueue = true;
    // Waits for the call to return; its dialogs are cancelled if it has not within a minute.
    void Join() {
        if (!m_handle)
            return;
        if (::WaitForSingleObject(m_handle, 60000) == WAIT_TIMEOUT) {
            ADD_FAILURE() << "the call on thread " << m_id << " did not return";
            ::EnumThreadWindows(m_id, Cancel, 0);
            ::WaitForSingleObject(m_handle, INFINITE);
        }
        ::CloseHandle(m_handle);
        m_handle = nullptr;
    }

private:
    static DWORD WINAPI Main(void* call) {
        static_cast<CheckInCall*>(call)->Run();
        return 0;
    }
    static BOOL CALLBACK Cancel(HWND window, LPARAM) {
        ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }
    DWORD m_id = 0;
    HANDLE m_handle;
};

// The visible dialog of another thread, once it is up; null when it is not up within ten seconds.
HWND DialogOf(const CallThread& thread) {
    const DWORD id = thread.id();
    for (int tries = 0; tries < 1000; ++tries) {
        HWND found = nullptr;
        ::EnumThreadWindows(id, FindDialog, reinterpret_cast<LPARAM>(&found));
        if (found)
            return found;
        ::Sleep(10);
    }
    return nullptr;
}

int RowOf(ui::Window list, const std::string& utf8) {
    std::wstring wide(utf8.size() + 1, L'\0');
    wide.resize(static_cast<size_t>(
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], static_cast<int>(wide.size())) - 1));
    return static_cast<int>(::SendMessageW(list.hwnd(), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(wide.c_str())));
}

// Types over the whole box, one UTF-16 unit a WM_CHAR.
void Retype(ui::Window edit, const std::wstring& text) {
    ::SendMessageW(edit.hwnd(), EM_SETSEL, 0, -1);
    for (wchar_t unit : text)
        ::PostMessageW(edit.hwnd(), WM_CHAR, unit, 1);
}

TEST(CInterfaceThreads, TwoDialogsAtOnceOnThreadsWithoutAQueueEachReturnTheirOwnUsersChoices) {
    CheckInCall first{{u8"C:\\α\\one.c", u8"C:\\α\\two.c", u8"C:\\α\\three.c"}, 0, u8"first"};
    CheckInCall second{{u8"D:\\設定\\a.h", u8"D:\\設定\\b.h"}, 1, u8"second"};
    const HeldTextCaches heldCaches;
    CallThread firstThread(first), secondThread(second);
    const ui::Window one(DialogOf(firstThread)), two(DialogOf(secondThread));
    const bool bothUp = one && two && ::IsWindowVisible(one.hwnd()) && ::IsWindowVisible(two.hwnd());
    EXPECT_TRUE(bothUp);
    if (bothUp) {
        EXPECT_NE(one.hwnd(), two.hwnd());
        // The first user unchecks a row, keeps the files checked out and writes a comment of Greek and an
        // emoji; the second unchecks another row, stops keeping them and writes Chinese.
        one.Item(IDC_FILE_LIST).ClickRowCheckBox(RowOf(one.Item(IDC_FILE_LIST), u8"C:\\α\\two.c"));
        one.Item(IDC_KEEP_CHECKED_OUT).Click();
        Retype(one.Item(IDC_COMMENT), L"\u03bc\u03af\u03b1 \U0001F600");
        two.Item(IDC_FILE_LIST).ClickRowCheckBox(RowOf(two.Item(IDC_FILE_LIST), u8"D:\\設定\\a.h"));
        two.Item(IDC_KEEP_CHECKED_OUT).Click();
        Retype(two.Item(IDC_COMMENT), L"\u6ce8\u91ca");
        // Closed in the other order than they opened.
        two.Item(IDOK).Click();
        one.Item(IDOK).Click();
    }
    firstThread.Join();
    secondThread.Join();
    ASSERT_TRUE(bothUp);

    EXPECT_FALSE(firstThread.hadQueue);
    EXPECT_FALSE(secondThread.hadQueue);
    EXPECT_EQ(first.result, CORVEL_OK);
    EXPECT_EQ(first.checked, (std::set<std::string>{u8"C:\\α\\one.c", u8"C:\\α\\three.c"}));
    EXPECT_EQ(first.keep, 1);
    EXPECT_EQ(first.newComment, u8"μία 😀");
    EXPECT_EQ(second.result, CORVEL_OK);
    EXPECT_EQ(second.checked, (std::set<std::string>{u8"D:\\設定\\b.h"}));
    EXPECT_EQ(second.keep, 0);
    EXPECT_EQ(second.newComment, u8"注释");
}

} // namespace
