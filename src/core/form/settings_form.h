// The settings dialog SettingsDialog: filled from the running state, its check
// boxes' rules, its browse filters, and how it is opened.
#pragma once

#include <string>

#include "monitor.h"

namespace rm {

inline constexpr const char* RiskWarning =
    "　　このモードはメーカー無保証のモードです。　　\rユーザー責任で使用となりますのでご注意ください。";

// FillSettingsForm: the dialog's controls for the running state.
SettingsForm FillSettingsForm(const Monitor& m);

void UseDialUpWatcherToggled(SettingsForm& form);
void SyslogEnabledToggled(SettingsForm& form);
// NoUtility has just been checked or unchecked.
void NoUtilityToggled(SettingsForm& form, DialogPort& dialogs);

enum class BrowseButton { UtilityPath, DialUpWatcherPath, ConnectSound, DisconnectSound, SoundAfterFile };
// The file-open dialog's filter for a browse button, as "description|pattern";
// BrowseButton::UtilityPath sets none and keeps what an earlier browse set.
const std::string& BrowseFilter(SettingsForm& form, BrowseButton button);

// A sound test button: plays the edit's file unless the edit is empty.
void TestSound(Monitor& m, const std::string& file);

// The menu item "設定": the dialog, modal, at most one at a time.
void OpenSettings(Monitor& m);
// The save action without showing the dialog: after a drag and at exit.
void SaveSettingsUnseen(Monitor& m);

}  // namespace rm
