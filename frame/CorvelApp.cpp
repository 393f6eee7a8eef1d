// The library's module state and application object, and its entry point.
#include "CorvelApp.h"

#include "AfxModuleState.h"
#include "ExportConvention.h"
#include "HostExceptions.h"
#include "checklist/CheckListBox.h"

#include <cxxabi.h>

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

void CorvelInitThreadState() {
    AfxInitThreadState();
    CheckListInitThreadState();
    // The C++ runtime's record of the thread's exceptions, which a throw of std::bad_alloc needs.
    asm volatile("" : : "r"(abi::__cxa_get_globals()) : "memory");
}

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        corvel::PrepareLibraryUnwinding();
        corvel::PrepareExceptionReserve();
        CorvelInitThreadState();
        return AfxDllProcessAttach(hInstance);
    case DLL_PROCESS_DETACH:
        AfxDllProcessDetach();
        corvel::ReleaseLibraryUnwinding(reserved != nullptr);
        break;
    case DLL_THREAD_DETACH:
        AfxDllThreadDetach();
        break;
    default:
        break;
    }
    return TRUE;
}
