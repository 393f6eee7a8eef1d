#include "CheckListRowsGoing.h"

#include "CheckListWindow.h"

#include "AfxModuleState.h"

#include <new>

namespace {

// A list box deleting its rows on WM_DESTROY sends its owner a WM_DELETEITEM for each row (some systems
// only for rows with item data), carrying the row's item data: its mark. Through the dialog manager each
// costs several times what the list box itself spends on the row, and nothing there needs them; so while
// the rows go the owner's procedure is this one, which only notes the marks.
struct RowsGoing {
    HWND list;
    std::vector<char>* marks;
    WNDPROC ownerProc;
};
thread_local RowsGoing* t_pRowsGoing = nullptr;

LRESULT CALLBACK OwnerWhileRowsGo(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const RowsGoing& going = *t_pRowsGoing;
    if (message == WM_DELETEITEM) {
        const DELETEITEMSTRUCT* item = reinterpret_cast<const DELETEITEMSTRUCT*>(lParam);
        if (item && item->hwndItem == going.list) {
            if (item->itemID < going.marks->size())
                (*going.marks)[item->itemID] =
                    static_cast<char>(CheckListWindow::MarkOfItemData(static_cast<LRESULT>(item->itemData)));
            return TRUE;
        }
    }
    return ::CallWindowProcW(going.ownerProc, hWnd, message, wParam, lParam);
}

} // namespace

void CheckListInitThreadState() {
    AfxTouchThreadLocal(t_pRowsGoing);
}

LRESULT DestroyRowsKeepingMarks(HWND list, HWND owner, std::vector<char>& marks,
                                const std::function<LRESULT(UINT, WPARAM, LPARAM)>& listBoxProc,
                                const std::function<LRESULT()>& destroy) {
    // A row the list box does not report had no item data: it is unchecked.
    bool kept = true;
    try {
        const LRESULT count = listBoxProc(LB_GETCOUNT, 0, 0);
        marks.assign(count > 0 ? static_cast<size_t>(count) : 0, 0);
    } catch (const std::bad_alloc&) {
        kept = false;
    }
    RowsGoing going = {list, &marks, nullptr};
    // Should the parent have changed since, or the owner not be this thread's, the marks are read one by
    // one instead.
    if (kept && owner && ::GetParent(list) == owner &&
        ::GetWindowThreadProcessId(owner, nullptr) == ::GetCurrentThreadId())
        going.ownerProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OwnerWhileRowsGo)));
    if (kept && !going.ownerProc) {
        for (size_t index = 0; index < marks.size(); ++index)
            marks[index] = static_cast<char>(
                CheckListWindow::MarkOfItemData(listBoxProc(LB_GETITEMDATA, static_cast<WPARAM>(index), 0)));
    }
    RowsGoing* const outer = t_pRowsGoing;
    if (going.ownerProc)
        t_pRowsGoing = &going;
    // The rows go in any case: the list box frees them only here.
    const LRESULT result = destroy();
    if (going.ownerProc) {
        ::SetWindowLongPtrW(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(going.ownerProc));
        t_pRowsGoing = outer;
    }
    if (!kept)
        throw std::bad_alloc();
    return result;
}
