#include "CheckListAccessible.h"

#include "CheckListBox.h"

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
const wchar_t kCheckAction[] = L"Check";
const wchar_t kUncheckAction[] = L"Uncheck";

LRESULT Send(HWND list, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendMessageA(list, message, wParam, lParam);
}

int RowCount(HWND list) {
    const LRESULT count = Send(list, LB_GETCOUNT);
    return count == LB_ERR ? 0 : static_cast<int>(count);
}

HRESULT RowText(HWND list, int row, BSTR* text) {
    // In UTF-16, as the list holds it: rows may hold characters outside the ANSI code page.
    const LRESULT length = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length == LB_ERR)
        return E_INVALIDARG;
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&buffer[0]));
    if (copied == LB_ERR)
        return E_INVALIDARG;
    *text = ::SysAllocString(buffer.c_str());
    return *text ? S_OK : E_OUTOFMEMORY;
}

// The focused window of the list's thread, whichever thread asks.
HWND FocusOfThreadOf(HWND list) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(::GetWindowThreadProcessId(list, nullptr), &info) ? info.hwndFocus : nullptr;
}

void SetLong(VARIANT* variant, long id) {
    variant->vt = VT_I4;
    variant->lVal = id;
}

// The selected rows as child ids, for a selection of more than one.
class CChildIdEnum final : public IEnumVARIANT {
public:
    explicit CChildIdEnum(std::vector<long> ids, ULONG next = 0) : m_ids(std::move(ids)), m_next(next) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IEnumVARIANT) {
            *ppv = static_cast<IEnumVARIANT*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++m_refs); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG refs = --m_refs;
        if (refs == 0)
            delete this;
        return static_cast<ULONG>(refs);
    }
    STDMETHODIMP Next(ULONG celt, VARIANT* rgVar, ULONG* pCeltFetched) override {
        if (!rgVar)
            return E_POINTER;
        ULONG fetched = 0;
        for (; fetched < celt && m_next < m_ids.size(); ++fetched)
            SetLong(&rgVar[fetched], m_ids[m_next++]);
        if (pCeltFetched)
            *pCeltFetched = fetched;
        return fetched == celt ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG celt) override {
        const ULONG left = static_cast<ULONG>(m_ids.size()) - m_next;
        m_next += celt < left ? celt : left;
        return celt <= left ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override {
        m_next = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumVARIANT** ppEnum) override {
        if (!ppEnum)
            return E_POINTER;
        *ppEnum = new (std::nothrow) CChildIdEnum(m_ids, m_next);
        return *ppEnum ? S_OK : E_OUTOFMEMORY;
    }

private:
    std::atomic<LONG> m_refs{1};
    std::vector<long> m_ids;
    ULONG m_next;
};

} // namespace

CCheckListAccessible* CCheckListAccessible::Create(HWND list) {
    return list ? new (std::nothrow) CCheckListAccessible(list) : nullptr;
}

CCheckListAccessible::CCheckListAccessible(HWND list) : m_list(list) {
    // The system's own object for the window answers for the list as a whole where it knows more than
    // we do; it knows nothing of owner-drawn rows.
    void* standard = nullptr;
    if (SUCCEEDED(::CreateStdAccessibleObject(list, OBJID_CLIENT, IID_IAccessible, &standard)))
        m_standard = static_cast<IAccessible*>(standard);
}

CCheckListAccessible::~CCheckListAccessible() {
    Disconnect();
}

void CCheckListAccessible::Disconnect() {
    m_list.store(nullptr);
    IAccessible* standard = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_standardLock);
        std::swap(standard, m_standard);
    }
    if (standard)
        standard->Release();
}

IAccessible* CCheckListAccessible::AcquireStandard() {
    std::lock_guard<std::mutex> lock(m_standardLock);
    if (m_standard)
        m_standard->AddRef();
    return m_standard;
}

HRESULT CCheckListAccessible::Resolve(const VARIANT& child, HWND& list, int& row) const {
    list = m_list.load();
    if (!list || !::IsWindow(list))
        return CO_E_OBJNOTCONNECTED;
    if (child.vt != VT_I4)
        return E_INVALIDARG;
    if (child.lVal == CHILDID_SELF) {
        row = -1;
        return S_OK;
    }
    if (child.lVal < 1 || child.lVal > RowCount(list))
        return E_INVALIDARG;
    row = child.lVal - 1;
    return S_OK;
}

HRESULT CCheckListAccessible::SelfString(const VARIANT& child, BSTR* out, HRESULT rowResult,
                                         HRESULT (STDMETHODCALLTYPE IAccessible::*method)(VARIANT, BSTR*)) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    HWND list;
    int row;
    const HRESULT hr = Resolve(child, list, row);
    if (FAILED(hr))
        return hr;
    if (row >= 0)
        return rowResult;
    IAccessible* standard = AcquireStandard();
    if (!standard)
        return S_FALSE;
    const HRESULT result = (standard->*method)(child, out);
    standard->Release();
    return result;
}

