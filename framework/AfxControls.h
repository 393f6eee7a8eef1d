// Thin wrappers of the standard controls the dialogs use.
#ifndef CORVEL_AFX_CONTROLS_H
#define CORVEL_AFX_CONTROLS_H

#include "AfxWnd.h"

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck)); }
};

class CEdit : public CWnd {
public:
    // At most `nChars` characters can be typed or pasted; text set by the program is not cut. In a
    // Unicode box they are UTF-16 units, and a character made of two is let in whole or not at all.
    void SetLimitText(UINT nChars) { SendMessage(EM_LIMITTEXT, nChars); }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // UTF-16 units that can still be typed over the selection.
    int Room() const;
    bool m_bDropLowSurrogate = false;
};

class CListBox : public CWnd {
public:
    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    // Puts the row at `index` (-1: at the end) without sorting; the row's index, or LB_ERR/LB_ERRSPACE.
    // `text` is in this wrapper's text code page.
    int InsertString(int index, const char* text) {
        return static_cast<int>(AfxInsertListString(m_hWnd, index, text, m_nTextCodePage));
    }
    // The locale whose comparison orders a sorted list.
    LCID GetLocale() const { return static_cast<LCID>(SendMessage(LB_GETLOCALE)); }
    int GetTextLen(int index) const { return static_cast<int>(SendMessage(LB_GETTEXTLEN, (WPARAM)index)); }
    // The row's text up to its first NUL; empty for an index out of range.
    void GetText(int index, CString& text) const;
    // Selects rows `first` to `last`, both included.
    int SelItemRangeEx(int first, int last) {
        return static_cast<int>(SendMessage(LB_SELITEMRANGEEX, (WPARAM)first, (LPARAM)last));
    }
    void SetHorizontalExtent(int cxExtent) { SendMessage(LB_SETHORIZONTALEXTENT, (WPARAM)cxExtent); }
    int GetItemRect(int index, RECT* rect) const {
        return static_cast<int>(SendMessage(LB_GETITEMRECT, (WPARAM)index, (LPARAM)rect));
    }
};

#endif // CORVEL_AFX_CONTROLS_H
