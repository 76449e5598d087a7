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
    m.view.Menu[Item::N5].Visible = any;
}

void L11Click(Monitor& m) { LaunchEntry(m, 1); }
void L21Click(Monitor& m) { LaunchEntry(m, 2); }
void L31Click(Monitor& m) { LaunchEntry(m, 3); }
void L41Click(Monitor& m) { LaunchEntry(m, 4); }
void L51Click(Monitor& m) { LaunchEntry(m, 5); }
void L61Click(Monitor& m) { LaunchEntry(m, 6); }

}  // namespace rm
