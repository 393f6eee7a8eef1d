// CCheckListMenu: the check list's context menu, opened by a right-click, Shift+F10 or the Applications
// key. Its first line, disabled, counts the checked rows ("1,234 of 100,000 checked"), and a second one the
// paths with hidden or direction-changing characters when there are any; then Check and
// Uncheck for the selected rows (a right-click on a row that is not selected means that row alone), Check
// All, Uncheck All and Invert Checks for every row, and Copy Paths, which puts the same rows' texts on the
// clipboard, one a line. Bulk changes repaint once and are announced as one change.
#ifndef CORVEL_CHECK_LIST_MENU_H
#define CORVEL_CHECK_LIST_MENU_H

#include <windows.h>

#include <string>
#include <vector>

class CCheckListBox;

class CCheckListMenu {
public:
    enum Command : UINT {
        kCount = 1,
        kCheck,
        kUncheck,
        kCheckAll,
        kUncheckAll,
        kInvert,
        kCopyPaths,
        kFlaggedCount
    };

    // Shows the menu for a WM_CONTEXTMENU's screen point: -1 (from the keyboard) places it below the caret
    // row's text when that is in view, else at the list's corner.
    static void TrackFor(CCheckListBox& list, LPARAM screenPoint);
    // Shows the menu at the screen point (in its own modal loop) and carries out the chosen command.
    // `clickedRow` is the row under a right-click, -1 when opened from the keyboard or below the rows.
    static void Track(CCheckListBox& list, POINT screen, int clickedRow);

private:
    // The rows Check, Uncheck and Copy Paths act on.
    static std::vector<int> TargetRows(const CCheckListBox& list, int clickedRow);
    static void CopyPaths(const CCheckListBox& list, const std::vector<int>& rows);
};

#endif // CORVEL_CHECK_LIST_MENU_H
