#include "UiDriver.h"

#include <gtest/gtest.h>

#include <cstring>

namespace ui {

namespace {

thread_local Script* t_runningScript = nullptr;

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

void PostMouseClick(HWND hwnd, POINT point) {
    const LPARAM where = MAKELPARAM(point.x, point.y);
    ::PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, where);
    ::PostMessageA(hwnd, WM_LBUTTONUP, 0, where);
}

POINT RowPoint(HWND list, int row, bool onCheckBox) {
    ::SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(row), 0); // scrolled into view, as a user would
    RECT rect = {};
    ::SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    const int box = ::GetSystemMetrics(SM_CXMENUCHECK);
    POINT point;
    point.x = onCheckBox ? rect.left + 2 + box / 2 : rect.left + box + 20;
    point.y = (rect.top + rect.bottom) / 2;
    return point;
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
        if (Item(id))
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
    std::vector<Row> rows;
    const int count = static_cast<int>(::SendMessageA(m_hwnd, LB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        const int length = static_cast<int>(::SendMessageA(m_hwnd, LB_GETTEXTLEN, index, 0));
        std::string text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
        ::SendMessageA(m_hwnd, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
        text.resize(std::strlen(text.c_str()));
        const bool checked = ::SendMessageA(m_hwnd, LB_GETITEMDATA, index, 0) != 0;
        const bool selected = ::SendMessageA(m_hwnd, LB_GETSEL, index, 0) > 0;
        rows.push_back(Row{text, checked, selected});
    }
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

void Window::ClickRowCheckBox(int row) const {
    PostMouseClick(m_hwnd, RowPoint(m_hwnd, row, true));
}
void Window::ClickRowText(int row) const {
    PostMouseClick(m_hwnd, RowPoint(m_hwnd, row, false));
}

void Window::Type(const std::string& text) const {
    for (unsigned char c : text)
        ::PostMessageA(m_hwnd, WM_CHAR, c, 1);
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

const char* const kDismissals[3] = {"cancel", "escape", "closebox"};

void Dismiss(Window dialog, const std::string& how) {
    if (how == "cancel")
        dialog.Item(IDCANCEL).Click();
    else if (how == "escape")
        Focus().Key(VK_ESCAPE);
    else if (how == "closebox")
        dialog.CloseBox();
    else
        ADD_FAILURE() << "no way of leaving a dialog called " << how;
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

// ---- Script ----------------------------------------------------------------------------------------

Script& Script::Then(std::string what, Step step) {
    m_steps.push_back(Entry{std::move(what), std::move(step)});
    return *this;
}

Script& Script::OnDialog(std::string caption, std::function<void(Window)> action) {
    std::string what = "dialog \"" + caption + "\"";
    return Then(what, [caption, action]() {
        Window dialog = ActiveDialog();
        if (!dialog || dialog.IsMessageBox() || (!caption.empty() && dialog.Text() != caption))
            return false;
        action(dialog);
        return true;
    });
}

Script& Script::OnMessageBox(std::function<void(Window)> action) {
    return Then("message box", [action]() {
        Window box = ActiveDialog();
        if (!box.IsMessageBox())
            return false;
        action(box);
        return true;
    });
}

void CALLBACK Script::OnTick(HWND, UINT, UINT_PTR, DWORD) {
    if (t_runningScript)
        t_runningScript->Tick();
}

void Script::Tick() {
    if (m_inTick)
        return;
    m_inTick = true;
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

} // namespace ui
