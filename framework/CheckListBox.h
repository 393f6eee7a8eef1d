// CCheckListBox: an owner-drawn list box (LBS_OWNERDRAWFIXED | LBS_HASSTRINGS) that draws a check box in
// front of each row and keeps a check mark per row.
//
// The user toggles a row's check mark by clicking its check box or by pressing Space on the focused
// row. A toggle changes that row only: the other selected rows keep their marks, because selection
// carries no meaning here and a whole-selection toggle after "Select All" would silently flip every row.
#ifndef CORVEL_CHECK_LIST_BOX_H
#define CORVEL_CHECK_LIST_BOX_H

#include "AfxControls.h"

class CCheckListBox : public CListBox {
public:
    // 1 checked, 0 unchecked. The mark is kept as the row's item data.
    void SetCheck(int index, int nCheck);
    int GetCheck(int index) const;

    // Pixels from the row's left edge to its text: the check box column.
    int GetTextOffset() const;
    // Pixels left blank after the end of the text.
    int GetTrailingMargin() const { return kMargin; }
    // The horizontal extent that lets a text `textWidth` pixels wide scroll wholly into view.
    int ExtentForTextWidth(int textWidth) const { return GetTextOffset() + textWidth + GetTrailingMargin(); }

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    static constexpr int kMargin = 2;
    static int CheckBoxSize();
    void DrawItem(const DRAWITEMSTRUCT& item);
    void Toggle(int index);
    // The row whose check box lies under the client point, or -1.
    int CheckBoxHitTest(POINT point) const;
};

#endif // CORVEL_CHECK_LIST_BOX_H
