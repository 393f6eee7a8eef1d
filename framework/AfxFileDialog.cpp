#include "AfxFileDialog.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace {

// "a|b||" -> "a\0b\0\0". A '|' that is the trail byte of a double-byte character stays as it is.
std::string FilterToNulSeparated(const char* filter, UINT codePage) {
    std::string converted(filter);
    for (size_t i = 0; i < converted.size(); ++i) {
        if (codePage == CP_ACP && ::IsDBCSLeadByte(static_cast<BYTE>(converted[i])) &&
            i + 1 < converted.size())
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
      m_nTextCodePage(pParentWnd ? pParentWnd->m_nTextCodePage : AfxGetTextCodePage()),
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
        m_strFilter = FilterToNulSeparated(lpszFilter, m_nTextCodePage);
        m_ofn.lpstrFilter = m_strFilter.c_str();
    }
}

CFileDialog::~CFileDialog() = default;

INT_PTR CFileDialog::DoModal() {
    m_ofn.hwndOwner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : ::GetActiveWindow();
    BOOL chosen = FALSE;
    if (m_nTextCodePage == CP_ACP)
        chosen = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    else
        chosen = DoModalWide();
    return chosen ? IDOK : IDCANCEL;
}

namespace {

// A text of m_ofn in UTF-16, and whether there was one.
struct WideField {
    WideField(const char* text, UINT codePage)
        : present(text != nullptr), wide(AfxWideFromText(text, codePage)) {}
    const wchar_t* get() const { return present ? wide.c_str() : nullptr; }
    bool present;
    std::wstring wide;
};

// A list of NUL-terminated texts closed by an empty one.
std::wstring WideList(const char* list, UINT codePage) {
    std::wstring wide;
    for (const char* item = list; *item; item += std::strlen(item) + 1) {
        wide += AfxWideFromText(item, codePage);
        wide += L'\0';
    }
    wide += L'\0';
    return wide;
}

} // namespace

BOOL CFileDialog::DoModalWide() {
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_ofn.hwndOwner;
    ofn.Flags = m_ofn.Flags;
    const std::wstring filter =
        m_ofn.lpstrFilter ? WideList(m_ofn.lpstrFilter, m_nTextCodePage) : std::wstring();
    ofn.lpstrFilter = m_ofn.lpstrFilter ? filter.c_str() : nullptr;
    ofn.nFilterIndex = m_ofn.nFilterIndex;
    const WideField initialDir(m_ofn.lpstrInitialDir, m_nTextCodePage),
        title(m_ofn.lpstrTitle, m_nTextCodePage), defExt(m_ofn.lpstrDefExt, m_nTextCodePage);
    ofn.lpstrInitialDir = initialDir.get();
    ofn.lpstrTitle = title.get();
    ofn.lpstrDefExt = defExt.get();
    std::vector<wchar_t> file(kFileBufferSize, L'\0');
    const std::wstring initialFile = AfxWideFromText(m_ofn.lpstrFile, m_nTextCodePage);
    std::copy_n(initialFile.begin(), std::min<size_t>(initialFile.size(), file.size() - 1), file.begin());
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    const BOOL chosen = m_bOpenFileDialog ? ::GetOpenFileNameW(&ofn) : ::GetSaveFileNameW(&ofn);
    if (!chosen)
        return FALSE;
    const std::string path =
        AfxTextFromWide(file.data(), static_cast<int>(wcsnlen(file.data(), file.size())), m_nTextCodePage);
    m_fileName.assign(path.begin(), path.end());
    m_fileName.push_back('\0');
    m_ofn.lpstrFile = m_fileName.data();
    m_ofn.nMaxFile = static_cast<DWORD>(m_fileName.size());
    return TRUE;
}

CString CFileDialog::GetPathName() const {
    return CString(m_ofn.lpstrFile);
}
