// A check list keeps its rows' marks as its WM_DESTROY deletes them, so that its owner can read them after
// the window is gone without a message per row.
#ifndef CORVEL_CHECK_LIST_ROWS_GOING_H
#define CORVEL_CHECK_LIST_ROWS_GOING_H

#include <windows.h>

#include <functional>
#include <vector>

// The check list's part of a thread's state, made now (see AfxInitThreadState).
void CheckListInitThreadState();

// Runs the list box's own WM_DESTROY (`destroy`), filling `marks` with each row's mark in row order. The
// list box notifies `owner` (the parent it was attached with) of every row it deletes; while the rows go,
// those notices are answered here. `listBoxProc` hands a message to the list box's own procedure. Throws
// std::bad_alloc, after the rows are gone, when there was no memory for the marks.
LRESULT DestroyRowsKeepingMarks(HWND list, HWND owner, std::vector<char>& marks,
                                const std::function<LRESULT(UINT, WPARAM, LPARAM)>& listBoxProc,
                                const std::function<LRESULT()>& destroy);

#endif // CORVEL_CHECK_LIST_ROWS_GOING_H
