// What the check list's accessible object answers about the list and its rows, all read from the list
// window through its messages.
#include "CheckListAccessible.h"

#include "AfxLanguage.h"
#include "CheckListBox.h"
#include "ChildIdEnum.h"
#include "HiddenCharacters.h"
#include "resource.h"

#include <new>
#include <string>
#include <utility>
#include <vector>

namespace {

// Rows are list items, not check buttons: a row is also selected (the list is multiple-selection) and
// focused on its own, and its position in the list matters, which is what a list item reports. The check
// mark is one more state, as native check lists report it; the default action ("Check"/"Uncheck") tells
// that an unchecked row can be checked.
constexpr long kRowRole = ROLE_SYSTEM_LISTITEM;

using CListHandle = CListBoxT<CWindowHandle>;

HRESULT AllocString(const std::wstring& text, BSTR* out) {
    *out = ::SysAllocStringLen(text.c_str(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// A row's name: its path, with hidden or direction-changing characters spelt out as markers ("<RLO>").
HRESULT RowText(HWND list, int row, BSTR* text) {
    // In UTF-16, as the list holds it: rows may hold characters outside the ANSI code page.
    std::wstring buffer;
    if (!CListHandle(list).GetWideText(row, buffer))
        return E_INVALIDARG;
    if (HasHiddenCharacters(buffer.c_str(), buffer.size()))
        buffer = ShowHiddenCharacters(buffer);
    return AllocString(buffer, text);
}

bool IsRowChecked(HWND list, int row) {
    return CheckListWindow::MarkOfItemData(CListHandle(list).GetItemData(row)) != 0;
}

// The focused window of the list's thread, whichever thread asks.
HWND FocusOfThreadOf(HWND list) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(::GetWindowThreadProcessId(list, nullptr), &info) ? info.hwndFocus : nullptr;
}

} // namespace

// ---- The list as a whole ----------------------------------------------------------------------------

STDMETHODIMP CCheckListAccessible::get_accParent(IDispatch** ppdispParent) {
    const Target target = Open(ppdispParent, nullptr);
    if (FAILED(target.hr))
        return target.hr;
    // The client area's parent is the window's own object.
    return ::AccessibleObjectFromWindow(target.list, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                        reinterpret_cast<void**>(ppdispParent));
}

STDMETHODIMP CCheckListAccessible::get_accChildCount(long* pcountChildren) {
    const Target target = Open(pcountChildren, nullptr);
    if (FAILED(target.hr))
        return target.hr;
    *pcountChildren = RowCount(target.list);
    return S_OK;
}

STDMETHODIMP CCheckListAccessible::get_accChild(VARIANT varChild, IDispatch** ppdispChild) {
    const Target target = Open(ppdispChild, &varChild);
    if (FAILED(target.hr))
        return target.hr;
    // Rows are simple elements, answered by this object with their child id.
    return target.row >= 0 ? S_FALSE : E_INVALIDARG;
}

STDMETHODIMP CCheckListAccessible::get_accFocus(VARIANT* pvarChild) {
    const Target target = Open(pvarChild, nullptr);
    if (FAILED(target.hr))
        return target.hr;
    if (FocusOfThreadOf(target.list) != target.list)
        return S_FALSE;
    const int caret = CListHandle(target.list).GetCaretIndex();
    SetChildId(pvarChild, caret >= 0 && caret < RowCount(target.list) ? caret + 1 : CHILDID_SELF);
    return S_OK;
}

STDMETHODIMP CCheckListAccessible::get_accSelection(VARIANT* pvarChildren) {
    const Target target = Open(pvarChildren, nullptr);
    if (FAILED(target.hr))
        return target.hr;
    const std::vector<int> rows = CListHandle(target.list).GetSelectedRows();
    if (rows.empty())
        return S_FALSE;
    if (rows.size() == 1) {
        SetChildId(pvarChildren, rows[0] + 1);
        return S_OK;
    }
    std::vector<long> ids(rows.size());
    for (size_t i = 0; i < ids.size(); ++i)
        ids[i] = rows[i] + 1;
    CChildIdEnum* selection = new (std::nothrow) CChildIdEnum(std::move(ids));
    if (!selection)
        return E_OUTOFMEMORY;
    pvarChildren->vt = VT_UNKNOWN;
    pvarChildren->punkVal = selection;
    return S_OK;
}

STDMETHODIMP CCheckListAccessible::accHitTest(long xLeft, long yTop, VARIANT* pvarChild) {
    const Target target = Open(pvarChild, nullptr);
    if (FAILED(target.hr))
        return target.hr;
    POINT point = {xLeft, yTop};
    ::ScreenToClient(target.list, &point);
    RECT client;
    ::GetClientRect(target.list, &client);
    if (!::PtInRect(&client, point))
        return S_FALSE;
    const int row = CheckListWindow::RowAt(target.list, point);
    SetChildId(pvarChild, row >= 0 ? row + 1 : CHILDID_SELF);
    return S_OK;
}

// ---- The list or one of its rows --------------------------------------------------------------------

STDMETHODIMP CCheckListAccessible::get_accName(VARIANT varChild, BSTR* pszName) {
    const Target target = Open(pszName, &varChild);
    if (SUCCEEDED(target.hr) && target.row >= 0)
        return RowText(target.list, target.row, pszName);
    // The list's own name comes from its label, which the system finds.
    return SelfString(varChild, pszName, S_OK, &IAccessible::get_accName);
}

STDMETHODIMP CCheckListAccessible::get_accValue(VARIANT varChild, BSTR* pszValue) {
    // A row has no value beyond its name and state.
    return SelfString(varChild, pszValue, DISP_E_MEMBERNOTFOUND, &IAccessible::get_accValue);
}

STDMETHODIMP CCheckListAccessible::get_accDescription(VARIANT varChild, BSTR* pszDescription) {
    const Target target = Open(pszDescription, &varChild);
    if (SUCCEEDED(target.hr) && target.row < 0) {
        // What a long list holds at a glance: "1,234 of 100,000 checked", and how many paths hold
        // hidden or direction-changing characters when any does.
        std::wstring summary = CheckListWindow::CheckedSummary(target.list);
        const std::wstring flagged = CheckListWindow::FlaggedSummary(target.list);
        if (!flagged.empty())
            summary += AfxLoadString(IDS_LIST_SEPARATOR) + flagged;
        return AllocString(summary, pszDescription);
    }
    if (SUCCEEDED(target.hr)) {
        // A row's description warns of what its name spells out.
        std::wstring text;
        CListHandle(target.list).GetWideText(target.row, text);
        const std::wstring warning = WarnOfHiddenCharacters(text, IDS_HIDDEN_CONTAINS);
        if (!warning.empty())
            return AllocString(warning, pszDescription);
    }
    return SelfString(varChild, pszDescription, S_FALSE, &IAccessible::get_accDescription);
}

STDMETHODIMP CCheckListAccessible::get_accHelp(VARIANT varChild, BSTR* pszHelp) {
    return SelfString(varChild, pszHelp, S_FALSE, &IAccessible::get_accHelp);
}

STDMETHODIMP CCheckListAccessible::get_accKeyboardShortcut(VARIANT varChild, BSTR* pszKeyboardShortcut) {
    return SelfString(varChild, pszKeyboardShortcut, S_FALSE, &IAccessible::get_accKeyboardShortcut);
}

STDMETHODIMP CCheckListAccessible::get_accHelpTopic(BSTR* pszHelpFile, VARIANT varChild, long* pidTopic) {
    if (!pidTopic || !pszHelpFile)
        return E_POINTER;
    *pidTopic = 0;
    const Target target = Open(pszHelpFile, &varChild);
    return FAILED(target.hr) ? target.hr : DISP_E_MEMBERNOTFOUND;
}

STDMETHODIMP CCheckListAccessible::get_accRole(VARIANT varChild, VARIANT* pvarRole) {
    const Target target = Open(pvarRole, &varChild);
    if (FAILED(target.hr))
        return target.hr;
    SetChildId(pvarRole, target.row >= 0 ? kRowRole : ROLE_SYSTEM_LIST);
    return S_OK;
}

STDMETHODIMP CCheckListAccessible::get_accState(VARIANT varChild, VARIANT* pvarState) {
    const Target target = Open(pvarState, &varChild);
    if (FAILED(target.hr))
        return target.hr;
    HWND list = target.list;
    const CListHandle box(list);
    const bool enabled = ::IsWindowEnabled(list) != FALSE;
    const bool focused = FocusOfThreadOf(list) == list;
    long state = enabled ? 0 : STATE_SYSTEM_UNAVAILABLE;
    if (target.row < 0) {
        if (!::IsWindowVisible(list))
            state |= STATE_SYSTEM_INVISIBLE;
        if (enabled)
            state |= STATE_SYSTEM_FOCUSABLE;
        if (focused)
            state |= STATE_SYSTEM_FOCUSED;
        const LONG_PTR style = ::GetWindowLongPtrA(list, GWL_STYLE);
        if (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL))
            state |= STATE_SYSTEM_MULTISELECTABLE;
        if (style & LBS_EXTENDEDSEL)
            state |= STATE_SYSTEM_EXTSELECTABLE;
        // Rows are still arriving.
        if (CheckListWindow::SendRowAction(list, CheckListWindow::kCountPending) > 0)
            state |= STATE_SYSTEM_BUSY;
    } else {
        if (enabled)
            state |= STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
        if (box.GetSel(target.row) > 0)
            state |= STATE_SYSTEM_SELECTED;
        if (focused && box.GetCaretIndex() == target.row)
            state |= STATE_SYSTEM_FOCUSED;
        if (IsRowChecked(list, target.row))
            state |= STATE_SYSTEM_CHECKED;
        RECT rect, client, visible;
        ::GetClientRect(list, &client);
        if (!CheckListWindow::GetRowRect(list, target.row, &rect) ||
            !::IntersectRect(&visible, &rect, &client))
            state |= STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN;
    }
    SetChildId(pvarState, state);
    return S_OK;
}

STDMETHODIMP CCheckListAccessible::accLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight,
                                               VARIANT varChild) {
    if (!pxLeft || !pyTop || !pcxWidth || !pcyHeight)
        return E_POINTER;
    *pyTop = *pcxWidth = *pcyHeight = 0;
    const Target target = Open(pxLeft, &varChild);
    if (FAILED(target.hr))
        return target.hr;
    RECT rect;
    if (target.row < 0)
        ::GetClientRect(target.list, &rect);
    else if (!CheckListWindow::GetRowRect(target.list, target.row, &rect))
        return E_FAIL;
    ::MapWindowPoints(target.list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    *pxLeft = rect.left;
    *pyTop = rect.top;
    *pcxWidth = rect.right - rect.left;
    *pcyHeight = rect.bottom - rect.top;
    return S_OK;
}

STDMETHODIMP CCheckListAccessible::accNavigate(long navDir, VARIANT varStart, VARIANT* pvarEndUpAt) {
    const Target target = Open(pvarEndUpAt, &varStart);
    if (FAILED(target.hr))
        return target.hr;
    const int count = RowCount(target.list);
    const int row = target.row;
    long to = 0; // a child id; 0 here means nowhere
    if (row < 0) {
        switch (navDir) {
        case NAVDIR_FIRSTCHILD:
            to = count > 0 ? 1 : 0;
            break;
        case NAVDIR_LASTCHILD:
            to = count;
            break;
        default: { // the list's siblings are other windows: the system knows them
            IAccessible* standard = AcquireStandard();
            if (!standard)
                return S_FALSE;
            const HRESULT result = standard->accNavigate(navDir, varStart, pvarEndUpAt);
            standard->Release();
            return result;
        }
        }
    } else {
        switch (navDir) {
        case NAVDIR_NEXT:
        case NAVDIR_DOWN:
            to = row + 1 < count ? row + 2 : 0;
            break;
        case NAVDIR_PREVIOUS:
        case NAVDIR_UP:
            to = row; // the row above, or nowhere above the first
            break;
        case NAVDIR_LEFT:
        case NAVDIR_RIGHT:
            break;
        default: // FIRSTCHILD, LASTCHILD: a row has no children
            return E_INVALIDARG;
        }
    }
    if (to <= 0)
        return S_FALSE;
    SetChildId(pvarEndUpAt, to);
    return S_OK;
}

// ---- A row's actions --------------------------------------------------------------------------------

STDMETHODIMP CCheckListAccessible::get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction) {
    const Target target = Open(pszDefaultAction, &varChild);
    if (FAILED(target.hr))
        return target.hr;
    if (target.row < 0)
        return DISP_E_MEMBERNOTFOUND;
    return AllocString(
        AfxLoadString(IsRowChecked(target.list, target.row) ? IDS_ACTION_UNCHECK : IDS_ACTION_CHECK),
        pszDefaultAction);
}

