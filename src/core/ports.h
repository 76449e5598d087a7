// What the core asks of the platform. The Win32 layer implements these with
// the real calls; tests implement them with fakes.
//
// A call whose name starts with "Nesting" may run the program's other events
// before it returns: a box or a shell call runs the message loop, so a timer
// tick, a datagram, a click or the session's end is handled inside it. After
// such a call, state read before it may have changed, the call itself may be
// entered again, and the monitor may be closing. The name is the marker so
// that every caller spells it; a call that only blocks (Sleep,
// WaitUntilIdle) has none.
#pragma once

#include <cstdint>
#include <filesystem>
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

enum class Endpoint { SYSLOGUDP, RV_UDP, RM_UDP };

// The endpoint cannot take the text as its destination (too long for it).
class RemoteHostRejected : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Sends one datagram from an endpoint to host (dotted address or name) on the
// endpoint's remote port. Runs the message loop while a name is looked up;
// throws RemoteHostRejected for a host it cannot take, and other errors for a
// destination it cannot reach.
class DatagramPort {
public:
    virtual ~DatagramPort() = default;
    virtual void NestingSend(Endpoint from, const std::string& host, std::string_view bytes) = 0;
};

// Modal boxes and windows; every one runs the message loop while open.
class DialogPort {
public:
    virtual ~DialogPort() = default;
    virtual void NestingShowMessage(const std::string& text) = 0;
    // A Yes/No question; true for Yes.
    virtual bool NestingAskYesNo(const std::string& text, const std::string& caption) = 0;
    // The version window; returns when the user closes it.
    virtual void NestingShowAbout() = 0;
    // The launcher entry dialog with the form's values; true when the user
    // pressed "登録", the form then holding what was entered.
    virtual bool NestingShowLaunchEntryDialog(LaunchForm& form) = 0;
    // The memo send window, shown from the view model; returns when it has
    // closed. Events go on meanwhile and may change what it shows.
    virtual void NestingShowMemoSend() = 0;
    // The file save dialog; nothing when cancelled.
    virtual std::optional<std::filesystem::path> NestingAskSaveFileName() = 0;
    // The font dialog for the syslog viewer, starting at current; nothing when cancelled.
    virtual std::optional<ViewerFont> NestingAskFont(const ViewerFont& current) = 0;
    // The settings dialog filled from the form; returns when it has closed.
    virtual void NestingShowSettingsDialog(SettingsForm& form, SettingsFormEvents& events) = 0;
};

class ClockPort {
public:
    virtual ~ClockPort() = default;
    // Local time: the user or the program may set it at any moment.
    virtual DateTime Now() = 0;
    // A clock that only goes forward, for measuring waits.
    virtual std::int64_t MonotonicMilliseconds() = 0;
};

// Holding up the thread, and letting other events run inside a handler.
class EventPort {
public:
    virtual ~EventPort() = default;
    // Blocks the thread; no other event runs meanwhile.
    virtual void Sleep(int milliseconds) = 0;
    // Waits up to the given time for pending events and handles them; returns
    // after handling some, or when the time is up.
    virtual void NestingProcessEvents(int maxWaitMilliseconds) = 0;
    // Blocks the thread until the process waits for input, at most the given
    // time; no other event runs meanwhile.
    virtual void WaitUntilIdle(ProcessHandle process, int maxWaitMilliseconds) = 0;
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
    // Opens a file through the shell; the outcome is not examined. The shell
    // may show its own box about a failure, or wait on a COM call, with the
    // message loop running.
    virtual void NestingRunProgram(const std::string& file, const std::string& parameters,
                                   const std::string& folder, ShowMode show) = 0;
    virtual void CloseProcessHandle(ProcessHandle handle) = 0;
    // Opens the contents page of a WinHelp file; false when no help viewer
    // took it. WinHelp starts its viewer and talks to it through window
    // messages; Windows does not promise that ours wait meanwhile.
    virtual bool NestingOpenHelp(const std::filesystem::path& helpFile) = 0;
    // Opens the program's own help page, which it carries, in the user's
    // browser, through the shell.
    virtual void NestingOpenHelpPage() = 0;
    // Which help viewers there are depends on it.
    virtual WindowsVersion SystemVersion() = 0;

    // Creates a process of programFile with its arguments and folder as its
    // working folder (the monitor's own when empty), placed and shown as the
    // program itself chooses. A program that asks for administrator rights is
    // started through the shell, so that Windows asks the user; the message
    // loop may run while it asks.
    virtual ProgramStart NestingCreateProgramProcess(const std::string& programFile, const std::string& arguments,
                                                     const std::string& folder) = 0;
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
    // Asks the window to close and returns when it has handled that, or after
    // a few seconds when its program does not answer. Meanwhile messages that
    // other programs and the system send to ours are handled (the session's
    // end among them).
    virtual void NestingCloseWindow(WindowHandle window) = 0;
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
    EventPort& Events;
    SoundPort& Sound;
    ProgramPort& Programs;
    WindowPort& OtherWindows;
    ClipboardPort& Clipboard;
    LogPort& Diagnostics;
    FilePort& Files;
};

}  // namespace rm
