#include "CommentBox.h"

#include "AfxLanguage.h"

CString CommentForBox(const std::string& comment) {
    return CString(comment.c_str());
}

std::string CommentFromBox(const CString& comment) {
    return std::string(comment.GetString());
}

namespace {

// The label "Co&mment:" follows the box in the template, so its mnemonic would move the focus past the
// box. Placing the label just before the box among the dialog's windows makes Alt+M reach the box; the
// label is no tab stop, so the tab order stays as it was.
void PutCommentLabelBeforeBox(CEdit& box) {
    HWND label = ::GetWindow(box.m_hWnd, GW_HWNDNEXT);
    char className[16] = {};
    if (!label || !::GetClassNameA(label, className, sizeof className) || lstrcmpiA(className, "Static") != 0)
        return;
    HWND before = ::GetWindow(box.m_hWnd, GW_HWNDPREV);
    ::SetWindowPos(label, before ? before : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

} // namespace

void SetUpCommentBox(CEdit& box, int maxLength) {
    if (maxLength >= 1) {
        box.SetLimitText(static_cast<UINT>(maxLength));
        box.EnableWindow(TRUE);
    } else {
        box.EnableWindow(FALSE);
    }
    PutCommentLabelBeforeBox(box);
    AfxReadRightToLeft(box.m_hWnd);
}

void LayOutCommentBox(CEdit& box, CDynamicLayout& layout) {
    layout.AddItem(box.m_hWnd, CDynamicLayout::MoveVertical(100), CDynamicLayout::SizeHorizontal(100));
    HWND label = ::GetWindow(box.m_hWnd, GW_HWNDPREV); // where SetUpCommentBox put it
    char className[16] = {};
    if (label && ::GetClassNameA(label, className, sizeof className) && lstrcmpiA(className, "Static") == 0)
        layout.AddItem(label, CDynamicLayout::MoveVertical(100), CDynamicLayout::SizeNone());
}
