// Functions of system DLLs taken at run time, from System32 only. Winmm and
// uxtheme are not known DLLs: imported statically, they would be looked for
// in the program folder first, where anyone who can write there could put a
// DLL of the same name, before any code of ours runs.
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
// The window's control drawn in the system's colours, without the theme.
void DrawWithoutTheme(HWND window);
// RtlGetVersion: the version of Windows itself, where GetVersionExW tells at
// most the newest one the manifest names. Zeros when it cannot be asked.
OSVERSIONINFOW SystemVersionInfo();

}  // namespace rm::win
