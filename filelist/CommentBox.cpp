#include "CommentBox.h"

CString CommentForBox(const std::string& comment) {
    return CString(comment.c_str());
}

std::string CommentFromBox(const CString& comment) {
    return std::string(comment.GetString());
}

void ApplyCommentLimit(CEdit& box, int maxLength) {
    if (maxLength >= 1) {
        box.SetLimitText(static_cast<UINT>(maxLength));
        box.EnableWindow(TRUE);
    } else {
        box.EnableWindow(FALSE);
    }
}
