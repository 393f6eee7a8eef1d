// The platform's common open-file and save-file dialogs.
#ifndef CORVEL_AFX_FILE_DIALOG_H
#define CORVEL_AFX_FILE_DIALOG_H

#include "AfxWnd.h"

#include <commdlg.h>

#include <string>
#include <vector>

class CFileDialog {
public:
    // `lpszFilter` is a list of "description|pattern|" pairs closed by a further '|', for example
    // "All Files (*.*)|*.*||". Null arguments leave the matching fields of m_ofn empty.
    CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt = nullptr, const char* lpszFileName = nullptr,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* lpszFilter = nullptr,
                CWnd* pParentWnd = nullptr);
    virtual ~CFileDialog();
    // m_ofn points into this object.
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // Modal over pParentWnd (or the active window when there is none). IDOK when the user chose a
    // file; IDCANCEL when the user cancelled or the dialog failed.
    virtual INT_PTR DoModal();
    // The full path of the chosen file.
    CString GetPathName() const;

    // Filled by the constructor; a caller may change fields (lpstrInitialDir, lpstrTitle, ...) before
    // DoModal. Texts it points to must outlive DoModal. They are in the parent's text code page
    // (AfxText.h): in the ANSI one the platform's ANSI dialog is shown, in any other its Unicode one.
    OPENFILENAMEA m_ofn;

    // Room for the longest path the platform allows, so that no choice is lost to a short buffer.
    static constexpr DWORD kFileBufferSize = 32767 + 1;

protected:
    BOOL m_bOpenFileDialog;
    CWnd* m_pParentWnd;
    UINT m_nTextCodePage;

private:
    BOOL DoModalWide();

    std::string m_strFilter; // NUL-separated, as the platform wants it
    std::string m_strDefExt;
    std::vector<char> m_fileName;
};

#endif // CORVEL_AFX_FILE_DIALOG_H
