// CDynamicLayout: moves and sizes a window's controls as the window is resized. Each control is
// registered with how much of the host's change in size it follows (0..100 percent, in x and in y) for
// its position and for its size; every WM_SIZE applies all of them in one deferred batch.
#ifndef CORVEL_AFX_DYNAMIC_LAYOUT_H
#define CORVEL_AFX_DYNAMIC_LAYOUT_H

#include <windows.h>

#include <vector>

class CWnd;

class CDynamicLayout {
public:
    struct MoveSettings {
        int m_nXRatio = 0;
        int m_nYRatio = 0;
    };
    struct SizeSettings {
        int m_nXRatio = 0;
        int m_nYRatio = 0;
    };

    static MoveSettings MoveNone() { return {}; }
    static MoveSettings MoveHorizontal(int nXRatio) { return {nXRatio, 0}; }
    static MoveSettings MoveVertical(int nYRatio) { return {0, nYRatio}; }
    static MoveSettings MoveHorizontalAndVertical(int nXRatio, int nYRatio) { return {nXRatio, nYRatio}; }
    static SizeSettings SizeNone() { return {}; }
    static SizeSettings SizeHorizontal(int nXRatio) { return {nXRatio, 0}; }
    static SizeSettings SizeVertical(int nYRatio) { return {0, nYRatio}; }
    static SizeSettings SizeHorizontalAndVertical(int nXRatio, int nYRatio) { return {nXRatio, nYRatio}; }

    // Takes the host's client area as it is now as the size every registered place refers to.
    BOOL Create(CWnd* pHostWnd);
    // Registers a child of the host at its present place. False when it is no child of the host.
    BOOL AddItem(HWND hWnd, MoveSettings moveSettings, SizeSettings sizeSettings);
    BOOL AddItem(int nID, MoveSettings moveSettings, SizeSettings sizeSettings);

    // Forgets an item, as before the window goes.
    void RemoveItem(HWND hWnd);
    // Takes an item's present place as its place for the host's present client size, after the item
    // was moved by other means.
    void UpdateItem(HWND hWnd);
    // Places every item for the host's present client size.
    void Adjust();

    // Room made for a band `height` pixels high across the host at client y: items that start below y
    // refer to places that much lower, items that reach y from above are that much taller, and the
    // host's reference size and limits are that much taller too. AfxInsertBand does the rest.
    void InsertBand(int y, int height);

    // Limits of the host's window size while the user resizes it (WM_GETMINMAXINFO); 0 leaves a
    // coordinate unlimited.
    void SetMinSize(SIZE size) { m_minSize = size; }
    void SetMaxSize(SIZE size) { m_maxSize = size; }
    SIZE GetMinSize() const { return m_minSize; }
    void GetMinMaxInfo(MINMAXINFO* pMMI) const;

private:
    struct Item {
        HWND hWnd;
        MoveSettings move;
        SizeSettings size;
        RECT initial; // in the host's client coordinates, at the reference size
    };
    // Places the items whose place differs from the one for this change of the client size: in the
    // batch `hdwp` while it lasts, one by one without it. Returns the batch, null once it failed.
    HDWP PlaceItems(HDWP hdwp, int dx, int dy) const;

    HWND m_hHost = nullptr;
    SIZE m_initialClient = {0, 0};
    SIZE m_minSize = {0, 0};
    SIZE m_maxSize = {0, 0};
    std::vector<Item> m_items;
};

// A child window's rectangle in its parent's client coordinates.
RECT AfxPlaceInParent(HWND hWnd);

// Grows `host` by a band `height` pixels high at client y: each child that starts below y moves down by
// that much, each that reaches y from above grows by it, and `layout` (may be null) learns of it.
void AfxInsertBand(HWND host, CDynamicLayout* layout, int y, int height);

#endif // CORVEL_AFX_DYNAMIC_LAYOUT_H
