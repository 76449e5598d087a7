#include <gtest/gtest.h>

#include <cmath>

#include "display/display.h"
#include "router/connect_commands.h"
#include "router/utility_windows.h"
#include "test_command_support.h"
#include "timer/timer.h"

namespace rm::test {
namespace {

constexpr double Second = 1.0 / 86400;
constexpr const char* TimedOut =
    "接続に失敗したか、syslogが受け取れませんでした。\r\n接続されている場合はRoutavistaのsyslog設定を確認してください。";

struct TickMonitor : CommandMonitor {
    DateTime start = At(2003, 1, 2, 9, 0, 0);

    // The monotonic clock, counting from start.
    std::int64_t Mono(DateTime when) const { return std::llround((when - start) * 86'400'000.0); }
    // Both clocks at when, as long as nobody sets the PC's clock.
    void TickAt(DateTime when) {
        clock.now = when;
        clock.monotonic = Mono(when);
        Run(OnTick(m));
    }
    // Ticks every 2 s from..to; returns the times at which the check first held.
    template <class Check>
    std::vector<DateTime> TicksWhere(DateTime from, DateTime to, Check check) {
        std::vector<DateTime> hits;
        for (DateTime t = from; t <= to + Second / 2; t += 2 * Second) {
            const bool before = check();
            TickAt(t);
            if (!before && check()) hits.push_back(t);
        }
        return hits;
    }
    void ScheduleConnect(const std::string& time) {
        m.s.settings.AutoConnect = true;
        m.s.settings.ConnectTime = time;
    }
    void ScheduleDisconnect(const std::string& time) {
        m.s.settings.AutoDisconnect = true;
        m.s.settings.DisconnectTime = time;
    }
    // A connect of this copy that the router never answered is over.
    void Unanswered() {
        m.s.conn.ConnectedPort = 0;
        m.s.conn.ConnectPending = false;
    }
    // What the router's connect line leaves behind.
    void LineUp(DateTime since) {
        m.s.conn.Online = true;
        m.s.conn.ConnectPending = false;
        m.s.conn.OnlineSince = Mono(since);
        m.view.Panel.Shown = true;
    }
    std::size_t Count(const std::string& datagram) const {
        const Datagrams sent = RouterSends();
        return static_cast<std::size_t>(std::count(sent.begin(), sent.end(), datagram));
    }
};

TEST(Tick, CaptionShowsTheConnectedTimeOfDayWhileOnline) {
    TickMonitor f;
    f.TickAt(f.start + 3723 * Second);
    EXPECT_EQ(f.m.view.Panel.Caption, "未接続");

    f.LineUp(f.start);
    f.TickAt(f.start + 3723 * Second);
    EXPECT_EQ(f.m.view.Panel.Caption, "01:02:03");
    // A full day starts again at zero.
    f.TickAt(f.start + (86400 + 5) * Second);
    EXPECT_EQ(f.m.view.Panel.Caption, "00:00:05");
    // The user sets the PC's clock back an hour: the connected time goes on.
    f.clock.now = f.start - 3600 * Second;
    f.clock.monotonic = f.Mono(f.start + (86400 + 7) * Second);
    f.Run(OnTick(f.m));
    EXPECT_EQ(f.m.view.Panel.Caption, "00:00:07");
}

TEST(Tick, ReminderSoundPlaysOnceInItsMinuteOfConnectedTime) {
    TickMonitor f;
    f.m.s.settings.SoundAfterMinutes = "90";
    f.m.s.settings.SoundAfterFile = "C:\\wav\\remind.wav";
    f.LineUp(f.start);
    const auto hits = f.TicksWhere(f.start + (5340 - 9) * Second, f.start + 5460 * Second,
                                   [&] { return !f.sound.played.empty(); });
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_NEAR(hits[0], f.start + 5401 * Second, Second / 10);
    EXPECT_EQ(f.sound.played, (std::vector<std::string>{"C:\\wav\\remind.wav"}));
    EXPECT_FALSE(f.m.s.conn.SoundAfterPending);
}

TEST(Tick, ReminderAtZeroMinutesPlaysAtTheFirstTickAndAnEmptyFileOnlyDisarms) {
    TickMonitor f;
    f.m.s.settings.SoundAfterMinutes = "0";
    f.m.s.settings.SoundAfterFile = "a.wav";
    f.LineUp(f.start);
    f.TickAt(f.start + 2 * Second);
    EXPECT_EQ(f.sound.played.size(), 1u);

    TickMonitor quiet;
    quiet.m.s.settings.SoundAfterMinutes = "0";
    quiet.LineUp(quiet.start);
    quiet.TickAt(quiet.start + 2 * Second);
    EXPECT_TRUE(quiet.sound.played.empty());
    EXPECT_FALSE(quiet.m.s.conn.SoundAfterPending);
}

TEST(Tick, UnansweredConnectEndsAfterTheTimeOutWithTheMessageAndAReset) {
    TickMonitor f;
    f.m.s.settings.DisconnectSound = "C:\\wav\\cut.wav";
    f.m.s.settings.UseDialUpWatcher = true;
    f.m.s.settings.DialUpWatcherPath = "C:\\DW\\dwctrl32.exe";
    f.clock.now = f.start;
    f.Run(ShowConnected(f.m));
    f.m.s.conn.ConnectedPort = 1;
    f.m.s.conn.DialUpWatcherStarted = true;
    f.m.s.conn.SyslogHeard = true;  // the router's syslog reaches the PC
    f.programs.runs.clear();

    const auto hits = f.TicksWhere(f.start + Second, f.start + 120 * Second, [&] { return !f.dialogs.messages.empty(); });
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_GT(hits[0], f.start + 61 * Second - Second / 10);
    EXPECT_LT(hits[0], f.start + 63 * Second + Second / 10);
    EXPECT_EQ(f.dialogs.messages, (std::vector<std::string>{TimedOut}));
    EXPECT_EQ(f.sound.played, (std::vector<std::string>{"C:\\wav\\cut.wav"}));
    EXPECT_EQ(f.programs.runs, (std::vector<FakePrograms::Run>{{"C:\\DW\\dwctrl32.exe", "stop", "C:\\DW\\", ShowMode::Show}}));
    EXPECT_FALSE(f.m.s.conn.DialUpWatcherStarted);
    EXPECT_FALSE(f.m.s.conn.ConnectPending);
    EXPECT_EQ(f.m.s.conn.ConnectedPort, 0);
    EXPECT_FALSE(f.m.view.Panel.Shown);
    EXPECT_EQ(f.m.view.Panel.Caption, "未接続");
}

TEST(Tick, TimeOutWithoutTheWatcherStartedRunsNoProgram) {
    TickMonitor f;
    f.m.s.settings.UseDialUpWatcher = true;
    f.m.s.conn.ConnectPending = true;
    f.m.s.conn.ConnectRequestedAt = f.Mono(f.start);
    f.TickAt(f.start + 61 * Second);
    EXPECT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_TRUE(f.programs.runs.empty());
    EXPECT_TRUE(f.sound.played.empty());
}

TEST(Tick, ValueThatIsNoNumberSwitchesOffOnlyItsOwnStep) {
    {
        SCOPED_TRACE("SoundAfterMinutes");
        TickMonitor f;
        f.m.s.settings.SoundAfterMinutes = "";
        f.m.s.settings.SoundAfterFile = "a.wav";
        f.m.s.settings.AutoDisconnect = true;
        f.m.s.settings.DisconnectTime = "09:10";
        f.LineUp(f.start);
        f.m.s.conn.ConnectedPort = 1;
        f.otherWindows.open = {{UtilityWindows[0], 1}, {UtilityWindows[1], 2}};
        f.TickAt(f.start + 600 * Second);
        EXPECT_EQ(f.m.view.Panel.Caption, "00:10:00");
        EXPECT_TRUE(f.sound.played.empty());
        EXPECT_EQ(f.otherWindows.closed, (std::vector<WindowHandle>{1, 2}));
        EXPECT_EQ(f.RouterSends(), Datagrams{f.Disconnect(1)});
    }
    {
        SCOPED_TRACE("ConnectTimeout");
        TickMonitor f;
        f.m.s.settings.ConnectTimeout = "30分";
        f.m.s.settings.SoundAfterMinutes = "1";
        f.m.s.settings.SoundAfterFile = "a.wav";
        f.LineUp(f.start);
        f.m.s.conn.ConnectPending = true;
        f.m.s.conn.ConnectRequestedAt = f.Mono(f.start);
        f.TickAt(f.start + 61 * Second);
        EXPECT_TRUE(f.dialogs.messages.empty());
        EXPECT_EQ(f.sound.played, (std::vector<std::string>{"a.wav"}));
    }
}

TEST(Tick, ATimeOutWithoutOneSyslogDatagramSinceTheStartNamesTheFirewall) {
    TickMonitor f;
    f.clock.now = f.start;
    f.Run(ShowConnected(f.m));
    f.clock.monotonic = f.Mono(f.start + 61 * Second);
    f.Run(OnTick(f.m));
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_TRUE(f.dialogs.messages[0].starts_with(TimedOut));
    EXPECT_NE(f.dialogs.messages[0].find("起動してから一度もsyslogが届いていません。Windows ファイアウォール"),
              std::string::npos);
    EXPECT_NE(f.dialogs.messages[0].find("「何も表示されないとき」"), std::string::npos);

    // Any datagram on the syslog port, even one that means nothing or comes
    // from a sender the monitor refuses, shows the way is open.
    f.dialogs.messages.clear();
    f.m.s.settings.RouterSendersOnly = true;
    f.Run(OnSyslogDatagram(f.m, 1, "x", "192.168.0.77", f.clock.now));
    f.Run(ShowConnected(f.m));
    f.clock.monotonic = f.Mono(f.start + 200 * Second);
    f.Run(OnTick(f.m));
    EXPECT_EQ(f.dialogs.messages, (std::vector<std::string>{TimedOut}));
}

TEST(Tick, TimeOutComesOneSecondAfterTheLimitWhateverThePcsClockDoes) {
    TickMonitor f;
    f.clock.now = f.start;
    f.Run(ShowConnected(f.m));
    f.m.s.conn.SyslogHeard = true;
    // The PC's clock jumps an hour ahead: no false failure.
    f.clock.now = f.start + 3600 * Second;
    f.clock.monotonic = f.Mono(f.start + 60 * Second);
    f.Run(OnTick(f.m));
    EXPECT_TRUE(f.dialogs.messages.empty());
    // And back two hours: the time-out is not late.
    f.clock.now = f.start - 3600 * Second;
    f.clock.monotonic = f.Mono(f.start + 61 * Second);
    f.Run(OnTick(f.m));
    EXPECT_EQ(f.dialogs.messages, (std::vector<std::string>{TimedOut}));
}

TEST(Tick, AConnectMadeWhileTheTimeOutBoxIsOpenKeepsItsOwnTimeOut) {
    TickMonitor f;
    f.clock.now = f.start;
    f.Run(ShowConnected(f.m));
    // The user picks 接続 while the failure is still on screen.
    f.dialogs.whileOpen = [&] { f.Run(ConnectPort1(f.m)); };
    f.TickAt(f.start + 61 * Second);
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_TRUE(f.m.s.conn.ConnectPending);
    EXPECT_TRUE(f.m.view.Panel.Shown);
    f.dialogs.whileOpen = nullptr;
    f.TickAt(f.start + 123 * Second);
    EXPECT_EQ(f.dialogs.messages.size(), 2u);
}

TEST(Tick, SetupUtilityMainWindowClosedWhileItsApplicationWindowClosesIsNotClosedAgain) {
    TickMonitor f;
    f.otherWindows.open = {{UtilityWindows[0], 1}, {UtilityWindows[1], 2}};
    // The user's 切断 runs while the application window closes and closes the rest.
    f.nested.events = [&] { f.Run(DisconnectPort1(f.m)); };
    f.TickAt(f.start);
    EXPECT_EQ(f.otherWindows.closed, (std::vector<WindowHandle>{1, 2}));
}

TEST(Tick, SetupUtilityLeftOpenIsClosedUnlessItsSettingsWindowIsOpen) {
    TickMonitor f;
    for (std::size_t i = 0; i < 8; ++i) f.otherWindows.open[UtilityWindows[i]] = i + 1;
    f.TickAt(f.start);
    // The first variant's settings window is open; the other two share theirs, which is
    // open too, so nothing is closed.
    EXPECT_TRUE(f.otherWindows.closed.empty());

    f.otherWindows.open.erase(UtilityWindows[5]);
    f.TickAt(f.start + 2 * Second);
    EXPECT_EQ(f.otherWindows.closed, (std::vector<WindowHandle>{4, 5, 7, 8}));
    EXPECT_EQ(f.otherWindows.open.size(), 3u);
}

TEST(Schedule, ConnectFiresOnceInItsMinuteAndAgainTheNextDay) {
    TickMonitor f;
    f.ScheduleConnect("07:05");
    const DateTime day = At(2003, 1, 2, 7, 4, 51);
    const auto hits = f.TicksWhere(day, day + 140 * Second, [&] { return f.Count(f.Connect(1)) > 0; });
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_NEAR(hits[0], At(2003, 1, 2, 7, 5, 1), Second / 10);
    EXPECT_EQ(f.Count(f.Connect(1)), 1u);

    // The connect timed out and no scheduled disconnect came: the next day's 07:05 connects again.
    f.Unanswered();
    f.TickAt(At(2003, 1, 3, 7, 4, 59));
    f.TickAt(At(2003, 1, 3, 7, 5, 1));
    EXPECT_EQ(f.Count(f.Connect(1)), 2u);
}

TEST(Schedule, BothOnADayWithoutTheScheduledDisconnectKeepsTheDailyConnect) {
    TickMonitor f;
    f.ScheduleConnect("07:05");
    f.ScheduleDisconnect("18:00");
    for (int day = 2; day <= 4; ++day) {
        f.TickAt(At(2003, 1, day, 7, 5, 1));
        // The user disconnected before 18:00 each day.
        f.Unanswered();
        f.TickAt(At(2003, 1, day, 18, 0, 1));
    }
    EXPECT_EQ(f.Count(f.Connect(1)), 3u);
    EXPECT_EQ(f.Count(f.Disconnect(1)), 0u);
}

TEST(Schedule, ConnectIsSkippedWhileAPortIsMarkedAndTriedOnALaterDay) {
    TickMonitor f;
    f.ScheduleConnect("07:05");
    f.m.s.conn.ConnectedPort = 2;
    f.TickAt(At(2003, 1, 2, 7, 5, 1));
    EXPECT_TRUE(f.RouterSends().empty());
    EXPECT_TRUE(f.m.s.schedule.ConnectArmed);

    f.m.s.conn.ConnectedPort = 0;
    f.TickAt(At(2003, 1, 3, 7, 5, 1));
    EXPECT_EQ(f.Count(f.Connect(1)), 1u);
}

TEST(Schedule, ConnectAndDisconnectAlternateAcrossMidnight) {
    TickMonitor f;
    f.ScheduleConnect("23:59");
    f.ScheduleDisconnect("00:01");
    for (int day = 2; day <= 3; ++day) {
        f.TickAt(At(2003, 1, day, 23, 59, 30));
        f.LineUp(f.clock.now);
        f.TickAt(At(2003, 1, day + 1, 0, 0, 30));
        f.TickAt(At(2003, 1, day + 1, 0, 1, 30));
        f.m.s.conn.Online = false;
    }
    EXPECT_EQ(f.Count(f.Connect(1)), 2u);
    EXPECT_EQ(f.Count(f.Disconnect(1)), 2u);
    EXPECT_TRUE(f.m.s.schedule.ConnectArmed);
    EXPECT_FALSE(f.m.s.schedule.DisconnectArmed);
}

TEST(Schedule, DisconnectChoosesThePortByMode) {
    struct Case {
        const char* name;
        bool twoPorts, multiAccount;
        std::int16_t port;
        int expectedPort;  // 0: nothing sent
    };
    for (const Case& c : {Case{"port 1", false, false, 1, 1}, Case{"port 2", true, false, 2, 2},
                          Case{"none marked", true, false, 0, 0}, Case{"multi-account", false, true, 0, 1}}) {
        SCOPED_TRACE(c.name);
        TickMonitor f;
        if (c.twoPorts) f.TwoPorts();
        if (c.multiAccount) f.MultiAccount();
        f.m.s.settings.AutoDisconnect = true;
        f.m.s.settings.DisconnectTime = "12:30";
        f.LineUp(f.start);
        f.m.s.conn.ConnectedPort = c.port;
        f.TickAt(At(2003, 1, 2, 12, 30, 0));
        EXPECT_EQ(f.RouterSends(), c.expectedPort ? Datagrams{f.Disconnect(c.expectedPort)} : Datagrams{});
        EXPECT_FALSE(f.m.s.schedule.DisconnectArmed);
        EXPECT_TRUE(f.m.s.schedule.ConnectArmed);
    }
}

TEST(Schedule, ConnectRefusedByTheSettingsWindowStillDisarms) {
    TickMonitor f;
    f.ScheduleConnect("07:05");
    f.otherWindows.open[UtilityWindows[2]] = 9;
    f.TickAt(At(2003, 1, 2, 7, 5, 0));
    EXPECT_EQ(f.dialogs.messages, (std::vector<std::string>{"Routavistaの設定中は接続できません。"}));
    EXPECT_TRUE(f.RouterSends().empty());
    EXPECT_FALSE(f.m.s.schedule.ConnectArmed);
}

TEST(Schedule, TicksDuringTheConnectsWaitDoNotConnectAgain) {
    TickMonitor f;
    f.ScheduleConnect("07:05");
    auto acknowledge = f.net.onSend;
    f.net.onSend = [&](const SentDatagram& d) {
        f.steps.queued.push_back([&] { f.Run(OnTick(f.m)); });
        acknowledge(d);
    };
    f.TickAt(At(2003, 1, 2, 7, 5, 0));
    EXPECT_EQ(f.Count(f.Connect(1)), 1u);
    EXPECT_EQ(f.Count(f.Clock()), 1u);
}

}  // namespace
}  // namespace rm::test
