#include "PathText.h"

#include "HiddenCharacters.h"

#include "AfxAppearance.h"
#include "AfxDarkAppearance.h"

#include <algorithm>

namespace {

constexpr COLORREF kMarkerBackground = RGB(255, 240, 200);

int TextWidth(HDC dc, const wchar_t* text, std::size_t length) {
    SIZE size = {0, 0};
    ::GetTextExtentPoint32W(dc, text, static_cast<int>(length), &size);
    return size.cx;
}

} // namespace

int LayOutPathText(HDC dc, const RECT& line, int textTop, const std::wstring& text, bool draw) {
    TEXTMETRICW metrics = {};
    ::GetTextMetricsW(dc, &metrics);
    const int pad = std::max<int>(3, metrics.tmAveCharWidth / 2);
    // In a mirrored device context x runs from the right: the pieces are placed from the far end of the
    // whole, so that the path still reads left to right on screen, beginning at its usual edge.
    const bool mirrored = (::GetLayout(dc) & LAYOUT_RTL) != 0;
    const int total = mirrored && draw ? LayOutPathText(dc, line, textTop, text, false) : 0;
    // A dark dialog's markers are amber on brown, as readable as the light ones' red on cream.
    const bool dark = draw && CDarkAppearance::Of(::WindowFromDC(dc));
    const COLORREF markerColour = dark ? AfxDarkColors::kMarker : kMarkerColour;
    const COLORREF markerBackground = dark ? AfxDarkColors::kMarkerBackground : kMarkerBackground;
    int offset = 0;
    for (const TextPiece& piece : SplitAtHiddenCharacters(text)) {
        const bool ordinary = piece.hidden == kOrdinaryText;
        const std::wstring marker = ordinary ? std::wstring() : HiddenCharacterMarker(piece.hidden);
        const wchar_t* shown = ordinary ? text.c_str() + piece.start : marker.c_str();
        const std::size_t length = ordinary ? piece.length : marker.size();
        const int width = TextWidth(dc, shown, length) + (ordinary ? 0 : 2 * pad);
        const int x = mirrored ? line.left + total - offset - width : line.left + offset;
        offset += width;
        if (!draw)
            continue;
        if (ordinary) {
            ::ExtTextOutW(dc, x, textTop, ETO_CLIPPED, &line, shown, static_cast<UINT>(length), nullptr);
            continue;
        }
        RECT box = {x + 1, line.top + 1, x + width - 1, line.bottom - 1};
        RECT clipped;
        if (!::IntersectRect(&clipped, &box, &line))
            continue;
        const COLORREF oldBack = ::SetBkColor(dc, markerBackground);
        const COLORREF oldText = ::SetTextColor(dc, markerColour);
        ::ExtTextOutW(dc, x + pad, textTop, ETO_OPAQUE | ETO_CLIPPED, &clipped, shown,
                      static_cast<UINT>(length), nullptr);
        if (HBRUSH frame = ::CreateSolidBrush(markerColour)) {
            ::FrameRect(dc, &box, frame);
            ::DeleteObject(frame);
        }
        ::SetTextColor(dc, oldText);
        ::SetBkColor(dc, oldBack);
    }
    return offset;
}
