#include "UiDriver.h"

#include "resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <cstring>

namespace ui {

namespace {

thread_local Script* t_runningScript = nullptr;
thread_local WhenShown* t_whenShown = nullptr;
thread_local Watchdog* t_watchdog = nullptr;
// Shift held by ShiftKey, let go at the next tick.
thread_local bool t_shiftHeld = false;

// Wine's message box keeps its text in this static; its icon in one of these two.
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kMessageBoxIconIds[] = {0x0440, 0x0014};

bool IsDialogClass(HWND hwnd) {
    char name[16] = {};
    ::GetClassNameA(hwnd, name, sizeof name);
    return std::strcmp(name, "#32770") == 0;
}

BOOL CALLBACK CollectDialog(HWND hwnd, LPARAM context) {
    if (::IsWindowVisible(hwnd) && IsDialogClass(hwnd))
        reinterpret_cast<std::vector<Window>*>(context)->push_back(Window(hwnd));
    return TRUE;
}

void PostMouse(HWND hwnd, UINT down, UINT up, WPARAM buttons, POINT point) {
    const LPARAM where = MAKELPARAM(point.x, point.y);
    ::PostMessageA(hwnd, down, buttons, where);
    ::PostMessageA(hwnd, up, 0, where);
}

void SetShift(bool down) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = keys[VK_LSHIFT] = down ? 0x80 : 0;
    ::SetKeyboardState(keys);
}

BOOL CALLBACK CollectClass(HWND hwnd, LPARAM context) {
    auto* found = reinterpret_cast<std::pair<const char*, HWND>*>(context);
    char name[32] = {};
    ::GetClassNameA(hwnd, name, sizeof name);
    if (::IsWindowVisible(hwnd) && lstrcmpiA(name, found->first) == 0) {
        found->second = hwnd;
        return FALSE;
    }
    return TRUE;
}

Window VisibleOfClass(const char* className) {
    std::pair<const char*, HWND> found(className, nullptr);
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectClass, reinterpret_cast<LPARAM>(&found));
    return Window(found.second);
}

} // namespace

