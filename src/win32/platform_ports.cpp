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
#include "box_window.h"
#include "resource.h"
#include "settings_dialog.h"
#include "system_dlls.h"
#include "text/datetime.h"
#include "text/file_replace.h"
#include "text/files.h"
#include "wide.h"

namespace rm::win {

void Win32Net::Send(Endpoint from, const std::string& host, std::string_view bytes) {
    UdpEndpoint* endpoint = endpoints_[static_cast<std::size_t>(from)];
    // A command still running when the program closed.
    if (!endpoint) return;
    endpoint->RemoteHost = host;
    try {
        endpoint->SendBuffer(bytes.data(), static_cast<int>(bytes.size()));
    } catch (const RemoteHostTooLong& e) {
        throw RemoteHostRejected(e.what());
    }
}

void Win32Dialogs::ShowMessage(const std::string& text, std::function<void()> closed) {
    if (closing_) {
        LogText(L"after close, not shown: " + Widen(text));
        return;
    }
    std::function<void(bool)> answered;
    if (closed) answered = [this, closed = std::move(closed)](bool) { steps_.After(0, closed); };
    ShowBox(owner_.Handle(), {.Text = text}, std::move(answered));
}

void Win32Dialogs::AskYesNo(const std::string& text, const std::string& caption,
                            std::function<void(bool)> answered) {
    if (closing_) {
        LogText(L"after close, not asked: " + Widen(text));
        return;
    }
    ShowBox(owner_.Handle(), {.Text = text, .Buttons = BoxButtons::YesNo, .Icon = BoxIcon::Question, .Caption = caption},
            [this, answered = std::move(answered)](bool yes) { steps_.After(0, [answered, yes] { answered(yes); }); });
}

void Win32Dialogs::ShowAbout() {
    const UserDialogs::Scope open(userDialogs_);
    shows_.About();
}

std::optional<std::filesystem::path> Win32Dialogs::AskSaveFileName() {
    const UserDialogs::Scope open(userDialogs_);
    return ShowSaveDialog(Owner());
}

std::optional<ViewerFont> Win32Dialogs::AskFont(const ViewerFont& current) {
    const UserDialogs::Scope open(userDialogs_);
    return ShowFontDialog(Owner(), current);
}

HWND Win32Dialogs::Owner() const {
    const HWND active = GetActiveWindow();
    return active ? active : owner_.Handle();
}

void Win32Dialogs::ShowMemoSend() {
    if (closing_) {
        LogText(L"after close, not shown: the memo send window");
        return;
    }
    const UserDialogs::Scope open(userDialogs_);
    shows_.MemoSend();
}

bool Win32Dialogs::ShowLaunchEntryDialog(LaunchForm& form) {
    if (closing_) {
        LogText(L"after close, not shown: the launcher entry dialog");
        return false;
    }
    shows_.State();
    const UserDialogs::Scope open(userDialogs_);
    return ShowLaunchEntryBox(Owner(), form);
}

void Win32Dialogs::ShowSettingsDialog(SettingsForm& form, SettingsFormEvents& events) {
    if (closing_) {
        LogText(L"after close, not shown: the settings dialog");
        return;
    }
    shows_.State();
    const UserDialogs::Scope open(userDialogs_);
    ShowSettingsBox(owner_.Handle(), form, events);
}

DateTime Win32Clock::Now() { return LocalNow(); }

std::int64_t Win32Clock::MonotonicMilliseconds() { return static_cast<std::int64_t>(GetTickCount64()); }

void Win32Sound::PlayWave(const std::string& file) {
    PlaySystemSound(Widen(file).c_str(), SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
}

void Win32Programs::RunProgram(const std::string& file, const std::string& parameters, const std::string& folder,
                               ShowMode show) {
    const std::wstring wideFile = Widen(file), wideParameters = Widen(parameters), wideFolder = Widen(folder);
    SHELLEXECUTEINFOW info{sizeof info};
    // A tool that is missing must not open the shell's own box from a syslog line.
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner_.Handle();
    info.lpFile = wideFile.c_str();
    info.lpParameters = wideParameters.empty() ? nullptr : wideParameters.c_str();
    info.lpDirectory = wideFolder.empty() ? nullptr : wideFolder.c_str();
    info.nShow = show == ShowMode::Show ? SW_SHOW : SW_HIDE;
    if (!ShellExecuteExW(&info)) LogLastError(L"ShellExecuteExW", wideFile);
}

void Win32Programs::CloseProcessHandle(ProcessHandle handle) { CloseHandle(reinterpret_cast<HANDLE>(handle)); }

bool Win32Programs::OpenHelp(const std::filesystem::path& helpFile) {
    const UserDialogs::Scope open(userDialogs_);
    if (WinHelpW(owner_.Handle(), helpFile.c_str(), HELP_CONTENTS, 0)) return true;
    LogLastError(L"WinHelpW", helpFile.wstring());
    return false;
}

// The page is written to the temporary folder each time: the program folder
// may not be writable, and an old copy may be from an older version.
void Win32Programs::OpenHelpPage() {
    const UserDialogs::Scope open(userDialogs_);
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

ProgramStart Win32Programs::CreateProgramProcess(const std::string& programFile, const std::string& arguments,
                                                 const std::string& folder) {
    return StartProgram(owner_.Handle(), programFile, arguments, folder);
}

bool Win32Programs::ReadyForInput(ProcessHandle process) {
    // WAIT_FAILED: a process without windows to wait in (a console program),
    // or one that has ended; either way there is nothing to wait for.
    return WaitForInputIdle(reinterpret_cast<HANDLE>(process), 0) != WAIT_TIMEOUT;
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

namespace {

// One close request: done runs once, at the other program's answer or at the bound.
struct CloseRequest {
    std::weak_ptr<StepPort*> steps;
    std::function<void()> done;
    bool finished = false;

    void Finish() {
        if (std::exchange(finished, true)) return;
        done();
    }
};

// Comes inside a message retrieval of ours, not as an event: the step that
// waits goes on as one of its own.
void CALLBACK CloseAnswered(HWND, UINT, ULONG_PTR data, LRESULT) {
    const std::unique_ptr<std::shared_ptr<CloseRequest>> request(reinterpret_cast<std::shared_ptr<CloseRequest>*>(data));
    if (const auto steps = (*request)->steps.lock()) (**steps).After(0, [request = *request] { request->Finish(); });
}

}  // namespace

void Win32OtherWindows::CloseWindow(WindowHandle window, std::function<void()> done) {
    const auto request = std::make_shared<CloseRequest>(CloseRequest{alive_, std::move(done)});
    // A hung program must not hold the command up. Not at once for a program
    // that only looks hung: one held up for a moment by another, hung program
    // still gets its close.
    steps_.After(CloseWaitMilliseconds, [request] { request->Finish(); });
    // Freed by the answer, which Windows delivers however late it comes.
    auto answer = std::make_unique<std::shared_ptr<CloseRequest>>(request);
    if (SendMessageCallbackW(reinterpret_cast<HWND>(window), WM_CLOSE, 0, 0, CloseAnswered,
                             reinterpret_cast<ULONG_PTR>(answer.get()))) {
        answer.release();
        return;
    }
    LogLastError(L"SendMessageCallbackW", L"WM_CLOSE to another program");
    steps_.After(0, [request] { request->Finish(); });
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
