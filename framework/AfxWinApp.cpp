#include "AfxWinApp.h"

#include "AfxModuleState.h"
#include "AfxTemporaries.h"

#include <cstdio>
#include <cstring>

namespace {
char g_moduleName[MAX_PATH];
}

CWinApp::CWinApp(const char* lpszAppName) : m_pszAppName(lpszAppName) {
    AfxGetStaticModuleState()->m_pCurrentWinApp = this;
}

CWinApp::~CWinApp() {
    AFX_MODULE_STATE* state = AfxGetStaticModuleState();
    if (state->m_pCurrentWinApp == this)
        state->m_pCurrentWinApp = nullptr;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return 0;
}

BOOL AfxDllProcessAttach(HINSTANCE hInstance) {
    AFX_MODULE_STATE* state = AfxGetStaticModuleState();
    state->m_hCurrentResourceHandle = hInstance;
    AfxCreateModuleActivationContext(state, hInstance);

    CWinApp* app = state->m_pCurrentWinApp;
    if (app && app->m_pszAppName) {
        state->m_lpszCurrentAppName = app->m_pszAppName;
    } else {
        char path[MAX_PATH] = {};
        ::GetModuleFileNameA(hInstance, path, MAX_PATH);
        const char* name = path;
        for (const char* p = path; *p; ++p)
            if (*p == '\\' || *p == '/')
                name = p + 1;
        std::snprintf(g_moduleName, sizeof g_moduleName, "%s", name);
        if (char* dot = std::strrchr(g_moduleName, '.'))
            *dot = '\0';
        state->m_lpszCurrentAppName = g_moduleName;
    }
    return app ? app->InitInstance() : TRUE;
}

void AfxDllProcessDetach() {
    AFX_MODULE_STATE* state = AfxGetStaticModuleState();
    if (state->m_pCurrentWinApp)
        state->m_pCurrentWinApp->ExitInstance();
    AfxReleaseTemporaries(0);
    AfxReleaseModuleActivationContext(state);
}

void AfxDllThreadDetach() {
    AfxReleaseTemporaries(0);
}
