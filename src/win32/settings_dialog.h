// SettingsDialog ("設定"): every setting on eight pages, saved by its "設定" button;
// "キャンセル", Esc and the close box leave without saving.
#pragma once

#include <windows.h>

#include "state/settings_form.h"

namespace rm::win {

// Shows the modal dialog filled from the form; its buttons and check boxes
// go to the events. Returns when the save action or the user closed it.
void ShowSettingsBox(HWND owner, SettingsForm& form, SettingsFormEvents& events);

}  // namespace rm::win
