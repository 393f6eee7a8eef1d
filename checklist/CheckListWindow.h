// A check list window as any thread sees it: where its rows lie, the actions its own thread takes on a
// row when asked by message, and the summaries of its marks. The accessible object, the tooltip and the
// context menu reach the list through these.
#ifndef CORVEL_CHECK_LIST_WINDOW_H
#define CORVEL_CHECK_LIST_WINDOW_H

#include <windows.h>

#include <string>

namespace CheckListWindow {

// The mark that a row's item data stands for: 1 for nonzero data, 0 for zero and for LB_ERR, which is
// what reading the data of no row gives. Whoever reads a mark, on any thread, reads it through this.
inline int MarkOfItemData(LRESULT data) {
    return data != LB_ERR && data != 0 ? 1 : 0;
}

// The row under a client point, or -1.
int RowAt(HWND list, POINT point);
// The row's rectangle in client coordinates, where it is painted now (horizontal scrolling included).
BOOL GetRowRect(HWND list, int index, RECT* rect);

// Sent to a check list to act on row lParam on the list's own thread; returns nonzero when done. The
// kCount actions answer a number instead: the checked rows, the rows holding hidden characters, the rows
// still to come.
UINT RowActionMessage();
enum RowAction : WPARAM {
    kToggleRow = 1,
    kFocusRow = 2,
    kCountChecked = 3,
    kCountFlagged = 4,
    kCountPending = 5
};
inline LRESULT SendRowAction(HWND list, RowAction action, int row = 0) {
    return ::SendMessageA(list, RowActionMessage(), action, row);
}

// "N of M checked", N and M with the user's thousands separator.
std::wstring CheckedSummary(HWND list);
// "N paths contain hidden or direction-changing characters", or empty when none does.
std::wstring FlaggedSummary(HWND list);

} // namespace CheckListWindow

#endif // CORVEL_CHECK_LIST_WINDOW_H
