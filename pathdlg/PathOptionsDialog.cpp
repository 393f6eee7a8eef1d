#include "PathOptionsDialog.h"

#include "AfxDynamicLayout.h"
#include "AfxLanguage.h"
#include "Browse.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CPathOptionsDialog, CDialog)
ON_BN_CLICKED(IDC_ADVANCED, OnAdvanced)
ON_BN_CLICKED(IDC_BROWSE, OnBrowse)
ON_EN_CHANGE(IDC_PATH, OnPathChange)
END_MESSAGE_MAP()

CPathOptionsDialog::CPathOptionsDialog(UINT templateId, const std::string& path,
                                       CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                                       CWnd* parent)
    : CDialog(templateId, parent), m_strPath(path.c_str()), m_pAdvancedOptions(&advancedOptions) {}

CPathOptionsDialog::~CPathOptionsDialog() = default;

std::string CPathOptionsDialog::GetPath() const {
    return std::string(m_strPath.GetString());
}

void CPathOptionsDialog::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_ADVANCED, m_btnAdvanced);
    DDX_Text(pDX, IDC_PATH, m_strPath);
}

BOOL CPathOptionsDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    AfxShowLeftToRight(::GetDlgItem(m_hWnd, IDC_PATH));
    m_btnAdvanced.EnableWindow(QueryAdvancedOptionsAvailable(*m_pAdvancedOptions));
    // Wider for a long path; a taller dialog would only add empty space.
    EnableResizing(FALSE);
    GetDynamicLayout()->AddItem(IDC_PATH, CDynamicLayout::MoveNone(), CDynamicLayout::SizeHorizontal(100));
    m_warnPath.Attach(*this, IDC_PATH);
    return TRUE;
}

void CPathOptionsDialog::OnAdvanced() {
    ShowAdvancedOptionsOrWarn(*m_pAdvancedOptions, GetSafeHwnd());
}

void CPathOptionsDialog::OnBrowse() {
    BrowseForPath(*this, m_strPath);
}

void CPathOptionsDialog::OnPathChange() {
    m_warnPath.Update();
}
