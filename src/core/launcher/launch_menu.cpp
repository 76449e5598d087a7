#include "launcher/launch_menu.h"

namespace rm {

void RefreshLaunchMenu(Monitor& m) {
    for (int i = 1; i <= 6; ++i) {
        MenuItem& item = m.view.Menu[LauncherItem(i)];
        const std::string& title = m.s.launcher.LaunchEntries[i - 1].Title;
        item.Visible = !title.empty();
        if (item.Visible) item.Caption = title;
    }
}

}  // namespace rm
