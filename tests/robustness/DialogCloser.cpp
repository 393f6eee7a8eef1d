#include "DialogCloser.h"

#include <cstring>

namespace robust {

namespace {

thread_local WhenShown* t_current = nullptr;
thread_local Watchdog* t_watchdog = nullptr;

bool IsDialogWindow(HWND hwnd) {
    char name[16] = {};
    ::GetClassNameA(hwnd, name, sizeof name);
    return std::strcmp(name, "#32770") == 0;
}

} // namespace

WhenShown::WhenShown(std::function<void(HWND)> action) : m_action(std::move(action)), m_outer(t_current) {
    t_current = this;
    m_hook = ::SetWindowsHookExA(WH_CBT, &WhenShown::Hook, nullptr, ::GetCurrentThreadId());
}

WhenShown::~WhenShown() {
    if (m_hook)
        ::UnhookWindowsHookEx(m_hook);
    t_current = m_outer;
}

LRESULT CALLBACK WhenShown::Hook(int code, WPARAM wParam, LPARAM lParam) {
    WhenShown* self = t_current;
    HWND hwnd = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && self && IsDialogWindow(hwnd) &&
        !(::GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD)) {
        bool seen = false;
        for (HWND known : self->m_seen)
            seen = seen || known == hwnd;
        if (!seen) {
            self->m_seen[self->m_nextSeen++ % self->m_seen.size()] = hwnd;
            ++self->m_shown;
            self->m_action(hwnd);
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

Watchdog::Watchdog(DWORD timeoutMs) : m_outer(t_watchdog) {
    t_watchdog = this;
    m_timer = ::SetTimer(nullptr, 0, timeoutMs, &Watchdog::OnTimer);
}

Watchdog::~Watchdog() {
    ::KillTimer(nullptr, m_timer);
    t_watchdog = m_outer;
}

namespace {

// First as a user would; a dialog still there a period later, whose Cancel does nothing, is destroyed.
BOOL CALLBACK CancelDialog(HWND hwnd, LPARAM destroy) {
    if (IsDialogWindow(hwnd)) {
        if (destroy)
            ::DestroyWindow(hwnd);
        else
            ::PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
    }
    return TRUE;
}

} // namespace

void CALLBACK Watchdog::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (!t_watchdog)
        return;
    const bool again = t_watchdog->m_fired;
    t_watchdog->m_fired = true;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CancelDialog, again ? 1 : 0);
}

const char* Name(Close how) {
    switch (how) {
    case Close::Ok:
        return "OK";
    case Close::Cancel:
        return "Cancel";
    case Close::Escape:
        return "Escape";
    }
    return "?";
}

void PostClose(HWND dialog, Close how) {
    switch (how) {
    case Close::Ok:
        ::PostMessageA(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        break;
    case Close::Cancel:
        ::PostMessageA(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        break;
    case Close::Escape:
        // Through the dialog's loop (IsDialogMessage), as the key reaches it from the keyboard.
        ::PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 1);
        ::PostMessageA(dialog, WM_KEYUP, VK_ESCAPE, 1 | (1u << 30) | (1u << 31));
        break;
    }
}

bool IsMessageBox(HWND dialog) {
    // Wine's message box: its text in static 0xFFFF and its icon in static 0x0440 or 0x0014.
    return IsDialogWindow(dialog) && ::GetDlgItem(dialog, 0xFFFF) &&
           (::GetDlgItem(dialog, 0x0440) || ::GetDlgItem(dialog, 0x0014));
}

HostWindow::HostWindow() {
    m_hwnd = ::CreateWindowExA(0, "STATIC", "Host", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr, nullptr,
                               ::GetModuleHandleA(nullptr), nullptr);
    ::ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
}

HostWindow::~HostWindow() {
    if (m_hwnd)
        ::DestroyWindow(m_hwnd);
}

} // namespace robust
