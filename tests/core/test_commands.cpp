#include <gtest/gtest.h>

#include "fakes.h"
#include "monitor/commands.h"

namespace rm::test {
namespace {

TEST(MenuCommands, GeneralItemsReachTheirWindows) {
    FakeMonitor f;
    MenuClick(f.m, Item::syslog1);
    MenuClick(f.m, Item::help_n1);
    MenuClick(f.m, Item::N13);
    MenuClick(f.m, Item::Exit1);
    EXPECT_EQ(f.windows.viewerShown, 1);
    EXPECT_EQ(f.windows.helpOpened, std::vector<std::filesystem::path>{f.dir.path() / "RMonitor.hlp"});
    EXPECT_EQ(f.windows.closeRequests, 1);
}

TEST(MenuCommands, AboutItemIsDisabledWhileTheWindowIsOpen) {
    FakeMonitor f;
    bool enabledWhileOpen = true;
    f.windows.whileAboutOpen = [&] { enabledWhileOpen = f.m.view.Menu[Item::openver_n1].Enabled; };
    MenuClick(f.m, Item::openver_n1);
    EXPECT_EQ(f.windows.aboutShown, 1);
    EXPECT_FALSE(enabledWhileOpen);
    EXPECT_TRUE(f.m.view.Menu[Item::openver_n1].Enabled);

    f.windows.whileAboutOpen = [] { throw std::runtime_error("no window"); };
    EXPECT_THROW(MenuClick(f.m, Item::openver_n1), std::runtime_error);
    EXPECT_TRUE(f.m.view.Menu[Item::openver_n1].Enabled);
}

}  // namespace
}  // namespace rm::test
