// Drives the library's modal dialogs from the thread that called an export, as a user would.
//
// A thread timer keeps firing inside every modal loop of this thread (the dialog's own, a message box's,
// the file dialog's). On each tick the script runs its current step; a step that is not ready yet (the
// window it waits for is not open) says so and is tried again on the next tick. User input is posted,
// so that it passes through the dialog's own message loop (IsDialogMessage: Enter, Escape, Tab,
// mnemonics) and so that an action that opens a nested modal loop does not block the driver. Every wait
// is bounded: a step that is not done in time fails the test and everything still open is cancelled,
// so a failing test never leaves the suite hanging.
//
// WhenShown acts on each dialog the moment it comes up, without waiting for a tick: a WH_CBT hook notices
// its first activation. The endurance and fault suites close thousands of dialogs that way; a hook on
// every sent message would cost Wine a round trip to its server per message instead.
#ifndef CORVEL_TESTS_UI_DRIVER_H
#define CORVEL_TESTS_UI_DRIVER_H

#include "NoCopy.h"
#include <windows.h>

#include <array>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace ui {

struct Row {
    std::string text;
    bool checked;
    bool selected;
};

// A line of a popup menu; a separator has no text.
struct MenuItem {
    std::string text;
    bool enabled;
    bool operator==(const MenuItem& other) const { return text == other.text && enabled == other.enabled; }
    friend void PrintTo(const MenuItem& item, std::ostream* out) {
        *out << '"' << item.text << '"' << (item.enabled ? "" : " (disabled)");
    }
};

// A window on screen, seen as a user sees it.
class Window {
public:
    explicit Window(HWND hwnd = nullptr) : m_hwnd(hwnd) {}
    HWND hwnd() const { return m_hwnd; }
    explicit operator bool() const { return m_hwnd != nullptr; }

    std::string Text() const;
    Window Item(int id) const; // a control of a dialog
    bool Enabled() const;
    bool Visible() const;
    int Id() const;
    int ButtonCheck() const;
    bool IsMessageBox() const;
    // Text and icon of a message box.
    std::string MessageText() const;
    bool HasIcon(LPCSTR systemIcon) const;

    // List box rows, their check marks and selection.
    std::vector<Row> Rows() const;
    int HorizontalExtent() const;
    int Caret() const;
    // The row is wholly in the list's view.
    bool RowInView(int row) const;
    // The screen point a user would aim at: the centre of a row's check box, or a point of its text.
    POINT RowPoint(int row, bool onCheckBox) const;
    // The lines of a popup menu window.
    std::vector<MenuItem> MenuItems() const;
    // The text a tooltip window shows for the tool that is window `tool` itself.
    std::string ToolTipText(Window tool) const;

    // Posted user input.
    void Click() const;                   // a push button or check box, as a mouse click does
    void ClickRowCheckBox(int row) const; // the check box in front of a list row
    void ClickRowText(int row) const;     // the text of a list row
    void RightClickRow(int row) const;    // the right mouse button on a list row's text
    void RestMouseOnRow(int row) const;   // the mouse moved onto a row's text and left there
    // Shift+F10 to this window: Shift stays down until the script's next tick, when the key is in.
    void ShiftKey(UINT virtualKey) const;
    void Type(const std::string& text) const;
    // Selects the whole text of an edit box and types over it; an empty text is a Backspace.
    void Retype(const std::string& text) const;
    void Key(UINT virtualKey) const; // WM_KEYDOWN and WM_KEYUP to this window
    void AltKey(char letter) const;  // a mnemonic, Alt held
    void CloseBox() const;           // the caption's close box

private:
    HWND m_hwnd;
};

// The texts of the rows, of the checked rows only, and the index of the row with `text` (-1, and a test
// failure, when there is none).
std::vector<std::string> RowTexts(const std::vector<Row>& rows);
std::vector<std::string> CheckedRowTexts(const std::vector<Row>& rows);
int FindRow(const std::vector<Row>& rows, const std::string& text);

// The ways a user closes a dialog: the OK or Cancel button, the Escape key (to the focused control, or
// to the dialog while nothing in it has the focus) or the caption's close box.
enum class Close { Ok, Cancel, Escape, CloseBox };
const char* Name(Close how);
// Every way of leaving without OK, for tables.
constexpr std::array<Close, 3> kWithoutOk = {Close::Cancel, Close::Escape, Close::CloseBox};
// Posts what the user does.
void PostClose(Window dialog, Close how);

// The dialog (or message box) that is active on this thread: the newest enabled one.
Window ActiveDialog();
// The popup menu open on this thread, and a visible tooltip of this thread; none when there is none.
Window PopupMenu();
Window VisibleToolTip();
// The clipboard's CF_TEXT.
std::string ClipboardText();
// The control that has the keyboard focus on this thread.
Window Focus();
// All visible dialog windows of this thread, newest first.
std::vector<Window> ThreadDialogs();

class Script {
public:
    using Step = std::function<bool()>; // true: done; false: not ready yet, try again

    // Adds a step; `what` names it in failure messages.
    Script& Then(std::string what, Step step);
    // A step that runs once on the active dialog when its caption is `caption` (any dialog if empty).
    Script& OnDialog(std::string caption, std::function<void(Window)> action);
    // Waits until the active dialog is a message box, then hands it over.
    Script& OnMessageBox(std::function<void(Window)> action);
    // Waits until a popup menu is open (in its own modal loop), then hands it over.
    Script& OnMenu(std::function<void(Window)> action);
    // Waits until `find` gives a window, then hands it over.
    Script& OnWindow(std::string what, std::function<Window()> find, std::function<void(Window)> action);

    // Plays the steps while `call` (which opens the modal dialog) runs, then checks they all ran.
    void Run(const std::function<void()>& call, DWORD stepTimeoutMs = 10000);

private:
    struct Entry {
        std::string what;
        Step step;
    };
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
    void Tick();
    void CancelEverything();

    std::vector<Entry> m_steps;
    size_t m_next = 0;
    DWORD m_stepStarted = 0;
    DWORD m_stepTimeoutMs = 0;
    bool m_timedOut = false;
    bool m_inTick = false;
};

// Runs `action` once for every dialog of this thread that comes up while this object lives, message
// boxes and nested dialogs included. The action must not allocate when an allocation fault is armed.
class WhenShown : NoCopy {
public:
    explicit WhenShown(std::function<void(Window dialog)> action);
    ~WhenShown();

    int DialogsShown() const { return m_shown; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);

    std::function<void(Window)> m_action;
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
class Watchdog : NoCopy {
public:
    explicit Watchdog(DWORD timeoutMs = 10000);
    ~Watchdog();
    bool Fired() const { return m_fired; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    UINT_PTR m_timer = 0;
    bool m_fired = false;
    Watchdog* m_outer = nullptr;
};

// A window standing in for the host's main window: visible, top-level, on this thread.
class HostWindow : NoCopy {
public:
    HostWindow();
    ~HostWindow();
    HWND hwnd() const { return m_hwnd; }

private:
    HWND m_hwnd = nullptr;
};

} // namespace ui

#endif // CORVEL_TESTS_UI_DRIVER_H
