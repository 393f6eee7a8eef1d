#include "RenameOptionsDialog.h"

#include "AfxDynamicLayout.h"
#include "AfxLanguage.h"
#include "Browse.h"
#include "frame/ExportConvention.h"
#include "frame/Workers.h"
#include "resource.h"

#include <corvel/corvel.h>

BEGIN_MESSAGE_MAP(CRenameOptionsDialog, CDialog)
ON_BN_CLICKED(IDC_BROWSE, OnBrowse)
ON_EN_CHANGE(IDC_PATH, OnPathChange)
ON_EN_CHANGE(IDC_NEW_NAME, OnNewNameChange)
END_MESSAGE_MAP()

CRenameOptionsDialog::CRenameOptionsDialog(const std::string& existingFile, const std::string& newName,
                                           CWnd* parent)
    : CDialog(IDD_RENAME_OPTIONS, parent), m_strExistingFile(existingFile.c_str()),
      m_strNewName(newName.c_str()) {}

CRenameOptionsDialog::~CRenameOptionsDialog() = default;

std::string CRenameOptionsDialog::GetExistingFile() const {
    return std::string(m_strExistingFile.GetString());
}

std::string CRenameOptionsDialog::GetNewName() const {
    return std::string(m_strNewName.GetString());
}

void CRenameOptionsDialog::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, IDC_PATH, m_strExistingFile);
    DDX_Text(pDX, IDC_NEW_NAME, m_strNewName);
}

BOOL CRenameOptionsDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    AfxShowLeftToRight(::GetDlgItem(m_hWnd, IDC_PATH));
    AfxShowLeftToRight(::GetDlgItem(m_hWnd, IDC_NEW_NAME));
    // Wider for long names; a taller dialog would only add empty space.
    EnableResizing(FALSE);
    for (int id : {IDC_PATH, IDC_NEW_NAME})
        GetDynamicLayout()->AddItem(id, CDynamicLayout::MoveNone(), CDynamicLayout::SizeHorizontal(100));
    m_warnPath.Attach(*this, IDC_PATH);
    m_warnNewName.Attach(*this, IDC_NEW_NAME);
    return TRUE;
}

void CRenameOptionsDialog::OnBrowse() {
    BrowseForPath(*this, m_strExistingFile);
}

void CRenameOptionsDialog::OnPathChange() {
    m_warnPath.Update();
}

void CRenameOptionsDialog::OnNewNameChange() {
    m_warnNewName.Update();
}

DialogEnd RunRenameOptionsDialog(std::string& newName, std::string& existingFile, CWnd* parent) {
    CRenameOptionsDialog dialog(existingFile, newName, parent);
    const DialogEnd end = DialogEndOf(dialog.DoModal());
    if (end != DialogEnd::Ok)
        return end;
    // Both copies first: a failure while copying leaves both of the caller's strings as they were.
    std::string chosenFile = dialog.GetExistingFile();
    std::string chosenName = dialog.GetNewName();
    existingFile.swap(chosenFile);
    newName.swap(chosenName);
    return DialogEnd::Ok;
}

int CorvelDoRenameOptions(std::string& newName, std::string& existingFile, HWND parent) {
    return CORVEL_CXX_EXPORT([&] {
        CORVEL_ENTER_EXPORT();
        return RunRenameOptionsDialog(newName, existingFile, CWnd::FromHandle(parent)) == DialogEnd::Ok ? 1
                                                                                                        : 0;
    });
}
