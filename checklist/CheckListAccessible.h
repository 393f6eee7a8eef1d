// CCheckListAccessible: what assistive technology sees of a check list (CCheckListBox) through Active
// Accessibility. The list is the object itself; its rows are simple elements (child ids 1..count) named by
// their text, with the check mark as a state.
//
// The object keeps only the window handle and reads everything through list box messages, so it may be
// called from any thread (a proxy's calls can arrive on another one). Actions are sent to the list's own
// window procedure so that they run on its thread. Once the list is destroyed, Disconnect() turns every
// call into CO_E_OBJNOTCONNECTED for clients that still hold the object.
#ifndef CORVEL_CHECK_LIST_ACCESSIBLE_H
#define CORVEL_CHECK_LIST_ACCESSIBLE_H

#include <windows.h>

#include <oleacc.h>

#include <atomic>
#include <mutex>

class CCheckListAccessible final : public IAccessible, public IOleWindow {
public:
    // A new object with one reference, or null.
    static CCheckListAccessible* Create(HWND list);
    // The list is going away: forget it. Safe to call more than once.
    void Disconnect();

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch: no type information; clients use the vtable.
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;

    // IAccessible
    STDMETHODIMP get_accParent(IDispatch** ppdispParent) override;
    STDMETHODIMP get_accChildCount(long* pcountChildren) override;
    STDMETHODIMP get_accChild(VARIANT varChild, IDispatch** ppdispChild) override;
    STDMETHODIMP get_accName(VARIANT varChild, BSTR* pszName) override;
    STDMETHODIMP get_accValue(VARIANT varChild, BSTR* pszValue) override;
    STDMETHODIMP get_accDescription(VARIANT varChild, BSTR* pszDescription) override;
    STDMETHODIMP get_accRole(VARIANT varChild, VARIANT* pvarRole) override;
    STDMETHODIMP get_accState(VARIANT varChild, VARIANT* pvarState) override;
    STDMETHODIMP get_accHelp(VARIANT varChild, BSTR* pszHelp) override;
    STDMETHODIMP get_accHelpTopic(BSTR* pszHelpFile, VARIANT varChild, long* pidTopic) override;
    STDMETHODIMP get_accKeyboardShortcut(VARIANT varChild, BSTR* pszKeyboardShortcut) override;
    STDMETHODIMP get_accFocus(VARIANT* pvarChild) override;
    STDMETHODIMP get_accSelection(VARIANT* pvarChildren) override;
    STDMETHODIMP get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction) override;
    STDMETHODIMP accSelect(long flagsSelect, VARIANT varChild) override;
    STDMETHODIMP accLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight,
                             VARIANT varChild) override;
    STDMETHODIMP accNavigate(long navDir, VARIANT varStart, VARIANT* pvarEndUpAt) override;
    STDMETHODIMP accHitTest(long xLeft, long yTop, VARIANT* pvarChild) override;
    STDMETHODIMP accDoDefaultAction(VARIANT varChild) override;
    STDMETHODIMP put_accName(VARIANT varChild, BSTR szName) override;
    STDMETHODIMP put_accValue(VARIANT varChild, BSTR szValue) override;

    // IOleWindow: lets WindowFromAccessibleObject find the list.
    STDMETHODIMP GetWindow(HWND* phwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override;

private:
    explicit CCheckListAccessible(HWND list);
    ~CCheckListAccessible();

    // What an answer is about: the list, and the row that its child id names (-1: the list itself); or,
    // in `hr`, the error the caller gets.
    struct Target {
        HRESULT hr;
        HWND list;
        int row;
    };
    // The opening every answer shares. The first checks and resolves a child id; the second first checks
    // that the output was given and clears it, then resolves `child`, or, without one, only checks that
    // the list is still connected.
    Target Open(const VARIANT& child) const;
    template <class T> Target Open(T* out, const VARIANT* child) const {
        if (!out)
            return {E_POINTER, nullptr, -1};
        Clear(out);
        if (child)
            return Open(*child);
        HWND list = m_list.load();
        return {list ? S_OK : CO_E_OBJNOTCONNECTED, list, -1};
    }
    static void Clear(BSTR* out) { *out = nullptr; }
    static void Clear(VARIANT* out) { ::VariantInit(out); }
    static void Clear(IDispatch** out) { *out = nullptr; }
    static void Clear(long* out) { *out = 0; }
    static int RowCount(HWND list);

    // A text property: the system's object answers for the list itself, rows answer `rowResult` with none.
    HRESULT SelfString(const VARIANT& child, BSTR* out, HRESULT rowResult,
                       HRESULT (STDMETHODCALLTYPE IAccessible::*method)(VARIANT, BSTR*));
    // The system's object for the list window, for what it knows better (label, siblings); null when gone.
    IAccessible* AcquireStandard();

    std::atomic<LONG> m_refs{1};
    std::atomic<HWND> m_list;
    std::mutex m_standardLock;
    IAccessible* m_standard = nullptr;
};

#endif // CORVEL_CHECK_LIST_ACCESSIBLE_H
