// Pictures for the notification area, at the size it shows now.
#pragma once

#include <windows.h>

#include "handles.h"

namespace rm::win {

// The small icon of a resource at the notification area's size. Load the
// pictures again when TrayIcon::OnAreaRecreated is called or the DPI
// changes. Empty (after a diagnostic) when the module has no such icon.
OwnedIcon LoadTrayIcon(HINSTANCE instance, int resourceId);

}  // namespace rm::win
