#include "FileChecklistDialog.h"

#include "AfxDynamicLayout.h"
#include "AfxText.h"
#include "HiddenCharacters.h"
#include "ListFill.h"
#include "resource.h"

#include <algorithm>
#include <iterator>
#include <new>

BEGIN_MESSAGE_MAP(CFileChecklistDialog, CDialog)
ON_BN_CLICKED(IDC_ADVANCED, OnAdvanced)
ON_LBN_SELCHANGE(IDC_FILE_LIST, OnSelChangeFileList)
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
    const INT_PTR result = CDialog::DoModal();
    // The list has kept its marks; only OK has a use for them.
    if (result == IDOK)
        CollectRows();
    return result;
}

void CFileChecklistDialog::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_ADVANCED, m_btnAdvanced);
}

BOOL CFileChecklistDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    m_btnAdvanced.EnableWindow(QueryAdvancedOptionsAvailable(*m_pAdvancedOptions));
    m_checkList.SubclassDlgItem(IDC_FILE_LIST, this);
    // The list takes all the room the user gives; the buttons beside it keep to the right edge.
    EnableResizing();
    CDynamicLayout* pLayout = GetDynamicLayout();
    pLayout->AddItem(IDC_FILE_LIST, CDynamicLayout::MoveNone(),
                     CDynamicLayout::SizeHorizontalAndVertical(100, 100));
    for (int id : {IDOK, IDCANCEL, IDC_SELECT_ALL, IDC_ADVANCED})
        pLayout->AddItem(id, CDynamicLayout::MoveHorizontal(100), CDynamicLayout::SizeNone());
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
    // spares the list a search and a shift per row; drawing is off meanwhile. Each path remembers its row,
    // so closing hands back the caller's own strings, never texts read back through the list.
    const size_t checkedCount = m_checkedFiles.size();
    std::vector<const char*> texts;
    texts.reserve(checkedCount + m_uncheckedFiles.size());
    m_rowsCutAtNul = false;
    for (const std::set<std::string>* paths : {&m_checkedFiles, &m_uncheckedFiles}) {
        for (const std::string& path : *paths) {
            texts.push_back(path.c_str());
            m_rowsCutAtNul = m_rowsCutAtNul || path.find('\0') != std::string::npos;
        }
    }
    const std::vector<size_t> order = OrderLikeSortedListBox(texts, m_checkList.GetLocale(), m_nTextCodePage);

    m_rowOfPath.assign(texts.size(), -1);
    m_checkList.SetRedraw(FALSE);
    int row = 0;
    for (size_t path : order) {
        // A row the list refuses would drop its path from the result: the call ends instead, as when
        // memory runs out, and the caller keeps everything it passed.
        if (m_checkList.InsertString(-1, texts[path]) != row)
            throw std::bad_alloc();
        m_rowOfPath[path] = row;
        if (path < checkedCount)
            m_checkList.SetCheck(row, 1);
        ++row;
    }
    m_checkList.SetRedraw(TRUE);

    // Paths are measured in the list's own font, as they are drawn; the extent then adds the check box
    // column and the margin after the text, so the end of the longest path can be scrolled into view.
    int widest = 0;
    int flagged = 0;
    {
        ListFontDC dc(m_checkList);
        widest = WidestTextWidth(dc.hDC, texts, m_nTextCodePage);
        // Paths with hidden or direction-changing characters are drawn with their markers, wider.
        for (const char* text : texts) {
            if (!HasHiddenCharacters(text, m_nTextCodePage))
                continue;
            ++flagged;
            widest =
                std::max(widest, m_checkList.RowTextWidth(dc.hDC, AfxWideFromText(text, m_nTextCodePage)));
        }
    }
    m_checkList.SetFlaggedRowCount(flagged);
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

// Moves `paths`, in `from`'s order, from `from` to `to`, which holds none of them. Many go in along one
// walk through `to`, each put straight before the first greater path; a few are each looked up instead.
void MoveInOrder(std::set<std::string>& from, const std::vector<std::set<std::string>::iterator>& paths,
                 std::set<std::string>& to) {
    const bool walk = paths.size() * 32 >= to.size();
    auto next = to.begin();
    for (auto path : paths) {
        auto node = from.extract(path);
        if (!walk) {
            to.insert(std::move(node));
            continue;
        }
        while (next != to.end() && *next < node.value())
            ++next;
        to.insert(next, std::move(node));
    }
}

} // namespace

void CFileChecklistDialog::CollectRows() {
    if (m_rowOfPath.size() != m_checkedFiles.size() + m_uncheckedFiles.size())
        return; // the list was never filled
    const std::vector<char>& marks = m_checkList.GetFinalChecks();
    // The paths whose marks changed, in their set's order; a path without a row (-1, or past the rows the
    // list had) stays where it is.
    std::vector<std::set<std::string>::iterator> nowUnchecked, nowChecked;
    auto row = m_rowOfPath.begin();
    for (auto path = m_checkedFiles.begin(); path != m_checkedFiles.end(); ++path, ++row)
        if (static_cast<size_t>(*row) < marks.size() && !marks[static_cast<size_t>(*row)])
            nowUnchecked.push_back(path);
    for (auto path = m_uncheckedFiles.begin(); path != m_uncheckedFiles.end(); ++path, ++row)
        if (static_cast<size_t>(*row) < marks.size() && marks[static_cast<size_t>(*row)])
            nowChecked.push_back(path);
    MoveInOrder(m_checkedFiles, nowUnchecked, m_uncheckedFiles);
    MoveInOrder(m_uncheckedFiles, nowChecked, m_checkedFiles);
    m_rowOfPath.clear();
    if (m_rowsCutAtNul) {
        CutAtNul(m_checkedFiles);
        CutAtNul(m_uncheckedFiles);
    }
}

void CFileChecklistDialog::OnAdvanced() {
    ShowAdvancedOptionsOrWarn(*m_pAdvancedOptions, GetSafeHwnd());
}

void CFileChecklistDialog::OnSelChangeFileList() {}
