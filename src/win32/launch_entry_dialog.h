// LaunchEntryDialog ("ソフト設定"): one launcher entry's program, arguments, working
// folder and the two on/off lists.
#pragma once

#include <windows.h>

#include "state/launch_form.h"

namespace rm::win {

// Shows the modal dialog filled from the form; true when the user pressed
// "登録", the form then holding the dialog's values.
bool ShowLaunchEntryBox(HWND owner, LaunchForm& form);

}  // namespace rm::win
