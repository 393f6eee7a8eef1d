// The "Browse..." button of the path dialogs, the same in all of them.
#ifndef CORVEL_BROWSE_H
#define CORVEL_BROWSE_H

#include "AfxDialog.h"

// Opens the open-file dialog over `dialog`, in the directory of the path in `pathMember` and with its
// file name filled in. Every control is saved into its member first; when a file is chosen,
// `pathMember` becomes its full path and every control is reloaded, so the others show what they
// showed. After a cancel the controls are left as they are.
void BrowseForPath(CDialog& dialog, CString& pathMember);

#endif // CORVEL_BROWSE_H
