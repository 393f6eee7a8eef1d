// The one-line comment box that the check-in and check-out dialogs share (control 1013). Each dialog
// keeps its own members; these functions are what the two boxes do alike.
#ifndef CORVEL_COMMENT_BOX_H
#define CORVEL_COMMENT_BOX_H

#include "AfxControls.h"

#include <string>

// The caller's comment as the box can hold it: the characters before the first NUL.
CString CommentForBox(const std::string& comment);

// The comment as it goes back to the caller.
std::string CommentFromBox(const CString& comment);

// Limits what can be typed into the box to `maxLength` characters and enables it; 0 or less disables
// the box and sets no limit. Call it after the box has received its text, so that a longer comment from
// the caller is shown and returned whole.
void ApplyCommentLimit(CEdit& box, int maxLength);

// The label "Co&mment:" follows the box in the template, so its mnemonic would move the focus past the
// box. Placing the label just before the box among the dialog's windows makes Alt+M reach the box; the
// label is no tab stop, so the tab order stays as it was.
void PutCommentLabelBeforeBox(CEdit& box);

#endif // CORVEL_COMMENT_BOX_H
