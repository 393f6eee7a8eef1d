#include "SingleFileOptionsDialog.h"

#include "AfxDynamicLayout.h"
#include "AfxLanguage.h"
#include "Browse.h"
#include "frame/ExportConvention.h"
#include "frame/Workers.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CSingleFileOptionsDialog, CDialog)
ON_BN_CLICKED(IDC_ADVANCED, OnAdvanced)
ON_BN_CLICKED(IDC_BROWSE, OnBrowse)
ON_EN_CHANGE(IDC_PATH, OnPathChange)
END_MESSAGE_MAP()

CSingleFileOptionsDialog::CSingleFileOptionsDialog(const std::string& path,
                                                   CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                                                   CWnd* parent)
    : CDialog(IDD_SINGLE_FILE_OPTIONS, parent), m_strPath(path.c_str()),
      m_pAdvancedOptions(&advancedOptions) {}

CSingleFileOptionsDialog::~CSingleFileOptionsDialog() = default;

std::string CSingleFileOptionsDialog::GetPath() const {
    return std::string(m_strPath.GetString());
}

void CSingleFileOptionsDialog::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_ADVANCED, m_btnAdvanced);
    DDX_Text(pDX, IDC_PATH, m_strPath);
}

BOOL CSingleFileOptionsDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    AfxShowLeftToRight(::GetDlgItem(m_hWnd, IDC_PATH));
    m_btnAdvanced.EnableWindow(QueryAdvancedOptionsAvailable(*m_pAdvancedOptions));
    // Wider for a long path; a taller dialog would only add empty space.
    EnableResizing(FALSE);
    GetDynamicLayout()->AddItem(IDC_PATH, CDynamicLayout::MoveNone(), CDynamicLayout::SizeHorizontal(100));
    m_warnPath.Attach(*this, IDC_PATH);
    return TRUE;
}

void CSingleFileOptionsDialog::OnAdvanced() {
    ShowAdvancedOptionsOrWarn(*m_pAdvancedOptions, GetSafeHwnd());
}

void CSingleFileOptionsDialog::OnBrowse() {
    BrowseForPath(*this, m_strPath);
}

void CSingleFileOptionsDialog::OnPathChange() {
    m_warnPath.Update();
}

DialogEnd RunSingleFileOptionsDialog(std::string& path,
                                     CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                                     CWnd* parent) {
    CSingleFileOptionsDialog dialog(path, advancedOptions, parent);
    const DialogEnd end = DialogEndOf(dialog.DoModal());
    if (end != DialogEnd::Ok)
        return end;
    // The copy is made before the caller's string changes: a failure leaves it as it was.
    std::string chosen = dialog.GetPath();
    path.swap(chosen);
    return DialogEnd::Ok;
}

int CorvelDoSingleFileOptions(std::string& path, CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                              HWND parent) {
    return CORVEL_CXX_EXPORT([&] {
        CORVEL_ENTER_EXPORT();
        return RunSingleFileOptionsDialog(path, advancedOptions, CWnd::FromHandle(parent)) == DialogEnd::Ok
                   ? 1
                   : 0;
    });
}
