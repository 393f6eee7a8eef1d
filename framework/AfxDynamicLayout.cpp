#include "AfxDynamicLayout.h"

#include "AfxWnd.h"

#include <algorithm>

namespace {

// The part of `delta` that a ratio of 0..100 follows.
int Share(int delta, int ratio) {
    return delta * std::clamp(ratio, 0, 100) / 100;
}

} // namespace

BOOL CDynamicLayout::Create(CWnd* pHostWnd) {
    m_hHost = pHostWnd ? pHostWnd->GetSafeHwnd() : nullptr;
    m_items.clear();
    RECT client = {0, 0, 0, 0};
    if (!m_hHost || !::GetClientRect(m_hHost, &client))
        return FALSE;
    m_initialClient = SIZE{client.right, client.bottom};
    return TRUE;
}

BOOL CDynamicLayout::AddItem(HWND hWnd, MoveSettings moveSettings, SizeSettings sizeSettings) {
    if (!hWnd || !m_hHost || ::GetParent(hWnd) != m_hHost)
        return FALSE;
    m_items.push_back(Item{hWnd, moveSettings, sizeSettings, AfxPlaceInParent(hWnd)});
    return TRUE;
}

BOOL CDynamicLayout::AddItem(int nID, MoveSettings moveSettings, SizeSettings sizeSettings) {
    return AddItem(m_hHost ? ::GetDlgItem(m_hHost, nID) : nullptr, moveSettings, sizeSettings);
}

void CDynamicLayout::RemoveItem(HWND hWnd) {
    m_items.erase(
        std::remove_if(m_items.begin(), m_items.end(), [&](const Item& item) { return item.hWnd == hWnd; }),
        m_items.end());
}

void CDynamicLayout::UpdateItem(HWND hWnd) {
    RECT client = {0, 0, 0, 0};
    if (!m_hHost || !::GetClientRect(m_hHost, &client))
        return;
    const int dx = static_cast<int>(client.right - m_initialClient.cx);
    const int dy = static_cast<int>(client.bottom - m_initialClient.cy);
    for (Item& item : m_items) {
        if (item.hWnd != hWnd)
            continue;
        // The inverse of PlaceItems.
        const RECT now = AfxPlaceInParent(hWnd);
        item.initial.left = now.left - Share(dx, item.move.m_nXRatio);
        item.initial.top = now.top - Share(dy, item.move.m_nYRatio);
        item.initial.right = item.initial.left + now.right - now.left - Share(dx, item.size.m_nXRatio);
        item.initial.bottom = item.initial.top + now.bottom - now.top - Share(dy, item.size.m_nYRatio);
    }
}

void CDynamicLayout::InsertBand(int y, int height) {
    for (Item& item : m_items) {
        if (item.initial.top > y)
            ::OffsetRect(&item.initial, 0, height);
        else if (item.initial.bottom >= y)
            item.initial.bottom += height;
    }
    m_initialClient.cy += height;
    if (m_minSize.cy)
        m_minSize.cy += height;
    if (m_maxSize.cy)
        m_maxSize.cy += height;
}

void CDynamicLayout::Adjust() {
    RECT client = {0, 0, 0, 0};
    // Nothing to lay out before the host has a client area, or while it is minimised.
    if (!m_hHost || m_items.empty() || !::GetClientRect(m_hHost, &client) || client.right <= 0 ||
        client.bottom <= 0 || ::IsIconic(m_hHost))
        return;
    const int dx = static_cast<int>(client.right - m_initialClient.cx);
    const int dy = static_cast<int>(client.bottom - m_initialClient.cy);
    HDWP hdwp = ::BeginDeferWindowPos(static_cast<int>(m_items.size()));
    if (hdwp && (hdwp = PlaceItems(hdwp, dx, dy)) != nullptr && ::EndDeferWindowPos(hdwp))
        return;
    // A failed batch is dropped whole: every item still out of place goes on its own.
    PlaceItems(nullptr, dx, dy);
}

HDWP CDynamicLayout::PlaceItems(HDWP hdwp, int dx, int dy) const {
    for (const Item& item : m_items) {
        const LONG x = item.initial.left + Share(dx, item.move.m_nXRatio);
        const LONG y = item.initial.top + Share(dy, item.move.m_nYRatio);
        const LONG cx = std::max(0L, item.initial.right - item.initial.left + Share(dx, item.size.m_nXRatio));
        const LONG cy = std::max(0L, item.initial.bottom - item.initial.top + Share(dy, item.size.m_nYRatio));
        const RECT now = AfxPlaceInParent(item.hWnd);
        const bool moved = now.left != x || now.top != y;
        const bool sized = now.right - now.left != cx || now.bottom - now.top != cy;
        if (!moved && !sized)
            continue;
        // Every control that changes is drawn again whole: pixels copied along would land where the
        // host, grown, paints its background over them, and a control that changes size would keep what
        // it drew near its old edges (borders, the focus rectangle).
        const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOCOPYBITS |
                           (moved ? 0 : SWP_NOMOVE) | (sized ? 0 : SWP_NOSIZE);
        if (!hdwp) {
            ::SetWindowPos(item.hWnd, nullptr, x, y, cx, cy, flags);
        } else if (!(hdwp = ::DeferWindowPos(hdwp, item.hWnd, nullptr, x, y, cx, cy, flags))) {
            return nullptr;
        }
    }
    return hdwp;
}

void CDynamicLayout::GetMinMaxInfo(MINMAXINFO* pMMI) const {
    if (m_minSize.cx > 0)
        pMMI->ptMinTrackSize.x = m_minSize.cx;
    if (m_minSize.cy > 0)
        pMMI->ptMinTrackSize.y = m_minSize.cy;
    if (m_maxSize.cx > 0)
        pMMI->ptMaxTrackSize.x = m_maxSize.cx;
    if (m_maxSize.cy > 0)
        pMMI->ptMaxTrackSize.y = m_maxSize.cy;
}

RECT AfxPlaceInParent(HWND hWnd) {
    RECT rect = {0, 0, 0, 0};
    ::GetWindowRect(hWnd, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(hWnd), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void AfxInsertBand(HWND host, CDynamicLayout* layout, int y, int height) {
    for (HWND child = ::GetWindow(host, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const RECT place = AfxPlaceInParent(child);
        if (place.top > y)
            ::SetWindowPos(child, nullptr, place.left, place.top + height, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        else if (place.bottom >= y)
            ::SetWindowPos(child, nullptr, 0, 0, place.right - place.left, place.bottom - place.top + height,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (layout)
        layout->InsertBand(y, height);
    RECT window;
    ::GetWindowRect(host, &window);
    ::SetWindowPos(host, nullptr, 0, 0, window.right - window.left, window.bottom - window.top + height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
