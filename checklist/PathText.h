// A path drawn so that it cannot disguise itself: strictly left to right on one line, each hidden or
// direction-changing character (HiddenCharacters.h) as a boxed marker that names it, in a colour of
// its own. The ordinary runs between markers are drawn each on its own, so an Arabic or Hebrew folder
// name still reads right to left within its run, but no reordering reaches across a marker.
#ifndef CORVEL_PATH_TEXT_H
#define CORVEL_PATH_TEXT_H

#include <windows.h>

#include <string>

// Lays `text` out from line.left with its top at `textTop`, clipped to `line`; the markers fill the
// line's height but for a pixel. Draws only when `draw`; returns the width in either case.
int LayOutPathText(HDC dc, const RECT& line, int textTop, const std::wstring& text, bool draw);

// The colour markers are drawn in.
constexpr COLORREF kMarkerColour = RGB(192, 0, 0);

#endif // CORVEL_PATH_TEXT_H
