// The two popup menus as plain data: every item's caption and state.
// The Win32 layer builds the real menus from this each time one opens.
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace rm {

enum class Item : int {
    // PopupMenu1: connection commands.
    N1, N2, N13, N9, N10, ISP3, N11, N12, N3, N6, N4, IP1,
    // PopupMenu2: launcher and general commands.
    L11, L21, L31, L41, L51, L61, N5, option_n1, memosend, RMV, syslog1, logCon,
    N7, help_n1, openver_n1, N8, Exit1,
    Count
};

inline constexpr std::size_t ItemCount = static_cast<std::size_t>(Item::Count);

struct MenuItem {
    std::string Caption;  // "-" marks a separator
    bool Visible = true;
    bool Enabled = true;
    bool Checked = false;

    bool IsSeparator() const { return Caption == "-"; }
};

inline constexpr std::array PopupMenu1Items{
    Item::N1, Item::N2, Item::N13, Item::N9, Item::N10, Item::ISP3,
    Item::N11, Item::N12, Item::N3, Item::N6, Item::N4, Item::IP1,
};

inline constexpr std::array PopupMenu2Items{
    Item::L11, Item::L21, Item::L31, Item::L41, Item::L51, Item::L61,
    Item::N5, Item::option_n1, Item::memosend, Item::RMV, Item::syslog1, Item::logCon,
    Item::N7, Item::help_n1, Item::openver_n1, Item::N8, Item::Exit1,
};

enum class PopupMenu { PopupMenu1, PopupMenu2 };

class Menus {
public:
    Menus();  // every item as laid out
    MenuItem& operator[](Item i) { return items_[static_cast<std::size_t>(i)]; }
    const MenuItem& operator[](Item i) const { return items_[static_cast<std::size_t>(i)]; }

private:
    std::array<MenuItem, ItemCount> items_;
};

// Launcher item i (1..6) of PopupMenu2.
Item LauncherItem(int i);

}  // namespace rm
