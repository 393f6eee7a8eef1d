// The library's module state and application object, and its entry point.
#include "CorvelApp.h"

#include "AfxModuleState.h"

namespace {
// Defined before the application object in this file, so it is constructed first and destroyed last.
AFX_MODULE_STATE g_moduleState;
} // namespace

AFX_MODULE_STATE* AfxGetStaticModuleState() {
    return &g_moduleState;
}

BEGIN_MESSAGE_MAP(CCorvelApp, CWinApp)
END_MESSAGE_MAP()

CCorvelApp::CCorvelApp() : CWinApp(nullptr) {}

namespace {
CCorvelApp theApp;
} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        return AfxDllProcessAttach(hInstance);
    case DLL_PROCESS_DETACH:
        AfxDllProcessDetach();
        break;
    case DLL_THREAD_DETACH:
        AfxDllThreadDetach();
        break;
    default:
        break;
    }
    return TRUE;
}
