#include "AfxControls.h"

#include <cwchar>
#include <string>

void CListBox::GetText(int index, CString& text) const {
    if (m_nTextCodePage != CP_ACP) {
        std::wstring wide;
        GetWideText(index, wide);
        text = AfxTextFromWide(wide.c_str(), static_cast<int>(wide.size()), m_nTextCodePage).c_str();
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

int CEdit::Room() const {
    DWORD start = 0, end = 0;
    ::SendMessageW(m_hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const int limit = static_cast<int>(::SendMessageW(m_hWnd, EM_GETLIMITTEXT, 0, 0));
    return limit - (::GetWindowTextLengthW(m_hWnd) - static_cast<int>(end - start));
}

LRESULT CEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!m_bUnicodeProc)
        return CWnd::WindowProc(message, wParam, lParam);
    // The box itself would keep the first half of a pair when only one unit is left.
    if (message == WM_CHAR && IS_HIGH_SURROGATE(static_cast<WCHAR>(wParam))) {
        m_bDropLowSurrogate = Room() < 2;
        if (m_bDropLowSurrogate) {
            ::MessageBeep(MB_OK);
            return 0;
        }
    } else if (message == WM_CHAR && IS_LOW_SURROGATE(static_cast<WCHAR>(wParam)) && m_bDropLowSurrogate) {
        m_bDropLowSurrogate = false;
        return 0;
    } else if (message == WM_PASTE && ::IsClipboardFormatAvailable(CF_UNICODETEXT) &&
               ::OpenClipboard(m_hWnd)) {
        std::wstring text;
        if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
            if (const wchar_t* locked = static_cast<const wchar_t*>(::GlobalLock(data))) {
                text = locked;
                ::GlobalUnlock(data);
            }
        }
        ::CloseClipboard();
        const int room = Room();
        if (room > 0 && static_cast<size_t>(room) < text.size() &&
            IS_HIGH_SURROGATE(text[static_cast<size_t>(room) - 1]) &&
            text.find_first_of(L"\r\n") >= text.size()) {
            // Cut before the pair instead of inside it; a paste that fits, or of several lines, is the box's.
            text.resize(static_cast<size_t>(room) - 1);
            ::SendMessageW(m_hWnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
            return 0;
        }
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
