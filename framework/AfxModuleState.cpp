#include "AfxModuleState.h"

#include "AfxAppearance.h"

#include "AfxTemporaries.h"
#include "AfxText.h"

namespace {
thread_local AFX_MODULE_STATE* t_pCurrentState = nullptr;
// The context that was active when the caller entered the module (null: the process default), for
// AFX_CALLER_ACTCTX_SCOPE; INVALID_HANDLE_VALUE outside any call.
thread_local HANDLE t_hCallerActCtx = INVALID_HANDLE_VALUE;
} // namespace

void AfxInitThreadState() {
    AfxTouchThreadLocal(t_pCurrentState);
    AfxTouchThreadLocal(t_hCallerActCtx);
    AfxInitTextThreadState();
    AfxInitWindowThreadState();
    AfxInitAppearanceThreadState();
}

void AfxCreateModuleActivationContext(AFX_MODULE_STATE* pState, HINSTANCE hInstance) {
    wchar_t path[MAX_PATH] = {};
    if (!::GetModuleFileNameW(hInstance, path, MAX_PATH))
        return;
    ACTCTXW context = {};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = path;
    context.hModule = hInstance;
    context.lpResourceName = MAKEINTRESOURCEW(2); // ISOLATIONAWARE_MANIFEST_RESOURCE_ID
    pState->m_hActCtx = ::CreateActCtxW(&context);
}

void AfxReleaseModuleActivationContext(AFX_MODULE_STATE* pState) {
    if (pState->m_hActCtx != INVALID_HANDLE_VALUE)
        ::ReleaseActCtx(pState->m_hActCtx);
    pState->m_hActCtx = INVALID_HANDLE_VALUE;
}

AFX_MODULE_STATE* AfxGetModuleState() {
    return t_pCurrentState ? t_pCurrentState : AfxGetStaticModuleState();
}

HINSTANCE AfxGetResourceHandle() {
    return AfxGetModuleState()->m_hCurrentResourceHandle;
}

AFX_MAINTAIN_STATE2::AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* pNewState)
    : m_pPrevModuleState(t_pCurrentState), m_temporaryMark(AfxTemporaryMark()),
      m_hPrevCallerActCtx(t_hCallerActCtx) {
    t_pCurrentState = pNewState;
    if (pNewState->m_hActCtx != INVALID_HANDLE_VALUE) {
        if (!::GetCurrentActCtx(&m_hCallerActCtx))
            m_hCallerActCtx = nullptr;
        t_hCallerActCtx = m_hCallerActCtx;
        m_bActCtxActive = ::ActivateActCtx(pNewState->m_hActCtx, &m_actCtxCookie) != FALSE;
    }
}

AFX_MAINTAIN_STATE2::~AFX_MAINTAIN_STATE2() {
    AfxReleaseTemporaries(m_temporaryMark);
    if (m_bActCtxActive)
        ::DeactivateActCtx(0, m_actCtxCookie);
    // Each guard gives back its own reference, also where a nested call found the same context.
    if (m_hCallerActCtx)
        ::ReleaseActCtx(m_hCallerActCtx);
    t_hCallerActCtx = m_hPrevCallerActCtx;
    t_pCurrentState = m_pPrevModuleState;
}

AFX_CALLER_ACTCTX_SCOPE::AFX_CALLER_ACTCTX_SCOPE() {
    if (t_hCallerActCtx != INVALID_HANDLE_VALUE)
        m_bActive = ::ActivateActCtx(t_hCallerActCtx, &m_cookie) != FALSE;
}

AFX_CALLER_ACTCTX_SCOPE::~AFX_CALLER_ACTCTX_SCOPE() {
    if (m_bActive)
        ::DeactivateActCtx(0, m_cookie);
}
