#include "CheckListFinder.h"

#include "CheckListBox.h"

#include <oleacc.h>

namespace {

bool BeginsWith(LCID locale, const wchar_t* text, size_t length, const std::wstring& prefix) {
    if (length < prefix.size())
        return false;
    const int size = static_cast<int>(prefix.size());
    return ::CompareStringW(locale, NORM_IGNORECASE, text, size, prefix.c_str(), size) == CSTR_EQUAL;
}

} // namespace

bool CCheckListFinder::OnChar(CCheckListBox& list, WPARAM code, DWORD time) {
    wchar_t ch = 0;
    if (::IsWindowUnicode(list.m_hWnd)) {
        ch = static_cast<wchar_t>(code);
    } else {
        const char byte = static_cast<char>(code);
        if (m_leadByte) {
            const char bytes[2] = {m_leadByte, byte};
            m_leadByte = 0;
            if (::MultiByteToWideChar(CP_ACP, 0, bytes, 2, &ch, 1) != 1)
                return true;
        } else if (::IsDBCSLeadByte(static_cast<BYTE>(byte))) {
            m_leadByte = byte;
            return true;
        } else if (::MultiByteToWideChar(CP_ACP, 0, &byte, 1, &ch, 1) != 1) {
            return false;
        }
    }
    const bool extending = !m_text.empty() && time - m_lastTime <= kTypingPauseMs;
    if (ch == L'\b') {
        if (!extending) {
            m_text.clear();
            return true;
        }
        m_text.pop_back();
        m_lastTime = time;
        if (!m_text.empty())
            MoveCaret(list, Find(list, list.GetCaretIndex()));
        return true;
    }
    if (ch < L' ')
        return false; // Enter, Escape, Tab and control keys belong to the list and the dialog
    if (!extending)
        m_text.clear();
    m_text += ch;
    m_lastTime = time;
    const int caret = list.GetCaretIndex();
    MoveCaret(list, Find(list, caret < 0 ? 0 : extending ? caret : caret + 1));
    return true;
}

int CCheckListFinder::Find(CCheckListBox& list, int start) const {
    // A row still to come may be the one: the search runs over the complete list.
    if (!m_text.empty())
        list.CompletePendingRows();
    const int count = list.GetCount();
    if (count <= 0 || m_text.empty())
        return -1;
    const LCID locale = list.GetLocale();
    start = start < 0 || start >= count ? 0 : start;
    int pathMatch = -1;
    std::wstring text;
    for (int step = 0; step < count; ++step) {
        const int row = (start + step) % count;
        if (!list.GetRowText(row, text))
            continue;
        const size_t name = text.find_last_of(L"\\/");
        const size_t nameStart = name == std::wstring::npos ? 0 : name + 1;
        if (BeginsWith(locale, text.c_str() + nameStart, text.size() - nameStart, m_text))
            return row;
        if (pathMatch < 0 && nameStart > 0 && BeginsWith(locale, text.c_str(), text.size(), m_text))
            pathMatch = row;
    }
    return pathMatch;
}

void CCheckListFinder::MoveCaret(CCheckListBox& list, int row) const {
    if (row < 0)
        return;
    // The list box scrolls the caret row fully into view.
    list.SetCaretIndex(row);
    ::NotifyWinEvent(EVENT_OBJECT_FOCUS, list.m_hWnd, OBJID_CLIENT, row + 1);
}
