#include "FileChecklistDialog.h"

#include "AfxDynamicLayout.h"
#include "AfxText.h"
#include "HiddenCharacters.h"
#include "ListFill.h"
#include "PathSets.h"
#include "resource.h"

#include <algorithm>
#include <iterator>
#include <new>

BEGIN_MESSAGE_MAP(CFileChecklistDialog, CDialog)
ON_BN_CLICKED(IDC_ADVANCED, OnAdvanced)
ON_LBN_SELCHANGE(IDC_FILE_LIST, OnSelChangeFileList)
ON_BN_CLICKED(IDC_SELECT_ALL, OnSelectAll)
ON_WM_DESTROY()
END_MESSAGE_MAP()

CFileChecklistDialog::CFileChecklistDialog(const std::set<std::string>& files,
                                           const std::set<std::string>& otherFiles,
                                           CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                                           CWnd* parent)
    : CDialog(), m_pAdvancedOptions(&advancedOptions), m_pGivenFiles(&files), m_pGivenOtherFiles(&otherFiles),
      m_rowCount(files, otherFiles) {
    m_pParentWnd = parent;
}

namespace {

// Lists of up to this many rows fill before the dialog shows, within about a frame's time; longer ones
// fill while it is up.
constexpr size_t kSlicedFillFrom = 3000;

// A host or tool that must have every row when the dialog first shows can ask for it.
bool FillBeforeShowing() {
    wchar_t value[4] = L"";
    return ::GetEnvironmentVariableW(L"CORVEL_FILL_BEFORE_SHOWING", value, 4) == 1 && value[0] == L'1';
}

// A device context of the screen's kind with `font` selected, given back as it was on every way out;
// usable on any thread.
struct FontDC {
    explicit FontDC(HFONT font) : hDC(::CreateCompatibleDC(nullptr)), oldFont(::SelectObject(hDC, font)) {}
    ~FontDC() {
        ::SelectObject(hDC, oldFont);
        ::DeleteDC(hDC);
    }
    FontDC(const FontDC&) = delete;
    FontDC& operator=(const FontDC&) = delete;

    HDC hDC;
    HGDIOBJ oldFont;
};

bool Stopped(const std::atomic<bool>* stop) {
    return stop && stop->load(std::memory_order_relaxed);
}

} // namespace

bool CFileChecklistDialog::CopyGivenSets(const std::atomic<bool>* abandon) {
    // Each path goes in at the end of its set, in order, without a search.
    size_t copied = 0;
    const auto carryOn = [&] {
        return ++copied % 1024 != 0 || !abandon || !abandon->load(std::memory_order_relaxed);
    };
    for (const std::string& path : *m_pGivenFiles) {
        if (!carryOn())
            return false;
        m_checkedFiles.emplace_hint(m_checkedFiles.end(), path);
    }
    return ForEachOtherNotGiven(*m_pGivenFiles, *m_pGivenOtherFiles, [&](const std::string& path) {
        m_uncheckedFiles.emplace_hint(m_uncheckedFiles.end(), path);
        return carryOn();
    });
}

void CFileChecklistDialog::StartCopyingAside() {
    // A list this long fills while the dialog is up whatever the overlap of the two sets, so the copies
    // can be under way while the dialog is being made. Not beside the count's own thread, though: a
    // third thread walking the sets then slowed the dialog's showing to more than 0.2 s at a million
    // paths.
    const size_t surelyRows = std::max(m_pGivenFiles->size(), m_pGivenOtherFiles->size());
    if (surelyRows < kSlicedFillFrom || m_rowCount.CountsAside() || FillBeforeShowing())
        return;
    m_copyAside.Start([this] { m_copiedAside = CopyGivenSets(&m_abandonCopy); });
}

bool CFileChecklistDialog::TakeCopies(const std::atomic<bool>* abandon) {
    if (!m_copyAside.Started())
        return CopyGivenSets(abandon);
    m_copyAside.Wait();
    return m_copiedAside;
}

CFileChecklistDialog::~CFileChecklistDialog() = default;

UINT CFileChecklistDialog::GetDialogId() const {
    return IDD_MULTI_FILE_OPTIONS;
}

