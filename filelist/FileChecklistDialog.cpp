#include "FileChecklistDialog.h"

#include "ListFill.h"
#include "resource.h"

#include <algorithm>
#include <iterator>
#include <new>

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

UINT CFileChecklistDialog::GetDialogId() const {
    return IDD_MULTI_FILE_OPTIONS;
}

INT_PTR CFileChecklistDialog::DoModal() {
    m_lpszTemplateName = MAKEINTRESOURCEA(LOWORD(GetDialogId()));
    return CDialog::DoModal();
}

void CFileChecklistDialog::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_ADVANCED, m_btnAdvanced);
}

BOOL CFileChecklistDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    m_btnAdvanced.EnableWindow(QueryAdvancedOptionsAvailable(*m_pAdvancedOptions));
    m_checkList.SubclassDlgItem(IDC_FILE_LIST, this);
    FillList();
    return TRUE;
}

namespace {

// The list's device context with the list's font selected, given back as it was on every way out.
struct ListFontDC {
    explicit ListFontDC(CWnd& list)
        : hWnd(list.m_hWnd), hDC(::GetDC(hWnd)), oldFont(::SelectObject(hDC, list.GetFont())) {}
    ~ListFontDC() {
        ::SelectObject(hDC, oldFont);
        ::ReleaseDC(hWnd, hDC);
    }
    ListFontDC(const ListFontDC&) = delete;
    ListFontDC& operator=(const ListFontDC&) = delete;

    HWND hWnd;
    HDC hDC;
    HGDIOBJ oldFont;
};

} // namespace

void CFileChecklistDialog::FillList() {
    // The rows are appended in the order that adding them one by one to the sorted list would give, which
    // spares the list a search and a shift per row; drawing is off meanwhile. Each row remembers the path
    // it shows, so closing hands back the caller's own strings, never texts read back through the list.
    std::vector<RowOrigin> rows;
    rows.reserve(m_checkedFiles.size() + m_uncheckedFiles.size());
    std::vector<const char*> texts;
    texts.reserve(rows.capacity());
    m_rowsCutAtNul = false;
    for (std::set<std::string>* paths : {&m_checkedFiles, &m_uncheckedFiles}) {
        for (auto path = paths->begin(); path != paths->end(); ++path) {
            rows.push_back(RowOrigin{path, paths == &m_checkedFiles});
            texts.push_back(path->c_str());
            m_rowsCutAtNul = m_rowsCutAtNul || path->find('\0') != std::string::npos;
        }
    }
    const std::vector<size_t> order = OrderLikeSortedListBox(texts, m_checkList.GetLocale(), m_nTextCodePage);

    m_rowOrigins.clear();
    m_rowOrigins.reserve(rows.size());
    m_checkList.SetRedraw(FALSE);
    for (size_t position : order) {
        // A row the list refuses would drop its path from the result: the call ends instead, as when
        // memory runs out, and the caller keeps everything it passed.
        if (m_checkList.InsertString(-1, texts[position]) != static_cast<int>(m_rowOrigins.size()))
            throw std::bad_alloc();
        m_rowOrigins.push_back(rows[position]);
        if (rows[position].checked)
            m_checkList.SetCheck(static_cast<int>(m_rowOrigins.size()) - 1, 1);
    }
    m_checkList.SetRedraw(TRUE);

    // Paths are measured in the list's own font, as they are drawn; the extent then adds the check box
    // column and the margin after the text, so the end of the longest path can be scrolled into view.
    int widest = 0;
    {
        ListFontDC dc(m_checkList);
        widest = WidestTextWidth(dc.hDC, texts, m_nTextCodePage);
    }
    m_checkList.SetHorizontalExtent(m_checkList.GetCount() > 0 ? m_checkList.ExtentForTextWidth(widest) : 0);
}

void CFileChecklistDialog::OnSelectAll() {
    const int count = m_checkList.GetCount();
    if (count <= 0)
        return;
    m_checkList.SetRedraw(FALSE);
    m_checkList.SelItemRangeEx(0, count - 1);
    m_checkList.SetCheckRange(0, count, 1);
    m_checkList.SetRedraw(TRUE);
}

void CFileChecklistDialog::OnDestroy() {
    CWnd::OnDestroy();
    CollectRows();
}

namespace {

// A path holding a NUL is shown, and so handed back, up to the NUL.
void CutAtNul(std::set<std::string>& paths) {
    std::vector<std::set<std::string>::iterator> cut;
    for (auto path = paths.begin(); path != paths.end(); ++path)
        if (path->find('\0') != std::string::npos)
            cut.push_back(path);
    for (auto path : cut) {
        auto node = paths.extract(path);
        node.value().erase(node.value().find('\0'));
        paths.insert(std::move(node)); // dropped when the shorter path is there already
    }
}

} // namespace

void CFileChecklistDialog::CollectRows() {
    // Each row is one path of one of the sets: move the paths whose marks changed, nothing else.
    const size_t count =
        std::min(static_cast<size_t>(std::max(m_checkList.GetCount(), 0)), m_rowOrigins.size());
    for (size_t index = 0; index < count; ++index) {
        const RowOrigin& row = m_rowOrigins[index];
        const bool checked = m_checkList.GetCheck(static_cast<int>(index)) != 0;
        if (checked == row.checked)
            continue;
        std::set<std::string>& from = row.checked ? m_checkedFiles : m_uncheckedFiles;
        std::set<std::string>& to = checked ? m_checkedFiles : m_uncheckedFiles;
        to.insert(from.extract(row.path));
    }
    m_rowOrigins.clear();
    if (m_rowsCutAtNul) {
        CutAtNul(m_checkedFiles);
        CutAtNul(m_uncheckedFiles);
    }
}

void CFileChecklistDialog::OnAdvanced() {
    ShowAdvancedOptionsOrWarn(*m_pAdvancedOptions, GetSafeHwnd());
}

void CFileChecklistDialog::OnSelChangeFileList() {}

void CFileChecklistDialog::CopyCheckedFilesTo(std::set<std::string>& target) const {
    auto hint = target.end();
    for (const std::string& path : m_checkedFiles)
        hint = std::next(target.insert(hint, path));
}
