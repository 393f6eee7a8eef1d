// Thin wrappers of the standard controls the dialogs use.
#ifndef CORVEL_AFX_CONTROLS_H
#define CORVEL_AFX_CONTROLS_H

#include "AfxWnd.h"

#include <cwchar>
#include <string>
#include <vector>

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

// A window known only by its handle, with no wrapper attached: for messages to a list that may belong to
// another thread.
class CWindowHandle {
public:
    explicit CWindowHandle(HWND hWnd = nullptr) : m_hWnd(hWnd) {}
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    HWND m_hWnd;
};

// The list box messages as calls, over a CWnd attached on this thread or a bare CWindowHandle. Row
// indices are ints; a failed call answers LB_ERR.
template <class TBase> class CListBoxT : public TBase {
public:
    using TBase::TBase;

    int GetCount() const { return Int(LB_GETCOUNT); }
    int GetTopIndex() const { return Int(LB_GETTOPINDEX); }
    // All rows of an owner-drawn fixed list have one height.
    int GetItemHeight() const { return Int(LB_GETITEMHEIGHT); }
    int SetItemHeight(UINT cyHeight) { return Int(LB_SETITEMHEIGHT, 0, MAKELPARAM(cyHeight, 0)); }
    int GetItemRect(int index, RECT* rect) const { return Int(LB_GETITEMRECT, index, (LPARAM)rect); }
    LRESULT GetItemData(int index) const { return this->SendMessage(LB_GETITEMDATA, (WPARAM)index); }
    int GetTextLen(int index) const { return Int(LB_GETTEXTLEN, index); }
    // The row's text up to its first NUL as UTF-16, asked for in UTF-16 whatever the window's character
    // set; false, and `text` empty, for no such row.
    bool GetWideText(int index, std::wstring& text) const {
        text.clear();
        const LRESULT length = ::SendMessageW(this->m_hWnd, LB_GETTEXTLEN, (WPARAM)index, 0);
        if (length == LB_ERR)
            return false;
        text.resize(static_cast<size_t>(length) + 1);
        if (::SendMessageW(this->m_hWnd, LB_GETTEXT, (WPARAM)index, (LPARAM)&text[0]) == LB_ERR) {
            text.clear();
            return false;
        }
        text.resize(std::wcslen(text.c_str()));
        return true;
    }
    // The locale whose comparison orders a sorted list.
    LCID GetLocale() const { return static_cast<LCID>(this->SendMessage(LB_GETLOCALE)); }
    void SetHorizontalExtent(int cxExtent) { this->SendMessage(LB_SETHORIZONTALEXTENT, (WPARAM)cxExtent); }

    // Selection of a multiple-selection list; SetSel with index -1 means every row.
    int GetSel(int index) const { return Int(LB_GETSEL, index); }
    int SetSel(int index, BOOL bSelect) { return Int(LB_SETSEL, (WPARAM)bSelect, index); }
    int GetSelCount() const { return Int(LB_GETSELCOUNT); }
    // Fills `items` with up to `maxItems` selected rows; how many it filled.
    int GetSelItems(int maxItems, int* items) const { return Int(LB_GETSELITEMS, maxItems, (LPARAM)items); }
    // The selected rows in ascending order; none when the list cannot tell.
    std::vector<int> GetSelectedRows() const {
        const int count = GetSelCount();
        if (count <= 0)
            return {};
        std::vector<int> rows(static_cast<size_t>(count));
        const int got = GetSelItems(count, rows.data());
        rows.resize(got > 0 ? static_cast<size_t>(got) : 0);
        return rows;
    }
    // Selects rows `first` to `last`, both included.
    int SelItemRangeEx(int first, int last) { return Int(LB_SELITEMRANGEEX, first, last); }

    // The row with the focus rectangle, which moves without changing the selection.
    int GetCaretIndex() const { return Int(LB_GETCARETINDEX); }
    // Moves it to `index` and scrolls that row wholly into view.
    int SetCaretIndex(int index) { return Int(LB_SETCARETINDEX, index, FALSE); }

private:
    int Int(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return static_cast<int>(this->SendMessage(message, wParam, lParam));
    }
};

class CListBox : public CListBoxT<CWnd> {
public:
    // Puts the row at `index` (-1: at the end) without sorting; the row's index, or LB_ERR/LB_ERRSPACE.
    // `text` is in this wrapper's text code page.
    int InsertString(int index, const char* text) {
        return static_cast<int>(AfxInsertListString(m_hWnd, index, text, m_nTextCodePage));
    }
    // The row's text up to its first NUL; empty for an index out of range.
    void GetText(int index, CString& text) const;
};

#endif // CORVEL_AFX_CONTROLS_H
