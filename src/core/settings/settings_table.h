// Every setting of RMonitor.ini as the program reads, writes and shows it,
// made from the list in state/settings_list.h: the reader, the writer, the
// dialog's form, the dialog and the test tools all go through this table.
#pragma once

#include <array>

#include "settings/setting_rows.h"
#include "state/settings_form.h"
#include "state/state.h"

namespace rm {

using StoredSettings = StoredValues<Settings>;
using ConstStoredSettings = ConstStoredValues<Settings>;
using SettingRow = SettingRowOf<Settings, SettingsForm>;

inline constexpr int SettingPairCount = RM_SETTINGS(RM_COUNT_ROW, RM_COUNT_ROW) 0;

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
