#include "AfxControlFit.h"

#include "AfxDynamicLayout.h"
#include "AfxText.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

enum class Kind { Other, Label, CheckBox, PushButton };

Kind KindOf(HWND hControl) {
    wchar_t className[16] = L"";
    ::GetClassNameW(hControl, className, 16);
    const LONG_PTR style = ::GetWindowLongPtrW(hControl, GWL_STYLE);
    if (::lstrcmpiW(className, WC_STATICW) == 0) {
        const LONG_PTR type = style & SS_TYPEMASK;
        return type == SS_LEFT || type == SS_LEFTNOWORDWRAP || type == SS_CENTER || type == SS_RIGHT
                   ? Kind::Label
                   : Kind::Other;
    }
    if (::lstrcmpiW(className, WC_BUTTONW) == 0) {
        switch (style & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return Kind::CheckBox;
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            return Kind::PushButton;
        default:
            return Kind::Other;
        }
    }
    return Kind::Other;
}

// The width of `text` on one line in the control's font, the mnemonic's '&' not counted.
int LineWidth(HWND hControl, const std::wstring& text, UINT prefixFlag) {
    HDC hDC = ::GetDC(hControl);
    if (!hDC)
        return 0;
    HGDIOBJ old = ::SelectObject(hDC, reinterpret_cast<HGDIOBJ>(::SendMessageW(hControl, WM_GETFONT, 0, 0)));
    RECT rect = {0, 0, 0, 0};
    ::DrawTextW(hDC, text.c_str(), static_cast<int>(text.size()), &rect,
                DT_CALCRECT | DT_SINGLELINE | prefixFlag);
    ::SelectObject(hDC, old);
    ::ReleaseDC(hControl, hDC);
    return rect.right - rect.left;
}

// The width `hControl` needs for its whole text on one line, in its own font: a label's text, a check box's
// text beside its box, a push button's text inside its edges. 0 for a control without text.
int NeededTextWidth(HWND hControl) {
    const Kind kind = KindOf(hControl);
    if (kind == Kind::Other)
        return 0;
    const std::wstring text = AfxGetWindowTextW(hControl);
    if (text.empty())
        return 0;
    if (kind == Kind::Label) {
        const bool noPrefix = (::GetWindowLongPtrW(hControl, GWL_STYLE) & SS_NOPREFIX) != 0;
        return LineWidth(hControl, text, noPrefix ? DT_NOPREFIX : 0);
    }
    // A button knows best what its own text, box and edges take.
    SIZE ideal = {0, 0};
    if (::SendMessageW(hControl, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)) && ideal.cx > 0)
        return ideal.cx;
    // Without the common controls' buttons: the text, and a check box's box and gap or a button's edges.
    const int textWidth = LineWidth(hControl, text, 0);
    if (kind == Kind::CheckBox)
        return textWidth + ::GetSystemMetrics(SM_CXMENUCHECK) + 2 * ::GetSystemMetrics(SM_CXEDGE);
    return textWidth + 4 * ::GetSystemMetrics(SM_CXEDGE);
}

} // namespace

void AfxFitControlTexts(HWND hDlg) {
    std::vector<HWND> controls;
    for (HWND child = ::GetWindow(hDlg, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        controls.push_back(child);
    RECT client;
    ::GetClientRect(hDlg, &client);
    // The template's own spacing: 7 dialog units of margin, 4 between neighbours.
    RECT spacing = {7, 0, 4, 0};
    ::MapDialogRect(hDlg, &spacing);

    for (HWND control : controls) {
        const Kind kind = KindOf(control);
        if (kind != Kind::Label && kind != Kind::CheckBox)
            continue;
        RECT place = AfxPlaceInParent(control);
        const int needed = NeededTextWidth(control);
        if (needed <= place.right - place.left)
            continue;
        LONG limit = client.right - spacing.left;
        for (HWND other : controls) {
            if (other == control || !(::GetWindowLongPtrW(other, GWL_STYLE) & WS_VISIBLE))
                continue;
            const RECT next = AfxPlaceInParent(other);
            if (next.top < place.bottom && next.bottom > place.top && next.left >= place.right)
                limit = std::min<LONG>(limit, next.left - spacing.right);
        }
        const LONG width = std::min<LONG>(needed, limit - place.left);
        if (width > place.right - place.left)
            ::SetWindowPos(control, nullptr, 0, 0, width, place.bottom - place.top,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
