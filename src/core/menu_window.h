// A window that a menu item opens, one at a time.
#pragma once

#include "state/menus.h"

namespace rm {

// Disables the item while its window is up, so that at most one exists, and
// gives the item back however the window ends, by an exception too. The
// window runs other events; a second hold inside it leaves the item as the
// outer one wants it.
class MenuWindow {
public:
    MenuWindow(Menus& menu, Item item) : item_(menu[item]), wasEnabled_(item_.Enabled) { item_.Enabled = false; }
    ~MenuWindow() {
        item_.Enabled = wasEnabled_;
        if (open_) *open_ = false;
    }
    MenuWindow(const MenuWindow&) = delete;
    MenuWindow& operator=(const MenuWindow&) = delete;

    // The window's view says it is open from now until the hold ends.
    void Opened(bool& open) {
        open = true;
        open_ = &open;
    }

private:
    MenuItem& item_;
    bool wasEnabled_;
    bool* open_ = nullptr;
};

}  // namespace rm
