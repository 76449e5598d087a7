#include "timer/timer.h"

#include <algorithm>
#include <optional>

#include "display/display.h"
#include "router/connect_commands.h"
#include "router/utility_windows.h"
#include "syslog/call_record.h"
#include "syslog/history_file.h"
#include "syslog/syslog_file.h"
#include "text/numbers.h"
#include "watch/window_watch.h"

namespace rm {
namespace {

constexpr const char* ConnectTimedOut =
    "接続に失敗したか、syslogが受け取れませんでした。\r\n接続されている場合はRoutavistaのsyslog設定を確認してください。";

void KeepFiles(Monitor& m) {
    WriteKeptHistory(m);
    KeepOpenCall(m, false);
    // A quiet tick closes the daily file, so it is not held open for nothing.
    if (m.syslogFile.TakeActivity()) {
        FlushSyslog(m);
    } else {
        CloseSyslog(m);
    }
}

// The time of day of the span since then, so a day and more starts again at
// 00:00:00. A clock set back meanwhile counts as no time rather than a day.
CivilTime Since(DateTime then, DateTime now) { return DecodeDateTime(std::max(0.0, now - then)); }

void PlaySoundAfter(Monitor& m, int minutes, const CivilTime& online) {
    if (minutes / 60 != online.Hour || minutes % 60 != online.Minute) return;
    if (!m.s.settings.SoundAfterFile.empty()) m.ports.Sound.PlayWave(m.s.settings.SoundAfterFile);
    m.s.conn.SoundAfterPending = false;
}

void EndConnectAttempt(Monitor& m) {
    if (!m.s.settings.DisconnectSound.empty()) m.ports.Sound.PlayWave(m.s.settings.DisconnectSound);
    m.s.conn.ConnectedPort = 0;
    N3Click(m);
    if (m.s.settings.UseDialUpWatcher && m.s.conn.DialUpWatcherStarted) TellDialUpWatcher(m, "stop");
    m.s.conn.DialUpWatcherStarted = false;
    m.ports.Dialogs.ShowMessage(ConnectTimedOut);
    m.s.conn.ConnectPending = false;
}

// A variant whose settings window is open is being used; the others are
// what a command started and left behind.
void CloseUtilityLeftOpen(Monitor& m) {
    WindowPort& windows = m.ports.OtherWindows;
    for (std::size_t k = 0; k < 3; ++k) {
        const WindowHandle application = windows.FindWindowByTitle(UtilityWindows[3 * k]);
        const WindowHandle main = windows.FindWindowByTitle(UtilityWindows[3 * k + 1]);
        if (application == 0 || main == 0 || windows.FindWindowByTitle(UtilityWindows[3 * k + 2]) != 0) continue;
        windows.CloseWindow(application);
        windows.CloseWindow(main);
    }
}

// "07:05" matches 07:05:00 to 07:05:59.
bool IsTime(const std::string& setting, const CivilTime& now) {
    const std::string hhmm = TimeText(now).substr(0, 5);
    return setting.size() >= 2 && setting.compare(0, 2, hhmm, 0, 2) == 0 &&
           setting.compare(setting.size() - 2, 2, hhmm, 3, 2) == 0;
}

// The flags are switched before the command runs: its waits let further
// ticks run, which must not fire it again.
void RunSchedule(Monitor& m) {
    const CivilTime now = DecodeDateTime(m.ports.Clock.Now());
    const Settings& settings = m.s.settings;
    Schedule& schedule = m.s.schedule;
    if (!m.s.conn.Online && settings.AutoConnect && schedule.ConnectArmed && m.s.conn.ConnectedPort == 0 &&
        IsTime(settings.ConnectTime, now)) {
        schedule.ConnectArmed = false;
        schedule.DisconnectArmed = true;
        N1Click(m);
    }
    if (m.s.conn.Online && settings.AutoDisconnect && schedule.DisconnectArmed &&
        IsTime(settings.DisconnectTime, now)) {
        schedule.DisconnectArmed = false;
        schedule.ConnectArmed = true;
        DisconnectConnectedPort(m);
    }
}

}  // namespace

void Timer1Timer(Monitor& m) {
    KeepFiles(m);
    const DateTime now = m.ports.Clock.Now();
    Connection& conn = m.s.conn;
    if (conn.Online) m.view.Panel.Caption = TimeText(Since(conn.OnlineSince, now));
    if (conn.Online && m.view.Menu[Item::N4].Checked) WatchDownloads(m);
    if (conn.Online && conn.SoundAfterPending) {
        // A value edited by hand that is no number ends the tick here.
        const std::optional<std::int32_t> minutes = StrToInt(m.s.settings.SoundAfterMinutes);
        if (!minutes) return;
        PlaySoundAfter(m, *minutes, Since(conn.OnlineSince, now));
    }
    if (conn.ConnectPending) {
        const std::optional<std::int32_t> limit = StrToInt(m.s.settings.ConnectTimeout);
        if (!limit) return;
        const CivilTime waited = Since(conn.ConnectRequestedAt, now);
        if (waited.Hour * 3600 + waited.Minute * 60 + waited.Second > *limit) EndConnectAttempt(m);
    }
    CloseUtilityLeftOpen(m);
    RunSchedule(m);
}

}  // namespace rm
