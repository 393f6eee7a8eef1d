#include "AdvancedOptions.h"

#include "AfxDialog.h"
#include "AfxModuleState.h"

const char* const kAdvancedOptionsUnavailableMessage =
    "Advanced options have become unexpectedly unavailable.\nTry again later. You may have to restart this "
    "program or your source control provider.";

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
        AfxMessageBox(kAdvancedOptionsUnavailableMessage, MB_ICONEXCLAMATION, 0);
    }
}
