#include "CheckListMenu.h"

#include "AfxDarkMenu.h"
#include "AfxLanguage.h"
#include "CheckListBox.h"
#include "resource.h"

#include <algorithm>
#include <cstring>

namespace {

// Moveable global memory holding `bytes`, as the clipboard takes it; null when there is none.
HGLOBAL GlobalCopy(const void* data, size_t bytes) {
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory)
        return nullptr;
    void* target = ::GlobalLock(memory);
    if (!target) {
        ::GlobalFree(memory);
        return nullptr;
    }
    std::memcpy(target, data, bytes);
    ::GlobalUnlock(memory);
    return memory;
}

void SetClipboard(UINT format, HGLOBAL memory) {
    if (memory && !::SetClipboardData(format, memory))
        ::GlobalFree(memory); // not taken: still ours
}

} // namespace

void CCheckListMenu::TrackFor(CCheckListBox& list, LPARAM screenPoint) {
    POINT screen = {static_cast<short>(LOWORD(screenPoint)), static_cast<short>(HIWORD(screenPoint))};
    int row = -1;
    if (screenPoint == static_cast<LPARAM>(-1)) {
        // From the keyboard: below the caret row's text when it is in view, else at the list's corner.
        RECT client, rect;
        ::GetClientRect(list.m_hWnd, &client);
        POINT at = {client.left, client.top};
        const int caret = list.GetCaretIndex();
        if (caret >= 0 && CheckListWindow::GetRowRect(list.m_hWnd, caret, &rect) &&
            rect.bottom > client.top && rect.bottom <= client.bottom)
            at = {std::min<LONG>(std::max<LONG>(rect.left + list.GetTextOffset(), client.left), client.right),
                  rect.bottom};
        ::ClientToScreen(list.m_hWnd, &at);
        screen = at;
    } else {
        POINT client = screen;
        ::ScreenToClient(list.m_hWnd, &client);
        row = CheckListWindow::RowAt(list.m_hWnd, client);
    }
    Track(list, screen, row);
}

std::vector<int> CCheckListMenu::TargetRows(const CCheckListBox& list, int clickedRow) {
    if (clickedRow >= 0 && list.GetSel(clickedRow) <= 0)
        return {clickedRow};
    return list.GetSelectedRows();
}

void CCheckListMenu::Track(CCheckListBox& list, POINT screen, int clickedRow) {
    const std::vector<int> targets = TargetRows(list, clickedRow);
    const bool anyRows = list.GetCount() > 0 || list.GetPendingCount() > 0;
    HMENU menu = ::CreatePopupMenu();
    if (!menu)
        return;
    const UINT forTargets = MF_STRING | (targets.empty() ? MF_GRAYED : 0);
    const UINT forAll = MF_STRING | (anyRows ? 0 : MF_GRAYED);
    ::AppendMenuW(menu, MF_STRING | MF_GRAYED, kCount, CheckListWindow::CheckedSummary(list.m_hWnd).c_str());
    const std::wstring flagged = CheckListWindow::FlaggedSummary(list.m_hWnd);
    if (!flagged.empty())
        ::AppendMenuW(menu, MF_STRING | MF_GRAYED, kFlaggedCount, flagged.c_str());
    ::AppendMenuW(menu, forTargets, kCheck, AfxLoadString(IDS_MENU_CHECK).c_str());
    ::AppendMenuW(menu, forTargets, kUncheck, AfxLoadString(IDS_MENU_UNCHECK).c_str());
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, forAll, kCheckAll, AfxLoadString(IDS_MENU_CHECK_ALL).c_str());
    ::AppendMenuW(menu, forAll, kUncheckAll, AfxLoadString(IDS_MENU_UNCHECK_ALL).c_str());
    ::AppendMenuW(menu, forAll, kInvert, AfxLoadString(IDS_MENU_INVERT).c_str());
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, forTargets, kCopyPaths, AfxLoadString(IDS_MENU_COPY_PATHS).c_str());
    // Drawn in the dialog's dark colours when it is dark.
    const CDarkMenu darkMenu(menu, list.m_hWnd);
    // A mirrored list opens a mirrored menu, from the click's point leftwards.
    const UINT direction = (::GetWindowLongW(list.m_hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) ? TPM_LAYOUTRTL : 0;
    // The command comes back here rather than as WM_COMMAND to the dialog, which knows nothing of it.
    const UINT command = static_cast<UINT>(
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN | direction,
                         screen.x, screen.y, 0, list.m_hWnd, nullptr));
    ::DestroyMenu(menu);

    switch (command) {
    case kCheck:
    case kUncheck:
        list.SetChecks(targets, command == kCheck ? 1 : 0);
        break;
    case kCheckAll:
    case kUncheckAll:
        list.SetCheckRange(0, list.GetCount(), command == kCheckAll ? 1 : 0);
        break;
    case kInvert:
        list.InvertChecks();
        break;
    case kCopyPaths:
        CopyPaths(list, targets);
        break;
    default: // dismissed
        break;
    }
}

void CCheckListMenu::CopyPaths(const CCheckListBox& list, const std::vector<int>& rows) {
    // Both as the list's narrow texts, byte for byte, and as wide text, so neither is converted on the way.
    std::string narrow;
    std::wstring wide, row;
    CString text;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i > 0) {
            narrow += "\r\n";
            wide += L"\r\n";
        }
        list.GetText(rows[i], text);
        narrow.append(text.GetString(), static_cast<size_t>(text.GetLength()));
        if (list.GetRowText(rows[i], row))
            wide += row;
    }
    if (!::OpenClipboard(list.m_hWnd))
        return;
    ::EmptyClipboard();
    SetClipboard(CF_TEXT, GlobalCopy(narrow.c_str(), narrow.size() + 1));
    SetClipboard(CF_UNICODETEXT, GlobalCopy(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t)));
    ::CloseClipboard();
}
