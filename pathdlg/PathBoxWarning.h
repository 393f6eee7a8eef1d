// CPathBoxWarning: a line under a path box that names the hidden or direction-changing characters the
// box holds: "This path contains a right-to-left override (U+202E)." The box keeps its text exactly, for
// editing and for OK; an edit control cannot be told to draw its text with direction controls set aside,
// so the line is what tells the user the box may not read as it is.
//
// The line takes room only once the box holds such a character: the dialog then grows by its height,
// the controls below moving down. It follows the box as the user edits, and is hidden, keeping its room,
// once they are gone.
#ifndef CORVEL_PATH_BOX_WARNING_H
#define CORVEL_PATH_BOX_WARNING_H

#include <windows.h>

class CDialog;

class CPathBoxWarning {
public:
    // Watches box `boxId` of the dialog, which is being initialised; warns at once if need be.
    void Attach(CDialog& dialog, int boxId);
    // The box's text changed (EN_CHANGE).
    void Update();

private:
    // Grows the line, and the dialog with it, to hold `height` pixels.
    void GrowTo(int height);

    CDialog* m_pDialog = nullptr;
    int m_boxId = 0;
    // Made in Attach with no height and no text, so that the dialog's layout knows it from the start.
    HWND m_hLine = nullptr;
    int m_height = 0;
};

#endif // CORVEL_PATH_BOX_WARNING_H
