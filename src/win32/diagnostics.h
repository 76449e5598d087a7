// The diagnostic log for support: every failing call that matters is written
// with OutputDebugStringW and, after StartDebugLog (the /debuglog switch),
// appended to log\debug.log as well. Safe from any thread.
#pragma once

#include <filesystem>
#include <string>

#include <windows.h>

namespace rm::win {

void StartDebugLog(const std::filesystem::path& file);
void LogText(const std::wstring& text);
// Windows' own words for an error number, without the line end.
std::wstring ErrorText(DWORD error);
// The call's name, what it was about and the error number with its text.
void LogError(const wchar_t* call, const std::wstring& about, DWORD error);
// The same with GetLastError().
void LogLastError(const wchar_t* call, const std::wstring& about = L"");

// A failure that leaves a feature dead is told to the user once per feature,
// in Japanese, naming it; later failures of it go to the log only.
void TellFeatureLost(const std::string& feature);

}  // namespace rm::win
