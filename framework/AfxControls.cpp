#include "AfxControls.h"

void CListBox::GetText(int index, CString& text) const {
    const int length = GetTextLen(index);
    if (length <= 0) {
        text = "";
        return;
    }
    char* buffer = text.GetBuffer(length + 1);
    const int copied = static_cast<int>(SendMessage(LB_GETTEXT, (WPARAM)index, (LPARAM)buffer));
    text.ReleaseBuffer(copied > 0 ? -1 : 0);
}

int CListBox::SelItemRange(BOOL select, int first, int last) {
    return select ? static_cast<int>(SendMessage(LB_SELITEMRANGEEX, (WPARAM)first, (LPARAM)last))
                  : static_cast<int>(SendMessage(LB_SELITEMRANGEEX, (WPARAM)last, (LPARAM)first));
}
