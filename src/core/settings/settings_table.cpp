#include "settings/settings_table.h"

#include "state/settings_controls.h"
#include "text/numbers.h"

namespace rm {
namespace codecs {
namespace {

// Multi-account mode needs the router driven by datagrams, and excludes port 2.
bool MultiAccountApplies(const Settings& s) { return s.MultiAccount && s.NoUtility; }

// Empty keeps the default, which a file without the value has. Under 30
// seconds the default stays too.
struct Timeout : Text {
    template <auto Field>
    static bool Read(StoredSettings to, const std::string& value) {
        if (value.empty()) return true;
        const auto seconds = StrToInt(value);
        if (seconds && *seconds > 29) to.settings.*Field = value;
        return seconds.has_value();
    }
};

// A count the dialog would refuse keeps the default, so that no save after
// a drag or at exit is refused for a value nobody typed there.
struct Minutes : Text {
    template <auto Field>
    static bool Read(StoredSettings to, const std::string& value) {
        if (WholeNumber(value, 0, MaxSoundAfterMinutes)) to.settings.*Field = value;
        return true;
    }
};

// An empty name keeps the default when read; the dialog saves it as typed.
struct NameOrDefault : Text {
    template <auto Field>
    static bool Read(StoredSettings to, const std::string& value) {
        if (!value.empty()) to.settings.*Field = value;
        return true;
    }
};

// The menu arrangement saves both, each of which excludes the other.
struct Port2 : OnOff {
    template <auto Field>
    static std::string Write(ConstStoredSettings from) {
        return from.settings.*Field && !MultiAccountApplies(from.settings) ? OnText : OffText;
    }
};

struct MultiAccountMode : OnOff {
    template <auto Field>
    static std::string Write(ConstStoredSettings from) {
        return MultiAccountApplies(from.settings) ? OnText : OffText;
    }
};

// The dialog knows only "redial 3 times" or "ask".
struct Redials {
    template <auto Field>
    static bool Read(StoredSettings to, const std::string& value) {
        if (value.empty()) return true;
        const auto redials = StrToInt(value);
        if (redials) to.settings.*Field = static_cast<std::uint16_t>(*redials);
        return redials.has_value();
    }
    template <auto Field>
    static std::string Write(ConstStoredSettings from) {
        return from.settings.*Field == 255 ? "255" : "3";
    }
};

}  // namespace
}  // namespace codecs

#define SETTING_ROW(...) RM_SETTING_ROW(Settings, SettingsForm, __VA_ARGS__)
#define FILE_ONLY_ROW(...) RM_FILE_ONLY_ROW(Settings, SettingsForm, __VA_ARGS__)
const std::array<SettingRow, SettingPairCount> SettingsTable =
    NumberedRows<Settings, SettingsForm>({RM_SETTINGS(SETTING_ROW, FILE_ONLY_ROW)});
#undef SETTING_ROW
#undef FILE_ONLY_ROW

}  // namespace rm
