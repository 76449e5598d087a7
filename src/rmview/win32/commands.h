// The viewer's commands: one id each, shared by the menu bar, the keys and
// the buttons.
#pragma once

#include <windows.h>

namespace rmview::win {

enum CommandId : WORD {
    IdCopyText = 100,
    IdSavePng,
    IdExit,
    IdPreviousMonth,
    IdNextMonth,
    IdReload,
    IdMonthList,
};

// The menu bar, from the one table of menu items.
HMENU BuildMenuBar();
// The shortcut keys of the same table.
HACCEL BuildAccelerators();

}  // namespace rmview::win
