// The host's function object behind the "Advanced..." buttons, as the dialogs use it. Nothing the host
// object throws leaves a dialog.
#ifndef CORVEL_ADVANCED_OPTIONS_H
#define CORVEL_ADVANCED_OPTIONS_H

#include <corvel/corvel.h>

using SourceControl::SCCProvider::CSCCAbstractGetCommandOptionsFunctionoid;

// The host's answer; an exception of any kind counts as "not available".
bool QueryAdvancedOptionsAvailable(CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions);

// Shows the provider's options owned by `owner`; if the host object throws, tells the user so in a
// message box and returns.
void ShowAdvancedOptionsOrWarn(CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, HWND owner);

#endif // CORVEL_ADVANCED_OPTIONS_H
