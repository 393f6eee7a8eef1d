// CChildIdEnum: child ids handed to an accessibility client as an enumeration, as a list answers for a
// selection of more than one row.
#ifndef CORVEL_CHILD_ID_ENUM_H
#define CORVEL_CHILD_ID_ENUM_H

#include <windows.h>

#include <oleauto.h>

#include <atomic>
#include <new>
#include <utility>
#include <vector>

// A child id as an accessibility client reads it.
inline void SetChildId(VARIANT* variant, long id) {
    variant->vt = VT_I4;
    variant->lVal = id;
}

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
            SetChildId(&rgVar[fetched], m_ids[m_next++]);
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

#endif // CORVEL_CHILD_ID_ENUM_H