std::string Window::Text() const {
    const int length = ::GetWindowTextLengthA(m_hwnd);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = ::GetWindowTextA(m_hwnd, &text[0], length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

Window Window::Item(int id) const {
    return Window(::GetDlgItem(m_hwnd, id));
}
bool Window::Enabled() const {
    return ::IsWindowEnabled(m_hwnd) != FALSE;
}
bool Window::Visible() const {
    return ::IsWindowVisible(m_hwnd) != FALSE;
}
int Window::Id() const {
    return ::GetDlgCtrlID(m_hwnd);
}
int Window::ButtonCheck() const {
    return static_cast<int>(::SendMessageA(m_hwnd, BM_GETCHECK, 0, 0));
}

bool Window::IsMessageBox() const {
    // Labels of ordinary dialogs also have the id 0xFFFF; only a message box has the icon control too.
    if (!m_hwnd || !IsDialogClass(m_hwnd) || !Item(kMessageBoxTextId))
        return false;
    for (int id : kMessageBoxIconIds)
        if (Window icon = Item(id))
            if ((::GetWindowLongA(icon.hwnd(), GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                return true;
    return false;
}

std::string Window::MessageText() const {
    return Item(kMessageBoxTextId).Text();
}

bool Window::HasIcon(LPCSTR systemIcon) const {
    HICON expected = ::LoadIconA(nullptr, systemIcon);
    for (int id : kMessageBoxIconIds)
        if (Window icon = Item(id))
            if (reinterpret_cast<HICON>(::SendMessageA(icon.hwnd(), STM_GETICON, 0, 0)) == expected)
                return true;
    return false;
}

std::vector<Row> Window::Rows() const {
    // The marks as assistive technology reads them, through the list's accessible object.
    IAccessible* object = nullptr;
    if (::AccessibleObjectFromWindow(m_hwnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                     reinterpret_cast<void**>(&object)) != S_OK ||
        !object) {
        ADD_FAILURE() << "the list has no accessible object";
        return {};
    }
    std::vector<Row> rows;
    const int count = static_cast<int>(::SendMessageA(m_hwnd, LB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        const int length = static_cast<int>(::SendMessageA(m_hwnd, LB_GETTEXTLEN, index, 0));
        std::string text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
        ::SendMessageA(m_hwnd, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
        text.resize(std::strlen(text.c_str()));
        VARIANT child, state;
        child.vt = VT_I4;
        child.lVal = index + 1;
        ::VariantInit(&state);
        const bool checked = object->get_accState(child, &state) == S_OK && state.vt == VT_I4 &&
                             (state.lVal & STATE_SYSTEM_CHECKED) != 0;
        const bool selected = ::SendMessageA(m_hwnd, LB_GETSEL, index, 0) > 0;
        rows.push_back(Row{text, checked, selected});
    }
    object->Release();
    return rows;
}

int Window::HorizontalExtent() const {
    return static_cast<int>(::SendMessageA(m_hwnd, LB_GETHORIZONTALEXTENT, 0, 0));
}

void Window::Click() const {
    // A user cannot click what is disabled or hidden.
    if (Enabled() && Visible())
        ::PostMessageA(m_hwnd, BM_CLICK, 0, 0);
}

POINT Window::RowPoint(int row, bool onCheckBox) const {
    ::SendMessageA(m_hwnd, LB_SETTOPINDEX, static_cast<WPARAM>(row),
                   0); // scrolled into view, as a user would
    RECT rect = {};
    ::SendMessageA(m_hwnd, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    // The check box is about as wide as the row is high and stands at its start, after a narrow margin:
    // half a row in is inside it at every size, and the text starts after it.
    const int height = rect.bottom - rect.top;
    POINT point;
    point.x = onCheckBox ? rect.left + height / 2 : rect.left + height + 20;
    point.y = (rect.top + rect.bottom) / 2;
    return point;
}

void Window::ClickRowCheckBox(int row) const {
    PostMouse(m_hwnd, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, RowPoint(row, true));
}
void Window::ClickRowText(int row) const {
    PostMouse(m_hwnd, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, RowPoint(row, false));
}
void Window::RightClickRow(int row) const {
    PostMouse(m_hwnd, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, RowPoint(row, false));
}

void Window::RestMouseOnRow(int row) const {
    const POINT point = RowPoint(row, false);
    POINT screen = point;
    ::ClientToScreen(m_hwnd, &screen);
    ::SetCursorPos(screen.x, screen.y); // where the system looks when it asks whether the mouse left
    ::PostMessageA(m_hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
}

void Window::ShiftKey(UINT virtualKey) const {
    SetShift(true);
    t_shiftHeld = true;
    const bool system = virtualKey == VK_F10;
    ::PostMessageA(m_hwnd, system ? WM_SYSKEYDOWN : WM_KEYDOWN, virtualKey, 1);
    ::PostMessageA(m_hwnd, system ? WM_SYSKEYUP : WM_KEYUP, virtualKey, 1 | (1u << 30) | (1u << 31));
}

int Window::Caret() const {
    return static_cast<int>(::SendMessageA(m_hwnd, LB_GETCARETINDEX, 0, 0));
}

bool Window::RowInView(int row) const {
    RECT rect = {}, client = {};
    ::GetClientRect(m_hwnd, &client);
    if (::SendMessageA(m_hwnd, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect)) ==
        LB_ERR)
        return false;
    return rect.top >= client.top && rect.bottom <= client.bottom;
}

std::vector<MenuItem> Window::MenuItems() const {
    std::vector<MenuItem> items;
    HMENU menu = reinterpret_cast<HMENU>(::SendMessageA(m_hwnd, MN_GETHMENU, 0, 0));
    const int count = menu ? ::GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        const UINT state = ::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        const bool separator = (state & MF_SEPARATOR) != 0;
        items.push_back(
            MenuItem{separator ? "" : text, !separator && (state & (MF_GRAYED | MF_DISABLED)) == 0});
    }
    return items;
}

std::string Window::ToolTipText(Window tool) const {
    std::wstring text(1100, L'\0'); // the tooltip copies at most 1,024 characters
    TTTOOLINFOW info = {};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND;
    info.hwnd = tool.hwnd();
    info.uId = reinterpret_cast<UINT_PTR>(tool.hwnd());
    info.lpszText = &text[0];
    ::SendMessageW(m_hwnd, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&info));
    text.resize(std::wcslen(text.c_str()));
    std::string narrow(text.size() * 2 + 1, '\0');
    const int length = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()),
                                             &narrow[0], static_cast<int>(narrow.size()), nullptr, nullptr);
    narrow.resize(static_cast<size_t>(length > 0 ? length : 0));
    return narrow;
}

void Window::Type(const std::string& text) const {
    for (unsigned char c : text)
        ::PostMessageA(m_hwnd, WM_CHAR, c, 1);
}

void Window::Retype(const std::string& text) const {
    ::SendMessageA(m_hwnd, EM_SETSEL, 0, -1);
    Type(text.empty() ? std::string("\b") : text);
}

void Window::Key(UINT virtualKey) const {
    ::PostMessageA(m_hwnd, WM_KEYDOWN, virtualKey, 1);
    ::PostMessageA(m_hwnd, WM_KEYUP, virtualKey, 1 | (1u << 30) | (1u << 31));
}

void Window::AltKey(char letter) const {
    ::PostMessageA(m_hwnd, WM_SYSCHAR, static_cast<unsigned char>(letter), 1 | (1u << 29));
}

void Window::CloseBox() const {
    ::PostMessageA(m_hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

std::vector<std::string> RowTexts(const std::vector<Row>& rows) {
    std::vector<std::string> texts;
    for (const Row& row : rows)
        texts.push_back(row.text);
    return texts;
}

std::vector<std::string> CheckedRowTexts(const std::vector<Row>& rows) {
    std::vector<std::string> texts;
    for (const Row& row : rows)
        if (row.checked)
            texts.push_back(row.text);
    return texts;
}

int FindRow(const std::vector<Row>& rows, const std::string& text) {
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].text == text)
            return static_cast<int>(i);
    ADD_FAILURE() << "no row " << text;
    return -1;
}

const char* Name(Close how) {
    switch (how) {
    case Close::Ok:
        return "Ok";
    case Close::Cancel:
        return "Cancel";
    case Close::Escape:
        return "Escape";
    case Close::CloseBox:
        return "CloseBox";
    }
    return "?";
}

void PostClose(Window dialog, Close how) {
    switch (how) {
    case Close::Ok:
    case Close::Cancel:
        // Posted whatever the button's state: a dialog just coming up may not be visible yet.
        ::PostMessageA(::GetDlgItem(dialog.hwnd(), how == Close::Ok ? IDOK : IDCANCEL), BM_CLICK, 0, 0);
        break;
    case Close::Escape: {
        // Through the dialog's loop (IsDialogMessage), as the key reaches it from the keyboard.
        HWND focus = ::GetFocus();
        const bool inDialog = focus && (focus == dialog.hwnd() || ::IsChild(dialog.hwnd(), focus));
        Window(inDialog ? focus : dialog.hwnd()).Key(VK_ESCAPE);
        break;
    }
    case Close::CloseBox:
        dialog.CloseBox();
        break;
    }
}

std::vector<Window> ThreadDialogs() {
    std::vector<Window> dialogs;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

Window ActiveDialog() {
    for (const Window& dialog : ThreadDialogs())
        if (dialog.Enabled())
            return dialog;
    return Window();
}

Window Focus() {
    return Window(::GetFocus());
}

Window PopupMenu() {
    return VisibleOfClass("#32768");
}

Window VisibleToolTip() {
    return VisibleOfClass(TOOLTIPS_CLASSA);
}

std::string ClipboardText() {
    std::string text;
    if (!::OpenClipboard(nullptr))
        return text;
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        if (const char* locked = static_cast<const char*>(::GlobalLock(data))) {
            text = locked;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

// ---- Script ----------------------------------------------------------------------------------------

Script& Script::Then(std::string what, Step step) {
    m_steps.push_back(Entry{std::move(what), std::move(step)});
    return *this;
}

Script& Script::OnWindow(std::string what, std::function<Window()> find, std::function<void(Window)> action) {
    return Then(std::move(what), [find, action]() {
        Window window = find();
        if (!window)
            return false;
        action(window);
        return true;
    });
}

Script& Script::OnDialog(std::string caption, std::function<void(Window)> action) {
    return OnWindow(
        "dialog \"" + caption + "\"",
        [caption]() {
            Window dialog = ActiveDialog();
            // A long file list is complete once the line that counts its rows has gone.
            const bool wanted = dialog && !dialog.IsMessageBox() &&
                                (caption.empty() || dialog.Text() == caption) &&
                                !dialog.Item(IDC_FILL_PROGRESS);
            return wanted ? dialog : Window();
        },
        action);
}

Script& Script::OnMenu(std::function<void(Window)> action) {
    return OnWindow("popup menu", &PopupMenu, action);
}

Script& Script::OnMessageBox(std::function<void(Window)> action) {
    return OnWindow(
        "message box",
        []() {
            Window box = ActiveDialog();
            return box.IsMessageBox() ? box : Window();
        },
        action);
}

void CALLBACK Script::OnTick(HWND, UINT, UINT_PTR, DWORD) {
    if (t_runningScript)
        t_runningScript->Tick();
}

void Script::Tick() {
    if (m_inTick)
        return;
    m_inTick = true;
    if (t_shiftHeld) { // the key that needed it has been handled by now
        SetShift(false);
        t_shiftHeld = false;
    }
    if (m_timedOut) {
        CancelEverything();
    } else if (m_next < m_steps.size()) {
        if (m_steps[m_next].step()) {
            ++m_next;
            m_stepStarted = ::GetTickCount();
        } else if (::GetTickCount() - m_stepStarted > m_stepTimeoutMs) {
            ADD_FAILURE() << "timed out waiting for step " << m_next + 1 << ": " << m_steps[m_next].what
                          << " (active window: \"" << ActiveDialog().Text() << "\")";
            m_timedOut = true;
            CancelEverything();
        }
    }
    m_inTick = false;
}

void Script::CancelEverything() {
    ::EndMenu(); // a popup menu's own loop would otherwise keep the dialogs from closing
    for (const Window& dialog : ThreadDialogs())
        ::PostMessageA(dialog.hwnd(), WM_COMMAND, IDCANCEL, 0);
}

void Script::Run(const std::function<void()>& call, DWORD stepTimeoutMs) {
    m_next = 0;
    m_timedOut = false;
    m_stepTimeoutMs = stepTimeoutMs;
    m_stepStarted = ::GetTickCount();
    Script* outer = t_runningScript;
    t_runningScript = this;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 15, &Script::OnTick);
    try {
        call();
    } catch (...) {
        ::KillTimer(nullptr, timer);
        t_runningScript = outer;
        throw;
    }
    ::KillTimer(nullptr, timer);
    t_runningScript = outer;
    if (!m_timedOut && m_next < m_steps.size())
        ADD_FAILURE() << "the dialog closed before step " << m_next + 1 << ": " << m_steps[m_next].what;
}

// ---- Acting on dialogs as they come up -------------------------------------------------------------

WhenShown::WhenShown(std::function<void(Window)> action) : m_action(std::move(action)), m_outer(t_whenShown) {
    t_whenShown = this;
    m_hook = ::SetWindowsHookExA(WH_CBT, &WhenShown::Hook, nullptr, ::GetCurrentThreadId());
}

WhenShown::~WhenShown() {
    if (m_hook)
        ::UnhookWindowsHookEx(m_hook);
    t_whenShown = m_outer;
}

LRESULT CALLBACK WhenShown::Hook(int code, WPARAM wParam, LPARAM lParam) {
    WhenShown* self = t_whenShown;
    HWND hwnd = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && self && IsDialogClass(hwnd) &&
        !(::GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD)) {
        bool seen = false;
        for (HWND known : self->m_seen)
            seen = seen || known == hwnd;
        if (!seen) {
            self->m_seen[self->m_nextSeen++ % self->m_seen.size()] = hwnd;
            ++self->m_shown;
            self->m_action(Window(hwnd));
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
    if (IsDialogClass(hwnd)) {
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

HostWindow::HostWindow() {
    m_hwnd = ::CreateWindowExA(0, "STATIC", "Host", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr, nullptr,
                               ::GetModuleHandleA(nullptr), nullptr);
    ::ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
}

HostWindow::~HostWindow() {
    if (m_hwnd)
        ::DestroyWindow(m_hwnd);
}

} // namespace ui