INT_PTR CFileChecklistDialog::DoModal() {
    m_lpszTemplateName = MAKEINTRESOURCEA(LOWORD(GetDialogId()));
    StartCopyingAside();
    INT_PTR result = -1;
    try {
        result = CDialog::DoModal();
    } catch (...) {
        m_abandonCopy = true;
        m_slicedFill.reset();
        m_copyAside.Join();
        throw;
    }
    // The thread, if any, has stopped; it finished copying the sets unless the dialog was cancelled. The
    // rows still to come have their marks in the list too (what they started with, changed by the
    // actions on every row since).
    if (result != IDOK)
        m_abandonCopy = true;
    if (m_slicedFill) {
        m_slicedFill->Stop();
        // A copy cut short by a failure is no result.
        if (result == IDOK)
            m_slicedFill->RethrowFailure();
        m_slicedFill.reset();
    }
    m_copyAside.Join();
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

void CFileChecklistDialog::FillList() {
    // The rows are appended in the order that adding them one by one to the sorted list would give, which
    // spares the list a search and a shift per row; drawing is off meanwhile. Each path remembers its row,
    // so closing hands back the caller's own strings, never texts read back through the list.
    // The rows to come: the caller's files, and the candidates that are not among them.
    const size_t total = m_rowCount.Get();
    m_rowOfPath.assign(total, -1);
    m_checkList.BeginPendingRows(static_cast<int>(total), static_cast<int>(m_pGivenFiles->size()), [this] {
        if (m_slicedFill)
            m_slicedFill->Complete();
    });
    if (total >= kSlicedFillFrom && !FillBeforeShowing()) {
        StartSlicedFill(total);
        if (m_slicedFill)
            return;
    }
    TakeCopies(nullptr);
    PlanOrder(m_checkList.GetLocale(), nullptr);
    MeasureTexts(m_checkList.GetFont(), nullptr);
    m_checkList.SetRedraw(FALSE);
    AppendRows(0, m_order.size());
    m_checkList.SetRedraw(TRUE);
    ApplyMeasures();
    EndSlicedFill();
}

void CFileChecklistDialog::PlanOrder(LCID locale, const std::atomic<bool>* stop) {
    // Nothing here may send the dialog's windows a message: their thread may be waiting for this one.
    m_texts.clear();
    m_texts.reserve(m_checkedFiles.size() + m_uncheckedFiles.size());
    m_rowsCutAtNul = false;
    for (const std::set<std::string>* paths : {&m_checkedFiles, &m_uncheckedFiles}) {
        for (const std::string& path : *paths) {
            m_texts.push_back(path.c_str());
            m_rowsCutAtNul = m_rowsCutAtNul || path.find('\0') != std::string::npos;
        }
    }
    const std::vector<size_t> order = OrderLikeSortedListBox(m_texts, locale, m_nTextCodePage, stop);
    if (!Stopped(stop))
        m_order.assign(order.begin(), order.end()); // a list box's rows are counted in an int
}

void CFileChecklistDialog::MeasureTexts(HFONT font, const std::atomic<bool>* stop) {
    // As above; the rows that arrive meanwhile only read the texts too.
    // Paths are measured in the list's own font, as they are drawn.
    FontDC dc(font);
    m_widest = WidestTextWidth(dc.hDC, m_texts, m_nTextCodePage, stop);
    m_flagged = 0;
    // Paths with hidden or direction-changing characters are drawn with their markers, wider.
    for (size_t i = 0; i < m_texts.size() && !(i % 1024 == 0 && Stopped(stop)); ++i) {
        if (!HasHiddenCharacters(m_texts[i], m_nTextCodePage))
            continue;
        ++m_flagged;
        m_widest = std::max(m_widest,
                            m_checkList.RowTextWidth(dc.hDC, AfxWideFromText(m_texts[i], m_nTextCodePage)));
    }
}

void CFileChecklistDialog::ApplyMeasures() {
    // The extent adds the check box column and the margin after the text, so the end of the longest
    // path can be scrolled into view.
    m_checkList.SetFlaggedRowCount(m_flagged);
    m_checkList.SetHorizontalExtent(m_texts.empty() ? 0 : m_checkList.ExtentForTextWidth(m_widest));
}

void CFileChecklistDialog::AppendRows(size_t from, size_t to) {
    const size_t checkedCount = m_checkedFiles.size();
    for (size_t place = from; place < to; ++place) {
        const size_t path = m_order[place];
        // A row the list refuses would drop its path from the result: the call ends instead, as when
        // memory runs out, and the caller keeps everything it passed.
        const int row = m_checkList.AppendPendingRow(m_texts[path], path < checkedCount);
        if (row < 0 || static_cast<size_t>(row) != place)
            throw std::bad_alloc();
        m_rowOfPath[path] = row;
    }
}

void CFileChecklistDialog::StartSlicedFill(size_t total) {
    // The line above the list takes a line of text and a gap from the list's top.
    const RECT list = AfxPlaceInParent(m_checkList.m_hWnd);
    RECT line = {0, 0, 0, 8}, gap = {0, 0, 0, 2}; // dialog units
    ::MapDialogRect(m_hWnd, &line);
    ::MapDialogRect(m_hWnd, &gap);
    const RECT place = {list.left, list.top, list.right, list.top + line.bottom};
    const HFONT font = m_checkList.GetFont();
    const LCID locale = m_checkList.GetLocale();
    CSlicedListFill::Steps steps;
    steps.prepare = [this, locale](const std::atomic<bool>& stop) {
        if (TakeCopies(&m_abandonCopy))
            PlanOrder(locale, &stop);
    };
    steps.measure = [this, font](const std::atomic<bool>& stop) { MeasureTexts(font, &stop); };
    steps.append = [this](size_t from, size_t to) { AppendRows(from, to); };
    steps.measured = [this] { ApplyMeasures(); };
    steps.lineGone = [this] { GiveRoomBack(); };
    steps.finished = [this] { EndSlicedFill(); };
    m_slicedFill.reset(new CSlicedListFill(total, std::move(steps)));
    // After the list in the window order: a label just before a list would become the list's name.
    if (!m_slicedFill->Start(m_hWnd, m_checkList.m_hWnd, place, m_checkList.m_hWnd)) {
        m_slicedFill.reset();
        return;
    }
    m_progressHeight = line.bottom + gap.bottom;
    ::SetWindowPos(m_checkList.m_hWnd, nullptr, list.left, list.top + m_progressHeight,
                   list.right - list.left, std::max<int>(list.bottom - list.top - m_progressHeight, 0),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    if (CDynamicLayout* layout = GetDynamicLayout()) {
        layout->UpdateItem(m_checkList.m_hWnd);
        layout->AddItem(m_slicedFill->m_hWnd, CDynamicLayout::MoveNone(),
                        CDynamicLayout::SizeHorizontal(100));
    }
}

void CFileChecklistDialog::GiveRoomBack() {
    if (m_progressHeight > 0) {
        // The line is gone: the list takes its room back.
        const RECT list = AfxPlaceInParent(m_checkList.m_hWnd);
        ::SetWindowPos(m_checkList.m_hWnd, nullptr, list.left, list.top - m_progressHeight,
                       list.right - list.left, list.bottom - list.top + m_progressHeight,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        m_progressHeight = 0;
        if (CDynamicLayout* layout = GetDynamicLayout()) {
            layout->RemoveItem(::GetDlgItem(m_hWnd, IDC_FILL_PROGRESS));
            layout->UpdateItem(m_checkList.m_hWnd);
        }
    }
}

void CFileChecklistDialog::EndSlicedFill() {
    GiveRoomBack();
    m_checkList.EndPendingRows();
    // Only the rows' places are still needed, for closing.
    std::vector<std::uint32_t>().swap(m_order);
    std::vector<const char*>().swap(m_texts);
}

void CFileChecklistDialog::OnCancel() {
    m_abandonCopy = true;
    CDialog::OnCancel();
}

void CFileChecklistDialog::OnDestroy() {
    // No rows arrive into a list that is going; the thread must not outlive the dialog's sets.
    if (m_slicedFill)
        m_slicedFill->Stop();
}

void CFileChecklistDialog::OnSelectAll() {
    const int count = m_checkList.GetCount();
    if (count <= 0 && m_checkList.GetPendingCount() <= 0)
        return;
    m_checkList.SetRedraw(FALSE);
    if (count > 0)
        m_checkList.SelItemRangeEx(0, count - 1);
    m_checkList.SetCheckRange(0, count, 1); // the rows still to come too
    m_checkList.SelectArrivingRows(true);
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
    // The paths whose marks changed, in their set's order. A path whose row had not arrived (-1) has the
    // mark the list kept for the rows to come; one past the rows the list had stays where it is.
    const auto markOf = [&](int row, bool initiallyChecked) {
        if (row < 0)
            return m_checkList.PendingMark(initiallyChecked) != 0;
        return static_cast<size_t>(row) < marks.size() ? marks[static_cast<size_t>(row)] != 0
                                                       : initiallyChecked;
    };
    std::vector<std::set<std::string>::iterator> nowUnchecked, nowChecked;
    auto row = m_rowOfPath.begin();
    for (auto path = m_checkedFiles.begin(); path != m_checkedFiles.end(); ++path, ++row)
        if (!markOf(*row, true))
            nowUnchecked.push_back(path);
    for (auto path = m_uncheckedFiles.begin(); path != m_uncheckedFiles.end(); ++path, ++row)
        if (markOf(*row, false))
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

void CFileChecklistDialog::OnSelChangeFileList() {
    // The user chose rows of their own: those still to come are no longer part of the selection.
    m_checkList.SelectArrivingRows(false);
}
