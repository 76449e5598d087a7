// The core's ports on the real platform.
#pragma once

#include <array>
#include <functional>
#include <utility>

#include <windows.h>

#include "nmudp.h"
#include "ports.h"
#include "window.h"

namespace rm::win {

class Win32Net : public DatagramPort {
public:
    // The three endpoints in the order of Endpoint.
    void Attach(std::array<TNMUDP*, 3> endpoints) { endpoints_ = endpoints; }
    // Sends made afterwards (a command still waiting when the program
    // closed) are dropped.
    void Detach() { endpoints_ = {}; }
    void NestingSend(Endpoint from, const std::string& host, std::string_view bytes) override;

private:
    std::array<TNMUDP*, 3> endpoints_{};
};

// Boxes owned by the panel. Once the program closes, a box that a waiting
// handler still shows goes to the log instead. Before a box the user sees
// the state so far (a reset panel goes before its failure message).
class Win32Dialogs : public DialogPort {
public:
    Win32Dialogs(const Window& owner, const bool& closing, std::function<void()> showState,
                 std::function<void()> showAbout, std::function<void()> showMemoSend)
        : owner_(owner), closing_(closing), showState_(std::move(showState)), showAbout_(std::move(showAbout)),
          showMemoSend_(std::move(showMemoSend)) {}
    void NestingShowMessage(const std::string& text) override;
    bool NestingAskYesNo(const std::string& text, const std::string& caption) override;
    void NestingShowAbout() override { showAbout_(); }
    void NestingShowMemoSend() override;
    bool NestingShowLaunchEntryDialog(LaunchForm& form) override;
    std::optional<std::filesystem::path> NestingAskSaveFileName() override;
    std::optional<ViewerFont> NestingAskFont(const ViewerFont& current) override;
    void NestingShowSettingsDialog(SettingsForm& form, SettingsFormEvents& events) override;

private:
    // The window of ours the user works in, else the panel: a box is modal to it.
    HWND Owner() const;

    const Window& owner_;
    const bool& closing_;
    std::function<void()> showState_, showAbout_, showMemoSend_;
};

class Win32Clock : public ClockPort {
public:
    DateTime Now() override;
    std::int64_t MonotonicMilliseconds() override;
};

// Before the thread blocks or handles other events, the user sees the state
// so far: a panel shown before a wait is on screen during it.
class Win32Events : public EventPort {
public:
    explicit Win32Events(std::function<void()> showState) : showState_(std::move(showState)) {}
    void Sleep(int milliseconds) override;
    void NestingProcessEvents(int maxWaitMilliseconds) override;
    void WaitUntilIdle(ProcessHandle process, int maxWaitMilliseconds) override;

private:
    std::function<void()> showState_;
};

class Win32Sound : public SoundPort {
public:
    void PlayWave(const std::string& file) override;
};

class Win32Programs : public ProgramPort {
public:
    explicit Win32Programs(const Window& owner) : owner_(owner) {}
    void NestingRunProgram(const std::string& file, const std::string& parameters, const std::string& folder,
                           ShowMode show) override;
    void CloseProcessHandle(ProcessHandle handle) override;
    bool NestingOpenHelp(const std::filesystem::path& helpFile) override;
    void NestingOpenHelpPage() override;
    ProgramStart NestingCreateProgramProcess(const std::string& programFile, const std::string& arguments,
                                             const std::string& folder) override;
    WindowsVersion SystemVersion() override;
    bool ProcessRunning(ProcessHandle process) override;
    WindowHandle FindProcessWindow(std::uint32_t processId) override;
    WindowHandle FindProgramWindow(const std::string& programFile) override;
    void BringToFront(WindowHandle window) override;

private:
    const Window& owner_;
};

// How long a window of another program may take to handle a close request.
inline constexpr UINT CloseWaitMilliseconds = 5000;

class Win32OtherWindows : public WindowPort {
public:
    WindowHandle FindWindowByTitle(const std::string& title) override;
    void NestingCloseWindow(WindowHandle window) override;
    std::vector<TopWindow> TopLevelWindows() override;
    std::vector<ChildWindow> ChildWindows(WindowHandle parent) override;
};

class Win32Clipboard : public ClipboardPort {
public:
    explicit Win32Clipboard(const Window& owner) : owner_(owner) {}
    void SetText(const std::string& text) override;
    std::string Text() override;

private:
    const Window& owner_;
};

class Win32Files : public FilePort {
public:
    bool MoveOver(const std::filesystem::path& from, const std::filesystem::path& to) override;
};

class Win32Log : public LogPort {
public:
    void Log(const std::string& text) override;
};

}  // namespace rm::win
