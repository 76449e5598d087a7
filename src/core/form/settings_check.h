// What the settings dialog's save refuses before it changes anything.
#pragma once

#include <optional>
#include <string>

#include "state/settings_form.h"

namespace rm {

inline constexpr const char* EqualTimesMessage = "接続時間と切断時間は同じ時間に設定できません";
inline constexpr const char* InvalidAddressMessage = "RV4のIPアドレスが無効です。設定し直してください。";

struct Refusal {
    std::string Message;
    // The id of the control that holds the value.
    int Control;
};

// The first value the save refuses, with its message: equal schedule times
// with both boxes checked, an address that is no IPv4 address, a minute
// count that is no whole number of a day, or a text with a character the
// Shift-JIS files cannot hold.
std::optional<Refusal> CheckSettingsForm(const SettingsForm& form);

}  // namespace rm
