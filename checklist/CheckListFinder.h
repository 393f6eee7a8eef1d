// CCheckListFinder: finding a row of a check list by typing. Paths all start alike (C:\...), so the typed
// text is matched against each row's file name, the part after the last '\' or '/', and only when no file
// name begins with it, against the whole path. Rows are compared as the sorted list box compares them
// (CompareStringW, NORM_IGNORECASE, in the list's locale).
//
// Keys typed within a second of each other extend the text and the search starts at the caret row, so
// that a row still matching the longer text stays; a new text starts at the row after the caret, so that
// typing the same first letter again after a pause walks on. The search wraps around. Backspace shortens
// the text. The caret moves and the row scrolls into view; selection and check marks stay as they are.
#ifndef CORVEL_CHECK_LIST_FINDER_H
#define CORVEL_CHECK_LIST_FINDER_H

#include <windows.h>

#include <string>

class CCheckListBox;

class CCheckListFinder {
public:
    static constexpr DWORD kTypingPauseMs = 1000;

    // A WM_CHAR of the list at message time `time`; true when taken as search text.
    bool OnChar(CCheckListBox& list, WPARAM code, DWORD time);

private:
    // The first row from `start` on, wrapping, whose file name begins with the text, else the first
    // whose path does; -1 for none.
    int Find(CCheckListBox& list, int start) const;
    void MoveCaret(CCheckListBox& list, int row) const;

    std::wstring m_text;
    DWORD m_lastTime = 0;
    // The first byte of a double-byte character typed into a narrow window.
    char m_leadByte = 0;
};

#endif // CORVEL_CHECK_LIST_FINDER_H
