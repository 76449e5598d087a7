#include <gtest/gtest.h>

#include "fakes.h"
#include "app/commands.h"
#include "display/display.h"

namespace rm::test {
namespace {

constexpr WindowHandle WatcherWindow = 77;
constexpr const char* WatcherPath = "C:\\Tools\\DW\\dwctrl32.exe";

// A line that is up, as the syslog and the commands leave it.
void MakeOnline(FakeMonitor& f) {
    Monitor& m = f.m;
    f.Run(ShowConnected(m));
    m.s.conn.Online = true;
    m.s.conn.ConnectedPort = 1;
    m.s.conn.ConnectedIsp = 2;
    m.view.Panel.Caption = "00:01:02";
    m.view.Panel.Hint = "203.0.113.9";
    m.view.Panel.Colour = FontColour::Blue;
    m.view.Tray.Tip = "ISP2 115200bpsで接続中";
    m.view.Menu[Item::DisconnectAfterDownload].Checked = true;
    m.view.Menu[Item::CopyAddress].Enabled = true;
    for (Item item :
         {Item::ConnectPort1, Item::DisconnectPort1, Item::ConnectPort2, Item::DisconnectPort2, Item::ConnectIsp3})
        m.view.Menu[item].Enabled = false;
}

TEST(StatusDisplay, ShowConnectedShowsThePanelAndArmsTheTimeOut) {
    FakeMonitor f;
    f.m.view.Menu[Item::DisconnectAfterDownload].Checked = true;
    f.m.s.launcher.LaunchPending = false;
    f.m.s.conn.SoundAfterPending = false;
    f.Run(ShowConnected(f.m));

    EXPECT_TRUE(f.m.view.Panel.Shown);
    EXPECT_EQ(f.m.view.Panel.Caption, "未接続");
    EXPECT_EQ(f.m.view.Tray.Icon, TrayIconKind::Connected);
    EXPECT_EQ(f.m.view.Tray.Tip, AppTitle);
    EXPECT_TRUE(f.m.view.Menu[Item::DisconnectAfterDownload].Enabled);
    EXPECT_FALSE(f.m.view.Menu[Item::DisconnectAfterDownload].Checked);
    EXPECT_FALSE(f.m.view.Menu[Item::CopyAddress].Enabled);
    EXPECT_TRUE(f.m.s.launcher.LaunchPending);
    EXPECT_TRUE(f.m.s.conn.SoundAfterPending);
    EXPECT_TRUE(f.m.s.conn.ConnectPending);
    EXPECT_EQ(f.m.s.conn.ConnectRequestedAt, f.clock.monotonic);
    EXPECT_FALSE(f.m.s.conn.Online);
    // Without the tool nothing is started and nothing waits.
    EXPECT_TRUE(f.programs.runs.empty());
    EXPECT_TRUE(f.steps.waits.empty());
    EXPECT_FALSE(f.m.s.conn.DialUpWatcherLaunched);

    // A second connect restarts the time-out base.
    f.clock.now += 0.01;
    f.Run(ShowConnected(f.m));
    EXPECT_EQ(f.m.s.conn.ConnectRequestedAt, f.clock.monotonic);
}

TEST(StatusDisplay, ResetReturnsEverythingToIdle) {
    FakeMonitor f;
    MakeOnline(f);
    f.m.s.conn.ConnectPending = true;
    f.Run(MenuClick(f.m, Item::Reset));

    const PanelView& panel = f.m.view.Panel;
    EXPECT_FALSE(panel.Shown);
    EXPECT_EQ(panel.Caption, "未接続");
    EXPECT_EQ(panel.Hint, AppTitle);
    EXPECT_EQ(panel.Colour, FontColour::WindowText);
    EXPECT_EQ(f.m.view.Tray.Icon, TrayIconKind::Program);
    EXPECT_EQ(f.m.view.Tray.Tip, AppTitle);
    EXPECT_FALSE(f.m.view.Menu[Item::DisconnectAfterDownload].Enabled);
    EXPECT_FALSE(f.m.view.Menu[Item::DisconnectAfterDownload].Checked);
    EXPECT_FALSE(f.m.view.Menu[Item::CopyAddress].Enabled);
    EXPECT_TRUE(f.m.view.Menu[Item::ConnectPort1].Enabled);
    EXPECT_TRUE(f.m.view.Menu[Item::DisconnectPort1].Enabled);
    EXPECT_FALSE(f.m.s.conn.Online);
    EXPECT_EQ(f.m.s.conn.ConnectedPort, 0);
    EXPECT_EQ(f.m.s.conn.ConnectedIsp, 0);
    EXPECT_FALSE(f.m.s.conn.ConnectPending);
    // One port: the items of the other modes keep their state.
    EXPECT_FALSE(f.m.view.Menu[Item::ConnectPort2].Enabled);
    EXPECT_FALSE(f.m.view.Menu[Item::DisconnectPort2].Enabled);
    EXPECT_FALSE(f.m.view.Menu[Item::ConnectIsp3].Enabled);
    // Reset acts on the display only.
    EXPECT_TRUE(f.net.sent.empty());
    EXPECT_TRUE(f.programs.runs.empty());
}

TEST(StatusDisplay, ResetEnablesEveryConnectItemInTwoPortAndMultiAccountMode) {
    struct Mode {
        bool usePort2;
        bool multiAccount;
        bool enablesAll;
    };
    for (const Mode& mode : {Mode{true, false, true}, Mode{false, true, true}, Mode{false, false, false}}) {
        FakeMonitor f;
        f.m.s.settings.UsePort2 = mode.usePort2;
        f.m.s.settings.MultiAccount = mode.multiAccount;
        MakeOnline(f);
        f.Run(MenuClick(f.m, Item::Reset));
        for (Item item : {Item::ConnectPort2, Item::DisconnectPort2, Item::ConnectIsp3}) {
            EXPECT_EQ(f.m.view.Menu[item].Enabled, mode.enablesAll)
                << "UsePort2 " << mode.usePort2 << ", MultiAccount " << mode.multiAccount;
        }
        EXPECT_TRUE(f.m.view.Menu[Item::ConnectPort1].Enabled);
        EXPECT_TRUE(f.m.view.Menu[Item::DisconnectPort1].Enabled);
    }
}

struct DialUpWatcherDisplay : ::testing::Test {
    FakeMonitor f;
    DialUpWatcherDisplay() {
        f.m.s.settings.UseDialUpWatcher = true;
        f.m.s.settings.DialUpWatcherPath = WatcherPath;
    }
};

TEST_F(DialUpWatcherDisplay, AlreadyRunningIsNeitherStartedNorWaitedFor) {
    f.otherWindows.open["Dial-Up Watcher"] = WatcherWindow;
    f.Run(ShowConnected(f.m));
    EXPECT_TRUE(f.programs.runs.empty());
    EXPECT_TRUE(f.steps.waits.empty());
    EXPECT_FALSE(f.m.s.conn.DialUpWatcherLaunched);

    // Not started by this copy: Reset leaves it open.
    f.Run(MenuClick(f.m, Item::Reset));
    EXPECT_TRUE(f.otherWindows.closed.empty());
}

TEST_F(DialUpWatcherDisplay, MissingToolCostsTheWaitsAndIsStillMarkedLaunched) {
    bool shownBeforeStart = false;
    f.programs.onRun = [&](const FakePrograms::Run&) {
        shownBeforeStart = f.m.view.Panel.Shown && f.m.s.conn.ConnectPending;
    };
    f.Run(ShowConnected(f.m));

    ASSERT_EQ(f.programs.runs.size(), 1u);
    EXPECT_EQ(f.programs.runs[0],
              (FakePrograms::Run{"C:\\Tools\\DW\\DWATCH32.EXE", "", "C:\\Tools\\DW\\", ShowMode::Show}));
    EXPECT_TRUE(shownBeforeStart);
    std::vector<int> expected(21, 100);
    expected.push_back(600);
    EXPECT_EQ(f.steps.waits, expected);
    EXPECT_EQ(f.otherWindows.lookups, 1 + 21);
    EXPECT_TRUE(f.m.s.conn.DialUpWatcherLaunched);

    // Reset finds no window to close and clears the mark.
    f.Run(MenuClick(f.m, Item::Reset));
    EXPECT_TRUE(f.otherWindows.closed.empty());
    EXPECT_FALSE(f.m.s.conn.DialUpWatcherLaunched);
}

TEST_F(DialUpWatcherDisplay, StopsLookingOnceTheWindowAppears) {
    f.programs.onRun = [&](const FakePrograms::Run&) { f.otherWindows.open["Dial-Up Watcher"] = WatcherWindow; };
    f.Run(ShowConnected(f.m));
    EXPECT_EQ(f.steps.waits, std::vector<int>{600});
    EXPECT_TRUE(f.m.s.conn.DialUpWatcherLaunched);

    f.Run(MenuClick(f.m, Item::Reset));
    EXPECT_EQ(f.otherWindows.closed, std::vector<WindowHandle>{WatcherWindow});
    EXPECT_FALSE(f.m.s.conn.DialUpWatcherLaunched);
}

TEST_F(DialUpWatcherDisplay, ToolSwitchedOffMeanwhileKeepsItsWindowAndMark) {
    f.programs.onRun = [&](const FakePrograms::Run&) { f.otherWindows.open["Dial-Up Watcher"] = WatcherWindow; };
    f.Run(ShowConnected(f.m));
    f.m.s.settings.UseDialUpWatcher = false;
    f.Run(MenuClick(f.m, Item::Reset));
    EXPECT_TRUE(f.otherWindows.closed.empty());
    EXPECT_TRUE(f.m.s.conn.DialUpWatcherLaunched);
}

}  // namespace
}  // namespace rm::test
