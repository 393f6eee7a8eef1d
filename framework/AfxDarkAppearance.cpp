#include "AfxDarkAppearance.h"

#include "AfxAppearance.h"
#include "AfxText.h"

#include <commctrl.h>
#include <dwmapi.h>
#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>
#include <new>
#include <string>

namespace {

// The dialog's property that holds its CDarkAppearance.
constexpr wchar_t kProperty[] = L"Corvel.DarkAppearance";

bool IsClass(HWND hWnd, const wchar_t* name) {
    wchar_t className[32] = L"";
    ::GetClassNameW(hWnd, className, 32);
    return ::lstrcmpiW(className, name) == 0;
}

int Scaled(HDC hDC, int pixelsAt96) {
    return ::MulDiv(pixelsAt96, std::max(96, ::GetDeviceCaps(hDC, LOGPIXELSX)), 96);
}

// A pen and a brush selected for the length of a scope.
class CPenAndBrush {
public:
    CPenAndBrush(HDC hDC, COLORREF edge, COLORREF fill, int width = 1)
        : m_hDC(hDC), m_pen(::CreatePen(PS_SOLID, width, edge)), m_brush(::CreateSolidBrush(fill)) {
        m_oldPen = ::SelectObject(hDC, m_pen ? static_cast<HGDIOBJ>(m_pen) : ::GetStockObject(NULL_PEN));
        m_oldBrush =
            ::SelectObject(hDC, m_brush ? static_cast<HGDIOBJ>(m_brush) : ::GetStockObject(NULL_BRUSH));
    }
    ~CPenAndBrush() {
        ::SelectObject(m_hDC, m_oldPen);
        ::SelectObject(m_hDC, m_oldBrush);
        if (m_pen)
            ::DeleteObject(m_pen);
        if (m_brush)
            ::DeleteObject(m_brush);
    }
    CPenAndBrush(const CPenAndBrush&) = delete;
    CPenAndBrush& operator=(const CPenAndBrush&) = delete;

private:
    HDC m_hDC;
    HPEN m_pen;
    HBRUSH m_brush;
    HGDIOBJ m_oldPen, m_oldBrush;
};

// A button's text in its font and `colour`, selected into the DC for the scope, with what its window's
// keyboard cues say (hide the focus rectangle, hide the mnemonics).
class CButtonText {
public:
    CButtonText(HWND hButton, HDC hDC, COLORREF colour)
        : text(AfxGetWindowTextW(hButton)), m_hDC(hDC),
          m_oldFont(
              ::SelectObject(hDC, reinterpret_cast<HGDIOBJ>(::SendMessageW(hButton, WM_GETFONT, 0, 0)))),
          m_oldMode(::SetBkMode(hDC, TRANSPARENT)), m_oldColour(::SetTextColor(hDC, colour)) {
        const LRESULT cues = ::SendMessageW(hButton, WM_QUERYUISTATE, 0, 0);
        hideFocus = (cues & UISF_HIDEFOCUS) != 0;
        hideAccel = (cues & UISF_HIDEACCEL) != 0;
    }
    ~CButtonText() {
        ::SetTextColor(m_hDC, m_oldColour);
        ::SetBkMode(m_hDC, m_oldMode);
        ::SelectObject(m_hDC, m_oldFont);
    }
    CButtonText(const CButtonText&) = delete;
    CButtonText& operator=(const CButtonText&) = delete;

    void Draw(RECT* rect, UINT format) const {
        ::DrawTextW(m_hDC, text.c_str(), static_cast<int>(text.size()), rect,
                    format | (hideAccel ? DT_HIDEPREFIX : 0));
    }

    const std::wstring text;
    bool hideFocus = false, hideAccel = false;

private:
    HDC m_hDC;
    HGDIOBJ m_oldFont;
    int m_oldMode;
    COLORREF m_oldColour;
};

// The dotted focus rectangle, black and white so that it shows on any face.
void DrawFocus(HDC hDC, const RECT& focus) {
    ::SetTextColor(hDC, RGB(0, 0, 0));
    ::SetBkColor(hDC, RGB(255, 255, 255));
    ::DrawFocusRect(hDC, &focus);
}

} // namespace

