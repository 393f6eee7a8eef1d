#include "CheckListWindow.h"

#include "AfxControls.h"
#include "AfxLanguage.h"
#include "AfxText.h"
#include "resource.h"

namespace CheckListWindow {

int RowAt(HWND list, POINT point) {
    RECT client;
    if (!::GetClientRect(list, &client) || !::PtInRect(&client, point))
        return -1;
    // LB_ITEMFROMPOINT gives only 16 bits of the index; the rows all have one height, so count them.
    const CListBoxT<CWindowHandle> box(list);
    const int height = box.GetItemHeight();
    if (height == LB_ERR || height <= 0)
        return -1;
    const int top = box.GetTopIndex();
    const int index = top + (point.y - client.top) / height;
    RECT rect;
    if (top == LB_ERR || index >= box.GetCount() || !GetRowRect(list, index, &rect) || point.y < rect.top ||
        point.y >= rect.bottom)
        return -1;
    return index;
}

BOOL GetRowRect(HWND list, int index, RECT* rect) {
    if (CListBoxT<CWindowHandle>(list).GetItemRect(index, rect) == LB_ERR)
        return FALSE;
    // The list scrolls sideways by moving the origin it paints at, so its rows keep their left edge.
    ::OffsetRect(rect, -::GetScrollPos(list, SB_HORZ), 0);
    return TRUE;
}

UINT RowActionMessage() {
    static const UINT message = ::RegisterWindowMessageA("Corvel.CheckList.RowAction");
    return message;
}

std::wstring CheckedSummary(HWND list) {
    // "%1 of %2 checked", worded in each language so that it reads right for any count.
    std::wstring summary = AfxLoadString(IDS_CHECKED_SUMMARY);
    AfxReplaceWithCount(summary, L"%1", SendRowAction(list, kCountChecked));
    AfxReplaceWithCount(summary, L"%2",
                        CListBoxT<CWindowHandle>(list).GetCount() + SendRowAction(list, kCountPending));
    return summary;
}

std::wstring FlaggedSummary(HWND list) {
    const LRESULT flagged = SendRowAction(list, kCountFlagged);
    if (flagged <= 0)
        return std::wstring();
    std::wstring summary = AfxLoadString(flagged == 1 ? IDS_HIDDEN_SUMMARY_ONE : IDS_HIDDEN_SUMMARY);
    AfxReplaceWithCount(summary, L"%1", flagged);
    return summary;
}

} // namespace CheckListWindow
