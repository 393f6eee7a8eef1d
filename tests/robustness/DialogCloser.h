// Acts on a dialog the moment it is up, without waiting for timer ticks: a WH_CBT hook on this thread
// notices the first activation of each dialog window and hands the dialog over. The action usually posts
// user input (a click, a key), which the dialog's own modal loop then processes as it would a user's.
// A CBT hook runs only on window events; a hook on every sent message would itself cost Wine a round trip
// to its server per message, which dominates a dialog of many rows.
#ifndef CORVEL_TESTS_ROBUSTNESS_DIALOG_CLOSER_H
#define CORVEL_TESTS_ROBUSTNESS_DIALOG_CLOSER_H

#include <windows.h>

#include <array>
#include <functional>

namespace robust {

class WhenShown {
public:
    // `action` runs once for every dialog of this thread that comes up while this object lives, message
    // boxes and nested dialogs included. It must not allocate when an allocation fault is armed.
    explicit WhenShown(std::function<void(HWND dialog)> action);
    ~WhenShown();
    WhenShown(const WhenShown&) = delete;
    WhenShown& operator=(const WhenShown&) = delete;

    int DialogsShown() const { return m_shown; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);

    std::function<void(HWND)> m_action;
    HHOOK m_hook = nullptr;
    WhenShown* m_outer = nullptr;
    int m_shown = 0;
    // The dialogs already handed over, so that one activated again (after a message box or a nested
    // dialog closed) is not handed over twice. Fixed, so that the hook allocates nothing.
    std::array<HWND, 32> m_seen = {};
    size_t m_nextSeen = 0;
};

// Bounds a call that should close its dialogs by itself: when it has not returned within `timeoutMs`,
// every dialog of this thread is cancelled, and destroyed if it is still there after another period, so
// that a fault shows as a failed test rather than a hang.
class Watchdog {
public:
    explicit Watchdog(DWORD timeoutMs = 10000);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
    bool Fired() const { return m_fired; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    UINT_PTR m_timer = 0;
    bool m_fired = false;
    Watchdog* m_outer = nullptr;
};

enum class Close { Ok, Cancel, Escape };
const char* Name(Close how);

// Posts what a user does to close `dialog`: a click on OK, a click on Cancel, or Escape.
void PostClose(HWND dialog, Close how);

// A message box of this thread (the system's dialog with an icon and a text), not a dialog of ours.
bool IsMessageBox(HWND dialog);

// A window standing in for the host's main window: visible, top-level, on this thread.
class HostWindow {
public:
    HostWindow();
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    HWND hwnd() const { return m_hwnd; }

private:
    HWND m_hwnd = nullptr;
};

} // namespace robust

#endif // CORVEL_TESTS_ROBUSTNESS_DIALOG_CLOSER_H
