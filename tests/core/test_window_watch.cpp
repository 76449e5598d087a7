#include <gtest/gtest.h>

#include "app/commands.h"
#include "display/display.h"
#include "router/utility_windows.h"
#include "test_command_support.h"
#include "timer/timer.h"
#include "watch/window_watch.h"

namespace rm::test {
namespace {

constexpr WindowHandle Download = 50;

TopWindow Dialog(WindowHandle handle, std::string title, std::string owner = {}) {
    return {handle, std::move(title), "#32770", !owner.empty(), std::move(owner), true};
}

TopWindow Terminal(WindowHandle handle, std::string title, bool visible = true, bool owned = false) {
    return {handle, std::move(title), "TNifTermForm", owned, owned ? "owner" : "", visible};
}

// Online on port 1 with the watch armed by the user.
struct WatchMonitor : CommandMonitor {
    WatchMonitor() {
        m.s.conn.Online = true;
        m.s.conn.ConnectedPort = 1;
        m.view.Panel.Shown = true;
        m.view.Menu[Item::DisconnectAfterDownload].Enabled = true;
    }
    bool Armed() const { return m.view.Menu[Item::DisconnectAfterDownload].Checked; }
    void Arm() {
        Run(MenuClick(m, Item::DisconnectAfterDownload));
        ASSERT_TRUE(Armed());
    }
    void Tick() {
        clock.Advance(2000);
        Run(OnTick(m));
    }
};

TEST(DownloadWatch, ArmingNeedsADownloadWindowAndShowsItInRed) {
    WatchMonitor f;
    f.otherWindows.tops = {Dialog(1, "45% コピーしました", "x"), {2, "50% コピーしました", "Other", false, "", true}};
    f.Run(MenuClick(f.m, Item::DisconnectAfterDownload));
    EXPECT_TRUE(f.Armed());
    EXPECT_EQ(f.m.view.Panel.Colour, FontColour::Red);
    EXPECT_EQ(f.m.s.watch.DownloadMarks, "1");

    f.Run(MenuClick(f.m, Item::DisconnectAfterDownload));
    EXPECT_FALSE(f.Armed());
    EXPECT_EQ(f.m.view.Panel.Colour, FontColour::WindowText);
    EXPECT_TRUE(f.dialogs.messages.empty());

    // Only dialogs count, and only the listed titles.
    f.otherWindows.tops = {{2, "50% コピーしました", "Other", false, "", true}, Dialog(3, "場所を保存中 (1)"),
                           Terminal(4, "NifTerm", true)};
    f.otherWindows.children[4] = {{"BYE", false}};
    f.Run(MenuClick(f.m, Item::DisconnectAfterDownload));
    EXPECT_FALSE(f.Armed());
    EXPECT_EQ(f.dialogs.messages, (std::vector<std::string>{"対象を見つけられませんでした"}));
    EXPECT_EQ(f.m.view.Panel.Colour, FontColour::WindowText);
}

TEST(DownloadWatch, EachPhraseOfADialogTitleLeavesAMark) {
    WatchMonitor f;
    f.otherWindows.tops = {Dialog(1, "コピーしました 完了しました"), Dialog(2, "ダウンロードが完了しました")};
    EXPECT_TRUE(DownloadRunning(f.m));
    EXPECT_EQ(f.m.s.watch.DownloadMarks, "111");
    f.otherWindows.tops.clear();
    EXPECT_FALSE(DownloadRunning(f.m));
    EXPECT_EQ(f.m.s.watch.DownloadMarks, "");
}

TEST(DownloadWatch, WindowsWithTheExactTitlesCount) {
    for (const char* title : {"場所を保存中", "Saving Location", "ファイルのダウンロード"}) {
        SCOPED_TRACE(title);
        WatchMonitor f;
        f.otherWindows.tops = {{7, title, "AnyClass", false, "", false}};
        EXPECT_TRUE(DownloadRunning(f.m));
    }
}

TEST(DownloadWatch, LineStaysUpWhileTheDialogIsThereAndIsCutAtTheNextTickAfter) {
    WatchMonitor f;
    f.otherWindows.tops = {Dialog(1, "12% コピーしました")};
    f.Arm();
    f.Tick();
    f.Tick();
    EXPECT_TRUE(f.RouterSends().empty());
    EXPECT_TRUE(f.Armed());

    f.otherWindows.tops.clear();
    f.Tick();
    EXPECT_EQ(f.RouterSends(), Datagrams{f.Disconnect(1)});
    EXPECT_FALSE(f.Armed());
    f.Tick();
    EXPECT_EQ(f.RouterSends().size(), 1u);
}

TEST(DownloadWatch, TerminalKeepsTheLineWhileItsByeButtonShows) {
    WatchMonitor f;
    f.otherWindows.tops = {Terminal(4, "NifTerm - host")};
    f.otherWindows.children[4] = {{"", true}, {"接続", true}, {"BYE", true}, {"BYE", false}};
    f.Arm();
    EXPECT_TRUE(f.m.s.watch.NifTermOnline);
    f.Tick();
    EXPECT_TRUE(f.RouterSends().empty());

    f.otherWindows.children[4][2].Visible = false;
    f.Tick();
    EXPECT_FALSE(f.m.s.watch.NifTermOnline);
    EXPECT_EQ(f.RouterSends(), Datagrams{f.Disconnect(1)});
}

TEST(DownloadWatch, HiddenOrOwnedTerminalsAreNotLookedAtAndAClosedOneIsOffline) {
    WatchMonitor f;
    f.otherWindows.tops = {Terminal(4, "NifTerm", false), Terminal(5, "NifTerm", true, true)};
    f.otherWindows.children[4] = f.otherWindows.children[5] = {{"BYE", true}};
    EXPECT_FALSE(DownloadRunning(f.m));

    f.otherWindows.tops = {Terminal(6, "NifTerm")};
    f.otherWindows.children[6] = {{"BYE", true}};
    f.Arm();
    // Closed while its BYE showed: no transfer is left, so the line is cut.
    f.otherWindows.tops.clear();
    f.Tick();
    EXPECT_FALSE(f.Armed());
    EXPECT_FALSE(f.RouterSends().empty());
    // And the next arming finds nothing to wait for.
    f.m.view.Menu[Item::DisconnectAfterDownload].Enabled = true;
    DisconnectAfterDownload(f.m);
    EXPECT_FALSE(f.Armed());
    EXPECT_EQ(f.dialogs.messages.back(), "対象を見つけられませんでした");
}

TEST(DownloadWatch, ThePanelIsRedExactlyWhileTheWatchIsArmed) {
    WatchMonitor f;
    f.otherWindows.tops = {Dialog(1, "コピーしました")};
    f.Arm();
    EXPECT_EQ(f.m.view.Panel.Colour, FontColour::Red);
    // Another port's connect line unchecks the watch.
    f.Run(ShowConnected(f.m));
    EXPECT_FALSE(f.Armed());
    EXPECT_EQ(f.m.view.Panel.Colour, FontColour::WindowText);
    // A disconnect on its way keeps its blue when the watch goes.
    f.Arm();
    f.m.view.Panel.Colour = FontColour::Blue;
    DisconnectAfterDownload(f.m);
    EXPECT_EQ(f.m.view.Panel.Colour, FontColour::Blue);
}

TEST(DownloadWatch, StrayDialogsOfTheDownloadWindowAreClosedButSaveAsIsLeft) {
    WatchMonitor f;
    f.otherWindows.tops = {{Download, "ファイルのダウンロード", "#32770", false, "", true},
                           Dialog(51, "ﾌｧｲﾙ名を付けて保存", "ファイルのダウンロード"),
                           Dialog(52, "セキュリティの警告", "ファイルのダウンロード"),
                           {53, "確認", "OtherClass", true, "ファイルのダウンロード", true},
                           Dialog(54, "確認", "メモ帳")};
    f.Arm();
    EXPECT_TRUE(f.otherWindows.closed.empty());
    f.Tick();
    EXPECT_EQ(f.otherWindows.closed, (std::vector<WindowHandle>{52}));
    EXPECT_TRUE(f.RouterSends().empty());
}

TEST(DownloadWatch, SetupUtilityIsClosedBeforeTheDisconnect) {
    WatchMonitor f;
    // The ninth title is the same as the sixth.
    for (std::size_t i = 0; i < 8; ++i) f.otherWindows.open[UtilityWindows[i]] = 100 + i;
    f.otherWindows.tops = {Dialog(1, "コピーしました")};
    f.Arm();
    f.otherWindows.tops.clear();
    std::size_t closedAtSend = 0;
    auto acknowledge = f.net.onSend;
    f.net.onSend = [&](const SentDatagram& d) {
        closedAtSend = f.otherWindows.closed.size();
        acknowledge(d);
    };
    f.Tick();
    EXPECT_EQ(f.otherWindows.closed, (std::vector<WindowHandle>{100, 101, 102, 103, 104, 105, 106, 107}));
    EXPECT_EQ(closedAtSend, 8u);
    EXPECT_EQ(f.RouterSends(), Datagrams{f.Disconnect(1)});
    EXPECT_TRUE(f.dialogs.messages.empty());

    // No port marked connected: nothing goes to the router, but the utility's windows still go.
    WatchMonitor unmarked;
    for (std::size_t i = 0; i < 8; ++i) unmarked.otherWindows.open[UtilityWindows[i]] = 200 + i;
    unmarked.otherWindows.tops = {Dialog(1, "コピーしました")};
    unmarked.Arm();
    unmarked.otherWindows.tops.clear();
    unmarked.m.s.conn.ConnectedPort = 0;
    unmarked.Tick();
    EXPECT_EQ(unmarked.otherWindows.closed, (std::vector<WindowHandle>{200, 201, 202, 203, 204, 205, 206, 207}));
    EXPECT_FALSE(unmarked.Armed());
}

TEST(DownloadWatch, DisconnectFollowsTheModeAndRunsOnlyWhileOnline) {
    WatchMonitor twoPorts;
    twoPorts.TwoPorts();
    twoPorts.m.s.conn.ConnectedPort = 2;
    twoPorts.otherWindows.tops = {Dialog(1, "コピーしました")};
    twoPorts.Arm();
    twoPorts.otherWindows.tops.clear();
    twoPorts.Tick();
    EXPECT_EQ(twoPorts.RouterSends(), Datagrams{twoPorts.Disconnect(2)});

    WatchMonitor multi;
    multi.MultiAccount();
    multi.m.s.conn.ConnectedPort = 0;
    multi.otherWindows.tops = {Dialog(1, "コピーしました")};
    multi.Arm();
    multi.otherWindows.tops.clear();
    multi.m.s.conn.Online = false;
    multi.Tick();
    EXPECT_TRUE(multi.Armed());
    multi.m.s.conn.Online = true;
    multi.Tick();
    EXPECT_EQ(multi.RouterSends(), Datagrams{multi.Disconnect(1)});
}

}  // namespace
}  // namespace rm::test
