// Settings unlike the defaults in every value the dialog shows, that the
// dialog's save accepts: the samples of settings_list.h. Port 2 and
// multi-account mode exclude each other, so it takes two: together they
// change every such value.
#pragma once

#include <array>

#include "state/state.h"

namespace rm::test {

inline std::array<Settings, 2> SettingsUnlikeTheDefaults() {
    Settings port2;
#define RM_SAMPLE(name, type, initial, label, codec, control, form, id, caption, sample) port2.name = sample;
    RM_SETTINGS(RM_SAMPLE, RM_NOTHING)
#undef RM_SAMPLE
    // Without the warranty box multi-account mode does not apply.
    Settings multiAccount = port2;
    multiAccount.NoUtility = true;
    return {port2, multiAccount};
}

}  // namespace rm::test
