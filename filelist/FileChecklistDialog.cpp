#include "FileChecklistDialog.h"

#include "resource.h"

#include <algorithm>
#include <iterator>

BEGIN_MESSAGE_MAP(CFileChecklistDialog, CDialog)
ON_BN_CLICKED(IDC_ADVANCED, OnAdvanced)
ON_LBN_SELCHANGE(IDC_FILE_LIST, OnSelChangeFileList)
ON_WM_DESTROY()
ON_BN_CLICKED(IDC_SELECT_ALL, OnSelectAll)
END_MESSAGE_MAP()

CFileChecklistDialog::CFileChecklistDialog(const std::set<std::string>& files,
                                           const std::set<std::string>& otherFiles,
                                           CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                                           CWnd* parent)
    : CDialog(), m_checkedFiles(files), m_pAdvancedOptions(&advancedOptions) {
    m_pParentWnd = parent;
    std::set_difference(otherFiles.begin(), otherFiles.end(), files.begin(), files.end(),
                        std::inserter(m_uncheckedFiles, m_uncheckedFiles.end()));
}

CFileChecklistDialog::~CFileChecklistDialog() = default;

UINT CFileChecklistDialog::GetDialogId() const { return IDD_MULTI_FILE_OPTIONS; }

INT_PTR CFileChecklistDialog::DoModal() {
    m_lpszTemplateName = MAKEINTRESOURCEA(LOWORD(GetDialogId()));
    m_nIDHelp = GetDialogId();
    return CDialog::DoModal();
}

void CFileChecklistDialog::DoDataExchange(CDataExchange* pDX) { DDX_Control(pDX, IDC_ADVANCED, m_btnAdvanced); }

BOOL CFileChecklistDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    m_btnAdvanced.EnableWindow(QueryAdvancedOptionsAvailable(*m_pAdvancedOptions));
    m_checkList.SubclassDlgItem(IDC_FILE_LIST, this);
    FillList();
    return TRUE;
}

void CFileChecklistDialog::FillList() {
    // Paths are measured in the list's own font, as they are drawn; the extent then adds the check box
    // column and the margin after the text, so the end of the longest path can be scrolled into view.
    HDC hDC = AfxGetDC(m_checkList.m_hWnd);
    CDC* pDC = CDC::FromHandle(hDC);
    HGDIOBJ oldFont = pDC->SelectObject(reinterpret_cast<HGDIOBJ>(m_checkList.SendMessage(WM_GETFONT)));
    int widest = 0;

    m_checkList.SendMessage(WM_SETREDRAW, FALSE);
    const auto addRows = [&](const std::set<std::string>& paths, int nCheck) {
        for (const std::string& path : paths) {
            const SIZE size = pDC->GetTextExtent(path.c_str(), static_cast<int>(std::char_traits<char>::length(path.c_str())));
            widest = std::max<int>(widest, size.cx);
            const int index = m_checkList.AddString(path.c_str());
            if (index >= 0)
                m_checkList.SetCheck(index, nCheck);
        }
    };
    addRows(m_checkedFiles, 1);
    addRows(m_uncheckedFiles, 0);
    m_checkList.SendMessage(WM_SETREDRAW, TRUE);
    ::InvalidateRect(m_checkList.m_hWnd, nullptr, TRUE);

    pDC->SelectObject(oldFont);
    AfxReleaseDC(m_checkList.m_hWnd, hDC);
    m_checkList.SetHorizontalExtent(m_checkList.GetCount() > 0 ? m_checkList.ExtentForTextWidth(widest) : 0);
}

void CFileChecklistDialog::OnSelectAll() {
    const int count = m_checkList.GetCount();
    if (count <= 0)
        return;
    m_checkList.SendMessage(LB_SELITEMRANGEEX, 0, count - 1);
    for (int index = 0; index < count; ++index)
        m_checkList.SetCheck(index, 1);
}

void CFileChecklistDialog::OnDestroy() {
    CWnd::OnDestroy();
    m_checkedFiles.clear();
    m_uncheckedFiles.clear();
    const int count = m_checkList.GetCount();
    CString text;
    for (int index = 0; index < count; ++index) {
        m_checkList.GetText(index, text);
        (m_checkList.GetCheck(index) ? m_checkedFiles : m_uncheckedFiles).insert(std::string(text.GetString()));
    }
}

void CFileChecklistDialog::OnAdvanced() { ShowAdvancedOptionsOrWarn(*m_pAdvancedOptions, GetSafeHwnd()); }

void CFileChecklistDialog::OnSelChangeFileList() {}

void CFileChecklistDialog::CopyCheckedFilesTo(std::set<std::string>& target) const {
    auto hint = target.end();
    for (const std::string& path : m_checkedFiles)
        hint = std::next(target.insert(hint, path));
}
