// CChildIdEnum: child ids handed to an accessibility client as an enumeration, as a list answers for a
// selection of more than one row.
#ifndef CORVEL_CHILD_ID_ENUM_H
#define CORVEL_CHILD_ID_ENUM_H

#include <windows.h>

#include <oleauto.h>

#include <atomic>
#include <vector>

// A child id as an accessibility client reads it.
inline void SetChildId(VARIANT* variant, long id) {
    variant->vt = VT_I4;
    variant->lVal = id;
}

class CChildIdEnum final : public IEnumVARIANT {
public:
    explicit CChildIdEnum(std::vector<long> ids, ULONG next = 0);

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP Next(ULONG celt, VARIANT* rgVar, ULONG* pCeltFetched) override;
    STDMETHODIMP Skip(ULONG celt) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumVARIANT** ppEnum) override;

private:
    std::atomic<LONG> m_refs{1};
    std::vector<long> m_ids;
    ULONG m_next;
};

#endif // CORVEL_CHILD_ID_ENUM_H
