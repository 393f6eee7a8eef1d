// CListBoxWideText: a list box's rows put in and read back through its own Unicode procedure, past the
// window manager's message path and the conversion of each text into room of its own on the way.
#ifndef CORVEL_LIST_BOX_WIDE_TEXT_H
#define CORVEL_LIST_BOX_WIDE_TEXT_H

#include <windows.h>

#include <string>

class CListBoxWideText {
public:
    // Takes the list box's procedure as it is now: call before subclassing it.
    void Attach(HWND list);
    bool Attached() const { return m_proc != nullptr; }

    // Appends a row with `text`, in `codePage`; the row's index, or LB_ERR/LB_ERRSPACE.
    int Append(const char* text, UINT codePage);
    // The row's text up to its first NUL; false, and empty, for an index out of range.
    bool GetText(int index, std::wstring& text) const;

private:
    HWND m_hList = nullptr;
    WNDPROC m_proc = nullptr;
    std::wstring m_room; // the last row appended, converted; kept for the next
};

#endif // CORVEL_LIST_BOX_WIDE_TEXT_H
