// CCheckListToolTip: the whole text of a check list row that the list's width cuts off, shown over the
// row in the list's font while the mouse rests on it. Rows that fit show nothing.
//
// The tip is a tracking tooltip that the list places itself: it appears once the mouse has rested on a row
// for the system's hover time and goes when the mouse moves to another row, leaves the list, a button or
// key is pressed, or the list scrolls. Its window is made on first use and destroyed with the list.
#ifndef CORVEL_CHECK_LIST_TOOL_TIP_H
#define CORVEL_CHECK_LIST_TOOL_TIP_H

#include <windows.h>

class CCheckListBox;

class CCheckListToolTip {
public:
    CCheckListToolTip() = default;
    ~CCheckListToolTip() { Destroy(); }
    CCheckListToolTip(const CCheckListToolTip&) = delete;
    CCheckListToolTip& operator=(const CCheckListToolTip&) = delete;

    // Every message of the list passes here first; true when it was the tip's own (its timer).
    bool Relay(CCheckListBox& list, UINT message, WPARAM wParam, LPARAM lParam);
    void Destroy();

private:
    void Show(CCheckListBox& list, int row);
    void Hide();
    void Stop(HWND list);
    bool Create(const CCheckListBox& box);

    HWND m_tip = nullptr;
    HWND m_list = nullptr;
    int m_row = -1; // the row under the mouse
    bool m_shown = false;
    bool m_trackingLeave = false;
};

#endif // CORVEL_CHECK_LIST_TOOL_TIP_H
