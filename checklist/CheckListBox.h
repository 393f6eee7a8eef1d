// CCheckListBox: an owner-drawn list box (LBS_OWNERDRAWFIXED | LBS_HASSTRINGS) that draws a check box in
// front of each row and keeps a check mark per row.
//
// The user toggles a row's check mark by clicking its check box or by pressing Space on the focused
// row. A toggle changes that row only: the other selected rows keep their marks, because selection
// carries no meaning here and a whole-selection toggle after "Select All" would silently flip every row.
//
// Screen readers see the rows, their marks and selection through the list's accessible object
// (CheckListAccessible.h); a mark that changes on screen raises EVENT_OBJECT_STATECHANGE for its row.
//
// For long lists: a context menu (CheckListMenu.h) with the checked count and bulk check actions, finding
// a row by typing its file name (CheckListFinder.h), and the whole text of a clipped row in a tooltip
// (CheckListToolTip.h). The control's other rooms: what the rows add up to and the rows still to come
// (CheckListRows.h), how a row is drawn (CheckListPainter.h), the window as other threads reach it
// (CheckListWindow.h) and the marks kept as the rows go (CheckListRowsGoing.h).
#ifndef CORVEL_CHECK_LIST_BOX_H
#define CORVEL_CHECK_LIST_BOX_H

#include "AfxControls.h"
#include "CheckListFinder.h"
#include "CheckListPainter.h"
#include "CheckListRows.h"
#include "CheckListRowsGoing.h"
#include "CheckListToolTip.h"
#include "CheckListWindow.h"
#include "ListBoxWideText.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

class CCheckListAccessible;

class CCheckListBox : public CListBox {
public:
    ~CCheckListBox() override;

    // 1 checked, 0 unchecked. The mark is kept as the row's item data.
    void SetCheck(int index, int nCheck);
    int GetCheck(int index) const { return CheckListWindow::MarkOfItemData(GetItemData(index)); }

    // Bulk changes with drawing off and one repaint, announced as one change: the marks of rows
    // [first, end), of the given rows, or every mark flipped. Called with drawing already off (a fill,
    // Select All), the repaint and the announcement wait until drawing is back on.
    void SetCheckRange(int first, int end, int nCheck);
    void SetChecks(const std::vector<int>& rows, int nCheck);
    void InvertChecks();
    // Rows still to come while the owner fills a long list in slices. Until they arrive, the actions on
    // every row (Check All, Uncheck All, Invert Checks, Select All) apply to them too, and the counts
    // include them, so that they arrive with the marks, and the list reads as, a complete list would.
    // `complete` brings them all in at once, for type-to-find.
    void BeginPendingRows(int count, int checkedAmongThem, std::function<void()> complete) {
        m_rows.BeginPending(count, checkedAmongThem, std::move(complete));
    }
    // Appends the next pending row with its mark after the actions so far: the row, or a negative error.
    int AppendPendingRow(const char* text, bool initiallyChecked);
    // The mark a row not yet arrived has now.
    int PendingMark(bool initiallyChecked) const { return m_rows.PendingMark(initiallyChecked); }
    int GetPendingCount() const { return m_rows.Pending(); }
    // The rows yet to come are to arrive selected, or no longer (the user changed the selection).
    void SelectArrivingRows(bool select) { m_rows.SetSelectArriving(select); }
    void CompletePendingRows() { m_rows.CompletePending(); }
    // The last row is in: the list is no longer busy.
    void EndPendingRows();

    // The marks the rows had when the window was destroyed, in row order; empty until then. An owner
    // that reads them after the window is gone spares a message per row while it goes.
    const std::vector<char>& GetFinalChecks() const { return m_rows.FinalMarks(); }

    // The row's text as wide characters, read from the list box itself whatever the window's character
    // set; `text` keeps its storage from call to call. False for no such row.
    bool GetRowText(int index, std::wstring& text) const { return m_wideText.GetText(index, text); }

    // Pixels from the row's left edge to its text: the check box column.
    int GetTextOffset() const { return m_painter.TextOffset(); }
    // The width a row's text takes as drawn in `dc`, which holds the list's font: a path with hidden or
    // direction-changing characters is drawn after a warning mark, with its markers (PathText.h).
    int RowTextWidth(HDC dc, const std::wstring& text) const { return m_painter.RowTextWidth(dc, text); }
    // How many rows hold such paths, as the one who fills the list counts them.
    void SetFlaggedRowCount(int count) { m_rows.SetFlagged(count); }
    // Pixels left blank after the end of the text.
    int GetTrailingMargin() const { return m_painter.TrailingMargin(); }
    // The horizontal extent that lets a text `textWidth` pixels wide scroll wholly into view.
    int ExtentForTextWidth(int textWidth) const { return GetTextOffset() + textWidth + GetTrailingMargin(); }

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    using BulkMark = CCheckListRows::BulkMark;

    // Rows that fit in the client area, the last one perhaps in part.
    int RowsInView() const;
    BOOL Toggle(int index);
    // Stores a row's item data straight in the list box, keeping the checked count; 1 when the mark
    // changed, 0 when not, -1 for no such row.
    int StoreMark(int index, LPARAM data, bool invert);
    // Marks rows [first, last), or the rows listed when `rows` is given: checked, unchecked or flipped.
    void ApplyMarks(int first, int last, const std::vector<int>* rows, BulkMark how);
    LRESULT OnLButtonDown(UINT message, WPARAM wParam, LPARAM lParam);
    // Keys that open the context menu (Applications, Shift+F10); true when taken.
    bool OnMenuKey(UINT message, WPARAM key);
    // List box messages that change item data or remove rows, so that the checked count follows.
    LRESULT OnItemDataMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnRowAction(WPARAM action, int index);
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    void ReleaseAccessible();
    // The row whose check box lies under the client point, or -1.
    int CheckBoxHitTest(POINT point) const;

    // Handed out on the first WM_GETOBJECT; disconnected when the window goes.
    CCheckListAccessible* m_pAccessible = nullptr;
    // WM_SETREDRAW: while drawing is off, check marks change without a repaint or an event per row;
    // the rows changed on screen meanwhile are announced when drawing comes back on.
    bool m_redraw = true;
    std::vector<int> m_quietChanges;
    bool m_repaintWhenRedrawn = false;
    bool m_quietOnScreen = false; // drawing went off while the list was on screen
    void AnnounceQuietChanges();

    CCheckListRows m_rows;
    CCheckListPainter m_painter;
    // The window the list box notifies: its parent when it was attached.
    HWND m_owner = nullptr;
    // Rows put in and read back without conversion through messages.
    CListBoxWideText m_wideText;
    bool m_menuKeyDown = false;
    CCheckListFinder m_finder;
    CCheckListToolTip m_toolTip;
};

#endif // CORVEL_CHECK_LIST_BOX_H
