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
};

// The state that is current on this thread; the module's own when no guard has made another current.
AFX_MODULE_STATE* AfxGetModuleState();
// The state of the module that links the framework. Defined by that module.
AFX_MODULE_STATE* AfxGetStaticModuleState();

HINSTANCE AfxGetResourceHandle();

// Makes a module state current until the end of the scope, including an exit by exception. Temporary
// window wrappers made inside the scope are released when it ends, so nothing made by one call survives
// into the next.
class AFX_MAINTAIN_STATE2 {
public:
    explicit AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* pNewState);
    ~AFX_MAINTAIN_STATE2();

    AFX_MAINTAIN_STATE2(const AFX_MAINTAIN_STATE2&) = delete;
    AFX_MAINTAIN_STATE2& operator=(const AFX_MAINTAIN_STATE2&) = delete;

private:
    AFX_MODULE_STATE* m_pPrevModuleState;
    std::size_t m_temporaryMark;
};

#endif // CORVEL_AFX_MODULE_STATE_H
