// Modal dialogs from templates in the current module's resources, and dialog data exchange.
#ifndef CORVEL_AFX_DIALOG_H
#define CORVEL_AFX_DIALOG_H

#include "AfxWnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate; // TRUE: controls to members; FALSE: members to controls
    CWnd* m_pDlgWnd;
    HWND PrepareCtrl(int nIDC) const { return ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC); }
};

// Attaches `rControl` to the dialog control `nIDC` (once).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// A two-state check box and an int holding 0 or 1.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// A control's text and a string.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);

class CDialog : public CWnd {
public:
    CDialog();
    CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Shows the dialog and returns when it closes: IDOK, IDCANCEL, or -1 when it cannot be created.
    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();

    BOOL EndDialog(int nResult);

    // From OnInitDialog: lets the user resize the dialog from its opening size up. Adds the sizing border
    // the template lacks around the client area the template gave, a size grip in the bottom-right
    // corner and a dynamic layout that holds the grip there; the caller registers its controls with the
    // layout. With `bVertical` FALSE the height stays as it opened.
    void EnableResizing(BOOL bVertical = TRUE);

    const char* m_lpszTemplateName = nullptr; // MAKEINTRESOURCE of the template id
    CWnd* m_pParentWnd = nullptr;

private:
    const void* m_pShownTemplate = nullptr; // the template in the language shown, while DoModal runs
public:
protected:
    virtual void OnOK();
    virtual void OnCancel();

    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};

INT_PTR CALLBACK AfxDlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

// Shows a message box over the active window of this thread, captioned with the module's name.
int AfxMessageBox(const char* lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// The same with the string `nIDPrompt` of the module, in the thread's user-interface language.
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = 0);

#endif // CORVEL_AFX_DIALOG_H
