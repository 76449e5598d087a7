// Stands in for a DLL that someone put into the program folder under the name
// of winmm.dll: once loaded, it leaves planted.txt beside the program.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring marker = program;
    marker.resize(marker.find_last_of(L'\\') + 1);
    marker += L"planted.txt";
    CloseHandle(CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return TRUE;
}

// What a program that imports winmm for its sounds would take from it.
extern "C" __declspec(dllexport) BOOL WINAPI PlaySoundW(LPCWSTR, HMODULE, DWORD) { return FALSE; }
