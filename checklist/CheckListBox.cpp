#include "CheckListBox.h"

#include "CheckListAccessible.h"
#include "CheckListMenu.h"
#include "HiddenCharacters.h"

#include "AfxDarkMenu.h"

#include <oleacc.h>

#include <algorithm>
#include <string>

CCheckListBox::~CCheckListBox() {
    ReleaseAccessible();
}

int CCheckListBox::StoreMark(int index, LPARAM data, bool invert) {
    // Straight to the list box's own procedure: bulk changes of 100,000 rows pay one call per row.
    const LRESULT old = DefWindowProc(LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    if (old == LB_ERR && (index < 0 || index >= DefWindowProc(LB_GETCOUNT, 0, 0)))
        return -1;
    const int was = CheckListWindow::MarkOfItemData(old);
    if (invert)
        data = was ? 0 : 1;
    if (DefWindowProc(LB_SETITEMDATA, static_cast<WPARAM>(index), data) == LB_ERR)
        return -1;
    const int now = CheckListWindow::MarkOfItemData(data);
    m_rows.MarkChanged(was, now);
    return was != now ? 1 : 0;
}

void CCheckListBox::SetCheck(int index, int nCheck) {
    if (!m_redraw) {
        // A bulk change with drawing off (a fill, Select All): no repaint per row. The marks that change
        // on screen are announced once drawing is back on; a fill, not yet shown, pays nothing for it.
        if (StoreMark(index, nCheck ? 1 : 0, false) > 0 && m_quietOnScreen) {
            m_repaintWhenRedrawn = true;
            m_quietChanges.push_back(index);
        }
        return;
    }
    // Assistive technology hears of changes on screen only.
    if (StoreMark(index, nCheck ? 1 : 0, false) <= 0 || !::IsWindowVisible(m_hWnd))
        return;
    RECT rect;
    if (GetItemRect(index, &rect) != LB_ERR)
        ::InvalidateRect(m_hWnd, &rect, FALSE);
    ::NotifyWinEvent(EVENT_OBJECT_STATECHANGE, m_hWnd, OBJID_CLIENT, index + 1);
}

void CCheckListBox::ApplyMarks(int first, int last, const std::vector<int>* rows, BulkMark how) {
    const bool redraw = m_redraw;
    if (redraw)
        SetRedraw(FALSE);
    // Only the rows in view are announced, so only they are remembered.
    const bool visible = m_quietOnScreen;
    const int top = GetTopIndex();
    const int inView = top + RowsInView();
    const int count = GetCount();
    const LPARAM mark = how == BulkMark::kCheck ? 1 : 0;
    auto apply = [&](int index) {
        if (index < 0 || index >= count || StoreMark(index, mark, how == BulkMark::kInvert) <= 0 || !visible)
            return;
        m_repaintWhenRedrawn = true;
        if (index >= top && index < inView)
            m_quietChanges.push_back(index);
    };
    if (rows) {
        for (int index : *rows)
            apply(index);
    } else {
        // An action on every row reaches the rows still to come.
        if (first <= 0 && last >= count)
            m_rows.MarkEveryRow(how);
        for (int index = std::max(first, 0); index < std::min(last, count); ++index)
            apply(index);
    }
    if (redraw)
        SetRedraw(TRUE);
}

void CCheckListBox::SetCheckRange(int first, int end, int nCheck) {
    ApplyMarks(first, end, nullptr, nCheck ? BulkMark::kCheck : BulkMark::kUncheck);
}

void CCheckListBox::SetChecks(const std::vector<int>& rows, int nCheck) {
    ApplyMarks(0, 0, &rows, nCheck ? BulkMark::kCheck : BulkMark::kUncheck);
}

void CCheckListBox::InvertChecks() {
    ApplyMarks(0, GetCount(), nullptr, BulkMark::kInvert);
}

int CCheckListBox::AppendPendingRow(const char* text, bool initiallyChecked) {
    const int row = m_wideText.Attached() ? m_wideText.Append(text, m_nTextCodePage) : InsertString(-1, text);
    if (row < 0)
        return row;
    m_rows.Arrived(initiallyChecked);
    // A new row is no change to announce: its mark goes straight in.
    if (m_rows.PendingMark(initiallyChecked))
        StoreMark(row, 1, false);
    if (m_rows.SelectArriving())
        DefWindowProc(LB_SETSEL, TRUE, row);
    return row;
}

void CCheckListBox::EndPendingRows() {
    m_rows.EndPending();
    // A list filled before it showed was never busy to anyone.
    if (::IsWindowVisible(m_hWnd))
        ::NotifyWinEvent(EVENT_OBJECT_STATECHANGE, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
}

int CCheckListBox::RowsInView() const {
    const int height = GetItemHeight();
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    return height > 0 ? (client.bottom - client.top) / height + 1 : 0;
}

void CCheckListBox::AnnounceQuietChanges() {
    if (!m_repaintWhenRedrawn)
        return;
    m_repaintWhenRedrawn = false;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    // Only the rows in view: a screen reader asks for the others when it gets there.
    const int top = GetTopIndex();
    const int visible = RowsInView();
    for (int index : m_quietChanges)
        if (index >= top && index < top + visible)
            ::NotifyWinEvent(EVENT_OBJECT_STATECHANGE, m_hWnd, OBJID_CLIENT, index + 1);
    m_quietChanges.clear();
    // The list's description, "N of M checked", has changed with them.
    ::NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
}

BOOL CCheckListBox::Toggle(int index) {
    if (index < 0 || index >= GetCount())
        return FALSE;
    SetCheck(index, GetCheck(index) ? 0 : 1);
    return TRUE;
}

LRESULT CCheckListBox::OnRowAction(WPARAM action, int index) {
    if (action == CheckListWindow::kCountChecked)
        return m_rows.Checked();
    if (action == CheckListWindow::kCountPending)
        return m_rows.Pending();
    if (action == CheckListWindow::kCountFlagged)
        return m_rows.Flagged();
    // What a user could not do to a disabled list, its accessible object cannot either.
    if (!IsWindowEnabled() || index < 0 || index >= GetCount())
        return FALSE;
    switch (action) {
    case CheckListWindow::kToggleRow:
        return Toggle(index);
    case CheckListWindow::kFocusRow:
        ::SetFocus(m_hWnd);
        SetCaretIndex(index);
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
            ::LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(m_pAccessible));
        // A reference is positive, an error a negative HRESULT widened to LRESULT: on 64-bit the low half
        // of a reference alone could look like an error.
        if (result >= 0)
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
    m_wideText.Attach(m_hWnd);
    SetItemHeight(static_cast<UINT>(m_painter.MeasureRows(m_hWnd)));
    m_owner = ::GetParent(m_hWnd);
    m_painter.OpenTheme(m_hWnd);
    m_rows.FinalMarks().clear();
    m_rows.Clear();
    const int count = GetCount();
    for (int index = 0; index < count; ++index)
        m_rows.MarkChanged(0, GetCheck(index));
}

int CCheckListBox::CheckBoxHitTest(POINT point) const {
    const int index = CheckListWindow::RowAt(m_hWnd, point);
    RECT rect;
    if (index < 0 || !CheckListWindow::GetRowRect(m_hWnd, index, &rect))
        return -1;
    return point.x >= rect.left && point.x < rect.left + GetTextOffset() ? index : -1;
}

LRESULT CCheckListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= 0xC000 && message == CheckListWindow::RowActionMessage())
        return OnRowAction(wParam, static_cast<int>(lParam));
    if (m_toolTip.Relay(*this, message, wParam, lParam))
        return 0;
    // The items of its context menu, while a dark dialog draws them (AfxDarkMenu.h).
    if ((message == WM_MEASUREITEM || message == WM_DRAWITEM) && CDarkMenu::OnOwnerMessage(message, lParam))
        return TRUE;
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
        m_toolTip.Destroy();
        m_painter.CloseTheme();
        // The list box's own WM_DESTROY deletes the rows; their marks are kept as they go.
        return DestroyRowsKeepingMarks(
            m_hWnd, m_owner, m_rows.FinalMarks(),
            [this](UINT m, WPARAM w, LPARAM l) { return DefWindowProc(m, w, l); },
            [&] { return CListBox::WindowProc(WM_DESTROY, wParam, lParam); });
    case WM_THEMECHANGED:
        m_painter.OpenTheme(m_hWnd);
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
        return CListBox::WindowProc(message, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return OnLButtonDown(message, wParam, lParam);
    case WM_CONTEXTMENU:
        CCheckListMenu::TrackFor(*this, lParam);
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (OnMenuKey(message, wParam))
            return 0;
        if (message == WM_KEYDOWN && wParam == VK_SPACE) {
            Toggle(GetCaretIndex());
            return 0;
        }
        break;
    case WM_CHAR:
        // Space is a toggle, handled as a key; other characters find a row by its file name.
        if (wParam == ' ' || m_finder.OnChar(*this, wParam, static_cast<DWORD>(::GetMessageTime())))
            return 0;
        break;
    case LB_SETITEMDATA:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
        return OnItemDataMessage(message, wParam, lParam);
    default:
        break;
    }
    return CListBox::WindowProc(message, wParam, lParam);
}

