#include "PathBoxWarning.h"

#include "AfxDialog.h"
#include "AfxDynamicLayout.h"
#include "AfxText.h"
#include "HiddenCharacters.h"
#include "resource.h"

#include <string>

void CPathBoxWarning::Attach(CDialog& dialog, int boxId) {
    m_pDialog = &dialog;
    m_boxId = boxId;
    HWND box = ::GetDlgItem(dialog.m_hWnd, boxId);
    if (!box)
        return;
    const RECT place = AfxPlaceInParent(box);
    RECT gap = {0, 0, 0, 2}; // dialog units
    ::MapDialogRect(dialog.m_hWnd, &gap);
    m_hLine = ::CreateWindowExW(
        0, L"STATIC", L"", WS_CHILD | SS_LEFT | SS_NOPREFIX, place.left, place.bottom + gap.bottom,
        place.right - place.left, 0, dialog.m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)),
        reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(dialog.m_hWnd, GWLP_HINSTANCE)), nullptr);
    if (!m_hLine)
        return; // the box alone, as before
    ::SendMessageW(m_hLine, WM_SETFONT, ::SendMessageW(dialog.m_hWnd, WM_GETFONT, 0, 0), FALSE);
    // Just after its box in the tab order, so a screen reader reaching the box reads it next.
    ::SetWindowPos(m_hLine, box, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (CDynamicLayout* layout = dialog.GetDynamicLayout())
        layout->AddItem(m_hLine, CDynamicLayout::MoveNone(), CDynamicLayout::SizeHorizontal(100));
    Update();
}

void CPathBoxWarning::Update() {
    if (!m_hLine)
        return;
    const std::wstring warning = WarnOfHiddenCharacters(
        AfxGetWindowTextW(::GetDlgItem(m_pDialog->m_hWnd, m_boxId)), IDS_HIDDEN_IN_BOX);
    if (warning != AfxGetWindowTextW(m_hLine))
        ::SetWindowTextW(m_hLine, warning.c_str());
    ::ShowWindow(m_hLine, warning.empty() ? SW_HIDE : SW_SHOWNA);
    if (warning.empty())
        return;
    // As many lines as the warning needs at the line's width.
    const RECT place = AfxPlaceInParent(m_hLine);
    RECT needed = {0, 0, place.right - place.left, 0};
    HDC dc = ::GetDC(m_hLine);
    HGDIOBJ oldFont =
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(m_hLine, WM_GETFONT, 0, 0)));
    ::DrawTextW(dc, warning.c_str(), static_cast<int>(warning.size()), &needed,
                DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(m_hLine, dc);
    GrowTo(needed.bottom);
}

void CPathBoxWarning::GrowTo(int height) {
    if (height <= m_height)
        return;
    // The band starts at the line's top edge: the line reaches it and grows, what lies below moves down.
    const RECT place = AfxPlaceInParent(m_hLine);
    AfxInsertBand(m_pDialog->m_hWnd, m_pDialog->GetDynamicLayout(), place.top, height - m_height);
    m_height = height;
}
