// The system's file save and font dialogs, as the syslog viewer uses them.
#pragma once

#include <filesystem>
#include <optional>

#include <windows.h>

#include "state/view.h"

namespace rm::win {

// The chosen file name; nothing when cancelled.
std::optional<std::filesystem::path> ShowSaveDialog(HWND owner);

// Sizes 8 to 30 points, existing fonts of the usual character sets, no
// vector fonts; nothing when cancelled.
std::optional<ViewerFont> ShowFontDialog(HWND owner, const ViewerFont& current);

}  // namespace rm::win