LRESULT CCheckListBox::OnLButtonDown(UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    const int index = CheckBoxHitTest(point);
    if (index < 0)
        return CListBox::WindowProc(message, wParam, lParam);
    // A click on the check box toggles the mark and moves the focus there, not the selection.
    if (::GetFocus() != m_hWnd)
        ::SetFocus(m_hWnd);
    SetCaretIndex(index);
    Toggle(index);
    return 0;
}

bool CCheckListBox::OnMenuKey(UINT message, WPARAM key) {
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    const bool menuKey = key == VK_APPS || (key == VK_F10 && (!down || ::GetKeyState(VK_SHIFT) < 0));
    if (!menuKey)
        return false;
    if (!down) {
        // The release of a key that opened the menu goes no further, so the system opens no second one
        // (nor, for F10, the window menu).
        const bool taken = m_menuKeyDown;
        m_menuKeyDown = false;
        return taken;
    }
    m_menuKeyDown = true;
    CCheckListMenu::TrackFor(*this, static_cast<LPARAM>(-1));
    return true;
}

LRESULT CCheckListBox::OnItemDataMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // Whoever changes the rows, the checked count follows.
    switch (message) {
    case LB_SETITEMDATA:
        return StoreMark(static_cast<int>(wParam), lParam, false) < 0 ? LB_ERR : LB_OKAY;
    case LB_DELETESTRING: {
        const bool checked = GetCheck(static_cast<int>(wParam)) != 0;
        std::wstring text;
        const bool flagged =
            GetRowText(static_cast<int>(wParam), text) && HasHiddenCharacters(text.c_str(), text.size());
        const LRESULT result = CListBox::WindowProc(message, wParam, lParam);
        if (result != LB_ERR)
            m_rows.RowRemoved(checked, flagged);
        return result;
    }
    default: // LB_RESETCONTENT
        m_rows.Clear();
        return CListBox::WindowProc(message, wParam, lParam);
    }
}

BOOL CCheckListBox::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* pResult) {
    if (message != WM_DRAWITEM)
        return FALSE;
    const DRAWITEMSTRUCT& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    *pResult = TRUE;
    if (item.itemID == static_cast<UINT>(-1)) { // an empty list with the focus
        if (item.itemState & ODS_FOCUS)
            ::DrawFocusRect(item.hDC, &item.rcItem);
        return TRUE;
    }
    // The row's text as the list holds it, in UTF-16, whatever the code page of the caller's paths.
    std::wstring text;
    GetRowText(static_cast<int>(item.itemID), text);
    m_painter.DrawRow(item, GetCheck(static_cast<int>(item.itemID)) != 0, !::IsWindowEnabled(m_hWnd), text);
    return TRUE;
}
