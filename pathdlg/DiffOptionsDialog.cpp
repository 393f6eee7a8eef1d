#include "DiffOptionsDialog.h"

#include "frame/ExportConvention.h"
#include "frame/Workers.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CDiffOptionsDialog, CPathOptionsDialog)
END_MESSAGE_MAP()

CDiffOptionsDialog::CDiffOptionsDialog(const std::string& path, bool ignoreCase, bool ignoreSpaces,
                                       CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                                       CWnd* parent)
    : CPathOptionsDialog(IDD_DIFF_OPTIONS, path, advancedOptions, parent), m_bIgnoreCase(ignoreCase ? 1 : 0),
      m_bIgnoreSpaces(ignoreSpaces ? 1 : 0) {}

CDiffOptionsDialog::~CDiffOptionsDialog() = default;

void CDiffOptionsDialog::DoDataExchange(CDataExchange* pDX) {
    CPathOptionsDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_IGNORE_CASE, m_bIgnoreCase);
    DDX_Check(pDX, IDC_IGNORE_SPACES, m_bIgnoreSpaces);
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
