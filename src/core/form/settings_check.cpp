#include "form/settings_check.h"

#include "settings/settings_table.h"
#include "state/settings_controls.h"
#include "text/address.h"
#include "text/cp932.h"
#include "text/numbers.h"

namespace rm {
namespace {

std::optional<Refusal> CheckText(const std::string& text, const std::string& label, int control) {
    const std::string character = FirstCharNotInCp932(text);
    if (character.empty()) return std::nullopt;
    return Refusal{"「" + label + "」に、ファイルに保存できない文字「" + character +
                       "」があります。\rこの文字を使わずに入力し直してください。",
                   control};
}

std::optional<Refusal> CheckTexts(const SettingsForm& form) {
    for (const SettingRow& row : SettingsTable) {
        if (!row.Caption) continue;
        if (auto refusal = CheckText(form.*row.FormText, row.Caption, row.ControlId)) return refusal;
    }
    for (std::size_t i = 0; i < form.LaunchTitles.size(); ++i) {
        const int control = IDC_OPT_LAUNCH_TITLE1 + static_cast<int>(i);
        if (auto refusal = CheckText(form.LaunchTitles[i], "ランチャーのタイトル" + std::to_string(i + 1), control)) {
            return refusal;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<Refusal> CheckSettingsForm(const SettingsForm& form) {
    if (form.AutoConnect && form.AutoDisconnect && form.ConnectHour == form.DisconnectHour &&
        form.ConnectMinute == form.DisconnectMinute) {
        return Refusal{EqualTimesMessage, IDC_OPT_DISCONNECT_HOUR};
    }
    if (!ParseIpv4Address(form.RouterAddress)) return Refusal{InvalidAddressMessage, IDC_OPT_ROUTER_ADDRESS};
    if (!WholeNumber(form.SoundAfterMinutes, 0, MaxSoundAfterMinutes)) {
        return Refusal{"サウンドの「分経過時」には 0 から " + std::to_string(MaxSoundAfterMinutes) +
                           " までの整数を入力してください。",
                       IDC_OPT_SOUND_AFTER_MINUTES};
    }
    return CheckTexts(form);
}

}  // namespace rm
