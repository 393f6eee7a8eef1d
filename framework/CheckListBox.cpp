#include "CheckListBox.h"

#include "CheckListAccessible.h"

#include <oleacc.h>

#include <algorithm>

int CCheckListBox::CheckBoxSize() {
    return ::GetSystemMetrics(SM_CXMENUCHECK);
}

int CCheckListBox::GetTextOffset() const {
    return kMargin + CheckBoxSize() + kMargin;
}

CCheckListBox::~CCheckListBox() {
    ReleaseAccessible();
}

void CCheckListBox::SetCheck(int index, int nCheck) {
    const LRESULT mark = nCheck ? 1 : 0;
    if (!m_redraw) {
        // A bulk change with drawing off (a fill, Select All): no repaint per row. The marks that change
        // on screen are announced once drawing is back on; a fill, not yet shown, pays nothing for it.
        if (m_quietOnScreen && SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(index)) != mark &&
            SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(index), mark) != LB_ERR) {
            m_repaintWhenRedrawn = true;
            m_quietChanges.push_back(index);
        } else
            SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(index), mark);
        return;
    }
    // Assistive technology hears of changes on screen only.
    const bool announce = ::IsWindowVisible(m_hWnd);
    if (announce && SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(index)) == mark)
        return;
    if (SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(index), mark) == LB_ERR)
        return;
    RECT rect;
    if (GetItemRect(index, &rect) != LB_ERR)
        ::InvalidateRect(m_hWnd, &rect, FALSE);
    if (announce)
        ::NotifyWinEvent(EVENT_OBJECT_STATECHANGE, m_hWnd, OBJID_CLIENT, index + 1);
}

void CCheckListBox::SetCheckRange(int first, int end, int nCheck) {
    if (m_redraw || !m_quietOnScreen) {
        for (int index = first; index < end; ++index)
            SetCheck(index, nCheck);
        return;
    }
    // Only the rows in view are announced, so only they are remembered.
    const LRESULT mark = nCheck ? 1 : 0;
    const int top = static_cast<int>(SendMessage(LB_GETTOPINDEX));
    const int inView = top + RowsInView();
    for (int index = first; index < end; ++index) {
        if (SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(index)) == mark)
            continue;
        if (SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(index), mark) == LB_ERR)
            continue;
        m_repaintWhenRedrawn = true;
        if (index >= top && index < inView)
            m_quietChanges.push_back(index);
    }
}

int CCheckListBox::RowsInView() const {
    const LRESULT height = SendMessage(LB_GETITEMHEIGHT, 0);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    return height > 0 ? static_cast<int>((client.bottom - client.top) / height + 1) : 0;
}

void CCheckListBox::AnnounceQuietChanges() {
    if (!m_repaintWhenRedrawn)
        return;
    m_repaintWhenRedrawn = false;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    // Only the rows in view: a screen reader asks for the others when it gets there.
    const int top = static_cast<int>(SendMessage(LB_GETTOPINDEX));
    const int visible = RowsInView();
    for (int index : m_quietChanges)
        if (index >= top && index < top + visible)
            ::NotifyWinEvent(EVENT_OBJECT_STATECHANGE, m_hWnd, OBJID_CLIENT, index + 1);
    m_quietChanges.clear();
}

int CCheckListBox::GetCheck(int index) const {
    const LRESULT data = SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(index));
    return data == LB_ERR ? 0 : (data ? 1 : 0);
}

BOOL CCheckListBox::Toggle(int index) {
    if (index < 0 || index >= GetCount())
        return FALSE;
    SetCheck(index, GetCheck(index) ? 0 : 1);
    return TRUE;
}

int CCheckListBox::RowAt(HWND list, POINT point) {
    RECT client;
    if (!::GetClientRect(list, &client) || !::PtInRect(&client, point))
        return -1;
    // LB_ITEMFROMPOINT gives only 16 bits of the index; the rows all have one height, so count them.
    const LRESULT height = ::SendMessageA(list, LB_GETITEMHEIGHT, 0, 0);
    if (height == LB_ERR || height <= 0)
        return -1;
    const LRESULT top = ::SendMessageA(list, LB_GETTOPINDEX, 0, 0);
    const int index = static_cast<int>(top + (point.y - client.top) / height);
    RECT rect;
    if (top == LB_ERR || index >= ::SendMessageA(list, LB_GETCOUNT, 0, 0) ||
        !GetRowRect(list, index, &rect) || point.y < rect.top || point.y >= rect.bottom)
        return -1;
    return index;
}

