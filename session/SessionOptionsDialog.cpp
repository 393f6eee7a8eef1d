#include "SessionOptionsDialog.h"

#include "frame/ExportConvention.h"
#include "frame/Workers.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CSessionOptionsDialog, CDialog)
ON_BN_CLICKED(IDC_ADVANCED, OnAdvanced)
END_MESSAGE_MAP()

CSessionOptionsDialog::CSessionOptionsDialog(bool ignoreCase, bool ignoreSpaces, bool keepCheckedOutAfterAdd,
                                             bool keepCheckedOutAfterCheckIn,
                                             CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                                             CWnd* parent)
    : CDialog(IDD_SESSION_OPTIONS, parent), m_bIgnoreCase(ignoreCase ? 1 : 0),
      m_bIgnoreSpaces(ignoreSpaces ? 1 : 0), m_bKeepCheckedOutAfterAdd(keepCheckedOutAfterAdd ? 1 : 0),
      m_bKeepCheckedOutAfterCheckIn(keepCheckedOutAfterCheckIn ? 1 : 0),
      m_pAdvancedOptions(&advancedOptions) {}

CSessionOptionsDialog::~CSessionOptionsDialog() = default;

void CSessionOptionsDialog::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_ADVANCED, m_btnAdvanced);
    DDX_Check(pDX, IDC_IGNORE_CASE, m_bIgnoreCase);
    DDX_Check(pDX, IDC_IGNORE_SPACES, m_bIgnoreSpaces);
    DDX_Check(pDX, IDC_KEEP_AFTER_ADD, m_bKeepCheckedOutAfterAdd);
    DDX_Check(pDX, IDC_KEEP_AFTER_CHECK_IN, m_bKeepCheckedOutAfterCheckIn);
}

BOOL CSessionOptionsDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    m_btnAdvanced.EnableWindow(QueryAdvancedOptionsAvailable(*m_pAdvancedOptions));
    return TRUE;
}

void CSessionOptionsDialog::OnAdvanced() {
    ShowAdvancedOptionsOrWarn(*m_pAdvancedOptions, GetSafeHwnd());
}

DialogEnd RunSessionOptionsDialog(bool& ignoreCase, bool& ignoreSpaces, bool& keepCheckedOutAfterAdd,
                                  bool& keepCheckedOutAfterCheckIn,
                                  CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, CWnd* parent) {
    CSessionOptionsDialog dialog(ignoreCase, ignoreSpaces, keepCheckedOutAfterAdd, keepCheckedOutAfterCheckIn,
                                 advancedOptions, parent);
    const DialogEnd end = DialogEndOf(dialog.DoModal());
    if (end != DialogEnd::Ok)
        return end;
    ignoreCase = dialog.GetIgnoreCase();
    ignoreSpaces = dialog.GetIgnoreSpaces();
    keepCheckedOutAfterAdd = dialog.GetKeepCheckedOutAfterAdd();
    keepCheckedOutAfterCheckIn = dialog.GetKeepCheckedOutAfterCheckIn();
    return DialogEnd::Ok;
}

int CorvelDoSessionOptions(int& ignoreCase, int& ignoreSpaces, int& keepCheckedOutAfterAdd,
                           int& keepCheckedOutAfterCheckIn,
                           CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, HWND parent) {
    return CORVEL_CXX_EXPORT([&] {
        CORVEL_ENTER_EXPORT();
        bool ignoreCaseFlag = FlagToBool(ignoreCase);
        bool ignoreSpacesFlag = FlagToBool(ignoreSpaces);
        bool keepAfterAdd = FlagToBool(keepCheckedOutAfterAdd);
        bool keepAfterCheckIn = FlagToBool(keepCheckedOutAfterCheckIn);
        const bool accepted =
            RunSessionOptionsDialog(ignoreCaseFlag, ignoreSpacesFlag, keepAfterAdd, keepAfterCheckIn,
                                    advancedOptions, CWnd::FromHandle(parent)) == DialogEnd::Ok;
        StoreFlag(ignoreCase, ignoreCaseFlag);
        StoreFlag(ignoreSpaces, ignoreSpacesFlag);
        StoreFlag(keepCheckedOutAfterAdd, keepAfterAdd);
        StoreFlag(keepCheckedOutAfterCheckIn, keepAfterCheckIn);
        return accepted ? 1 : 0;
    });
}
