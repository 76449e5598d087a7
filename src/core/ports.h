// What the core asks of the platform. The Win32 layer implements these with
// the real calls; tests implement them with fakes.
//
// No call waits: what takes time (a timer, an answer, another program's
// close) is asked for with a step to run once it is there, and that step runs
// later as an event of its own, never inside the call that asked. Only the
// dialogs the user opens with a command are modal: other events run while
// one is up.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "state/launch_form.h"
#include "state/settings_form.h"
#include "state/state.h"
#include "state/view.h"

namespace rm {

enum class Endpoint { Syslog, Router, Peers };

// The endpoint cannot take the text as its destination (too long for it).
class RemoteHostRejected : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Sends one datagram from an endpoint to host (dotted address or name) on the
// endpoint's remote port. A name is looked up without waiting: the datagram
// goes once the address is known, after those sent before it, and a lookup
// that fails is told as an error of its own. Throws RemoteHostRejected for a
// host it cannot take, and other errors for a destination it cannot reach.
class DatagramPort {
public:
    virtual ~DatagramPort() = default;
    virtual void Send(Endpoint from, const std::string& host, std::string_view bytes) = 0;
};

// Timers for waiting steps.
class StepPort {
public:
    virtual ~StepPort() = default;
    // Runs step once the time has passed, as an event of its own; 0 runs it
    // after the events already waiting.
    virtual void After(int milliseconds, std::function<void()> step) = 0;
};

// Boxes that do not wait, and the dialogs the user opens with a command.
class DialogPort {
public:
    virtual ~DialogPort() = default;
    // A box with an OK button, shown at once; closed, when given, runs once
    // the user has closed it. A box with the same text already up stays the
    // only one (closed then runs when that one closes).
    virtual void ShowMessage(const std::string& text, std::function<void()> closed) = 0;
    // A Yes/No question, shown at once; answered runs with true for Yes once
    // the user has answered, with false when the box went unanswered.
    virtual void AskYesNo(const std::string& text, const std::string& caption,
                          std::function<void(bool)> answered) = 0;

    // Modal; they return when the user has closed them.
    // The version window.
    virtual void ShowAbout() = 0;
    // The launcher entry dialog with the form's values; true when the user
    // pressed "登録", the form then holding what was entered.
    virtual bool ShowLaunchEntryDialog(LaunchForm& form) = 0;
    // The memo send window, shown from the view model. Events go on
    // meanwhile and may change what it shows.
    virtual void ShowMemoSend() = 0;
    // The file save dialog; nothing when cancelled.
    virtual std::optional<std::filesystem::path> AskSaveFileName() = 0;
    // The font dialog for the syslog viewer, starting at current; nothing when cancelled.
    virtual std::optional<ViewerFont> AskFont(const ViewerFont& current) = 0;
    // The settings dialog filled from the form.
    virtual void ShowSettingsDialog(SettingsForm& form, SettingsFormEvents& events) = 0;
};

class ClockPort {
public:
    virtual ~ClockPort() = default;
    // Local time: the user or the program may set it at any moment.
    virtual DateTime Now() = 0;
    // A clock that only goes forward, for measuring waits.
    virtual std::int64_t MonotonicMilliseconds() = 0;
};

class SoundPort {
public:
    virtual ~SoundPort() = default;
    // Starts playing a wave file and returns at once.
    virtual void PlayWave(const std::string& file) = 0;
};

enum class ShowMode { Show, Hide };

// The version of Windows as the system itself tells it.
struct WindowsVersion {
    unsigned Major = 0, Minor = 0, Build = 0;
};

// A process started for the launcher; its handle is the caller's to close.
struct StartedProcess {
    ProcessHandle Process = 0;
    std::uint32_t ProcessId = 0;
};

// What a launcher start gave: the process, or none and why, in words for the
// user; no words when the user called the start off.
struct ProgramStart {
    std::optional<StartedProcess> Started;
    std::string Failure;
};

class ProgramPort {
public:
    virtual ~ProgramPort() = default;
    // Opens a file through the shell, without the shell's own boxes; the
    // outcome is only logged.
    virtual void RunProgram(const std::string& file, const std::string& parameters, const std::string& folder,
                            ShowMode show) = 0;
    virtual void CloseProcessHandle(ProcessHandle handle) = 0;
    // Opens the contents page of a WinHelp file; false when no help viewer
    // took it. Only on the user's command: WinHelp may run other events
    // while it starts its viewer, as a dialog would.
    virtual bool OpenHelp(const std::filesystem::path& helpFile) = 0;
    // Opens the program's own help page, which it carries, in the user's
    // browser, through the shell; on the user's command only, as OpenHelp.
    virtual void OpenHelpPage() = 0;
    // Which help viewers there are depends on it.
    virtual WindowsVersion SystemVersion() = 0;

