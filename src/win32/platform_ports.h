// The core's ports on the real platform.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <utility>

#include <windows.h>

#include "udp_endpoint.h"
#include "ports.h"
#include "window.h"

namespace rm::win {

class Win32Net : public DatagramPort {
public:
    // The three endpoints in the order of Endpoint.
    void Attach(std::array<UdpEndpoint*, 3> endpoints) { endpoints_ = endpoints; }
    // Sends made afterwards (a command still running when the program
    // closed) are dropped.
    void Detach() { endpoints_ = {}; }
    void Send(Endpoint from, const std::string& host, std::string_view bytes) override;

private:
    std::array<UdpEndpoint*, 3> endpoints_{};
};

// The dialogs the user opened with a command and that are up now: only inside
// one of them may a handler start while another runs.
class UserDialogs {
public:
    bool Open() const { return open_ > 0; }

    class Scope {
    public:
        explicit Scope(UserDialogs& dialogs) : dialogs_(dialogs) { ++dialogs_.open_; }
        ~Scope() { --dialogs_.open_; }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        UserDialogs& dialogs_;
    };

private:
    int open_ = 0;
};

// Boxes over the panel that do not wait: their answer comes as a step of its
// own. Once the program closes, a box that a command still asks for goes to
// the log instead. Before a dialog the user sees the state so far.
class Win32Dialogs : public DialogPort {
public:
    struct Shows {
        std::function<void()> State, About, MemoSend;
    };
    Win32Dialogs(const Window& owner, const bool& closing, StepPort& steps, UserDialogs& userDialogs, Shows shows)
        : owner_(owner), closing_(closing), steps_(steps), userDialogs_(userDialogs), shows_(std::move(shows)) {}
    void ShowMessage(const std::string& text, std::function<void()> closed) override;
    void AskYesNo(const std::string& text, const std::string& caption, std::function<void(bool)> answered) override;
    void ShowAbout() override;
    void ShowMemoSend() override;
    bool ShowLaunchEntryDialog(LaunchForm& form) override;
    std::optional<std::filesystem::path> AskSaveFileName() override;
    std::optional<ViewerFont> AskFont(const ViewerFont& current) override;
    void ShowSettingsDialog(SettingsForm& form, SettingsFormEvents& events) override;

private:
    // The window of ours the user works in, else the panel: a dialog is modal to it.
    HWND Owner() const;

    const Window& owner_;
    const bool& closing_;
    StepPort& steps_;
    UserDialogs& userDialogs_;
    Shows shows_;
};

class Win32Clock : public ClockPort {
public:
    DateTime Now() override;
    std::int64_t MonotonicMilliseconds() override;
};

class Win32Sound : public SoundPort {
public:
    void PlayWave(const std::string& file) override;
};

class Win32Programs : public ProgramPort {
public:
    Win32Programs(const Window& owner, UserDialogs& userDialogs) : owner_(owner), userDialogs_(userDialogs) {}
    void RunProgram(const std::string& file, const std::string& parameters, const std::string& folder,
                    ShowMode show) override;
    void CloseProcessHandle(ProcessHandle handle) override;
    bool OpenHelp(const std::filesystem::path& helpFile) override;
    void OpenHelpPage() override;
    ProgramStart CreateProgramProcess(const std::string& programFile, const std::string& arguments,
                                      const std::string& folder) override;
    WindowsVersion SystemVersion() override;
    bool ReadyForInput(ProcessHandle process) override;
    bool ProcessRunning(ProcessHandle process) override;
    WindowHandle FindProcessWindow(std::uint32_t processId) override;
    WindowHandle FindProgramWindow(const std::string& programFile) override;
    void BringToFront(WindowHandle window) override;

private:
    const Window& owner_;
    UserDialogs& userDialogs_;
};

// How long a window of another program may take to handle a close request.
inline constexpr int CloseWaitMilliseconds = 5000;

class Win32OtherWindows : public WindowPort {
public:
    explicit Win32OtherWindows(StepPort& steps) : steps_(steps) {}
    WindowHandle FindWindowByTitle(const std::string& title) override;
    void CloseWindow(WindowHandle window, std::function<void()> done) override;
    std::vector<TopWindow> TopLevelWindows() override;
    std::vector<ChildWindow> ChildWindows(WindowHandle parent) override;

private:
    StepPort& steps_;
    // Answers that come after the ports are gone find it expired.
    std::shared_ptr<StepPort*> alive_ = std::make_shared<StepPort*>(&steps_);
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