CDarkAppearance::CDarkAppearance()
    : m_dialog(::CreateSolidBrush(AfxDarkColors::kDialog)),
      m_field(::CreateSolidBrush(AfxDarkColors::kField)), m_popup(::CreateSolidBrush(AfxDarkColors::kPopup)) {
}

CDarkAppearance::~CDarkAppearance() {
    for (HBRUSH brush : {m_dialog, m_field, m_popup})
        if (brush)
            ::DeleteObject(brush);
}

void CDarkAppearance::Apply(HWND hDlg) {
    if (!AfxUseDarkColors())
        return;
    CDarkAppearance* self = new (std::nothrow) CDarkAppearance;
    if (!self)
        return;
    // Without its brushes, or its place on the window, the dialog stays light rather than half dark.
    if (!self->m_dialog || !self->m_field || !self->m_popup || !::SetPropW(hDlg, kProperty, self)) {
        delete self;
        return;
    }
    if (const DWORD attribute = AfxDarkCaptionAttribute(AfxWindowsBuild())) {
        const BOOL dark = TRUE;
        ::DwmSetWindowAttribute(hDlg, attribute, &dark, sizeof dark);
    }
    for (HWND child = ::GetWindow(hDlg, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        // The system's dark scroll bars, where its style has them; elsewhere the style stays as it was.
        if (IsClass(child, WC_LISTBOXW) || IsClass(child, WC_EDITW))
            ::SetWindowTheme(child, L"DarkMode_Explorer", nullptr);
        // The size grip draws itself light in any style: it is drawn here.
        if (IsClass(child, WC_SCROLLBARW) && (::GetWindowLongPtrW(child, GWL_STYLE) & SBS_SIZEGRIP))
            ::SetWindowSubclass(child, &SizeGripProc, 0, 0);
    }
}

LRESULT CALLBACK CDarkAppearance::SizeGripProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                               UINT_PTR id, DWORD_PTR) {
    switch (message) {
    case WM_ERASEBKGND:
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC hDC = ::BeginPaint(hWnd, &paint);
        if (hDC) {
            RECT client;
            ::GetClientRect(hWnd, &client);
            if (HBRUSH back = ::CreateSolidBrush(AfxDarkColors::kDialog)) {
                ::FillRect(hDC, &client, back);
                ::DeleteObject(back);
            }
            // Three diagonal rows of dots in the bottom-right corner, as the light grip has them.
            const int dot = std::max(2, Scaled(hDC, 2)), step = dot * 2;
            if (HBRUSH dots = ::CreateSolidBrush(AfxDarkColors::kGrayText)) {
                for (int row = 0; row < 3; ++row)
                    for (int column = 0; column <= row; ++column) {
                        const RECT square = {client.right - step * (column + 1),
                                             client.bottom - step * (3 - row + column), 0, 0};
                        const RECT drawn = {square.left, square.top, square.left + dot, square.top + dot};
                        ::FillRect(hDC, &drawn, dots);
                    }
                ::DeleteObject(dots);
            }
            ::EndPaint(hWnd, &paint);
        }
        return 0;
    }
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(hWnd, &SizeGripProc, id);
        break;
    default:
        break;
    }
    return ::DefSubclassProc(hWnd, message, wParam, lParam);
}

CDarkAppearance* CDarkAppearance::Of(HWND hWnd) {
    HWND root = hWnd ? ::GetAncestor(hWnd, GA_ROOT) : nullptr;
    return root ? static_cast<CDarkAppearance*>(::GetPropW(root, kProperty)) : nullptr;
}

bool CDarkAppearance::OnDialogMessage(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam,
                                      INT_PTR* pResult) {
    CDarkAppearance* self = static_cast<CDarkAppearance*>(::GetPropW(hDlg, kProperty));
    if (!self)
        return false;
    switch (message) {
    case WM_NCDESTROY:
        ::RemovePropW(hDlg, kProperty);
        delete self;
        return false;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
        return self->OnCtlColor(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                pResult);
    case WM_NOTIFY: {
        const NMHDR& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (header.code != NM_CUSTOMDRAW || !IsClass(header.hwndFrom, WC_BUTTONW))
            return false;
        ::SetWindowLongPtrW(hDlg, DWLP_MSGRESULT, self->OnCustomDraw(header));
        *pResult = TRUE;
        return true;
    }
    default:
        return false;
    }
}

