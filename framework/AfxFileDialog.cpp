#include "AfxFileDialog.h"

#include <algorithm>
#include <cstring>

namespace {

// "a|b||" -> "a\0b\0\0". A '|' that is the trail byte of a double-byte character stays as it is.
std::string FilterToNulSeparated(const char* filter) {
    std::string converted(filter);
    for (size_t i = 0; i < converted.size(); ++i) {
        if (::IsDBCSLeadByte(static_cast<BYTE>(converted[i])) && i + 1 < converted.size())
            ++i;
        else if (converted[i] == '|')
            converted[i] = '\0';
    }
    return converted;
}

} // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt, const char* lpszFileName,
                         DWORD dwFlags, const char* lpszFilter, CWnd* pParentWnd)
    : m_ofn(), m_bOpenFileDialog(bOpenFileDialog), m_pParentWnd(pParentWnd),
      m_fileName(kFileBufferSize, '\0') {
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.Flags = dwFlags;

    if (lpszFileName) {
        const size_t length = std::min<size_t>(std::strlen(lpszFileName), m_fileName.size() - 1);
        std::memcpy(m_fileName.data(), lpszFileName, length);
    }
    m_ofn.lpstrFile = m_fileName.data();
    m_ofn.nMaxFile = static_cast<DWORD>(m_fileName.size());

    if (lpszDefExt) {
        m_strDefExt = lpszDefExt;
        m_ofn.lpstrDefExt = m_strDefExt.c_str();
    }
    if (lpszFilter) {
        m_strFilter = FilterToNulSeparated(lpszFilter);
        m_ofn.lpstrFilter = m_strFilter.c_str();
    }
}

CFileDialog::~CFileDialog() = default;

INT_PTR CFileDialog::DoModal() {
    m_ofn.hwndOwner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : ::GetActiveWindow();
    const BOOL chosen = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    return chosen ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const {
    return CString(m_ofn.lpstrFile);
}