// ---- IUnknown ---------------------------------------------------------------------------------------

STDMETHODIMP CCheckListAccessible::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IAccessible)
        *ppv = static_cast<IAccessible*>(this);
    else if (riid == IID_IOleWindow)
        *ppv = static_cast<IOleWindow*>(this);
    else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CCheckListAccessible::AddRef() {
    return static_cast<ULONG>(++m_refs);
}

STDMETHODIMP_(ULONG) CCheckListAccessible::Release() {
    const LONG refs = --m_refs;
    if (refs == 0)
        delete this;
    return static_cast<ULONG>(refs);
}

// ---- IDispatch --------------------------------------------------------------------------------------

STDMETHODIMP CCheckListAccessible::GetTypeInfoCount(UINT* pctinfo) {
    if (!pctinfo)
        return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

STDMETHODIMP CCheckListAccessible::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) {
    if (ppTInfo)
        *ppTInfo = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CCheckListAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

STDMETHODIMP CCheckListAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                          UINT*) {
    return E_NOTIMPL;
}

// ---- IAccessible ------------------------------------------------------------------------------------

STDMETHODIMP CCheckListAccessible::get_accParent(IDispatch** ppdispParent) {
    if (!ppdispParent)
        return E_POINTER;
    *ppdispParent = nullptr;
    HWND list = m_list.load();
    if (!list)
        return CO_E_OBJNOTCONNECTED;
    // The client area's parent is the window's own object.
    return ::AccessibleObjectFromWindow(list, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                        reinterpret_cast<void**>(ppdispParent));
}

STDMETHODIMP CCheckListAccessible::get_accChildCount(long* pcountChildren) {
    if (!pcountChildren)
        return E_POINTER;
    *pcountChildren = 0;
    HWND list = m_list.load();
    if (!list)
        return CO_E_OBJNOTCONNECTED;
    *pcountChildren = RowCount(list);
    return S_OK;
}

STDMETHODIMP CCheckListAccessible::get_accChild(VARIANT varChild, IDispatch** ppdispChild) {
    if (!ppdispChild)
        return E_POINTER;
    *ppdispChild = nullptr;
    HWND list;
    int row;
    const HRESULT hr = Resolve(varChild, list, row);
    if (FAILED(hr))
        return hr;
    // Rows are simple elements, answered by this object with their child id.
    return row >= 0 ? S_FALSE : E_INVALIDARG;
}

STDMETHODIMP CCheckListAccessible::get_accName(VARIANT varChild, BSTR* pszName) {
    HWND list;
    int row;
    if (pszName && SUCCEEDED(Resolve(varChild, list, row)) && row >= 0) {
        *pszName = nullptr;
        return RowText(list, row, pszName);
    }
    // The list's own name comes from its label, which the system finds.
    return SelfString(varChild, pszName, S_OK, &IAccessible::get_accName);
}

STDMETHODIMP CCheckListAccessible::get_accValue(VARIANT varChild, BSTR* pszValue) {
    // A row has no value beyond its name and state.
    return SelfString(varChild, pszValue, DISP_E_MEMBERNOTFOUND, &IAccessible::get_accValue);
}

