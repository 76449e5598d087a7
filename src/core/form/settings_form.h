// The settings dialog TOption1: filled from the running state, its check
// boxes' rules, its browse filters, and how it is opened.
#pragma once

#include <string>

#include "monitor.h"

namespace rm {

inline constexpr const char* RiskWarning =
    "　　このモードはメーカー無保証のモードです。　　\rユーザー責任で使用となりますのでご注意ください。";

// FormCreate: the dialog's controls for the running state.
SettingsForm FillSettingsForm(const Monitor& m);

void DWBoxClick(SettingsForm& form);
void SyslogmainBoxClick(SettingsForm& form);
// riskBox has just been checked or unchecked.
void riskBoxClick(SettingsForm& form, DialogPort& dialogs);

enum class BrowseButton { Button2, Button3, Button4, Button5, Button8 };
// The file-open dialog's filter for a browse button, as "description|pattern";
// Button2 sets none and keeps what an earlier browse set.
const std::string& BrowseFilter(SettingsForm& form, BrowseButton button);

// A sound test button: plays the edit's file unless the edit is empty.
void TestSound(Monitor& m, const std::string& file);

// The menu item "設定": the dialog, modal, at most one at a time.
void option_n1Click(Monitor& m);
// The save action without showing the dialog: after a drag and at exit.
void SaveSettingsUnseen(Monitor& m);

}  // namespace rm
