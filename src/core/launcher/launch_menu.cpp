#include "launcher/launch_menu.h"

#include "launcher/launch_entry.h"

namespace rm {

void RefreshLaunchMenu(Monitor& m) {
    bool any = false;
    for (int i = 1; i <= 6; ++i) {
        MenuItem& item = m.view.Menu[LauncherItem(i)];
        const std::string& title = m.s.launcher.LaunchEntries[i - 1].Title;
        item.Visible = !title.empty();
        if (item.Visible) item.Caption = title;
        any = any || item.Visible;
    }
    // The separator under the launcher items; alone at the top it would only look broken.
    m.view.Menu[Item::SeparatorAfterLaunchers].Visible = any;
}

Task<> Launch1(Monitor& m) { co_await LaunchEntry(m, 1); }
Task<> Launch2(Monitor& m) { co_await LaunchEntry(m, 2); }
Task<> Launch3(Monitor& m) { co_await LaunchEntry(m, 3); }
Task<> Launch4(Monitor& m) { co_await LaunchEntry(m, 4); }
Task<> Launch5(Monitor& m) { co_await LaunchEntry(m, 5); }
Task<> Launch6(Monitor& m) { co_await LaunchEntry(m, 6); }

}  // namespace rm