STDMETHODIMP CCheckListAccessible::get_accDescription(VARIANT varChild, BSTR* pszDescription) {
    HWND list;
    int row;
    if (pszDescription && SUCCEEDED(Resolve(varChild, list, row)) && row < 0) {
        // What a long list holds at a glance: "1,234 of 100,000 checked".
        const std::wstring summary = CCheckListBox::CheckedSummary(list);
        *pszDescription = ::SysAllocStringLen(summary.c_str(), static_cast<UINT>(summary.size()));
        return *pszDescription ? S_OK : E_OUTOFMEMORY;
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
    if (!pszHelpFile || !pidTopic)
        return E_POINTER;
    *pszHelpFile = nullptr;
    *pidTopic = 0;
    HWND list;
    int row;
    const HRESULT hr = Resolve(varChild, list, row);
    return FAILED(hr) ? hr : DISP_E_MEMBERNOTFOUND;
}

STDMETHODIMP CCheckListAccessible::get_accRole(VARIANT varChild, VARIANT* pvarRole) {
    if (!pvarRole)
        return E_POINTER;
    ::VariantInit(pvarRole);
    HWND list;
    int row;
    const HRESULT hr = Resolve(varChild, list, row);
    if (FAILED(hr))
        return hr;
    SetLong(pvarRole, row >= 0 ? kRowRole : ROLE_SYSTEM_LIST);
    return S_OK;
}

STDMETHODIMP CCheckListAccessible::get_accState(VARIANT varChild, VARIANT* pvarState) {
    if (!pvarState)
        return E_POINTER;
    ::VariantInit(pvarState);
    HWND list;
    int row;
    const HRESULT hr = Resolve(varChild, list, row);
    if (FAILED(hr))
        return hr;
    const bool enabled = ::IsWindowEnabled(list) != FALSE;
    const bool focused = FocusOfThreadOf(list) == list;
    long state = 0;
    if (!enabled)
        state |= STATE_SYSTEM_UNAVAILABLE;
    if (row < 0) {
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
    } else {
        if (enabled)
            state |= STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
        if (Send(list, LB_GETSEL, static_cast<WPARAM>(row)) > 0)
            state |= STATE_SYSTEM_SELECTED;
        if (focused && Send(list, LB_GETCARETINDEX) == row)
            state |= STATE_SYSTEM_FOCUSED;
        const LRESULT mark = Send(list, LB_GETITEMDATA, static_cast<WPARAM>(row));
        if (mark != LB_ERR && mark != 0)
            state |= STATE_SYSTEM_CHECKED;
        RECT rect, client, visible;
        ::GetClientRect(list, &client);
        if (!CCheckListBox::GetRowRect(list, row, &rect) || !::IntersectRect(&visible, &rect, &client))
            state |= STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN;
    }
    SetLong(pvarState, state);
    return S_OK;
}

STDMETHODIMP CCheckListAccessible::get_accFocus(VARIANT* pvarChild) {
    if (!pvarChild)
        return E_POINTER;
    ::VariantInit(pvarChild);
    HWND list = m_list.load();
    if (!list)
        return CO_E_OBJNOTCONNECTED;
    if (FocusOfThreadOf(list) != list)
        return S_FALSE;
    const LRESULT caret = Send(list, LB_GETCARETINDEX);
    SetLong(pvarChild, caret >= 0 && caret < RowCount(list) ? static_cast<long>(caret) + 1 : CHILDID_SELF);
    return S_OK;
}

STDMETHODIMP CCheckListAccessible::get_accSelection(VARIANT* pvarChildren) {
    if (!pvarChildren)
        return E_POINTER;
    ::VariantInit(pvarChildren);
    HWND list = m_list.load();
    if (!list)
        return CO_E_OBJNOTCONNECTED;
    const LRESULT count = Send(list, LB_GETSELCOUNT);
    if (count == LB_ERR || count <= 0)
        return S_FALSE;
    std::vector<int> rows(static_cast<size_t>(count));
    const LRESULT got =
        Send(list, LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(rows.data()));
    if (got == LB_ERR || got <= 0)
        return S_FALSE;
    if (got == 1) {
        SetLong(pvarChildren, rows[0] + 1);
        return S_OK;
    }
    std::vector<long> ids(static_cast<size_t>(got));
    for (size_t i = 0; i < ids.size(); ++i)
        ids[i] = rows[i] + 1;
    CChildIdEnum* selection = new (std::nothrow) CChildIdEnum(std::move(ids));
    if (!selection)
        return E_OUTOFMEMORY;
    pvarChildren->vt = VT_UNKNOWN;
    pvarChildren->punkVal = selection;
    return S_OK;
}

STDMETHODIMP CCheckListAccessible::get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction) {
    if (!pszDefaultAction)
        return E_POINTER;
    *pszDefaultAction = nullptr;
    HWND list;
    int row;
    const HRESULT hr = Resolve(varChild, list, row);
    if (FAILED(hr))
        return hr;
    if (row < 0)
        return DISP_E_MEMBERNOTFOUND;
    const LRESULT mark = Send(list, LB_GETITEMDATA, static_cast<WPARAM>(row));
    *pszDefaultAction = ::SysAllocString(mark != LB_ERR && mark != 0 ? kUncheckAction : kCheckAction);
    return *pszDefaultAction ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CCheckListAccessible::accDoDefaultAction(VARIANT varChild) {
    HWND list;
    int row;
    const HRESULT hr = Resolve(varChild, list, row);
    if (FAILED(hr))
        return hr;
    if (row < 0)
        return DISP_E_MEMBERNOTFOUND;
    return Send(list, CCheckListBox::RowActionMessage(), CCheckListBox::kToggleRow, row) ? S_OK : E_FAIL;
}

STDMETHODIMP CCheckListAccessible::accSelect(long flagsSelect, VARIANT varChild) {
    HWND list;
    int row;
    const HRESULT hr = Resolve(varChild, list, row);
    if (FAILED(hr))
        return hr;
    if (row < 0 || (flagsSelect & SELFLAG_EXTENDSELECTION) ||
        (flagsSelect & (SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION)) ==
            (SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION))
        return E_INVALIDARG;
    if (!::IsWindowEnabled(list))
        return E_FAIL;
    const LRESULT caret = Send(list, LB_GETCARETINDEX);
    if (flagsSelect & SELFLAG_TAKESELECTION) {
        Send(list, LB_SETSEL, FALSE, -1);
        Send(list, LB_SETSEL, TRUE, row);
    }
    if (flagsSelect & (SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION))
        Send(list, LB_SETSEL, (flagsSelect & SELFLAG_ADDSELECTION) ? TRUE : FALSE, row);
    // The list moves its caret to a row it selects; only taking the focus should.
    if (!(flagsSelect & SELFLAG_TAKEFOCUS) && caret != LB_ERR && caret != Send(list, LB_GETCARETINDEX))
        Send(list, LB_SETCARETINDEX, static_cast<WPARAM>(caret), FALSE);
    if ((flagsSelect & SELFLAG_TAKEFOCUS) &&
        !Send(list, CCheckListBox::RowActionMessage(), CCheckListBox::kFocusRow, row))
        return E_FAIL;
    return S_OK;
}

STDMETHODIMP CCheckListAccessible::accLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight,
                                               VARIANT varChild) {
    if (!pxLeft || !pyTop || !pcxWidth || !pcyHeight)
        return E_POINTER;
    *pxLeft = *pyTop = *pcxWidth = *pcyHeight = 0;
    HWND list;
    int row;
    const HRESULT hr = Resolve(varChild, list, row);
    if (FAILED(hr))
        return hr;
    RECT rect;
    if (row < 0)
        ::GetClientRect(list, &rect);
    else if (!CCheckListBox::GetRowRect(list, row, &rect))
        return E_FAIL;
    ::MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    *pxLeft = rect.left;
    *pyTop = rect.top;
    *pcxWidth = rect.right - rect.left;
    *pcyHeight = rect.bottom - rect.top;
    return S_OK;
}

