#include "form/settings_check.h"

#include "settings/settings_table.h"
#include "text/address.h"
#include "text/numbers.h"

namespace rm {

std::optional<Refusal> CheckSettingsForm(const SettingsForm& form) {
    if (form.startBox1 && form.endBox2 && form.SpinEdit1 == form.SpinEdit3 && form.SpinEdit2 == form.SpinEdit4) {
        return Refusal{EqualTimesMessage, FormField::SpinEdit3};
    }
    if (!ParseIpv4Address(form.Edit1)) return Refusal{InvalidAddressMessage, FormField::Edit1};
    if (!WholeNumber(form.delyStime, 0, MaxSoundAfterMinutes)) {
        return Refusal{"サウンドの「分経過時」には 0 から " + std::to_string(MaxSoundAfterMinutes) +
                           " までの整数を入力してください。",
                       FormField::delyStime};
    }
    return std::nullopt;
}

}  // namespace rm
