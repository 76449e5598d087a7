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
    for (std::size_t i = 0; i < form.soft.size(); ++i) {
        const int control = IDC_OPT_SOFT1 + static_cast<int>(i);
        if (auto refusal = CheckText(form.soft[i], "ランチャーのタイトル" + std::to_string(i + 1), control)) {
            return refusal;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<Refusal> CheckSettingsForm(const SettingsForm& form) {
    if (form.startBox1 && form.endBox2 && form.SpinEdit1 == form.SpinEdit3 && form.SpinEdit2 == form.SpinEdit4) {
        return Refusal{EqualTimesMessage, IDC_OPT_SPINEDIT3};
    }
    if (!ParseIpv4Address(form.Edit1)) return Refusal{InvalidAddressMessage, IDC_OPT_EDIT1};
    if (!WholeNumber(form.delyStime, 0, MaxSoundAfterMinutes)) {
        return Refusal{"サウンドの「分経過時」には 0 から " + std::to_string(MaxSoundAfterMinutes) +
                           " までの整数を入力してください。",
                       IDC_OPT_DELYSTIME};
    }
    return CheckTexts(form);
}

}  // namespace rm