bool CDarkAppearance::OnCtlColor(UINT message, HDC hDC, HWND hControl, INT_PTR* pResult) const {
    // Boxes the user types in are fields; a disabled one lies flat on the dialog, as a light one does.
    const bool field =
        message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX ||
        (message == WM_CTLCOLORSTATIC && IsClass(hControl, WC_EDITW) && ::IsWindowEnabled(hControl));
    const bool enabled = !hControl || ::IsWindowEnabled(hControl);
    ::SetTextColor(hDC, enabled ? AfxDarkColors::kText : AfxDarkColors::kGrayText);
    ::SetBkColor(hDC, field ? AfxDarkColors::kField : AfxDarkColors::kDialog);
    *pResult = reinterpret_cast<INT_PTR>(field ? m_field : m_dialog);
    return true;
}

LRESULT CDarkAppearance::OnCustomDraw(const NMHDR& header) const {
    const NMCUSTOMDRAW& draw = reinterpret_cast<const NMCUSTOMDRAW&>(header);
    // Drawn whole at the first stage the button announces; what it would draw itself is skipped.
    if (draw.dwDrawStage != CDDS_PREERASE && draw.dwDrawStage != CDDS_PREPAINT)
        return CDRF_DODEFAULT;
    HWND hButton = header.hwndFrom;
    const UINT state = static_cast<UINT>(::SendMessageW(hButton, BM_GETSTATE, 0, 0));
    switch (::GetWindowLongPtrW(hButton, GWL_STYLE) & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
        DrawPushButton(hButton, draw.hdc, draw.rc, state);
        return CDRF_SKIPDEFAULT;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
        DrawCheckBox(hButton, draw.hdc, draw.rc, state, false);
        return CDRF_SKIPDEFAULT;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        DrawCheckBox(hButton, draw.hdc, draw.rc, state, true);
        return CDRF_SKIPDEFAULT;
    default:
        return CDRF_DODEFAULT;
    }
}

