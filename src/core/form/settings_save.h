// The settings dialog's save action: the checked values into the running
// state, the menus and both files.
#pragma once

#include <string>

#include "monitor.h"

namespace rm {

inline constexpr const char* EqualTimesMessage = "接続時間と切断時間は同じ時間に設定できません";
inline constexpr const char* InvalidAddressMessage = "RV4のIPアドレスが無効です。設定し直してください。";

// "hh:mm" with both leading zeros.
std::string TimeText(int hours, int minutes);

// Converts the address's four pieces in turn into RouterIp1..4; false at
// the first piece that is missing or not a number, the earlier ones kept.
// Anything after a fourth "." is ignored.
bool TakeRouterAddress(const std::string& address, RouterLink& router);

// Button1 "設定": true when the dialog is to close. A refused value leaves
// the dialog open and both files as they were.
bool Button1Click(Monitor& m, const SettingsForm& form);

}  // namespace rm
