#include "display/display.h"

#include "text/paths.h"
#include "waits.h"

namespace rm {
namespace {

constexpr const char* DialUpWatcherTitle = "Dial-Up Watcher";
constexpr int DialUpWatcherLooks = 21;
constexpr int DialUpWatcherLookPause = 100;
constexpr int DialUpWatcherSettle = 600;

// Starts the tool beside the connection and gives its window time to appear;
// a tool that never shows up costs only the waits.
Task<> StartDialUpWatcher(Monitor& m) {
    const std::string folder = FolderOf(m.s.settings.DialUpWatcherPath);
    m.ports.Programs.RunProgram(folder + "DWATCH32.EXE", "", folder, ShowMode::Show);
    for (int look = 0; look < DialUpWatcherLooks; ++look) {
        if (m.ports.OtherWindows.FindWindowByTitle(DialUpWatcherTitle) != 0) break;
        co_await Pause(m, DialUpWatcherLookPause);
    }
    m.s.conn.DialUpWatcherLaunched = true;
    co_await Pause(m, DialUpWatcherSettle);
}

}  // namespace

Task<> ShowConnected(Monitor& m) {
    m.view.Panel.Shown = true;
    m.view.Tray.Icon = TrayIconKind::Connected;
    m.view.Menu[Item::DisconnectAfterDownload].Enabled = true;
    ArmDownloadWatch(m, false);
    m.s.launcher.LaunchPending = true;
    m.s.conn.SoundAfterPending = true;
    m.s.conn.ConnectRequestedAt = m.ports.Clock.MonotonicMilliseconds();
    m.s.conn.ConnectPending = true;
    if (m.s.settings.UseDialUpWatcher && m.ports.OtherWindows.FindWindowByTitle(DialUpWatcherTitle) == 0) {
        co_await StartDialUpWatcher(m);
    }
}

void ShowIdle(Monitor& m) {
    m.view.Panel.Caption = "未接続";
    m.view.Tray.Icon = TrayIconKind::Program;
    m.view.Menu[Item::DisconnectAfterDownload].Enabled = false;
    ArmDownloadWatch(m, false);
    m.view.Panel.Colour = FontColour::WindowText;
    m.s.conn.Online = false;
    m.view.Panel.Shown = false;
    m.s.conn.ConnectedPort = 0;
    m.s.conn.ConnectedIsp = 0;
    m.view.Menu[Item::ConnectPort1].Enabled = true;
    m.view.Menu[Item::DisconnectPort1].Enabled = true;
    m.view.Tray.Tip = AppTitle;
    m.view.Panel.Hint = AppTitle;
    m.view.Menu[Item::CopyAddress].Enabled = false;
    m.s.conn.ConnectPending = false;
}

void ArmDownloadWatch(Monitor& m, bool armed) {
    m.view.Menu[Item::DisconnectAfterDownload].Checked = armed;
    FontColour& colour = m.view.Panel.Colour;
    if (armed) {
        colour = FontColour::Red;
        return;
    }
    // Blue, a disconnect on its way, stays.
    if (colour == FontColour::Red) colour = FontColour::WindowText;
    m.s.watch.NifTermOnline = false;
}

void TellDialUpWatcher(Monitor& m, const std::string& parameters) {
    const std::string& program = m.s.settings.DialUpWatcherPath;
    m.ports.Programs.RunProgram(program, parameters, FolderOf(program), ShowMode::Show);
}

Task<> CloseDialUpWatcher(Monitor& m) {
    // A copy whose setting was switched off meanwhile keeps the mark.
    if (!m.s.conn.DialUpWatcherLaunched || !m.s.settings.UseDialUpWatcher) co_return;
    if (const WindowHandle window = m.ports.OtherWindows.FindWindowByTitle(DialUpWatcherTitle)) {
        co_await CloseWindow(m, window);
    }
    m.s.conn.DialUpWatcherLaunched = false;
}

}  // namespace rm
