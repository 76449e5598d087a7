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
#include "waits.h"

namespace rm {
namespace {

constexpr const char* ConnectTimedOut =
    "接続に失敗したか、syslogが受け取れませんでした。\r\n接続されている場合はRoutavistaのsyslog設定を確認してください。";
// Without one datagram since the start, the firewall is the likelier cause.
constexpr const char* NoSyslogYet =
    "\r\n\r\n起動してから一度もsyslogが届いていません。Windows ファイアウォールがルーターからの"
    "syslog（UDP 514）を止めている可能性があります。ネットワークを「プライベート」にするか、ヘルプの"
    "「何も表示されないとき」のコマンドで受信を許可してください。";

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
// 00:00:00; both on the monotonic clock.
CivilTime Since(std::int64_t then, std::int64_t now) {
    constexpr std::int64_t Day = 86'400'000;
    const auto ms = static_cast<int>(std::max<std::int64_t>(0, now - then) % Day);
    CivilTime t;
    t.Hour = ms / 3'600'000;
    t.Minute = ms / 60'000 % 60;
    t.Second = ms / 1000 % 60;
    return t;
}

void PlaySoundAfter(Monitor& m, int minutes, const CivilTime& online) {
    if (minutes / 60 != online.Hour || minutes % 60 != online.Minute) return;
    if (!m.s.settings.SoundAfterFile.empty()) m.ports.Sound.PlayWave(m.s.settings.SoundAfterFile);
    m.s.conn.SoundAfterPending = false;
}

Task<> EndConnectAttempt(Monitor& m) {
    if (!m.s.settings.DisconnectSound.empty()) m.ports.Sound.PlayWave(m.s.settings.DisconnectSound);
    m.s.conn.ConnectedPort = 0;
    co_await Reset(m);
    if (m.s.settings.UseDialUpWatcher && m.s.conn.DialUpWatcherStarted) TellDialUpWatcher(m, "stop");
    m.s.conn.DialUpWatcherStarted = false;
    ShowMessage(m, std::string(ConnectTimedOut) + (m.s.conn.SyslogHeard ? "" : NoSyslogYet));
}

// A variant whose settings window is open is being used; the others are
// what a command started and left behind.
Task<> CloseUtilityLeftOpen(Monitor& m) {
    WindowPort& windows = m.ports.OtherWindows;
    for (std::size_t k = 0; k < 3; ++k) {
        const WindowHandle application = windows.FindWindowByTitle(UtilityWindows[3 * k]);
        const WindowHandle main = windows.FindWindowByTitle(UtilityWindows[3 * k + 1]);
        if (application == 0 || main == 0 || windows.FindWindowByTitle(UtilityWindows[3 * k + 2]) != 0) continue;
        co_await CloseWindow(m, application);
        // A disconnect run meanwhile may have closed it: its handle is dead,
        // or another window's by now.
        if (const WindowHandle still = windows.FindWindowByTitle(UtilityWindows[3 * k + 1])) {
            co_await CloseWindow(m, still);
        }
    }
}

// "07:05" matches 07:05:00 to 07:05:59.
bool IsTime(const std::string& setting, const CivilTime& now) {
    const std::string hhmm = TimeText(now).substr(0, 5);
    return setting.size() >= 2 && setting.compare(0, 2, hhmm, 0, 2) == 0 &&
           setting.compare(setting.size() - 2, 2, hhmm, 3, 2) == 0;
}

// The flags are switched before the command runs: its waits let further
// ticks run, which must not fire it again within its minute. A day on which
// one did not fire (the line was already up or down) does not stop the next.
Task<> RunSchedule(Monitor& m) {
    const CivilTime now = DecodeDateTime(m.ports.Clock.Now());
    const Settings& settings = m.s.settings;
    Schedule& schedule = m.s.schedule;
    const bool connectTime = IsTime(settings.ConnectTime, now);
    const bool disconnectTime = IsTime(settings.DisconnectTime, now);
    if (!connectTime) schedule.ConnectArmed = true;
    if (!disconnectTime) schedule.DisconnectArmed = true;
    if (!m.s.conn.Online && settings.AutoConnect && schedule.ConnectArmed && m.s.conn.ConnectedPort == 0 &&
        connectTime) {
        schedule.ConnectArmed = false;
        co_await ConnectPort1(m);
    }
    if (m.s.conn.Online && settings.AutoDisconnect && schedule.DisconnectArmed && disconnectTime) {
        schedule.DisconnectArmed = false;
        co_await DisconnectConnectedPort(m);
    }
}

}  // namespace

Task<> OnTick(Monitor& m) {
    KeepFiles(m);
    const std::int64_t now = m.ports.Clock.MonotonicMilliseconds();
    Connection& conn = m.s.conn;
    if (conn.Online) m.view.Panel.Caption = TimeText(Since(conn.OnlineSince, now));
    if (conn.Online && m.view.Menu[Item::DisconnectAfterDownload].Checked) co_await WatchDownloads(m);
    // A value edited by hand that is no number switches off its own step only.
    const std::optional<std::int32_t> minutes = StrToInt(m.s.settings.SoundAfterMinutes);
    if (conn.Online && conn.SoundAfterPending && minutes) PlaySoundAfter(m, *minutes, Since(conn.OnlineSince, now));
    const std::optional<std::int32_t> limit = StrToInt(m.s.settings.ConnectTimeout);
    if (conn.ConnectPending && limit && (now - conn.ConnectRequestedAt) / 1000 > *limit) {
        co_await EndConnectAttempt(m);
    }
    co_await CloseUtilityLeftOpen(m);
    co_await RunSchedule(m);
}

}  // namespace rm
