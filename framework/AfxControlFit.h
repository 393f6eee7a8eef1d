// Labels and check boxes whose text needs more room, in the font the dialog was given, than their place
// in the template has: each grows sideways into the free space after it, up to its nearest neighbour on
// the same line or the dialog's margin. A template sized for one font may meet another on the user's
// system; the user then still reads the whole text.
#ifndef CORVEL_AFX_CONTROL_FIT_H
#define CORVEL_AFX_CONTROL_FIT_H

#include <windows.h>

// Widens each label and check box of `hDlg` that is narrower than its text needs, as far as free space
// after it allows.
void AfxFitControlTexts(HWND hDlg);

#endif // CORVEL_AFX_CONTROL_FIT_H
