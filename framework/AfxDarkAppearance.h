// A dialog drawn dark (AfxAppearance.h): its caption, background, labels, buttons and boxes.
//
// The system's controls draw themselves in the light style whatever the apps mode, so a dark dialog draws
// what they would not: it answers its children's WM_CTLCOLOR* messages with dark brushes and light text,
// and draws its check boxes, radio buttons and push buttons itself through their custom draw (the controls
// keep their behaviour and what screen readers read of them). It asks for the dark caption and the dark
// scroll bars of the system's own dark style where the system has them. A light dialog is left exactly as
// it was.
//
// One object a dark dialog, made when it opens and deleted with its window; its controls find it through
// CDarkAppearance::Of.
#ifndef CORVEL_AFX_DARK_APPEARANCE_H
#define CORVEL_AFX_DARK_APPEARANCE_H

#include <windows.h>

class CDarkAppearance {
public:
    // From WM_INITDIALOG: makes `hDlg` dark when a dialog opening now is to be (AfxUseDarkColors).
    static void Apply(HWND hDlg);
    // The appearance of the dark dialog that `hWnd` is or lies in; null for a light one.
    static CDarkAppearance* Of(HWND hWnd);
    // The dialog messages a dark dialog answers itself: true when `message` is answered, with the dialog
    // procedure's result in `*pResult`. Deletes the object at WM_NCDESTROY (and answers false).
    static bool OnDialogMessage(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* pResult);

    HBRUSH FieldBrush() const { return m_field; }
    HBRUSH PopupBrush() const { return m_popup; }
    // A check box's box, as the dialog's check boxes and the file list's rows show it.
    void DrawCheckGlyph(HDC hDC, const RECT& box, bool checked, bool disabled) const;
    // A tooltip of the dialog's, in the popup colours.
    void ApplyToToolTip(HWND hTip) const;

    CDarkAppearance(const CDarkAppearance&) = delete;
    CDarkAppearance& operator=(const CDarkAppearance&) = delete;

private:
    CDarkAppearance();
    ~CDarkAppearance();
    static LRESULT CALLBACK SizeGripProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR);
    bool OnCtlColor(UINT message, HDC hDC, HWND hControl, INT_PTR* pResult) const;
    LRESULT OnCustomDraw(const NMHDR& header) const;
    void DrawPushButton(HWND hButton, HDC hDC, const RECT& rect, UINT state) const;
    void DrawCheckBox(HWND hButton, HDC hDC, const RECT& rect, UINT state, bool radio) const;

    HBRUSH m_dialog = nullptr;
    HBRUSH m_field = nullptr;
    HBRUSH m_popup = nullptr;
};

#endif // CORVEL_AFX_DARK_APPEARANCE_H
