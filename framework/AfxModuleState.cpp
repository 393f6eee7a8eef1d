#include "AfxModuleState.h"

#include "AfxTemporaries.h"

namespace {
thread_local AFX_MODULE_STATE* t_pCurrentState = nullptr;
}

AFX_MODULE_STATE* AfxGetModuleState() {
    return t_pCurrentState ? t_pCurrentState : AfxGetStaticModuleState();
}

HINSTANCE AfxGetResourceHandle() {
    return AfxGetModuleState()->m_hCurrentResourceHandle;
}

AFX_MAINTAIN_STATE2::AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* pNewState)
    : m_pPrevModuleState(t_pCurrentState), m_temporaryMark(AfxTemporaryMark()) {
    t_pCurrentState = pNewState;
}

AFX_MAINTAIN_STATE2::~AFX_MAINTAIN_STATE2() {
    AfxReleaseTemporaries(m_temporaryMark);
    t_pCurrentState = m_pPrevModuleState;
}
