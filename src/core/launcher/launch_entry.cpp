#include "launcher/launch_entry.h"

#include <filesystem>
#include <system_error>

#include "text/files.h"

namespace rm {
namespace {

bool IsExistingFile(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(PathOf(path), ignored);
}

// The folder part of a path, as the Windows file functions cut it.
std::string FolderPart(const std::string& path) {
    const std::size_t last = path.find_last_of("\\:");
    if (last == std::string::npos) return {};
    // A root keeps its backslash: "D:" alone names the drive's current folder.
    const bool dropBackslash = last > 0 && path[last] == '\\' && path[last - 1] != ':' && path[last - 1] != '\\';
    return path.substr(0, dropBackslash ? last : last + 1);
}

}  // namespace

std::string LaunchFolder(const LaunchEntryTexts& entry) {
    return entry.WorkFolder.empty() ? FolderPart(entry.ProgramFile) : entry.WorkFolder;
}

std::string LaunchCommandLine(const LaunchEntryTexts& entry) {
    std::string line = "\"" + entry.ProgramFile + "\"";
    if (!entry.Arguments.empty()) line += " " + entry.Arguments;
    return line;
}

bool LaunchEntry(Monitor& m, int i) {
    const std::size_t at = static_cast<std::size_t>(i - 1);
    Launcher& launcher = m.s.launcher;
    if (!IsExistingFile(launcher.LaunchEntries[at].ProgramFile)) return false;
    const std::string folder = LaunchFolder(launcher.LaunchEntries[at]);
    if (LaunchWindow(m, at) == 0) return StartLaunchProgram(m, i, folder);
    const ProcessHandle process = launcher.LaunchProcesses[at];
    if (m.ports.Programs.ProcessRunning(process)) return true;
    if (process != 0) m.ports.Programs.CloseProcessHandle(process);
    launcher.LaunchProcesses[at] = 0;
    return StartLaunchProgram(m, i, folder);
}

WindowHandle LaunchWindow(Monitor& m, std::size_t at) {
    Launcher& launcher = m.s.launcher;
    if (launcher.LaunchWindows[at] == 0 && launcher.LaunchProcesses[at] != 0 &&
        m.ports.Programs.ProcessRunning(launcher.LaunchProcesses[at])) {
        launcher.LaunchWindows[at] = m.ports.Programs.FindProcessWindow(launcher.LaunchProcessIds[at]);
    }
    return launcher.LaunchWindows[at];
}

bool StartLaunchProgram(Monitor& m, int i, const std::string& folder) {
    const std::size_t at = static_cast<std::size_t>(i - 1);
    ProgramPort& programs = m.ports.Programs;
    const auto started = programs.CreateProgramProcess(LaunchCommandLine(m.s.launcher.LaunchEntries[at]), folder);
    if (!started) return true;
    // The copy started before had no window to test, so its handle was never
    // released.
    if (const ProcessHandle old = m.s.launcher.LaunchProcesses[at]; old != 0) programs.CloseProcessHandle(old);
    m.s.launcher.LaunchProcesses[at] = started->Process;
    m.s.launcher.LaunchProcessIds[at] = started->ProcessId;
    m.ports.Events.WaitUntilIdle(started->Process, LaunchIdleWaitMilliseconds);
    m.s.launcher.LaunchWindows[at] = programs.FindProcessWindow(started->ProcessId);
    return true;
}

}  // namespace rm
