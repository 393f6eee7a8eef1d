#include "CheckListBox.h"

#include "CheckListAccessible.h"
#include "CheckListMenu.h"
#include "HiddenCharacters.h"
#include "PathText.h"

#include "AfxLanguage.h"
#include "AfxModuleState.h"
#include "resource.h"

#include <oleacc.h>
#include <vssym32.h>

#include <algorithm>
#include <cwchar>
#include <new>
#include <string>
#include <utility>

int CCheckListBox::GetTextOffset() const {
    return m_margin + m_boxSize + m_margin;
}

CCheckListBox::~CCheckListBox() {
    ReleaseAccessible();
    CloseTheme();
}

int CCheckListBox::StoreMark(int index, LPARAM data, bool invert) {
    // Straight to the list box's own procedure: bulk changes of 100,000 rows pay one call per row.
    const LRESULT old = DefWindowProc(LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    if (old == LB_ERR && (index < 0 || index >= DefWindowProc(LB_GETCOUNT, 0, 0)))
        return -1;
    const int was = MarkOfItemData(old);
    if (invert)
        data = was ? 0 : 1;
    if (DefWindowProc(LB_SETITEMDATA, static_cast<WPARAM>(index), data) == LB_ERR)
        return -1;
    const int now = MarkOfItemData(data);
    m_checkedCount += now - was;
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
        if (first <= 0 && last >= count && m_pendingCount > 0) {
            m_pendingFlip = how == BulkMark::kInvert ? !m_pendingFlip : how == BulkMark::kCheck;
            m_pendingKeep = m_pendingKeep && how == BulkMark::kInvert;
        }
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

void CCheckListBox::BeginPendingRows(int count, int checkedAmongThem, std::function<void()> complete) {
    m_pendingCount = count;
    m_pendingInitiallyChecked = checkedAmongThem;
    m_pendingKeep = true;
    m_pendingFlip = false;
    m_selectArriving = false;
    m_completePending = std::move(complete);
}

int CCheckListBox::PendingChecked() const {
    if (!m_pendingKeep)
        return m_pendingFlip ? m_pendingCount : 0;
    return m_pendingFlip ? m_pendingCount - m_pendingInitiallyChecked : m_pendingInitiallyChecked;
}

int CCheckListBox::AppendPendingRow(const char* text, bool initiallyChecked) {
    const int row = InsertString(-1, text);
    if (row < 0)
        return row;
    --m_pendingCount;
    if (initiallyChecked)
        --m_pendingInitiallyChecked;
    // A new row is no change to announce: its mark goes straight in.
    if (PendingMark(initiallyChecked))
        StoreMark(row, 1, false);
    if (m_selectArriving)
        DefWindowProc(LB_SETSEL, TRUE, row);
    return row;
}

void CCheckListBox::CompletePendingRows() {
    if (m_pendingCount > 0 && m_completePending)
        m_completePending();
}

void CCheckListBox::EndPendingRows() {
    m_pendingCount = 0;
    m_selectArriving = false;
    m_completePending = nullptr;
    // A list filled before it showed was never busy to anyone.
    if (::IsWindowVisible(m_hWnd))
        ::NotifyWinEvent(EVENT_OBJECT_STATECHANGE, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
}

namespace {

// A list box deleting its rows on WM_DESTROY sends its owner a WM_DELETEITEM for each row (some systems
// only for rows with item data), carrying the row's item data: its mark. Through the dialog manager each
// costs several times what the list box itself spends on the row, and nothing there needs them; so while
// the rows go the owner's procedure is this one, which only notes the marks.
struct RowsGoing {
    HWND list;
    std::vector<char>* marks;
    WNDPROC ownerProc;
};
thread_local RowsGoing* t_pRowsGoing = nullptr;
} // namespace

void CheckListInitThreadState() {
    AfxTouchThreadLocal(t_pRowsGoing);
}

namespace {

LRESULT CALLBACK OwnerWhileRowsGo(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const RowsGoing& going = *t_pRowsGoing;
    if (message == WM_DELETEITEM) {
        const DELETEITEMSTRUCT* item = reinterpret_cast<const DELETEITEMSTRUCT*>(lParam);
        if (item && item->hwndItem == going.list) {
            if (item->itemID < going.marks->size())
                (*going.marks)[item->itemID] =
                    static_cast<char>(CCheckListBox::MarkOfItemData(static_cast<LRESULT>(item->itemData)));
            return TRUE;
        }
    }
    return ::CallWindowProcW(going.ownerProc, hWnd, message, wParam, lParam);
}

} // namespace

LRESULT CCheckListBox::DestroyRows(WPARAM wParam, LPARAM lParam) {
    // A row the list box does not report had no item data: it is unchecked.
    bool kept = true;
    try {
        const LRESULT count = DefWindowProc(LB_GETCOUNT, 0, 0);
        m_finalChecks.assign(count > 0 ? static_cast<size_t>(count) : 0, 0);
    } catch (const std::bad_alloc&) {
        kept = false;
    }
    RowsGoing going = {m_hWnd, &m_finalChecks, nullptr};
    // The list box notifies the parent it was created with, the one it had when attached. Should that have
    // changed, or the owner not be this thread's, the marks are read one by one instead.
    if (kept && m_owner && ::GetParent(m_hWnd) == m_owner &&
        ::GetWindowThreadProcessId(m_owner, nullptr) == ::GetCurrentThreadId())
        going.ownerProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(m_owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OwnerWhileRowsGo)));
    if (kept && !going.ownerProc) {
        for (size_t index = 0; index < m_finalChecks.size(); ++index)
            m_finalChecks[index] = static_cast<char>(
                MarkOfItemData(DefWindowProc(LB_GETITEMDATA, static_cast<WPARAM>(index), 0)));
    }
    RowsGoing* const outer = t_pRowsGoing;
    if (going.ownerProc)
        t_pRowsGoing = &going;
    // The rows go in any case: the list box frees them only here.
    const LRESULT result = CListBox::WindowProc(WM_DESTROY, wParam, lParam);
    if (going.ownerProc) {
        ::SetWindowLongPtrW(m_owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(going.ownerProc));
        t_pRowsGoing = outer;
    }
    if (!kept)
        throw std::bad_alloc();
    return result;
}

bool CCheckListBox::GetRowText(int index, std::wstring& text) const {
    text.clear();
    WNDPROC proc = m_pfnSuperW ? m_pfnSuperW : m_pfnSuper;
    if (!proc)
        return false;
    const LRESULT length = ::CallWindowProcW(proc, m_hWnd, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length < 0)
        return false;
    text.resize(static_cast<size_t>(length) + 1);
    const LRESULT copied = ::CallWindowProcW(proc, m_hWnd, LB_GETTEXT, static_cast<WPARAM>(index),
                                             reinterpret_cast<LPARAM>(&text[0]));
    if (copied == LB_ERR) {
        text.clear();
        return false;
    }
    text.resize(std::wcslen(text.c_str()));
    return true;
}

std::wstring CCheckListBox::CheckedSummary(HWND list) {
    // "%1 of %2 checked", worded in each language so that it reads right for any count.
    std::wstring summary = AfxLoadString(IDS_CHECKED_SUMMARY);
    AfxReplaceWithCount(summary, L"%1", SendRowAction(list, kCountChecked));
    AfxReplaceWithCount(summary, L"%2",
                        CListBoxT<CWindowHandle>(list).GetCount() + SendRowAction(list, kCountPending));
    return summary;
}

std::wstring CCheckListBox::FlaggedSummary(HWND list) {
    const LRESULT flagged = SendRowAction(list, kCountFlagged);
    if (flagged <= 0)
        return std::wstring();
    std::wstring summary = AfxLoadString(flagged == 1 ? IDS_HIDDEN_SUMMARY_ONE : IDS_HIDDEN_SUMMARY);
    AfxReplaceWithCount(summary, L"%1", flagged);
    return summary;
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

int CCheckListBox::RowAt(HWND list, POINT point) {
    RECT client;
    if (!::GetClientRect(list, &client) || !::PtInRect(&client, point))
        return -1;
    // LB_ITEMFROMPOINT gives only 16 bits of the index; the rows all have one height, so count them.
    const CListBoxT<CWindowHandle> box(list);
    const int height = box.GetItemHeight();
    if (height == LB_ERR || height <= 0)
        return -1;
    const int top = box.GetTopIndex();
    const int index = top + (point.y - client.top) / height;
    RECT rect;
    if (top == LB_ERR || index >= box.GetCount() || !GetRowRect(list, index, &rect) || point.y < rect.top ||
        point.y >= rect.bottom)
        return -1;
    return index;
}

BOOL CCheckListBox::GetRowRect(HWND list, int index, RECT* rect) {
    if (CListBoxT<CWindowHandle>(list).GetItemRect(index, rect) == LB_ERR)
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
    if (action == kCountChecked)
        return m_checkedCount + PendingChecked();
    if (action == kCountPending)
        return m_pendingCount;
    if (action == kCountFlagged)
        return m_flaggedCount;
    // What a user could not do to a disabled list, its accessible object cannot either.
    if (!IsWindowEnabled() || index < 0 || index >= GetCount())
        return FALSE;
    switch (action) {
    case kToggleRow:
        return Toggle(index);
    case kFocusRow:
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
    m_pfnSuperW = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC));
    // Rows tall enough for the check box as well as for the text of the list's font, which the dialog
    // scales with the screen's DPI; the box then fills the row but for a pixel above and below, so it
    // grows with the font and is never clipped.
    HDC hDC = ::GetDC(m_hWnd);
    HGDIOBJ oldFont = ::SelectObject(hDC, GetFont());
    TEXTMETRICA metrics = {};
    ::GetTextMetricsA(hDC, &metrics);
    const int dpi = ::GetDeviceCaps(hDC, LOGPIXELSX);
    ::SelectObject(hDC, oldFont);
    ::ReleaseDC(m_hWnd, hDC);
    const int height = std::max<int>(metrics.tmHeight, ::GetSystemMetrics(SM_CXMENUCHECK)) + 2;
    SetItemHeight(static_cast<UINT>(height));
    m_boxSize = height - 2;
    m_margin = dpi > 0 ? std::max(2, ::MulDiv(2, dpi, 96)) : 2;
    m_owner = ::GetParent(m_hWnd);
    OpenTheme();
    m_finalChecks.clear();
    m_checkedCount = 0;
    const int count = GetCount();
    for (int index = 0; index < count; ++index)
        m_checkedCount += GetCheck(index);
}

void CCheckListBox::OpenTheme() {
    CloseTheme();
    m_hTheme = ::OpenThemeData(m_hWnd, L"BUTTON"); // null while no style is on
}

void CCheckListBox::CloseTheme() {
    if (m_hTheme)
        ::CloseThemeData(m_hTheme);
    m_hTheme = nullptr;
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
    if (m_toolTip.Relay(*this, message, wParam, lParam))
        return 0;
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
        CloseTheme();
        return DestroyRows(wParam, lParam);
    case WM_THEMECHANGED:
        OpenTheme();
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
        return CListBox::WindowProc(message, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return OnLButtonDown(message, wParam, lParam);
    case WM_CONTEXTMENU:
        OnContextMenu(lParam);
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
    OnContextMenu(static_cast<LPARAM>(-1));
    return true;
}

void CCheckListBox::OnContextMenu(LPARAM screenPoint) {
    POINT screen = {static_cast<short>(LOWORD(screenPoint)), static_cast<short>(HIWORD(screenPoint))};
    int row = -1;
    if (screenPoint == static_cast<LPARAM>(-1)) {
        // From the keyboard: below the caret row's text when it is in view, else at the list's corner.
        RECT client, rect;
        ::GetClientRect(m_hWnd, &client);
        POINT at = {client.left, client.top};
        const int caret = GetCaretIndex();
        if (caret >= 0 && GetRowRect(m_hWnd, caret, &rect) && rect.bottom > client.top &&
            rect.bottom <= client.bottom)
            at = {std::min<LONG>(std::max<LONG>(rect.left + GetTextOffset(), client.left), client.right),
                  rect.bottom};
        ::ClientToScreen(m_hWnd, &at);
        screen = at;
    } else {
        POINT client = screen;
        ::ScreenToClient(m_hWnd, &client);
        row = RowAt(m_hWnd, client);
    }
    CCheckListMenu::Track(*this, screen, row);
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
        if (result != LB_ERR && checked)
            --m_checkedCount;
        if (result != LB_ERR && flagged && m_flaggedCount > 0)
            --m_flaggedCount;
        return result;
    }
    default: // LB_RESETCONTENT
        m_checkedCount = 0;
        m_flaggedCount = 0;
        return CListBox::WindowProc(message, wParam, lParam);
    }
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
    const int box = std::min<int>(m_boxSize, row.bottom - row.top);
    RECT boxRect;
    boxRect.left = row.left + m_margin;
    boxRect.top = row.top + (row.bottom - row.top - box) / 2;
    boxRect.right = boxRect.left + box;
    boxRect.bottom = boxRect.top + box;
    const bool checked = GetCheck(index) != 0;
    const bool disabled = !::IsWindowEnabled(m_hWnd);
    if (m_hTheme) {
        const int state = checked ? (disabled ? CBS_CHECKEDDISABLED : CBS_CHECKEDNORMAL)
                                  : (disabled ? CBS_UNCHECKEDDISABLED : CBS_UNCHECKEDNORMAL);
        ::DrawThemeBackground(m_hTheme, hDC, BP_CHECKBOX, state, &boxRect, nullptr);
    } else {
        ::DrawFrameControl(hDC, &boxRect, DFC_BUTTON, DFCS_BUTTONCHECK | (checked ? DFCS_CHECKED : 0));
    }

    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    RECT textRect = row;
    textRect.left = column.right;
    const COLORREF oldBack = ::SetBkColor(hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const COLORREF oldText = ::SetTextColor(hDC, ::GetSysColor(disabled   ? COLOR_GRAYTEXT
                                                               : selected ? COLOR_HIGHLIGHTTEXT
                                                                          : COLOR_WINDOWTEXT));
    // The row's text as the list holds it, in UTF-16, whatever the code page of the caller's paths.
    std::wstring text;
    GetRowText(index, text);
    TEXTMETRICA metrics = {};
    ::GetTextMetricsA(hDC, &metrics);
    const int y = textRect.top + (textRect.bottom - textRect.top - metrics.tmHeight) / 2;
    if (HasHiddenCharacters(text.c_str(), text.size()))
        DrawFlaggedText(hDC, textRect, y, text);
    else
        ::ExtTextOutW(hDC, textRect.left, y, ETO_OPAQUE | ETO_CLIPPED, &textRect, text.c_str(),
                      static_cast<UINT>(text.size()), nullptr);
    ::SetTextColor(hDC, oldText);
    ::SetBkColor(hDC, oldBack);
    if (item.itemState & ODS_FOCUS)
        ::DrawFocusRect(hDC, &textRect);
}

void CCheckListBox::DrawFlaggedText(HDC hDC, const RECT& textRect, int textTop, const std::wstring& text) {
    ::ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &textRect, nullptr, 0, nullptr);
    // The warning mark, the system's own, the size of the check box.
    const int box = std::min<int>(m_boxSize, textRect.bottom - textRect.top);
    HICON warning = ::LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_WARNING));
    if (warning)
        ::DrawIconEx(hDC, textRect.left + m_margin / 2,
                     textRect.top + (textRect.bottom - textRect.top - box) / 2, warning, box, box, 0, nullptr,
                     DI_NORMAL);
    RECT line = textRect;
    line.left += WarningMarkWidth();
    LayOutPathText(hDC, line, textTop, text, true);
}

int CCheckListBox::RowTextWidth(HDC dc, const std::wstring& text) const {
    if (HasHiddenCharacters(text.c_str(), text.size())) {
        const RECT line = {0, 0, 0, 0};
        return WarningMarkWidth() + LayOutPathText(dc, line, 0, text, false);
    }
    SIZE size = {0, 0};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}
