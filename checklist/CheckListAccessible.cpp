// The accessible object's COM plumbing, its link to the list window and the opening its answers share.
// The answers themselves are in CheckListAccessibleAnswers.cpp.
#include "CheckListAccessible.h"

#include "CheckListBox.h"

#include <new>
#include <utility>

CCheckListAccessible* CCheckListAccessible::Create(HWND list) {
    return list ? new (std::nothrow) CCheckListAccessible(list) : nullptr;
}

CCheckListAccessible::CCheckListAccessible(HWND list) : m_list(list) {
    // The system's own object for the window answers for the list as a whole where it knows more than
    // we do; it knows nothing of owner-drawn rows.
    void* standard = nullptr;
    if (SUCCEEDED(::CreateStdAccessibleObject(list, OBJID_CLIENT, __uuidof(IAccessible), &standard)))
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

int CCheckListAccessible::RowCount(HWND list) {
    const int count = CListBoxT<CWindowHandle>(list).GetCount();
    return count == LB_ERR ? 0 : count;
}

CCheckListAccessible::Target CCheckListAccessible::Open(const VARIANT& child) const {
    HWND list = m_list.load();
    if (!list || !::IsWindow(list))
        return {CO_E_OBJNOTCONNECTED, list, -1};
    if (child.vt != VT_I4)
        return {E_INVALIDARG, list, -1};
    if (child.lVal == CHILDID_SELF)
        return {S_OK, list, -1};
    if (child.lVal < 1 || child.lVal > RowCount(list))
        return {E_INVALIDARG, list, -1};
    return {S_OK, list, static_cast<int>(child.lVal - 1)};
}

HRESULT CCheckListAccessible::SelfString(const VARIANT& child, BSTR* out, HRESULT rowResult,
                                         HRESULT (STDMETHODCALLTYPE IAccessible::*method)(VARIANT, BSTR*)) {
    const Target target = Open(out, &child);
    if (FAILED(target.hr))
        return target.hr;
    if (target.row >= 0)
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
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IAccessible))
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

// ---- IAccessible: what cannot be set ----------------------------------------------------------------

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
