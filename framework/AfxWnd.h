// Command targets, message maps and the window wrapper CWnd.
#ifndef CORVEL_AFX_WND_H
#define CORVEL_AFX_WND_H

#include <windows.h>

#include "AfxString.h"
#include "AfxText.h"

#include <memory>

class CDynamicLayout;

class CCmdTarget;
typedef void (CCmdTarget::*AFX_PMSG)();

// Every handler of this framework takes no argument and returns nothing.
enum AfxSig : UINT_PTR { AfxSig_end = 0, AfxSig_vv = 1 };

struct AFX_MSGMAP_ENTRY {
    UINT nMessage; // WM_COMMAND, WM_DESTROY, ...
    UINT nCode;    // notification code of WM_COMMAND
    UINT nID;      // control id range of WM_COMMAND
    UINT nLastID;
    UINT_PTR nSig; // AfxSig_end closes the table
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                                                                                \
protected:                                                                                                   \
    static const AFX_MSGMAP* GetThisMessageMap();                                                            \
    virtual const AFX_MSGMAP* GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                               \
    const AFX_MSGMAP* theClass::GetMessageMap() const {                                                      \
        return GetThisMessageMap();                                                                          \
    }                                                                                                        \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                                        \
        [[maybe_unused]] typedef theClass ThisClass;                                                         \
        typedef baseClass TheBaseClass;                                                                      \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                                    \
    { 0, 0, 0, 0, AfxSig_end, nullptr }                                                                      \
    }                                                                                                        \
    ;                                                                                                        \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};            \
    return &messageMap;                                                                                      \
    }

#define ON_COMMAND(id, memberFxn)                                                                            \
    {WM_COMMAND, 0, (WORD)(id), (WORD)(id), AfxSig_vv, static_cast<AFX_PMSG>(&ThisClass::memberFxn)},
#define ON_CONTROL(code, id, memberFxn)                                                                      \
    {WM_COMMAND, (WORD)(code), (WORD)(id),                                                                   \
     (WORD)(id), AfxSig_vv,    static_cast<AFX_PMSG>(&ThisClass::memberFxn)},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, 0, AfxSig_vv, static_cast<AFX_PMSG>(&ThisClass::OnDestroy)},

class CCmdTarget {
public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Looks the message up in this object's map and its base maps, and calls the first handler found.
    bool DispatchToMessageMap(UINT message, WPARAM wParam);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

class CWnd : public CCmdTarget {
public:
    CWnd();
    ~CWnd() override;

    HWND m_hWnd = nullptr;
    // The code page of the texts this wrapper exchanges with the library's caller (AfxText.h).
    UINT m_nTextCodePage = AfxGetTextCodePage();

    // The wrapper attached to `hWnd`, or a temporary one released at the end of the current call.
    static CWnd* FromHandle(HWND hWnd);
    // The wrapper attached to `hWnd`, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return GetSafeHwnd(); }

    BOOL Attach(HWND hWnd);
    HWND Detach();
    // Routes the messages of the dialog control `nID` of `pParent` through this object.
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    BOOL SubclassWindow(HWND hWnd);
    HWND UnsubclassWindow();

    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    // WM_SETREDRAW: with drawing off a window changes without repainting until drawing is back on.
    void SetRedraw(BOOL bRedraw = TRUE) { SendMessage(WM_SETREDRAW, static_cast<WPARAM>(bRedraw)); }

    // Moves data between the controls and the members: DoDataExchange in the saving (TRUE) or the
    // loading (FALSE) direction.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // Called on WM_DESTROY through a message map.
    void OnDestroy();

    // The layout that places the controls whenever the window is resized (AfxDynamicLayout.h), made for
    // the window's present client area; null until enabled.
    void EnableDynamicLayout(BOOL bEnable = TRUE);
    CDynamicLayout* GetDynamicLayout() { return m_pDynamicLayout.get(); }
    // Called on WM_SIZE.
    void ResizeDynamicLayout();

protected:
    friend class CDialog;
    friend LRESULT AfxCallWndProc(HWND, UINT, WPARAM, LPARAM, bool);
    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);

    virtual void DoDataExchange(class CDataExchange* pDX);
    // Messages of a subclassed control: the message map first, then the original window procedure.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Owner-draw and similar messages that the parent passes back to the control they concern.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual void PreSubclassWindow() {}

    WNDPROC m_pfnSuper = nullptr;
    std::unique_ptr<CDynamicLayout> m_pDynamicLayout;
    // A Unicode window is subclassed with a Unicode procedure, so that its texts arrive unconverted.
    bool m_bUnicodeProc = false;
};

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK AfxWndProcW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// What both procedures do; `unicode` tells in which character set the message came.
LRESULT AfxCallWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, bool unicode);

// Remembers an exception thrown inside a window procedure (it cannot unwind through the system's
// frames) and ends the modal dialog that owns `hWnd`; CDialog::DoModal rethrows it to its caller.
void AfxStoreWindowProcException(HWND hWnd);
void AfxRethrowWindowProcException();

#endif // CORVEL_AFX_WND_H
