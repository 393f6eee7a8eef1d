#include "AfxDarkMenu.h"

#include "AfxAppearance.h"
#include "AfxDarkAppearance.h"

#include <algorithm>

namespace {

const char kTag[] = "Corvel.DarkMenu";

int Scaled(HDC hDC, int pixelsAt96) {
    return ::MulDiv(pixelsAt96, std::max(96, ::GetDeviceCaps(hDC, LOGPIXELSX)), 96);
}

} // namespace

CDarkMenu::CDarkMenu(HMENU menu, HWND owner) {
    const CDarkAppearance* appearance = CDarkAppearance::Of(owner);
    const int count = menu ? ::GetMenuItemCount(menu) : 0;
    if (!appearance || count <= 0)
        return;
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) ||
        !(m_font = ::CreateFontIndirectW(&metrics.lfMenuFont)))
        return; // drawn light, as the system draws it
    // Read whole first: the items' data point into the vector, which must not move afterwards.
    std::vector<MENUITEMINFOW> infos(static_cast<size_t>(count));
    m_items.reserve(infos.size());
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = L"";
        MENUITEMINFOW& info = infos[static_cast<size_t>(i)];
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 256;
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info))
            info.fType = MFT_SEPARATOR;
        m_items.push_back(
            Item{kTag, (info.fType & MFT_SEPARATOR) ? L"" : text, (info.fType & MFT_SEPARATOR) != 0, m_font});
    }
    for (int i = 0; i < count; ++i) {
        // The text stays the item's (MIIM_STRING is not touched): only how it is drawn changes.
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_DATA;
        info.fType = infos[static_cast<size_t>(i)].fType | MFT_OWNERDRAW;
        info.dwItemData = reinterpret_cast<ULONG_PTR>(&m_items[static_cast<size_t>(i)]);
        ::SetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    }
    MENUINFO background = {};
    background.cbSize = sizeof background;
    background.fMask = MIM_BACKGROUND;
    background.hbrBack = appearance->PopupBrush();
    ::SetMenuInfo(menu, &background);
}

CDarkMenu::~CDarkMenu() {
    if (m_font)
        ::DeleteObject(m_font);
}

bool CDarkMenu::OnOwnerMessage(UINT message, LPARAM lParam) {
    if (message == WM_MEASUREITEM) {
        MEASUREITEMSTRUCT& measure = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        const auto* item = reinterpret_cast<const Item*>(measure.itemData);
        if (measure.CtlType != ODT_MENU || !item || item->tag != kTag)
            return false;
        Measure(measure, *item);
        return true;
    }
    if (message == WM_DRAWITEM) {
        const DRAWITEMSTRUCT& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        const auto* item = reinterpret_cast<const Item*>(draw.itemData);
        if (draw.CtlType != ODT_MENU || !item || item->tag != kTag)
            return false;
        Draw(draw, *item);
        return true;
    }
    return false;
}

void CDarkMenu::Measure(MEASUREITEMSTRUCT& measure, const Item& item) {
    HDC hDC = ::GetDC(nullptr);
    if (!hDC)
        return;
    if (item.separator) {
        measure.itemWidth = 0;
        measure.itemHeight = static_cast<UINT>(Scaled(hDC, 7));
    } else {
        HGDIOBJ oldFont = ::SelectObject(hDC, item.font);
        RECT extent = {0, 0, 0, 0};
        ::DrawTextW(hDC, item.text.c_str(), static_cast<int>(item.text.size()), &extent,
                    DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
        ::SelectObject(hDC, oldFont);
        // The system adds the check mark's column before the item; the margins are ours.
        measure.itemWidth = static_cast<UINT>(extent.right - extent.left + Scaled(hDC, 16));
        measure.itemHeight = static_cast<UINT>(extent.bottom - extent.top + Scaled(hDC, 8));
    }
    ::ReleaseDC(nullptr, hDC);
}

void CDarkMenu::Draw(const DRAWITEMSTRUCT& draw, const Item& item) {
    using namespace AfxDarkColors;
    HDC hDC = draw.hDC;
    const bool selected = (draw.itemState & ODS_SELECTED) && !item.separator;
    const bool grayed = (draw.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    HBRUSH back = ::CreateSolidBrush(selected ? (grayed ? kButtonHot : kSelection) : kPopup);
    if (back) {
        ::FillRect(hDC, &draw.rcItem, back);
        ::DeleteObject(back);
    }
    if (item.separator) {
        RECT line = draw.rcItem;
        line.top = (line.top + line.bottom) / 2;
        line.bottom = line.top + 1;
        line.left += Scaled(hDC, 4);
        line.right -= Scaled(hDC, 4);
        if (HBRUSH edge = ::CreateSolidBrush(kGrayText)) {
            ::FillRect(hDC, &line, edge);
            ::DeleteObject(edge);
        }
        return;
    }
    HGDIOBJ oldFont = ::SelectObject(hDC, item.font);
    const int oldMode = ::SetBkMode(hDC, TRANSPARENT);
    const COLORREF oldColour = ::SetTextColor(hDC, grayed ? kGrayText : selected ? kSelectionText : kText);
    RECT text = draw.rcItem;
    // Where the system puts an item's text: past the check mark's column.
    text.left += ::GetSystemMetrics(SM_CXMENUCHECK) + Scaled(hDC, 8);
    ::DrawTextW(hDC, item.text.c_str(), static_cast<int>(item.text.size()), &text,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS |
                    ((draw.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0));
    ::SetTextColor(hDC, oldColour);
    ::SetBkMode(hDC, oldMode);
    ::SelectObject(hDC, oldFont);
}