void CDarkAppearance::DrawPushButton(HWND hButton, HDC hDC, const RECT& rect, UINT state) const {
    using namespace AfxDarkColors;
    const bool enabled = ::IsWindowEnabled(hButton) != FALSE;
    const bool isDefault =
        enabled && (::GetWindowLongPtrW(hButton, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    const bool pressed = (state & BST_PUSHED) != 0;
    const bool hot = (state & BST_HOT) != 0;
    const COLORREF face = !enabled    ? kDialog
                          : pressed   ? kButtonPressed
                          : isDefault ? kDefaultButton
                          : hot       ? kButtonHot
                                      : kButton;
    const COLORREF edge = !enabled ? kGrayText : isDefault && !pressed ? kDefaultButton : kEdge;
    ::FillRect(hDC, &rect, m_dialog);
    const int round = Scaled(hDC, 4);
    {
        CPenAndBrush tools(hDC, edge, face);
        ::RoundRect(hDC, rect.left, rect.top, rect.right, rect.bottom, round, round);
    }
    const CButtonText text(hButton, hDC,
                           !enabled                ? kGrayText
                           : isDefault && !pressed ? kSelectionText
                                                   : kText);
    RECT textRect = rect;
    text.Draw(&textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if ((state & BST_FOCUS) && !text.hideFocus) {
        RECT focus = rect;
        const int inset = Scaled(hDC, 3);
        ::InflateRect(&focus, -inset, -inset);
        DrawFocus(hDC, focus);
    }
}

void CDarkAppearance::DrawCheckBox(HWND hButton, HDC hDC, const RECT& rect, UINT state, bool radio) const {
    using namespace AfxDarkColors;
    const bool enabled = ::IsWindowEnabled(hButton) != FALSE;
    ::FillRect(hDC, &rect, m_dialog);
    // The box the style would draw, so the text stands where it stands in light.
    SIZE glyph = {Scaled(hDC, 13), Scaled(hDC, 13)};
    if (HTHEME theme = ::GetWindowTheme(hButton)) {
        SIZE themed = {};
        if (SUCCEEDED(::GetThemePartSize(theme, hDC, radio ? BP_RADIOBUTTON : BP_CHECKBOX, 1, nullptr,
                                         TS_DRAW, &themed)) &&
            themed.cx > 0 && themed.cy > 0)
            glyph = themed;
    }
    RECT box = {rect.left, rect.top + (rect.bottom - rect.top - glyph.cy) / 2, 0, 0};
    box.right = box.left + glyph.cx;
    box.bottom = box.top + glyph.cy;
    const LRESULT check = ::SendMessageW(hButton, BM_GETCHECK, 0, 0);
    if (radio) {
        CPenAndBrush ring(hDC, enabled ? kEdge : kGrayText, kField);
        ::Ellipse(hDC, box.left, box.top, box.right, box.bottom);
        if (check == BST_CHECKED) {
            const int inset = glyph.cx / 4 + 1;
            CPenAndBrush dot(hDC, enabled ? kText : kGrayText, enabled ? kText : kGrayText);
            ::Ellipse(hDC, box.left + inset, box.top + inset, box.right - inset, box.bottom - inset);
        }
    } else {
        DrawCheckGlyph(hDC, box, check == BST_CHECKED, !enabled);
        if (check == BST_INDETERMINATE) {
            RECT mixed = box;
            ::InflateRect(&mixed, -glyph.cx / 4, -glyph.cy / 4);
            CPenAndBrush fill(hDC, enabled ? kText : kGrayText, enabled ? kText : kGrayText);
            ::Rectangle(hDC, mixed.left, mixed.top, mixed.right, mixed.bottom);
        }
    }

    const CButtonText text(hButton, hDC, enabled ? kText : kGrayText);
    RECT textRect = rect;
    textRect.left = box.right + Scaled(hDC, 3);
    const UINT format = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
    text.Draw(&textRect, format);
    if ((state & BST_FOCUS) && !text.hideFocus && !text.text.empty()) {
        RECT focus = textRect;
        text.Draw(&focus, format | DT_CALCRECT);
        const int height = focus.bottom - focus.top;
        focus.top = rect.top + (rect.bottom - rect.top - height) / 2 - 1;
        focus.bottom = focus.top + height + 2;
        focus.left -= 1;
        focus.right = std::min(focus.right + 1, rect.right);
        DrawFocus(hDC, focus);
    }
}

void CDarkAppearance::DrawCheckGlyph(HDC hDC, const RECT& box, bool checked, bool disabled) const {
    using namespace AfxDarkColors;
    const COLORREF edge = disabled ? kGrayText : checked ? kSelection : kEdge;
    {
        CPenAndBrush tools(hDC, edge, checked && !disabled ? kSelection : kField);
        ::Rectangle(hDC, box.left, box.top, box.right, box.bottom);
    }
    if (!checked)
        return;
    // The tick: down from the left third to the bottom, then up to the right, two pixels thick at 96 DPI.
    const int size = box.right - box.left;
    const POINT tick[3] = {{box.left + size * 3 / 13, box.top + size * 6 / 13},
                           {box.left + size * 5 / 13, box.top + size * 9 / 13},
                           {box.left + size * 10 / 13, box.top + size * 3 / 13}};
    HPEN pen = ::CreatePen(PS_SOLID, std::max(2, size / 6), disabled ? kGrayText : kSelectionText);
    if (!pen)
        return;
    HGDIOBJ oldPen = ::SelectObject(hDC, pen);
    ::Polyline(hDC, tick, 3);
    ::SelectObject(hDC, oldPen);
    ::DeleteObject(pen);
}

void CDarkAppearance::ApplyToToolTip(HWND hTip) const {
    // A tooltip takes the colours it is given only without a visual style.
    ::SetWindowTheme(hTip, L"", L"");
    ::SendMessageW(hTip, TTM_SETTIPBKCOLOR, AfxDarkColors::kPopup, 0);
    ::SendMessageW(hTip, TTM_SETTIPTEXTCOLOR, AfxDarkColors::kText, 0);
}
