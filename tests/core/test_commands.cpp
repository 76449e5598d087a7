#include <gtest/gtest.h>

#include "fakes.h"
#include "app/commands.h"

namespace rm::test {
namespace {

TEST(MenuCommands, GeneralItemsReachTheirWindows) {
    FakeMonitor f;
    f.Run(MenuClick(f.m, Item::ShowSyslog));
    f.Run(MenuClick(f.m, Item::HiddenTest));
    f.Run(MenuClick(f.m, Item::Exit));
    EXPECT_TRUE(f.m.view.Viewer.Shown);
    EXPECT_EQ(f.m.view.Viewer.Raised, 1);
    EXPECT_TRUE(f.m.view.ExitRequested);
}

TEST(MenuCommands, HelpIsTheWinHelpFileWhereItIsShownOtherwiseTheOwnPage) {
    FakeMonitor f;
    f.programs.windowsVersion = {6, 3, 9600};  // 8.1, with WinHelp downloaded
    f.Run(MenuClick(f.m, Item::OpenHelp));
    EXPECT_TRUE(f.programs.helpOpened.empty());
    EXPECT_EQ(f.programs.helpPagesOpened, 1);

    WriteBytes(f.dir.path() / "RMonitor.hlp", "?_");
    f.Run(MenuClick(f.m, Item::OpenHelp));
    EXPECT_EQ(f.programs.helpOpened, std::vector<std::filesystem::path>{f.dir.path() / "RMonitor.hlp"});
    EXPECT_EQ(f.programs.helpPagesOpened, 1);

    // WinHelp was not downloaded.
    f.programs.helpViewerThere = false;
    f.Run(MenuClick(f.m, Item::OpenHelp));
    EXPECT_EQ(f.programs.helpOpened.size(), 2u);
    EXPECT_EQ(f.programs.helpPagesOpened, 2);
}

TEST(MenuCommands, HelpOnWindows10And11IsTheOwnPageWhateverLiesBesideTheProgram) {
    FakeMonitor f;
    WriteBytes(f.dir.path() / "RMonitor.hlp", "?_");
    for (const WindowsVersion version : {WindowsVersion{10, 0, 10240}, WindowsVersion{10, 0, 22631}}) {
        f.programs.windowsVersion = version;
        f.Run(MenuClick(f.m, Item::OpenHelp));
    }
    EXPECT_TRUE(f.programs.helpOpened.empty());
    EXPECT_EQ(f.programs.helpPagesOpened, 2);

    f.programs.windowsVersion = {6, 1, 7601};
    f.Run(MenuClick(f.m, Item::OpenHelp));
    EXPECT_EQ(f.programs.helpOpened, std::vector<std::filesystem::path>{f.dir.path() / "RMonitor.hlp"});
    EXPECT_EQ(f.programs.helpPagesOpened, 2);
}

TEST(MenuCommands, AboutItemIsDisabledWhileTheWindowIsOpen) {
    FakeMonitor f;
    bool enabledWhileOpen = true;
    f.dialogs.whileAboutOpen = [&] { enabledWhileOpen = f.m.view.Menu[Item::ShowVersion].Enabled; };
    f.Run(MenuClick(f.m, Item::ShowVersion));
    EXPECT_EQ(f.dialogs.aboutShown, 1);
    EXPECT_FALSE(enabledWhileOpen);
    EXPECT_TRUE(f.m.view.Menu[Item::ShowVersion].Enabled);

    f.dialogs.whileAboutOpen = [] { throw std::runtime_error("no window"); };
    EXPECT_THROW(f.Run(MenuClick(f.m, Item::ShowVersion)), std::runtime_error);
    EXPECT_TRUE(f.m.view.Menu[Item::ShowVersion].Enabled);
}

TEST(MenuCommands, AboutWindowOpenedAgainFromInsideLeavesTheItemDisabledUntilTheFirstCloses) {
    FakeMonitor f;
    bool enabledAfterSecond = true;
    f.dialogs.whileAboutOpen = [&] {
        if (f.dialogs.aboutShown > 1) return;
        f.Run(MenuClick(f.m, Item::ShowVersion));
        enabledAfterSecond = f.m.view.Menu[Item::ShowVersion].Enabled;
    };
    f.Run(MenuClick(f.m, Item::ShowVersion));
    EXPECT_EQ(f.dialogs.aboutShown, 2);
    EXPECT_FALSE(enabledAfterSecond);
    EXPECT_TRUE(f.m.view.Menu[Item::ShowVersion].Enabled);
}

}  // namespace
}  // namespace rm::test
