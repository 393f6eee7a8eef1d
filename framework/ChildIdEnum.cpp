#include "ChildIdEnum.h"

#include <new>
#include <utility>

CChildIdEnum::CChildIdEnum(std::vector<long> ids, ULONG next) : m_ids(std::move(ids)), m_next(next) {}

STDMETHODIMP CChildIdEnum::QueryInterface(REFIID riid, void** ppv) {
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

STDMETHODIMP_(ULONG) CChildIdEnum::AddRef() {
    return static_cast<ULONG>(++m_refs);
}

STDMETHODIMP_(ULONG) CChildIdEnum::Release() {
    const LONG refs = --m_refs;
    if (refs == 0)
        delete this;
    return static_cast<ULONG>(refs);
}

STDMETHODIMP CChildIdEnum::Next(ULONG celt, VARIANT* rgVar, ULONG* pCeltFetched) {
    if (!rgVar)
        return E_POINTER;
    ULONG fetched = 0;
    for (; fetched < celt && m_next < m_ids.size(); ++fetched)
        SetChildId(&rgVar[fetched], m_ids[m_next++]);
    if (pCeltFetched)
        *pCeltFetched = fetched;
    return fetched == celt ? S_OK : S_FALSE;
}

STDMETHODIMP CChildIdEnum::Skip(ULONG celt) {
    const ULONG left = static_cast<ULONG>(m_ids.size()) - m_next;
    m_next += celt < left ? celt : left;
    return celt <= left ? S_OK : S_FALSE;
}

STDMETHODIMP CChildIdEnum::Reset() {
    m_next = 0;
    return S_OK;
}

STDMETHODIMP CChildIdEnum::Clone(IEnumVARIANT** ppEnum) {
    if (!ppEnum)
        return E_POINTER;
    *ppEnum = new (std::nothrow) CChildIdEnum(m_ids, m_next);
    return *ppEnum ? S_OK : E_OUTOFMEMORY;
}
