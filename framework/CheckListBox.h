// CCheckListBox: an owner-drawn list box (LBS_OWNERDRAWFIXED | LBS_HASSTRINGS) that draws a check box in
// front of each row and keeps a check mark per row.
//
// The user toggles a row's check mark by clicking its check box or by pressing Space on the focused
// row. A toggle changes that row only: the other selected rows keep their marks, because selection
// carries no meaning here and a whole-selection toggle after "Select All" would silently flip every row.
//
// Screen readers see the rows, their marks and selection through the list's accessible object
// (CheckListAccessible.h); a mark that changes on screen raises EVENT_OBJECT_STATECHANGE for its row.
#ifndef CORVEL_CHECK_LIST_BOX_H
#define CORVEL_CHECK_LIST_BOX_H

#include "AfxControls.h"

#include <vector>

class CCheckListAccessible;

class CCheckListBox : public CListBox {
public:
    ~CCheckListBox() override;

    // 1 checked, 0 unchecked. The mark is kept as the row's item data.
    void SetCheck(int index, int nCheck);
    int GetCheck(int index) const;
    // Sets the marks of rows [first, end) at once; with drawing off, as in a bulk change, the rows in view
    // whose marks changed are announced once drawing is back on.
    void SetCheckRange(int first, int end, int nCheck);

    // Pixels from the row's left edge to its text: the check box column.
    int GetTextOffset() const;
    // Pixels left blank after the end of the text.
    int GetTrailingMargin() const { return kMargin; }
    // The horizontal extent that lets a text `textWidth` pixels wide scroll wholly into view.
    int ExtentForTextWidth(int textWidth) const { return GetTextOffset() + textWidth + GetTrailingMargin(); }

    // Geometry of a check list window `list`, usable from any thread.
    // The row under a client point, or -1.
    static int RowAt(HWND list, POINT point);
    // The row's rectangle in client coordinates, where it is painted now (horizontal scrolling included).
    static BOOL GetRowRect(HWND list, int index, RECT* rect);

    // Sent to a check list to act on row lParam on the list's own thread; returns nonzero when done.
    static UINT RowActionMessage();
    enum RowAction : WPARAM { kToggleRow = 1, kFocusRow = 2 };

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    static constexpr int kMargin = 2;
    static int CheckBoxSize();
    // Rows that fit in the client area, the last one perhaps in part.
    int RowsInView() const;
    void DrawItem(const DRAWITEMSTRUCT& item);
    BOOL Toggle(int index);
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
};

#endif // CORVEL_CHECK_LIST_BOX_H
