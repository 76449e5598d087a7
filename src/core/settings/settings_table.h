// Every setting of RMonitor.ini, listed once: its pair number, label line,
// name, how its value is read from and written to the file, and where the
// settings dialog shows it. The defaults are those of Settings' fields; the
// reader, the writer, the dialog's form, the dialog and the test tools all
// go through this table.
#pragma once

#include <array>
#include <string>

#include "state/settings_controls.h"
#include "state/settings_form.h"
#include "state/state.h"

namespace rm {

// The part of the state the file keeps.
struct StoredSettings {
    Settings& settings;
    PanelPosition& panel;
};

struct ConstStoredSettings {
    const Settings& settings;
    const PanelPosition& panel;
};

enum class ValueKind {
    Text,    // taken as it is
    OnOff,   // exactly "on" counts as on
    Number,  // a value that is not a decimal integer ends the reading
    Unused,  // always an empty line; never read
};

struct SettingRow {
    int Pair;
    const char* Label;
    const char* Name;
    ValueKind Kind;
    // Applies a value line; false when it ends the reading.
    bool (*Read)(StoredSettings to, const std::string& value);
    std::string (*Write)(ConstStoredSettings from);
    // The settings dialog's controls that edit the value, by the form's
    // names; none for values kept only in the file.
    const char* Control = nullptr;
    // The first of those controls in the dialog's template, and its page.
    int ControlId = 0;
    SettingsPage Page = SettingsPage::Basic;
    // The form's value of an edit or a check box, which the dialog shows and
    // takes as it is; neither for the time's two spin edits.
    std::string SettingsForm::*FormText = nullptr;
    bool SettingsForm::*FormCheck = nullptr;
    // The plain copies between the running settings and the form. None
    // where a rule of the form decides instead: the time split into hours
    // and minutes, the redial count, the recording switch, and the menu
    // arrangement that sets port 2 and multi-account mode.
    void (*Fill)(const Settings& from, SettingsForm& to) = nullptr;
    void (*Save)(const SettingsForm& from, Settings& to) = nullptr;
    // A value the save can refuse, and the label the refusal names when a
    // text has a character the file cannot hold (none: no such check).
    FormField Refusable = FormField::None;
    const char* Caption = nullptr;
};

inline constexpr int SettingPairCount = 35;

// The most minutes after connect for the elapsed-time sound: the tick
// compares them with the connected time's hours and minutes of one day.
inline constexpr int MaxSoundAfterMinutes = 1439;

// In file order.
extern const std::array<SettingRow, SettingPairCount> SettingsTable;

// The pairs in the order their values are applied, which decides what a
// damaged file still sets. Pairs 32 to 34 follow only from version 2.01.
inline constexpr std::array<int, 30> MainPairReadOrder{
    1, 2, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 10, 26, 27, 28, 29, 30, 31,
};
inline constexpr int FirstNamePair = 32, LastNamePair = 34;
// Pairs added since, read from a file of any version: an older file lacks
// them, keeps their defaults and still counts as read whole.
inline constexpr int FirstAddedPair = 35;

}  // namespace rm
