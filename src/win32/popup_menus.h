// Popup menus built from the core's menu model each time they open.
#pragma once

#include <windows.h>

#include "state/menus.h"

namespace rm::win {

// Shows the menu at the cursor and returns the chosen item's command id, 0 for none.
UINT TrackPopup(HWND owner, const Menus& model, PopupMenu which);

}  // namespace rm::win
