#include "AdvancedOptions.h"

#include "AfxDialog.h"
#include "AfxModuleState.h"
#include "resource.h"

bool QueryAdvancedOptionsAvailable(CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions) {
    try {
        AFX_CALLER_ACTCTX_SCOPE callersWindows;
        return advancedOptions.AreAdvancedOptionsAvailable();
    } catch (...) {
        return false;
    }
}

void ShowAdvancedOptionsOrWarn(CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, HWND owner) {
    try {
        AFX_CALLER_ACTCTX_SCOPE callersWindows;
        advancedOptions.ShowAdvancedOptions(owner);
    } catch (...) {
        AfxMessageBox(IDS_ADVANCED_UNAVAILABLE, MB_ICONEXCLAMATION, 0);
    }
}
