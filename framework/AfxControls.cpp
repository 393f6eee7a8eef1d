#include "AfxControls.h"

#include <cwchar>

void CListBox::GetText(int index, CString& text) const {
    if (m_nTextCodePage != CP_ACP) {
        const LRESULT length = ::SendMessageW(m_hWnd, LB_GETTEXTLEN, (WPARAM)index, 0);
        if (length <= 0) {
            text = "";
            return;
        }
        std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
        const LRESULT copied = ::SendMessageW(m_hWnd, LB_GETTEXT, (WPARAM)index, (LPARAM)&wide[0]);
        text = AfxTextFromWide(wide.c_str(), copied > 0 ? static_cast<int>(wcslen(wide.c_str())) : 0,
                               m_nTextCodePage)
                   .c_str();
        return;
    }
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
