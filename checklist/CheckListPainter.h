// CCheckListPainter: how a check list draws a row. The check box, as the visual style's check box while a
// style is on, in a column that keeps the window colour; then the text, which shows the selection; a path
// that hides characters is drawn after a warning mark, with its markers (PathText.h). The box and its
// margins follow the row height, which follows the list's font, so the list scales with the screen's DPI.
#ifndef CORVEL_CHECK_LIST_PAINTER_H
#define CORVEL_CHECK_LIST_PAINTER_H

#include <windows.h>
#include <uxtheme.h>

#include <string>

class CCheckListPainter {
public:
    CCheckListPainter() = default;
    CCheckListPainter(const CCheckListPainter&) = delete;
    CCheckListPainter& operator=(const CCheckListPainter&) = delete;
    ~CCheckListPainter() { CloseTheme(); }

    // The row height `list` needs for the check box and the text of its font; the box and margins follow.
    int MeasureRows(HWND list);
    // The visual style's button parts while a style is on (null while none is).
    void OpenTheme(HWND list);
    void CloseTheme();

    // Pixels from the row's left edge to its text: the check box column.
    int TextOffset() const { return m_margin + m_boxSize + m_margin; }
    // Pixels left blank after the end of the text.
    int TrailingMargin() const { return m_margin; }
    // The width a row's text takes as drawn in `dc`, which holds the list's font.
    int RowTextWidth(HDC dc, const std::wstring& text) const;

    void DrawRow(const DRAWITEMSTRUCT& item, bool checked, bool disabled, const std::wstring& text) const;

private:
    // The width of the warning mark before a flagged row's text, with its margin.
    int WarningMarkWidth() const { return m_boxSize + m_margin; }
    void DrawFlaggedText(HDC hDC, const RECT& textRect, int textTop, const std::wstring& text) const;

    // 96-DPI values until measured.
    int m_boxSize = 13;
    int m_margin = 2;
    HTHEME m_hTheme = nullptr;
};

#endif // CORVEL_CHECK_LIST_PAINTER_H
