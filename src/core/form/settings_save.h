// The settings dialog's save action: the checked values into the running
// state, the menus and both files.
#pragma once

#include <string>

#include "form/settings_check.h"
#include "monitor.h"

namespace rm {

// "hh:mm" with both leading zeros.
std::string TimeText(int hours, int minutes);

// RouterIp1..4 from an IPv4 address; false, and nothing changed, for any
// other text.
bool TakeRouterAddress(const std::string& address, RouterLink& router);

// SaveButton "設定": every value is checked first, so a refused one is told and
// leaves the running state, the menus and both files as they were.
SaveResult SaveSettingsForm(Monitor& m, const SettingsForm& form);

}  // namespace rm
