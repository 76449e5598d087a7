#include "launch_process.h"

#include <shellapi.h>

#include "diagnostics.h"
#include "launcher/launch_entry.h"
#include "wide.h"

namespace rm::win {
namespace {

// ERROR_ELEVATION_REQUIRED, which mingw-w64's headers lack.
constexpr DWORD ElevationRequired = 740;

ProgramStart Started(HANDLE process, DWORD processId) {
    return {StartedProcess{reinterpret_cast<ProcessHandle>(process), processId}, ""};
}

bool SameFile(const std::wstring& a, const std::wstring& b) {
    wchar_t fullA[MAX_PATH * 2] = {}, fullB[MAX_PATH * 2] = {};
    if (!GetFullPathNameW(a.c_str(), MAX_PATH * 2, fullA, nullptr)) return false;
    if (!GetFullPathNameW(b.c_str(), MAX_PATH * 2, fullB, nullptr)) return false;
    return CompareStringOrdinal(fullA, -1, fullB, -1, TRUE) == CSTR_EQUAL;
}

bool RunsProgram(DWORD processId, const std::wstring& programFile) {
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return false;
    wchar_t image[MAX_PATH * 2] = {};
    DWORD length = MAX_PATH * 2;
    const bool named = QueryFullProcessImageNameW(process, 0, image, &length);
    CloseHandle(process);
    return named && SameFile(image, programFile);
}

// Hidden helper windows (GDI+, .NET, COM) are unowned top-level windows too,
// and often come first.
bool LooksLikeMainWindow(HWND window) {
    return IsWindowVisible(window) && (GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
}

struct WindowSearch {
    DWORD ProcessId = 0;
    // When not empty, windows of any process running this file count.
    std::wstring ProgramFile;
    HWND Main = nullptr;
    HWND First = nullptr;
};

BOOL CALLBACK SearchWindow(HWND window, LPARAM lp) {
    auto* search = reinterpret_cast<WindowSearch*>(lp);
    if (GetWindow(window, GW_OWNER)) return TRUE;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const bool ours =
        search->ProgramFile.empty() ? processId == search->ProcessId : RunsProgram(processId, search->ProgramFile);
    if (!ours) return TRUE;
    if (!search->First) search->First = window;
    if (!LooksLikeMainWindow(window)) return TRUE;
    search->Main = window;
    return FALSE;
}

}  // namespace

ProgramStart StartProgram(HWND owner, const std::string& programFile, const std::string& arguments,
                          const std::string& folder) {
    std::wstring line = Widen(LaunchCommandLine(programFile, arguments));
    const std::wstring directory = Widen(folder);
    // No flags: the program takes its own default window placement and show state.
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION started{};
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                       directory.empty() ? nullptr : directory.c_str(), &startup, &started)) {
        CloseHandle(started.hThread);
        return Started(started.hProcess, started.dwProcessId);
    }
    const DWORD error = GetLastError();
    LogError(L"CreateProcessW", line + L" in " + directory, error);
    if (error == ElevationRequired) return StartThroughShell(owner, programFile, arguments, folder);
    return {std::nullopt, StartFailureText(error)};
}

ProgramStart StartThroughShell(HWND owner, const std::string& programFile, const std::string& arguments,
                               const std::string& folder) {
    const std::wstring file = Widen(programFile), parameters = Widen(arguments), directory = Widen(folder);
    SHELLEXECUTEINFOW info{sizeof info};
    // The monitor tells a failure in its own notice, with the entry's name.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.lpDirectory = directory.empty() ? nullptr : directory.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info)) {
        const DWORD error = GetLastError();
        LogError(L"ShellExecuteExW", file, error);
        return {std::nullopt, error == ERROR_CANCELLED ? "" : StartFailureText(error)};
    }
    if (!info.hProcess) {
        LogText(L"started through the shell without a process to follow: " + file);
        return {};
    }
    return Started(info.hProcess, GetProcessId(info.hProcess));
}

std::string StartFailureText(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "ファイルが見つかりません。";
    case ERROR_ACCESS_DENIED:
        return "アクセスが拒否されました。";
    case ERROR_BAD_EXE_FORMAT:
    case ERROR_EXE_MACHINE_TYPE_MISMATCH:
        return "Windows で実行できるプログラムではありません。";
    case ElevationRequired:
        return "管理者として実行する必要があります。";
    default:
        return Narrow(ErrorText(error)) + "（エラー " + std::to_string(error) + "）";
    }
}

HWND FindMainWindowOfProcess(DWORD processId) {
    WindowSearch search{processId};
    EnumWindows(SearchWindow, reinterpret_cast<LPARAM>(&search));
    return search.Main ? search.Main : search.First;
}

HWND FindMainWindowOfProgram(const std::string& programFile) {
    WindowSearch search;
    search.ProgramFile = Widen(programFile);
    EnumWindows(SearchWindow, reinterpret_cast<LPARAM>(&search));
    return search.Main;
}

}  // namespace rm::win