STDMETHODIMP CCheckListAccessible::accNavigate(long navDir, VARIANT varStart, VARIANT* pvarEndUpAt) {
    if (!pvarEndUpAt)
        return E_POINTER;
    ::VariantInit(pvarEndUpAt);
    HWND list;
    int row;
    const HRESULT hr = Resolve(varStart, list, row);
    if (FAILED(hr))
        return hr;
    const int count = RowCount(list);
    long target = 0; // a child id; 0 here means nowhere
    if (row < 0) {
        switch (navDir) {
        case NAVDIR_FIRSTCHILD:
            target = count > 0 ? 1 : 0;
            break;
        case NAVDIR_LASTCHILD:
            target = count;
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
            target = row + 1 < count ? row + 2 : 0;
            break;
        case NAVDIR_PREVIOUS:
        case NAVDIR_UP:
            target = row; // the row above, or nowhere above the first
            break;
        case NAVDIR_LEFT:
        case NAVDIR_RIGHT:
            break;
        default: // FIRSTCHILD, LASTCHILD: a row has no children
            return E_INVALIDARG;
        }
    }
    if (target <= 0)
        return S_FALSE;
    SetLong(pvarEndUpAt, target);
    return S_OK;
}

STDMETHODIMP CCheckListAccessible::accHitTest(long xLeft, long yTop, VARIANT* pvarChild) {
    if (!pvarChild)
        return E_POINTER;
    ::VariantInit(pvarChild);
    HWND list = m_list.load();
    if (!list)
        return CO_E_OBJNOTCONNECTED;
    POINT point = {xLeft, yTop};
    ::ScreenToClient(list, &point);
    RECT client;
    ::GetClientRect(list, &client);
    if (!::PtInRect(&client, point))
        return S_FALSE;
    const int row = CCheckListBox::RowAt(list, point);
    SetLong(pvarChild, row >= 0 ? row + 1 : CHILDID_SELF);
    return S_OK;
}

STDMETHODIMP CCheckListAccessible::put_accName(VARIANT, BSTR) {
    return E_NOTIMPL;
}

STDMETHODIMP CCheckListAccessible::put_accValue(VARIANT, BSTR) {
    return E_NOTIMPL;
}

// ---- IOleWindow -------------------------------------------------------------------------------------

STDMETHODIMP CCheckListAccessible::GetWindow(HWND* phwnd) {
    if (!phwnd)
        return E_POINTER;
    *phwnd = m_list.load();
    return *phwnd ? S_OK : CO_E_OBJNOTCONNECTED;
}

STDMETHODIMP CCheckListAccessible::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}
