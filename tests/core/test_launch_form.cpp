#include <gtest/gtest.h>

#include "fakes.h"
#include "launcher/launch_form.h"

namespace rm::test {
namespace {

TEST(LaunchEntryDialog, ANeverSetEntryShowsOnInBothListsAndRegistersOn) {
    FakeMonitor f;
    f.dialogs.onLaunchEntryDialog = [](LaunchForm&) { return true; };
    OpenLaunchEntry(f.m, 4, "メール");
    ASSERT_EQ(f.dialogs.launchForms.size(), 1u);
    const LaunchForm& shown = f.dialogs.launchForms[0];
    EXPECT_EQ(shown.Title, "メール");
    EXPECT_TRUE(shown.StartOnConnect);
    EXPECT_TRUE(shown.CloseOnDisconnect);
    const LaunchEntryTexts& entry = f.m.s.launcher.LaunchEntries[3];
    EXPECT_EQ(entry.Title, "メール");
    EXPECT_EQ(entry.StartOnConnect, "on");
    EXPECT_EQ(entry.CloseOnDisconnect, "on");
}

TEST(LaunchEntryDialog, ShowsTheEntryAndRegistersWhatWasEntered) {
    FakeMonitor f;
    f.m.s.launcher.LaunchEntries[1] = {"old", "C:\\old.exe", "-a", "C:\\work", "off", "On"};
    f.dialogs.onLaunchEntryDialog = [](LaunchForm& form) {
        form.ProgramFile = "D:\\ツール\\new.exe";
        form.Arguments = "";
        form.StartOnConnect = true;
        form.CloseOnDisconnect = false;
        return true;
    };
    OpenLaunchEntry(f.m, 2, "新しい名前");
    const LaunchForm& shown = f.dialogs.launchForms.at(0);
    EXPECT_EQ(shown.ProgramFile, "C:\\old.exe");
    EXPECT_EQ(shown.Arguments, "-a");
    EXPECT_EQ(shown.WorkFolder, "C:\\work");
    EXPECT_FALSE(shown.StartOnConnect);
    EXPECT_TRUE(shown.CloseOnDisconnect);  // anything but exactly "off" shows "on"
    EXPECT_EQ(f.m.s.launcher.LaunchEntries[1],
              (LaunchEntryTexts{"新しい名前", "D:\\ツール\\new.exe", "", "C:\\work", "on", "off"}));
}

TEST(LaunchEntryDialog, ClosedAnyOtherWayTheEntryKeepsItsValues) {
    FakeMonitor f;
    f.m.s.launcher.LaunchEntries[0] = {"old", "C:\\old.exe", "", "", "On", ""};
    f.dialogs.onLaunchEntryDialog = [](LaunchForm& form) {
        form.ProgramFile = "typed but not registered";
        return false;
    };
    OpenLaunchEntry(f.m, 1, "new title");
    EXPECT_EQ(f.dialogs.launchForms.size(), 1u);
    EXPECT_EQ(f.m.s.launcher.LaunchEntries[0], (LaunchEntryTexts{"old", "C:\\old.exe", "", "", "On", ""}));
}

TEST(LaunchEntryDialog, AnEmptyTitleIsRefusedWithoutOpeningTheDialog) {
    FakeMonitor f;
    f.m.s.launcher.LaunchEntries[5].ProgramFile = "C:\\x.exe";
    OpenLaunchEntry(f.m, 6, "");
    EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{"タイトルが指定されていません"});
    EXPECT_TRUE(f.dialogs.launchForms.empty());
    EXPECT_EQ(f.m.s.launcher.LaunchEntries[5].ProgramFile, "C:\\x.exe");
}

}  // namespace
}  // namespace rm::test
