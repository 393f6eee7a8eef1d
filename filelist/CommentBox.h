// The one-line comment box that the check-in and check-out dialogs share (control 1013). Each dialog
// keeps its own members; these functions are what the two boxes do alike.
#ifndef CORVEL_COMMENT_BOX_H
#define CORVEL_COMMENT_BOX_H

#include "AfxControls.h"
#include "AfxDynamicLayout.h"

#include <string>

// The caller's comment as the box can hold it: the characters before the first NUL.
CString CommentForBox(const std::string& comment);

// The comment as it goes back to the caller.
std::string CommentFromBox(const CString& comment);

// What both dialogs' OnInitDialog does to the box once it holds the caller's comment (so that a longer
// comment is shown and returned whole): limits what can be typed to `maxLength` characters and enables
// the box, or for 0 or less disables it and sets no limit; and lets the label's mnemonic reach the box.
void SetUpCommentBox(CEdit& box, int maxLength);

// After SetUpCommentBox: the box and its label keep their distance to the bottom edge of a resized
// dialog, and the box grows with the dialog's width.
void LayOutCommentBox(CEdit& box, CDynamicLayout& layout);

#endif // CORVEL_COMMENT_BOX_H