STDMETHODIMP CCheckListAccessible::accDoDefaultAction(VARIANT varChild) {
    const Target target = Open(varChild);
    if (FAILED(target.hr))
        return target.hr;
    if (target.row < 0)
        return DISP_E_MEMBERNOTFOUND;
    return CheckListWindow::SendRowAction(target.list, CheckListWindow::kToggleRow, target.row) ? S_OK
                                                                                                : E_FAIL;
}

STDMETHODIMP CCheckListAccessible::accSelect(long flagsSelect, VARIANT varChild) {
    const Target target = Open(varChild);
    if (FAILED(target.hr))
        return target.hr;
    const int row = target.row;
    if (row < 0 || (flagsSelect & SELFLAG_EXTENDSELECTION) ||
        (flagsSelect & (SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION)) ==
            (SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION))
        return E_INVALIDARG;
    if (!::IsWindowEnabled(target.list))
        return E_FAIL;
    CListHandle box(target.list);
    const int caret = box.GetCaretIndex();
    if (flagsSelect & SELFLAG_TAKESELECTION) {
        box.SetSel(-1, FALSE);
        box.SetSel(row, TRUE);
    }
    if (flagsSelect & (SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION))
        box.SetSel(row, (flagsSelect & SELFLAG_ADDSELECTION) ? TRUE : FALSE);
    // The list moves its caret to a row it selects; only taking the focus should.
    if (!(flagsSelect & SELFLAG_TAKEFOCUS) && caret != LB_ERR && caret != box.GetCaretIndex())
        box.SetCaretIndex(caret);
    if ((flagsSelect & SELFLAG_TAKEFOCUS) &&
        !CheckListWindow::SendRowAction(target.list, CheckListWindow::kFocusRow, row))
        return E_FAIL;
    return S_OK;
}
