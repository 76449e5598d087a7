// The system DLLs that are not known DLLs (winmm, uxtheme). Imported
// statically, Windows would look for them in the program folder first, where
// anyone who can write there could put a DLL of the same name, before any
// code of ours runs. They are loaded on first use instead, from System32 only.
#pragma once

#include <windows.h>

namespace rm::win {

// Every later DLL load of the process, ours and the system's own, searches
// System32 only. The first call of both programs.
void SearchDllsInSystemOnly();

// PlaySoundW; false when it did not start or winmm could not be loaded.
bool PlaySystemSound(const wchar_t* sound, DWORD flags);
// IsAppThemed; false when uxtheme could not be loaded.
bool AppThemed();

}  // namespace rm::win
