#include "system_dlls.h"

#include <mmsystem.h>
#include <uxtheme.h>

#include "diagnostics.h"

namespace rm::win {
namespace {

// The module stays loaded for the rest of the process.
template <class Function>
Function* SystemFunction(const wchar_t* dll, const char* name) {
    const HMODULE module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) {
        LogLastError(L"LoadLibraryExW", dll);
        return nullptr;
    }
    const FARPROC found = GetProcAddress(module, name);
    if (!found) LogLastError(L"GetProcAddress", dll);
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(found));
}

}  // namespace

void SearchDllsInSystemOnly() {
    if (!SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) LogLastError(L"SetDefaultDllDirectories");
}

bool PlaySystemSound(const wchar_t* sound, DWORD flags) {
    static const auto play = SystemFunction<decltype(PlaySoundW)>(L"winmm.dll", "PlaySoundW");
    return play && play(sound, nullptr, flags);
}

bool AppThemed() {
    static const auto themed = SystemFunction<decltype(IsAppThemed)>(L"uxtheme.dll", "IsAppThemed");
    return themed && themed();
}

void DrawWithoutTheme(HWND window) {
    static const auto setTheme = SystemFunction<decltype(SetWindowTheme)>(L"uxtheme.dll", "SetWindowTheme");
    if (!setTheme) return;
    if (const HRESULT result = setTheme(window, L" ", L" "); FAILED(result)) {
        LogError(L"SetWindowTheme", L"", static_cast<DWORD>(result));
    }
}

OSVERSIONINFOW SystemVersionInfo() {
    using GetVersionFunction = LONG NTAPI(OSVERSIONINFOW*);
    static const auto getVersion = SystemFunction<GetVersionFunction>(L"ntdll.dll", "RtlGetVersion");
    OSVERSIONINFOW version{sizeof version};
    if (!getVersion || getVersion(&version) != 0) return {};
    return version;
}

}  // namespace rm::win
