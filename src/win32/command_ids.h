// The menu commands as WM_COMMAND ids, shared by both popup menus.
#pragma once

#include <optional>

#include <windows.h>

#include "state/menus.h"
#include "state/viewer_menu.h"

namespace rm::win {

constexpr UINT CommandId(Item item) { return static_cast<UINT>(CommandIdOf(item)); }

constexpr std::optional<Item> ItemOfCommand(UINT id) {
    if (id < FirstCommandId || id >= FirstCommandId + ItemCount) return std::nullopt;
    return static_cast<Item>(id - FirstCommandId);
}

constexpr UINT CommandId(ViewerItem item) { return static_cast<UINT>(CommandIdOf(item)); }

constexpr std::optional<ViewerItem> ViewerItemOfCommand(UINT id) {
    if (id < FirstViewerCommandId || id >= FirstViewerCommandId + ViewerItemCount) return std::nullopt;
    return static_cast<ViewerItem>(id - FirstViewerCommandId);
}

}  // namespace rm::win
