#include "CheckListPainter.h"

#include "HiddenCharacters.h"
#include "PathText.h"

#include "AfxAppearance.h"
#include "AfxDarkAppearance.h"

#include <vssym32.h>

#include <algorithm>

int CCheckListPainter::MeasureRows(HWND list) {
    // Rows tall enough for the check box as well as for the text of the list's font, which the dialog
    // scales with the screen's DPI; the box then fills the row but for a pixel above and below, so it
    // grows with the font and is never clipped.
    HDC hDC = ::GetDC(list);
    HGDIOBJ oldFont = ::SelectObject(hDC, reinterpret_cast<HGDIOBJ>(::SendMessageW(list, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics = {};
    ::GetTextMetricsA(hDC, &metrics);
    const int dpi = ::GetDeviceCaps(hDC, LOGPIXELSX);
    ::SelectObject(hDC, oldFont);
    ::ReleaseDC(list, hDC);
    const int height = std::max<int>(metrics.tmHeight, ::GetSystemMetrics(SM_CXMENUCHECK)) + 2;
    m_boxSize = height - 2;
    m_margin = dpi > 0 ? std::max(2, ::MulDiv(2, dpi, 96)) : 2;
    return height;
}

void CCheckListPainter::OpenTheme(HWND list) {
    CloseTheme();
    m_hTheme = ::OpenThemeData(list, L"BUTTON");
}

void CCheckListPainter::CloseTheme() {
    if (m_hTheme)
        ::CloseThemeData(m_hTheme);
    m_hTheme = nullptr;
}

void CCheckListPainter::DrawRow(const DRAWITEMSTRUCT& item, bool checked, bool disabled,
                                const std::wstring& text) const {
    HDC hDC = item.hDC;
    const RECT row = item.rcItem;
    // In a dark dialog, its colours (AfxDarkAppearance.h); else the system's.
    const CDarkAppearance* dark = CDarkAppearance::Of(item.hwndItem);
    const AfxListColors colors = dark ? AfxListColors::Dark() : AfxListColors::System();
    // The check box column keeps the window colour; the text part shows the selection.
    RECT column = row;
    column.right = row.left + TextOffset();
    ::FillRect(hDC, &column, dark ? dark->FieldBrush() : ::GetSysColorBrush(COLOR_WINDOW));
    const int box = std::min<int>(m_boxSize, row.bottom - row.top);
    RECT boxRect;
    boxRect.left = row.left + m_margin;
    boxRect.top = row.top + (row.bottom - row.top - box) / 2;
    boxRect.right = boxRect.left + box;
    boxRect.bottom = boxRect.top + box;
    if (dark) {
        dark->DrawCheckGlyph(hDC, boxRect, checked, disabled);
    } else if (m_hTheme) {
        const int state = checked ? (disabled ? CBS_CHECKEDDISABLED : CBS_CHECKEDNORMAL)
                                  : (disabled ? CBS_UNCHECKEDDISABLED : CBS_UNCHECKEDNORMAL);
        ::DrawThemeBackground(m_hTheme, hDC, BP_CHECKBOX, state, &boxRect, nullptr);
    } else {
        ::DrawFrameControl(hDC, &boxRect, DFC_BUTTON, DFCS_BUTTONCHECK | (checked ? DFCS_CHECKED : 0));
    }

    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    RECT textRect = row;
    textRect.left = column.right;
    const COLORREF oldBack = ::SetBkColor(hDC, selected ? colors.highlight : colors.window);
    const COLORREF oldText = ::SetTextColor(hDC, disabled   ? colors.grayText
                                                 : selected ? colors.highlightText
                                                            : colors.windowText);
    TEXTMETRICA metrics = {};
    ::GetTextMetricsA(hDC, &metrics);
    const int y = textRect.top + (textRect.bottom - textRect.top - metrics.tmHeight) / 2;
    if (HasHiddenCharacters(text.c_str(), text.size()))
        DrawFlaggedText(hDC, textRect, y, text);
    else
        ::ExtTextOutW(hDC, textRect.left, y, ETO_OPAQUE | ETO_CLIPPED, &textRect, text.c_str(),
                      static_cast<UINT>(text.size()), nullptr);
    ::SetTextColor(hDC, oldText);
    ::SetBkColor(hDC, oldBack);
    if (item.itemState & ODS_FOCUS)
        ::DrawFocusRect(hDC, &textRect);
}

void CCheckListPainter::DrawFlaggedText(HDC hDC, const RECT& textRect, int textTop,
                                        const std::wstring& text) const {
    ::ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &textRect, nullptr, 0, nullptr);
    // The warning mark, the system's own, the size of the check box.
    const int box = std::min<int>(m_boxSize, textRect.bottom - textRect.top);
    HICON warning = ::LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_WARNING));
    if (warning)
        ::DrawIconEx(hDC, textRect.left + m_margin / 2,
                     textRect.top + (textRect.bottom - textRect.top - box) / 2, warning, box, box, 0, nullptr,
                     DI_NORMAL);
    RECT line = textRect;
    line.left += WarningMarkWidth();
    LayOutPathText(hDC, line, textTop, text, true);
}

int CCheckListPainter::RowTextWidth(HDC dc, const std::wstring& text) const {
    if (HasHiddenCharacters(text.c_str(), text.size())) {
        const RECT line = {0, 0, 0, 0};
        return WarningMarkWidth() + LayOutPathText(dc, line, 0, text, false);
    }
    SIZE size = {0, 0};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}