BOOL CCheckListBox::GetRowRect(HWND list, int index, RECT* rect) {
    if (::SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rect)) ==
        LB_ERR)
        return FALSE;
    // The list scrolls sideways by moving the origin it paints at, so its rows keep their left edge.
    ::OffsetRect(rect, -::GetScrollPos(list, SB_HORZ), 0);
    return TRUE;
}

UINT CCheckListBox::RowActionMessage() {
    static const UINT message = ::RegisterWindowMessageA("Corvel.CheckList.RowAction");
    return message;
}

LRESULT CCheckListBox::OnRowAction(WPARAM action, int index) {
    // What a user could not do to a disabled list, its accessible object cannot either.
    if (!IsWindowEnabled() || index < 0 || index >= GetCount())
        return FALSE;
    switch (action) {
    case kToggleRow:
        return Toggle(index);
    case kFocusRow:
        ::SetFocus(m_hWnd);
        SendMessage(LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
        return ::GetFocus() == m_hWnd;
    default:
        return FALSE;
    }
}

LRESULT CCheckListBox::OnGetObject(WPARAM wParam, LPARAM lParam) {
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT))
        return CListBox::WindowProc(WM_GETOBJECT, wParam, lParam);
    if (!m_pAccessible)
        m_pAccessible = CCheckListAccessible::Create(m_hWnd);
    if (m_pAccessible) {
        const LRESULT result =
            ::LresultFromObject(IID_IAccessible, wParam, static_cast<IAccessible*>(m_pAccessible));
        if (!FAILED(static_cast<HRESULT>(result)))
            return result;
    }
    // Without our object the system's plain list still reads the row texts.
    return CListBox::WindowProc(WM_GETOBJECT, wParam, lParam);
}

void CCheckListBox::ReleaseAccessible() {
    if (!m_pAccessible)
        return;
    m_pAccessible->Disconnect();
    // Proxies that clients still hold now fail instead of reaching the object, and copies handed out but
    // never collected let go of their references.
    ::CoDisconnectObject(static_cast<IAccessible*>(m_pAccessible), 0);
    m_pAccessible->Release();
    m_pAccessible = nullptr;
}

void CCheckListBox::PreSubclassWindow() {
    // Rows tall enough for the check box as well as for the text of the list's font.
    HDC hDC = ::GetDC(m_hWnd);
    HGDIOBJ oldFont = ::SelectObject(hDC, reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    TEXTMETRICA metrics = {};
    ::GetTextMetricsA(hDC, &metrics);
    ::SelectObject(hDC, oldFont);
    ::ReleaseDC(m_hWnd, hDC);
    const int height = std::max<int>(metrics.tmHeight, CheckBoxSize()) + 2;
    SendMessage(LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0));
}

int CCheckListBox::CheckBoxHitTest(POINT point) const {
    const int index = RowAt(m_hWnd, point);
    RECT rect;
    if (index < 0 || !GetRowRect(m_hWnd, index, &rect))
        return -1;
    return point.x >= rect.left && point.x < rect.left + GetTextOffset() ? index : -1;
}

LRESULT CCheckListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= 0xC000 && message == RowActionMessage())
        return OnRowAction(wParam, static_cast<int>(lParam));
    switch (message) {
    case WM_GETOBJECT:
        return OnGetObject(wParam, lParam);
    case WM_SETREDRAW: {
        m_redraw = wParam != FALSE;
        m_quietOnScreen = !m_redraw && ::IsWindowVisible(m_hWnd);
        const LRESULT result = CListBox::WindowProc(message, wParam, lParam);
        if (m_redraw)
            AnnounceQuietChanges();
        return result;
    }
    case WM_DESTROY:
        ReleaseAccessible();
        break;
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
    const COLORREF oldText = ::SetTextColor(hDC, ::GetSysColor(disabled   ? COLOR_GRAYTEXT
                                                               : selected ? COLOR_HIGHLIGHTTEXT
                                                                          : COLOR_WINDOWTEXT));
    CString text;
    GetText(index, text);
    TEXTMETRICA metrics = {};
    ::GetTextMetricsA(hDC, &metrics);
    const int y = textRect.top + (textRect.bottom - textRect.top - metrics.tmHeight) / 2;
    ::ExtTextOutA(hDC, textRect.left, y, ETO_OPAQUE | ETO_CLIPPED, &textRect, text,
                  static_cast<UINT>(text.GetLength()), nullptr);
    ::SetTextColor(hDC, oldText);
    ::SetBkColor(hDC, oldBack);
    if (item.itemState & ODS_FOCUS)
        ::DrawFocusRect(hDC, &textRect);
}
