#include "launcher/launch_entry.h"

#include <filesystem>
#include <system_error>

#include "text/files.h"
#include "text/paths.h"
#include "waits.h"

namespace rm {
namespace {

// Why the program file cannot be started, in words for the user; empty when
// it names an existing file.
std::string MissingProgramReason(const std::string& path) {
    if (path.empty()) return "プログラム名が指定されていません。";
    std::error_code ignored;
    const std::filesystem::file_status status = std::filesystem::status(PathOf(path), ignored);
    if (std::filesystem::is_regular_file(status)) return {};
    if (std::filesystem::is_directory(status)) return "ファイルではなくフォルダーが指定されています。";
    return "ファイルが見つかりません。";
}

// Each entry's last failure once, so starts that fail at every connect do
// not grow the notice.
void TellStartFailure(Monitor& m, std::size_t at, const std::string& failure) {
    Launcher& launcher = m.s.launcher;
    const LaunchEntryTexts& entry = launcher.LaunchEntries[at];
    m.ports.Diagnostics.Log("launcher entry " + std::to_string(at + 1) + " not started: " + entry.ProgramFile + ": " +
                            (failure.empty() ? "called off by the user" : failure));
    if (failure.empty()) return;
    launcher.LaunchFailures[at] = "「" + entry.Title + "」 " + entry.ProgramFile + "\r\n" + failure;
    std::string text = "プログラムを起動できませんでした。";
    for (const std::string& told : launcher.LaunchFailures) {
        if (!told.empty()) text += "\r\n\r\n" + told;
    }
    m.view.LaunchNotice.Shown = true;
    m.view.LaunchNotice.Text = text;
}

void NoteHandOver(Monitor& m, std::size_t at) {
    Launcher& launcher = m.s.launcher;
    if (launcher.LaunchHandedOver[at]) return;
    launcher.LaunchHandedOver[at] = true;
    m.ports.Diagnostics.Log("launcher entry " + std::to_string(at + 1) +
                            " ended without a window, perhaps handing over to another process; nothing to close at "
                            "disconnect: " + launcher.LaunchEntries[at].ProgramFile);
}

// A start that ended without a window handed over to another process (today's
// Notepad and Calculator do, and programs that pass a second start to their
// running copy): the window of a running copy of the program stands for it.
bool ShowHandedOver(Monitor& m, std::size_t at) {
    Launcher& launcher = m.s.launcher;
    ProgramPort& programs = m.ports.Programs;
    const ProcessHandle process = launcher.LaunchProcesses[at];
    if (process == 0 || programs.ProcessRunning(process)) return false;
    NoteHandOver(m, at);
    const WindowHandle window = programs.FindProgramWindow(launcher.LaunchEntries[at].ProgramFile);
    if (window == 0) return false;
    programs.BringToFront(window);
    return true;
}

}  // namespace

std::string LaunchFolder(const LaunchEntryTexts& entry) {
    return entry.WorkFolder.empty() ? FolderNameOf(entry.ProgramFile) : entry.WorkFolder;
}

std::string LaunchCommandLine(const std::string& programFile, const std::string& arguments) {
    std::string line = "\"" + programFile + "\"";
    if (!arguments.empty()) line += " " + arguments;
    return line;
}

Task<bool> LaunchEntry(Monitor& m, int i) {
    const std::size_t at = static_cast<std::size_t>(i - 1);
    Launcher& launcher = m.s.launcher;
    if (const std::string missing = MissingProgramReason(launcher.LaunchEntries[at].ProgramFile); !missing.empty()) {
        TellStartFailure(m, at, missing);
        co_return false;
    }
    if (m.waiting.StartingEntries.contains(at)) co_return true;
    const std::string folder = LaunchFolder(launcher.LaunchEntries[at]);
    if (LaunchWindow(m, at) == 0) {
        if (ShowHandedOver(m, at)) co_return true;
        const bool started = co_await StartLaunchProgram(m, i, folder);
        co_return started;
    }
    const ProcessHandle process = launcher.LaunchProcesses[at];
    if (m.ports.Programs.ProcessRunning(process)) co_return true;
    if (process != 0) m.ports.Programs.CloseProcessHandle(process);
    launcher.LaunchProcesses[at] = 0;
    co_return co_await StartLaunchProgram(m, i, folder);
}

WindowHandle LaunchWindow(Monitor& m, std::size_t at) {
    Launcher& launcher = m.s.launcher;
    if (launcher.LaunchWindows[at] == 0 && launcher.LaunchProcesses[at] != 0 &&
        m.ports.Programs.ProcessRunning(launcher.LaunchProcesses[at])) {
        launcher.LaunchWindows[at] = m.ports.Programs.FindProcessWindow(launcher.LaunchProcessIds[at]);
    }
    return launcher.LaunchWindows[at];
}

Task<bool> StartLaunchProgram(Monitor& m, int i, std::string folder) {
    const std::size_t at = static_cast<std::size_t>(i - 1);
    ProgramPort& programs = m.ports.Programs;
    Launcher& launcher = m.s.launcher;
    const LaunchEntryTexts& entry = launcher.LaunchEntries[at];
    const ProgramStart start = programs.CreateProgramProcess(entry.ProgramFile, entry.Arguments, folder);
    if (!start.Started) {
        TellStartFailure(m, at, start.Failure);
        co_return true;
    }
    const StartedProcess& started = *start.Started;
    // The copy started before had no window to test, so its handle was never
    // released.
    if (const ProcessHandle old = launcher.LaunchProcesses[at]; old != 0) programs.CloseProcessHandle(old);
    launcher.LaunchProcesses[at] = started.Process;
    launcher.LaunchProcessIds[at] = started.ProcessId;
    launcher.LaunchWindows[at] = 0;
    launcher.LaunchHandedOver[at] = false;
    {
        const Held<std::size_t> starting(m.waiting.StartingEntries, at);
        co_await ProcessReady(m, started.Process, LaunchIdleWaitMilliseconds);
    }
    launcher.LaunchWindows[at] = programs.FindProcessWindow(started.ProcessId);
    if (launcher.LaunchWindows[at] == 0 && !programs.ProcessRunning(started.Process)) NoteHandOver(m, at);
    co_return true;
}

void LaunchNoticeClosed(Monitor& m) {
    m.view.LaunchNotice = {};
    m.s.launcher.LaunchFailures = {};
}

}  // namespace rm
