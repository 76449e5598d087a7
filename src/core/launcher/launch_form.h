// Editing a launcher entry in the entry dialog LaunchEntryDialog, opened from the
// settings dialog's "ランチャー" page.
#pragma once

#include <string>

#include "monitor.h"

namespace rm {

inline constexpr const char* NoTitleMessage = "タイトルが指定されていません";

// The dialog's values for an entry: a list shows "off" only for exactly
// "off", so an entry that was never set shows "on".
LaunchForm LaunchFormOf(const std::string& title, const LaunchEntryTexts& entry);
// What "登録" stores: the dialog's texts and "on" or "off".
LaunchEntryTexts RegisteredTexts(const LaunchForm& form);

// The button beside title edit i (1..6): refuses an empty title, otherwise
// edits entry i under that title.
void OpenLaunchEntry(Monitor& m, int i, const std::string& title);
// Shows the dialog for entry i; when it closes, the entry holds LaunchDraft:
// what was registered, or the entry as it was.
void EditLaunchEntry(Monitor& m, int i, const std::string& title);

}  // namespace rm