    // Creates a process of programFile with its arguments and folder as its
    // working folder (the monitor's own when empty), placed and shown as the
    // program itself chooses. A program that asks for administrator rights is
    // started through the shell, so that Windows asks the user.
    virtual ProgramStart CreateProgramProcess(const std::string& programFile, const std::string& arguments,
                                              const std::string& folder) = 0;
    // Whether the process waits for input by now, or never will (it has
    // ended, or has no windows to wait in); asked without waiting.
    virtual bool ReadyForInput(ProcessHandle process) = 0;
    // Tested without waiting; false for an ended process and for a handle
    // that is no longer valid.
    virtual bool ProcessRunning(ProcessHandle process) = 0;
    // The process's first visible top-level window with a caption and no
    // owner, in the system's window order, else its first one without an
    // owner (hidden helper windows are no main window); 0 when there is none.
    virtual WindowHandle FindProcessWindow(std::uint32_t processId) = 0;
    // A visible top-level window with a caption and no owner of a running
    // copy of programFile, whoever started it; 0 when there is none.
    virtual WindowHandle FindProgramWindow(const std::string& programFile) = 0;
    // Brings another program's window to the foreground.
    virtual void BringToFront(WindowHandle window) = 0;
};

// A top-level window as the download watch sees it. Titles and class names
// are read into 255-character buffers, so at most 254 characters count.
struct TopWindow {
    WindowHandle Handle = 0;
    std::string Title, ClassName;
    bool Owned = false;
    // The title of its owner; empty when it has none.
    std::string OwnerTitle;
    bool Visible = false;
};

struct ChildWindow {
    std::string Text;
    bool Visible = false;
};

// Other programs' windows: found by exact title, listed, and closed.
class WindowPort {
public:
    virtual ~WindowPort() = default;
    virtual WindowHandle FindWindowByTitle(const std::string& title) = 0;
    // Asks the window to close; done runs once it has handled that, or after
    // a few seconds when its program does not answer.
    virtual void CloseWindow(WindowHandle window, std::function<void()> done) = 0;
    // Every top-level window of the desktop, in the platform's order.
    virtual std::vector<TopWindow> TopLevelWindows() = 0;
    // The window's children at any depth, in the platform's order.
    virtual std::vector<ChildWindow> ChildWindows(WindowHandle parent) = 0;
};

class ClipboardPort {
public:
    virtual ~ClipboardPort() = default;
    // Replaces the clipboard's content with the text.
    virtual void SetText(const std::string& text) = 0;
    // The clipboard's text; empty when it holds none.
    virtual std::string Text() = 0;
};

class FilePort {
public:
    virtual ~FilePort() = default;
    // Moves a finished file over the old one so that the move itself reaches
    // the disk (write-through); false when that failed.
    virtual bool MoveOver(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
};

// The diagnostic log for support; nothing the user sees.
class LogPort {
public:
    virtual ~LogPort() = default;
    virtual void Log(const std::string& text) = 0;
};

struct Ports {
    DatagramPort& Net;
    DialogPort& Dialogs;
    ClockPort& Clock;
    StepPort& Steps;
    SoundPort& Sound;
    ProgramPort& Programs;
    WindowPort& OtherWindows;
    ClipboardPort& Clipboard;
    LogPort& Diagnostics;
    FilePort& Files;
};

}  // namespace rm
