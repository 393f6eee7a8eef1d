#include "CheckListToolTip.h"

#include "CheckListBox.h"
#include "AfxDarkAppearance.h"
#include "HiddenCharacters.h"
#include "resource.h"

#include <commctrl.h>

#include <string>

namespace {

// Not one of the list box's own timers (it scrolls with one while the mouse drags past its edge).
constexpr UINT_PTR kHoverTimer = 0xC0E1;

TTTOOLINFOW ToolFor(HWND list) {
    TTTOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_IDISHWND;
    tool.hwnd = list;
    tool.uId = reinterpret_cast<UINT_PTR>(list);
    return tool;
}

// The width of a row's `text` as the list draws it.
int TextWidth(const CCheckListBox& list, const std::wstring& text) {
    HDC dc = ::GetDC(list.m_hWnd);
    if (!dc)
        return 0;
    HGDIOBJ oldFont = ::SelectObject(dc, list.GetFont());
    const int width = list.RowTextWidth(dc, text);
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(list.m_hWnd, dc);
    return width;
}

} // namespace

bool CCheckListToolTip::Relay(CCheckListBox& list, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEMOVE: {
        if (!m_trackingLeave) {
            TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, list.m_hWnd, 0};
            m_trackingLeave = ::TrackMouseEvent(&track) != FALSE;
        }
        const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        const int row = CheckListWindow::RowAt(list.m_hWnd, point);
        if (row == m_row)
            return false;
        Hide();
        m_row = row;
        if (row >= 0) {
            UINT hover = 400;
            ::SystemParametersInfoW(SPI_GETMOUSEHOVERTIME, 0, &hover, 0);
            ::SetTimer(list.m_hWnd, kHoverTimer, hover, nullptr);
        } else {
            ::KillTimer(list.m_hWnd, kHoverTimer);
        }
        return false;
    }
    case WM_TIMER:
        if (wParam != kHoverTimer)
            return false;
        ::KillTimer(list.m_hWnd, kHoverTimer);
        if (m_row >= 0)
            Show(list, m_row);
        return true;
    case WM_MOUSELEAVE:
        m_trackingLeave = false;
        m_row = -1;
        Stop(list.m_hWnd);
        return false;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_CONTEXTMENU:
        // The row under the mouse is shown again only once the mouse moves to another row.
        Stop(list.m_hWnd);
        return false;
    default:
        return false;
    }
}

void CCheckListToolTip::Stop(HWND list) {
    ::KillTimer(list, kHoverTimer);
    Hide();
}

void CCheckListToolTip::Show(CCheckListBox& list, int row) {
    std::wstring text;
    RECT rect, client;
    if (!list.GetRowText(row, text) || text.empty() ||
        !CheckListWindow::GetRowRect(list.m_hWnd, row, &rect) || !::GetClientRect(list.m_hWnd, &client))
        return;
    const LONG textLeft = rect.left + list.GetTextOffset();
    const LONG textRight = textLeft + TextWidth(list, text);
    // A path with hidden or direction-changing characters always shows what it holds, in words.
    const std::wstring warning = WarnOfHiddenCharacters(text, IDS_HIDDEN_CONTAINS);
    if (warning.empty() && textLeft >= client.left && textRight <= client.right)
        return; // the whole text is in view
    if (!Create(list))
        return;
    if (!warning.empty())
        text = ShowHiddenCharacters(text) + L"\r\n" + warning;
    TTTOOLINFOW tool = ToolFor(list.m_hWnd);
    tool.lpszText = &text[0];
    ::SendMessageW(m_tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    // Over the row's text, or from the list's left edge when the start of the text is scrolled away.
    RECT place = {textLeft > client.left ? textLeft : client.left, rect.top, textRight, rect.bottom};
    ::MapWindowPoints(list.m_hWnd, nullptr, reinterpret_cast<POINT*>(&place), 2);
    ::SendMessageW(m_tip, TTM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&place));
    ::SendMessageW(m_tip, TTM_TRACKPOSITION, 0, MAKELPARAM(place.left, place.top));
    ::SendMessageW(m_tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    m_shown = true;
}

bool CCheckListToolTip::Create(const CCheckListBox& box) {
    if (m_tip)
        return true;
    HWND list = box.m_hWnd;
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&classes);
    // Mirrored with a mirrored list; the path in it still reads left to right.
    const DWORD mirrored = static_cast<DWORD>(::GetWindowLongPtrW(list, GWL_EXSTYLE) & WS_EX_LAYOUTRTL);
    m_tip =
        ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | mirrored, TOOLTIPS_CLASSW, nullptr,
                          WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0, list, nullptr,
                          reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(list, GWLP_HINSTANCE)), nullptr);
    if (!m_tip)
        return false;
    m_list = list;
    if (const CDarkAppearance* dark = CDarkAppearance::Of(list))
        dark->ApplyToToolTip(m_tip);
    TTTOOLINFOW tool = ToolFor(list);
    tool.lpszText = const_cast<wchar_t*>(L"");
    ::SendMessageW(m_tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // In the list's font, so the tip reads as the row itself; paths wider than the screen wrap.
    ::SendMessageW(m_tip, WM_SETFONT, reinterpret_cast<WPARAM>(box.GetFont()), FALSE);
    ::SendMessageW(m_tip, TTM_SETMAXTIPWIDTH, 0, ::GetSystemMetrics(SM_CXSCREEN));
    return true;
}

void CCheckListToolTip::Hide() {
    if (!m_tip || !m_shown)
        return;
    TTTOOLINFOW tool = ToolFor(m_list);
    ::SendMessageW(m_tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    m_shown = false;
}

void CCheckListToolTip::Destroy() {
    if (m_tip)
        ::DestroyWindow(m_tip);
    m_tip = nullptr;
    m_list = nullptr;
    m_shown = false;
    m_row = -1;
    m_trackingLeave = false;
}
