// A popup menu of a dark dialog (AfxDarkAppearance.h), drawn in the dialog's colours.
//
// The system draws menus in its light colours whatever the apps mode, so while a CDarkMenu lives each item
// of its menu is drawn by the window that owns the menu (its texts stay the items' own, for screen readers
// and for whoever reads them back), on the dark popup background. A menu of a light dialog is left as it is.
#ifndef CORVEL_AFX_DARK_MENU_H
#define CORVEL_AFX_DARK_MENU_H

#include <windows.h>

#include <string>
#include <vector>

class CDarkMenu {
public:
    // Draws `menu` dark when `owner`, the window that will track it, lies in a dark dialog.
    CDarkMenu(HMENU menu, HWND owner);
    ~CDarkMenu();
    CDarkMenu(const CDarkMenu&) = delete;
    CDarkMenu& operator=(const CDarkMenu&) = delete;

    // From the owner's window procedure: WM_MEASUREITEM and WM_DRAWITEM of a menu item drawn here; true when
    // answered (the message's result is then TRUE).
    static bool OnOwnerMessage(UINT message, LPARAM lParam);

private:
    // An item's data while it is drawn here; `tag` tells it from any other owner-drawn item.
    struct Item {
        const void* tag;
        std::wstring text;
        bool separator;
        HFONT font;
    };
    static void Measure(MEASUREITEMSTRUCT& measure, const Item& item);
    static void Draw(const DRAWITEMSTRUCT& draw, const Item& item);

    HFONT m_font = nullptr;
    std::vector<Item> m_items;
};

#endif // CORVEL_AFX_DARK_MENU_H
