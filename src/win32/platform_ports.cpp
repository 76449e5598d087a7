#include "platform_ports.h"

#include <mmsystem.h>
#include <shellapi.h>

#include <cstring>
#include <stdexcept>

#include "common_dialogs.h"
#include "diagnostics.h"
#include "dialog.h"
#include "launch_entry_dialog.h"
#include "launch_process.h"
#include "local_time.h"
#include "message_box.h"
#include "resource.h"
#include "settings_dialog.h"
#include "system_dlls.h"
#include "text/datetime.h"
#include "text/file_replace.h"
#include "text/files.h"
#include "wide.h"

namespace rm::win {

void Win32Net::NestingSend(Endpoint from, const std::string& host, std::string_view bytes) {
    TNMUDP* endpoint = endpoints_[static_cast<std::size_t>(from)];
    // A command still waiting for the router when the program closed.
    if (!endpoint) return;
    endpoint->RemoteHost = host;
    try {
        endpoint->SendBuffer(bytes.data(), static_cast<int>(bytes.size()));
    } catch (const RemoteHostTooLong& e) {
        throw RemoteHostRejected(e.what());
    }
}

void Win32Dialogs::NestingShowMessage(const std::string& text) {
    if (closing_) {
        LogText(L"after close, not shown: " + Widen(text));
        return;
    }
    showState_();
    ShowMessageBox(Owner(), text);
}

bool Win32Dialogs::NestingAskYesNo(const std::string& text, const std::string& caption) {
    if (closing_) {
        LogText(L"after close, not asked: " + Widen(text));
        return false;
    }
    showState_();
    return ShowMessageBox(Owner(), text, MB_YESNO | MB_ICONQUESTION, caption) == IDYES;
}

std::optional<std::filesystem::path> Win32Dialogs::NestingAskSaveFileName() { return ShowSaveDialog(Owner()); }

std::optional<ViewerFont> Win32Dialogs::NestingAskFont(const ViewerFont& current) {
    return ShowFontDialog(Owner(), current);
}

HWND Win32Dialogs::Owner() const {
    const HWND active = GetActiveWindow();
    return active ? active : owner_.Handle();
}

void Win32Dialogs::NestingShowMemoSend() {
    if (closing_) {
        LogText(L"after close, not shown: the memo send window");
        return;
    }
    showMemoSend_();
}

bool Win32Dialogs::NestingShowLaunchEntryDialog(LaunchForm& form) {
    if (closing_) {
        LogText(L"after close, not shown: the launcher entry dialog");
        return false;
    }
    return ShowLaunchEntryBox(Owner(), form);
}

void Win32Dialogs::NestingShowSettingsDialog(SettingsForm& form, SettingsFormEvents& events) {
    if (closing_) {
        LogText(L"after close, not shown: the settings dialog");
        return;
    }
    ShowSettingsBox(owner_.Handle(), form, events);
}

DateTime Win32Clock::Now() { return LocalNow(); }

std::int64_t Win32Clock::MonotonicMilliseconds() { return static_cast<std::int64_t>(GetTickCount64()); }

void Win32Events::Sleep(int milliseconds) {
    showState_();
    ::Sleep(static_cast<DWORD>(milliseconds));
}

void Win32Events::NestingProcessEvents(int maxWaitMilliseconds) {
    showState_();
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(maxWaitMilliseconds), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The outer loop must still see it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (TakeDialogMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Win32Events::WaitUntilIdle(ProcessHandle process, int maxWaitMilliseconds) {
    showState_();
    ::WaitForInputIdle(reinterpret_cast<HANDLE>(process), static_cast<DWORD>(maxWaitMilliseconds));
}

void Win32Sound::PlayWave(const std::string& file) {
    PlaySystemSound(Widen(file).c_str(), SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
}

void Win32Programs::NestingRunProgram(const std::string& file, const std::string& parameters,
                                      const std::string& folder, ShowMode show) {
    ShellExecuteW(owner_.Handle(), nullptr, Widen(file).c_str(), parameters.empty() ? nullptr : Widen(parameters).c_str(),
                  folder.empty() ? nullptr : Widen(folder).c_str(), show == ShowMode::Show ? SW_SHOW : SW_HIDE);
}

void Win32Programs::CloseProcessHandle(ProcessHandle handle) { CloseHandle(reinterpret_cast<HANDLE>(handle)); }

bool Win32Programs::NestingOpenHelp(const std::filesystem::path& helpFile) {
    if (WinHelpW(owner_.Handle(), helpFile.c_str(), HELP_CONTENTS, 0)) return true;
    LogLastError(L"WinHelpW", helpFile.wstring());
    return false;
}

// The page is written to the temporary folder each time: the program folder
// may not be writable, and an old copy may be from an older version.
void Win32Programs::NestingOpenHelpPage() {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(IDR_HELP_PAGE), MAKEINTRESOURCEW(10));
    const HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) throw std::runtime_error("ヘルプのページがプログラムの中にありません。");
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::filesystem::path page = std::filesystem::path(temp) / L"RMonitorHelp.html";
    if (!ReplaceFileContents(page, {static_cast<const char*>(bytes), SizeofResource(module, resource)})) {
        throw std::runtime_error("ヘルプのページを書き出せません: " + PathText(page));
    }
    const auto opened = reinterpret_cast<INT_PTR>(
        ShellExecuteW(owner_.Handle(), L"open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (opened <= 32) throw std::runtime_error("ヘルプのページを開けません: " + PathText(page));
}

WindowsVersion Win32Programs::SystemVersion() {
    const OSVERSIONINFOW version = SystemVersionInfo();
    return {version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber};
}

ProgramStart Win32Programs::NestingCreateProgramProcess(const std::string& programFile,
                                                        const std::string& arguments, const std::string& folder) {
    return StartProgram(owner_.Handle(), programFile, arguments, folder);
}

bool Win32Programs::ProcessRunning(ProcessHandle process) {
    return WaitForSingleObject(reinterpret_cast<HANDLE>(process), 0) == WAIT_TIMEOUT;
}

WindowHandle Win32Programs::FindProcessWindow(std::uint32_t processId) {
    return reinterpret_cast<WindowHandle>(FindMainWindowOfProcess(processId));
}

WindowHandle Win32Programs::FindProgramWindow(const std::string& programFile) {
    return reinterpret_cast<WindowHandle>(FindMainWindowOfProgram(programFile));
}

void Win32Programs::BringToFront(WindowHandle window) {
    // Windows may refuse while another program has the user's attention; the
    // close request goes out all the same.
    if (!SetForegroundWindow(reinterpret_cast<HWND>(window))) LogText(L"SetForegroundWindow refused");
}

WindowHandle Win32OtherWindows::FindWindowByTitle(const std::string& title) {
    return reinterpret_cast<WindowHandle>(FindWindowW(nullptr, Widen(title).c_str()));
}

void Win32OtherWindows::NestingCloseWindow(WindowHandle window) {
    // A hung program must not freeze the monitor: give up after the bound.
    // Not at once for a program that only looks hung: one held up for a
    // moment by another, hung program still gets its close.
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(reinterpret_cast<HWND>(window), WM_CLOSE, 0, 0, SMTO_NORMAL,
                             CloseWaitMilliseconds, &ignored)) {
        LogLastError(L"SendMessageTimeoutW", L"WM_CLOSE to another program");
    }
}

namespace {

// GetWindowText, not WM_GETTEXT: it reads another program's title without
// waiting for that program, which may hang.
std::string TextOf(HWND window) {
    wchar_t text[255] = {};
    return Narrow({text, static_cast<std::size_t>(GetWindowTextW(window, text, 255))});
}

std::string ClassNameOf(HWND window) {
    wchar_t name[255] = {};
    return Narrow({name, static_cast<std::size_t>(GetClassNameW(window, name, 255))});
}

}  // namespace

std::vector<TopWindow> Win32OtherWindows::TopLevelWindows() {
    std::vector<TopWindow> windows;
    EnumWindows(
        [](HWND window, LPARAM found) -> BOOL {
            const HWND owner = GetWindow(window, GW_OWNER);
            reinterpret_cast<std::vector<TopWindow>*>(found)->push_back(
                {reinterpret_cast<WindowHandle>(window), TextOf(window), ClassNameOf(window), owner != nullptr,
                 owner ? TextOf(owner) : std::string(), IsWindowVisible(window) != FALSE});
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<ChildWindow> Win32OtherWindows::ChildWindows(WindowHandle parent) {
    std::vector<ChildWindow> children;
    EnumChildWindows(
        reinterpret_cast<HWND>(parent),
        [](HWND window, LPARAM found) -> BOOL {
            reinterpret_cast<std::vector<ChildWindow>*>(found)->push_back(
                {TextOf(window), IsWindowVisible(window) != FALSE});
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

std::string Win32Clipboard::Text() {
    if (!OpenClipboard(owner_.Handle())) {
        LogLastError(L"OpenClipboard", L"reading the clipboard");
        return {};
    }
    std::string text;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = Narrow(wide);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void Win32Clipboard::SetText(const std::string& text) {
    const std::wstring wide = Widen(text);
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    // Another program may hold the clipboard for a moment; the user can try again.
    if (!OpenClipboard(owner_.Handle())) throw std::runtime_error("クリップボードを開けません。少し待ってからもう一度試してください。");
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    void* target = memory ? GlobalLock(memory) : nullptr;
    if (target) {
        std::memcpy(target, wide.c_str(), bytes);
        GlobalUnlock(memory);
        // The clipboard owns the memory once it is set.
        if (SetClipboardData(CF_UNICODETEXT, memory)) memory = nullptr;
    }
    if (memory) GlobalFree(memory);
    CloseClipboard();
}

bool Win32Files::MoveOver(const std::filesystem::path& from, const std::filesystem::path& to) {
    // Write-through: the move has reached the disk when this returns.
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    LogLastError(L"MoveFileExW", to.wstring());
    return false;
}

void Win32Log::Log(const std::string& text) { LogText(Widen(text)); }

}  // namespace rm::win
