// One command id per menu item, shared by both popup menus.
#pragma once

#include <optional>

#include <windows.h>

#include "monitor/menus.h"

namespace rm::win {

inline constexpr UINT FirstCommandId = 1000;

constexpr UINT CommandId(Item item) { return FirstCommandId + static_cast<UINT>(item); }

constexpr std::optional<Item> ItemOfCommand(UINT id) {
    if (id < FirstCommandId || id >= FirstCommandId + ItemCount) return std::nullopt;
    return static_cast<Item>(id - FirstCommandId);
}

}  // namespace rm::win
