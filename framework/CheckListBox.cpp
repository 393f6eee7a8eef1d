#include "CheckListBox.h"

#include <algorithm>

int CCheckListBox::CheckBoxSize() { return ::GetSystemMetrics(SM_CXMENUCHECK); }

int CCheckListBox::GetTextOffset() const { return kMargin + CheckBoxSize() + kMargin; }

void CCheckListBox::SetCheck(int index, int nCheck) {
    if (SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(index), nCheck ? 1 : 0) == LB_ERR)
        return;
    RECT rect;
    if (GetItemRect(index, &rect) != LB_ERR)
        ::InvalidateRect(m_hWnd, &rect, FALSE);
}

int CCheckListBox::GetCheck(int index) const {
    const LRESULT data = SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(index));
    return data == LB_ERR ? 0 : (data ? 1 : 0);
}

void CCheckListBox::Toggle(int index) {
    if (index >= 0 && index < GetCount())
        SetCheck(index, GetCheck(index) ? 0 : 1);
}

void CCheckListBox::PreSubclassWindow() {
    // Rows tall enough for the check box as well as for the text of the list's font.
    HDC hDC = AfxGetDC(m_hWnd);
    HGDIOBJ oldFont = ::SelectObject(hDC, reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    TEXTMETRICA metrics = {};
    ::GetTextMetricsA(hDC, &metrics);
    ::SelectObject(hDC, oldFont);
    AfxReleaseDC(m_hWnd, hDC);
    const int height = std::max<int>(metrics.tmHeight, CheckBoxSize()) + 2;
    SendMessage(LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0));
}

int CCheckListBox::CheckBoxHitTest(POINT point) const {
    const LRESULT hit = SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
    if (HIWORD(hit)) // outside the rows
        return -1;
    const int index = LOWORD(hit);
    RECT rect;
    if (GetItemRect(index, &rect) == LB_ERR || point.y < rect.top || point.y >= rect.bottom)
        return -1;
    // The list scrolls sideways by moving the origin it paints at, so its rows keep their left edge.
    const int x = point.x + ::GetScrollPos(m_hWnd, SB_HORZ);
    return x >= rect.left && x < rect.left + GetTextOffset() ? index : -1;
}

LRESULT CCheckListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        const int index = CheckBoxHitTest(point);
        if (index < 0)
            break;
        // A click on the check box toggles the mark and moves the focus there, not the selection.
        if (::GetFocus() != m_hWnd)
            ::SetFocus(m_hWnd);
        SendMessage(LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
        Toggle(index);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            Toggle(static_cast<int>(SendMessage(LB_GETCARETINDEX)));
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == ' ') // already handled as a toggle; not a type-ahead search
            return 0;
        break;
    default:
        break;
    }
    return CListBox::WindowProc(message, wParam, lParam);
}

BOOL CCheckListBox::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* pResult) {
    if (message != WM_DRAWITEM)
        return FALSE;
    DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    *pResult = TRUE;
    return TRUE;
}

void CCheckListBox::DrawItem(const DRAWITEMSTRUCT& item) {
    HDC hDC = item.hDC;
    RECT row = item.rcItem;
    if (item.itemID == static_cast<UINT>(-1)) { // an empty list with the focus
        if (item.itemState & ODS_FOCUS)
            ::DrawFocusRect(hDC, &row);
        return;
    }
    const int index = static_cast<int>(item.itemID);

    // The check box column keeps the window colour; the text part shows the selection.
    RECT column = row;
    column.right = row.left + GetTextOffset();
    ::FillRect(hDC, &column, ::GetSysColorBrush(COLOR_WINDOW));
    const int box = CheckBoxSize();
    RECT boxRect;
    boxRect.left = row.left + kMargin;
    boxRect.top = row.top + (row.bottom - row.top - box) / 2;
    boxRect.right = boxRect.left + box;
    boxRect.bottom = boxRect.top + box;
    ::DrawFrameControl(hDC, &boxRect, DFC_BUTTON, DFCS_BUTTONCHECK | (GetCheck(index) ? DFCS_CHECKED : 0));

    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = !::IsWindowEnabled(m_hWnd);
    RECT textRect = row;
    textRect.left = column.right;
    const COLORREF oldBack = ::SetBkColor(hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const COLORREF oldText = ::SetTextColor(
        hDC, ::GetSysColor(disabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    CString text;
    GetText(index, text);
    TEXTMETRICA metrics = {};
    ::GetTextMetricsA(hDC, &metrics);
    const int y = textRect.top + (textRect.bottom - textRect.top - metrics.tmHeight) / 2;
    ::ExtTextOutA(hDC, textRect.left, y, ETO_OPAQUE | ETO_CLIPPED, &textRect, text, static_cast<UINT>(text.GetLength()),
                  nullptr);
    ::SetTextColor(hDC, oldText);
    ::SetBkColor(hDC, oldBack);
    if (item.itemState & ODS_FOCUS)
        ::DrawFocusRect(hDC, &textRect);
}
