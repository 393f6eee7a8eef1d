#include "DiffOptionsDialog.h"

#include "AfxDynamicLayout.h"
#include "AfxLanguage.h"
#include "Browse.h"
#include "frame/ExportConvention.h"
#include "frame/Workers.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CDiffOptionsDialog, CDialog)
ON_BN_CLICKED(IDC_ADVANCED, OnAdvanced)
ON_BN_CLICKED(IDC_BROWSE, OnBrowse)
ON_EN_CHANGE(IDC_PATH, OnPathChange)
END_MESSAGE_MAP()

CDiffOptionsDialog::CDiffOptionsDialog(const std::string& path, bool ignoreCase, bool ignoreSpaces,
                                       CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                                       CWnd* parent)
    : CDialog(IDD_DIFF_OPTIONS, parent), m_strPath(path.c_str()), m_bIgnoreCase(ignoreCase ? 1 : 0),
      m_bIgnoreSpaces(ignoreSpaces ? 1 : 0), m_pAdvancedOptions(&advancedOptions) {}

CDiffOptionsDialog::~CDiffOptionsDialog() = default;

std::string CDiffOptionsDialog::GetPath() const {
    return std::string(m_strPath.GetString());
}

void CDiffOptionsDialog::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_ADVANCED, m_btnAdvanced);
    DDX_Text(pDX, IDC_PATH, m_strPath);
    DDX_Check(pDX, IDC_IGNORE_CASE, m_bIgnoreCase);
    DDX_Check(pDX, IDC_IGNORE_SPACES, m_bIgnoreSpaces);
}

BOOL CDiffOptionsDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    AfxShowLeftToRight(::GetDlgItem(m_hWnd, IDC_PATH));
    m_btnAdvanced.EnableWindow(QueryAdvancedOptionsAvailable(*m_pAdvancedOptions));
    // Wider for a long path; a taller dialog would only add empty space.
    EnableResizing(FALSE);
    GetDynamicLayout()->AddItem(IDC_PATH, CDynamicLayout::MoveNone(), CDynamicLayout::SizeHorizontal(100));
    m_warnPath.Attach(*this, IDC_PATH);
    return TRUE;
}

void CDiffOptionsDialog::OnAdvanced() {
    ShowAdvancedOptionsOrWarn(*m_pAdvancedOptions, GetSafeHwnd());
}

void CDiffOptionsDialog::OnBrowse() {
    BrowseForPath(*this, m_strPath);
}

void CDiffOptionsDialog::OnPathChange() {
    m_warnPath.Update();
}

DialogEnd RunDiffOptionsDialog(bool& ignoreCase, bool& ignoreSpaces,
                               CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, std::string& path,
                               CWnd* parent) {
    CDiffOptionsDialog dialog(path, ignoreCase, ignoreSpaces, advancedOptions, parent);
    const DialogEnd end = DialogEndOf(dialog.DoModal());
    if (end != DialogEnd::Ok)
        return end;
    // Everything that can fail happens before the caller's values change.
    std::string chosen = dialog.GetPath();
    path.swap(chosen);
    ignoreCase = dialog.GetIgnoreCase();
    ignoreSpaces = dialog.GetIgnoreSpaces();
    return DialogEnd::Ok;
}

int CorvelDoDiffOptions(int& ignoreCase, int& ignoreSpaces,
                        CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, std::string& path,
                        HWND parent) {
    return CORVEL_CXX_EXPORT([&] {
        CORVEL_ENTER_EXPORT();
        bool bIgnoreCase = FlagToBool(ignoreCase);
        bool bIgnoreSpaces = FlagToBool(ignoreSpaces);
        const bool accepted = RunDiffOptionsDialog(bIgnoreCase, bIgnoreSpaces, advancedOptions, path,
                                                   CWnd::FromHandle(parent)) == DialogEnd::Ok;
        StoreFlag(ignoreCase, bIgnoreCase);
        StoreFlag(ignoreSpaces, bIgnoreSpaces);
        return accepted ? 1 : 0;
    });
}
