// Light or dark: the colours a dialog is drawn in, decided when it opens.
//
// A host may choose for the calls it makes inside a scope (CAppearanceScope, the C interface's
// corvel_with_options); otherwise the system is asked, at the moment the dialog opens, never a stored
// setting: high contrast first (then the system colours, as always), then the user's apps mode, which
// Windows 10 1809 and later answer through uxtheme.dll's ordinal 132. Where that is missing, the mode is
// light. Nothing is kept after the call.
#ifndef CORVEL_AFX_APPEARANCE_H
#define CORVEL_AFX_APPEARANCE_H

#include <windows.h>

enum class AfxAppearance { kSystem = 0, kLight = 1, kDark = 2 };

// The appearance chosen for the calls made on this thread until the end of the scope (kSystem: the
// system's); the choice before it is back when the scope ends.
class CAppearanceScope {
public:
    explicit CAppearanceScope(AfxAppearance appearance);
    ~CAppearanceScope();
    CAppearanceScope(const CAppearanceScope&) = delete;
    CAppearanceScope& operator=(const CAppearanceScope&) = delete;

private:
    AfxAppearance m_previous;
};

// This thread's choice: kSystem unless a scope chose.
AfxAppearance AfxGetAppearanceChoice();
// Makes this thread's state for the choice now (see AfxInitThreadState).
void AfxInitAppearanceThreadState();

// Whether high contrast is on (SPI_GETHIGHCONTRAST).
bool AfxIsHighContrast();
// Whether the user's apps mode is dark: uxtheme.dll's ordinal 132 (ShouldAppsUseDarkMode), asked on builds
// that have it (17763, Windows 10 1809, and later). False where it is missing.
bool AfxSystemAppsUseDarkMode();
// Whether a dialog opening now is to be dark: the thread's choice, unless high contrast is on; else the
// system's apps mode.
bool AfxUseDarkColors();

// The Windows build number, as the system reports it to every program (RtlGetVersion).
DWORD AfxWindowsBuild();
// The window attribute that asks for a dark caption on `build`: 20 (DWMWA_USE_IMMERSIVE_DARK_MODE) from
// 19041 (Windows 10 20H1) on, 19 on 17763 to 19040 (1809 to 1909), where it had that number; 0 before.
DWORD AfxDarkCaptionAttribute(DWORD build);

// The dark colours. Text keeps at least 4.5:1 against what it is drawn on (WCAG AA), and the edges of
// boxes and buttons 3:1 against the dialog.
namespace AfxDarkColors {
constexpr COLORREF kDialog = RGB(32, 32, 32);           // dialog, labels, check boxes
constexpr COLORREF kField = RGB(25, 25, 25);            // the file list, comment and path boxes
constexpr COLORREF kPopup = RGB(43, 43, 43);            // context menu, tooltip
constexpr COLORREF kText = RGB(240, 240, 240);          // 14.5:1 on kDialog
constexpr COLORREF kGrayText = RGB(150, 150, 150);      // 5.5:1 on kDialog, 4.8:1 on kPopup
constexpr COLORREF kSelection = RGB(0, 116, 204);       // 3.6:1 against kField
constexpr COLORREF kSelectionText = RGB(255, 255, 255); // 4.8:1 on kSelection
constexpr COLORREF kButton = RGB(51, 51, 51);
constexpr COLORREF kButtonHot = RGB(69, 69, 69);
constexpr COLORREF kButtonPressed = RGB(40, 40, 40);
constexpr COLORREF kDefaultButton = RGB(0, 95, 184);   // white text 6.3:1
constexpr COLORREF kEdge = RGB(160, 160, 160);         // box and button edges, 6.3:1 against kDialog
constexpr COLORREF kMarker = RGB(255, 196, 120);       // hidden-character markers' text and frame
constexpr COLORREF kMarkerBackground = RGB(77, 56, 0); // 7.1:1 under kMarker
} // namespace AfxDarkColors

// The colours a list's rows are drawn in.
struct AfxListColors {
    COLORREF window, windowText, grayText, highlight, highlightText;
    static AfxListColors System() {
        return {::GetSysColor(COLOR_WINDOW), ::GetSysColor(COLOR_WINDOWTEXT), ::GetSysColor(COLOR_GRAYTEXT),
                ::GetSysColor(COLOR_HIGHLIGHT), ::GetSysColor(COLOR_HIGHLIGHTTEXT)};
    }
    static AfxListColors Dark() {
        using namespace AfxDarkColors;
        return {kField, kText, kGrayText, kSelection, kSelectionText};
    }
};

#endif // CORVEL_AFX_APPEARANCE_H
