#include "state/menus.h"

namespace rm {

Menus::Menus() {
    for (const MenuRow& row : MenuTable) (*this)[row.Id] = MenuItem{row.Caption, row.Visible, row.Enabled, false};
}

std::vector<Item> ItemsOf(PopupMenu menu) {
    std::vector<Item> items;
    for (const MenuRow& row : MenuTable) {
        if (row.Menu == menu) items.push_back(row.Id);
    }
    return items;
}

Item LauncherItem(int i) { return static_cast<Item>(static_cast<int>(Item::Launch1) + i - 1); }

}  // namespace rm
