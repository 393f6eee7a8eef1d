// The per-module state through which the framework finds a module's instance and resources, and the
// guard that makes one current for the length of a call.
#ifndef CORVEL_AFX_MODULE_STATE_H
#define CORVEL_AFX_MODULE_STATE_H

#include <windows.h>

#include <cstddef>

class CWinApp;

struct AFX_MODULE_STATE {
    HINSTANCE m_hCurrentResourceHandle = nullptr;
    CWinApp* m_pCurrentWinApp = nullptr;
    const char* m_lpszCurrentAppName = nullptr;
    // The module's own activation context (its manifest: Common Controls 6), made once when the module
    // is loaded; INVALID_HANDLE_VALUE when the module has none.
    HANDLE m_hActCtx = INVALID_HANDLE_VALUE;
};

// Makes and releases the activation context of the module's manifest resource (resource id 2).
void AfxCreateModuleActivationContext(AFX_MODULE_STATE* pState, HINSTANCE hInstance);
void AfxReleaseModuleActivationContext(AFX_MODULE_STATE* pState);

// The state that is current on this thread; the module's own when no guard has made another current.
AFX_MODULE_STATE* AfxGetModuleState();
// The state of the module that links the framework. Defined by that module.
AFX_MODULE_STATE* AfxGetStaticModuleState();

HINSTANCE AfxGetResourceHandle();

// Gives this thread its framework state (its thread-local variables) now. The runtime makes such state on
// first use, with memory, and ends the process when there is none; made here, when a thread first enters
// the library, it is never needed later, in the middle of a call where memory may have run out.
void AfxInitThreadState();

// Makes the thread-local variable `variable` exist on this thread.
template <typename T> inline void AfxTouchThreadLocal(T& variable) {
    asm volatile("" : : "r"(&variable) : "memory");
}

// Makes a module state current until the end of the scope, including an exit by exception, and its
// activation context active, so that every window made inside gets the controls its manifest asks for;
// the caller's context is active again when the scope ends. Temporary window wrappers made inside the
// scope are released when it ends, so nothing made by one call survives into the next.
class AFX_MAINTAIN_STATE2 {
public:
    explicit AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* pNewState);
    ~AFX_MAINTAIN_STATE2();

    AFX_MAINTAIN_STATE2(const AFX_MAINTAIN_STATE2&) = delete;
    AFX_MAINTAIN_STATE2& operator=(const AFX_MAINTAIN_STATE2&) = delete;

private:
    AFX_MODULE_STATE* m_pPrevModuleState;
    std::size_t m_temporaryMark;
    HANDLE m_hPrevCallerActCtx;
    HANDLE m_hCallerActCtx = nullptr; // the reference GetCurrentActCtx gave this guard
    ULONG_PTR m_actCtxCookie = 0;
    bool m_bActCtxActive = false;
};

// For the length of a call out to the caller (a host callback), the activation context that was active
// when the caller entered the module is active again, so that windows the caller makes meanwhile are its
// own and never the module's.
class AFX_CALLER_ACTCTX_SCOPE {
public:
    AFX_CALLER_ACTCTX_SCOPE();
    ~AFX_CALLER_ACTCTX_SCOPE();

    AFX_CALLER_ACTCTX_SCOPE(const AFX_CALLER_ACTCTX_SCOPE&) = delete;
    AFX_CALLER_ACTCTX_SCOPE& operator=(const AFX_CALLER_ACTCTX_SCOPE&) = delete;

private:
    ULONG_PTR m_cookie = 0;
    bool m_bActive = false;
};

#endif // CORVEL_AFX_MODULE_STATE_H
