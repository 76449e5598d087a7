#include "app/commands.h"

#include "help.h"
#include "menu_window.h"

#include "form/settings_form.h"
#include "lan/history_transfer.h"
#include "lan/memos.h"
#include "launcher/launch_menu.h"
#include "router/connect_commands.h"
#include "text/files.h"
#include "watch/window_watch.h"
#include "waits.h"

namespace rm {

void Exit1Click(Monitor& m) { m.view.ExitRequested = true; }

void syslog1Click(Monitor& m) {
    m.view.Viewer.Shown = true;
    ++m.view.Viewer.Raised;
}

void RMVClick(Monitor& m) {
    m.ports.Programs.RunProgram(PathText(m.s.AppDir / "RMView.exe"), "", PathText(m.s.AppDir), ShowMode::Show);
}

void help_n1Click(Monitor& m) { ShowHelp(m); }

void openver_n1Click(Monitor& m) {
    const MenuWindow window(m.view.Menu, Item::openver_n1);
    m.ports.Dialogs.ShowAbout();
}

void N13Click(Monitor&) {}

void Panel1Dragged(Monitor& m, int left, int top) {
    m.s.panel = {left, top};
    SaveSettingsUnseen(m);
}

Task<> MenuClick(Monitor& m, Item item) {
    switch (item) {
    case Item::Exit1: Exit1Click(m); break;
    case Item::syslog1: syslog1Click(m); break;
    case Item::RMV: RMVClick(m); break;
    case Item::help_n1: help_n1Click(m); break;
    case Item::openver_n1: openver_n1Click(m); break;
    case Item::N13: N13Click(m); break;
    case Item::option_n1: option_n1Click(m); break;
    case Item::N1: co_await N1Click(m); break;
    case Item::N2: co_await N2Click(m); break;
    case Item::N10: co_await N10Click(m); break;
    case Item::N11: co_await N11Click(m); break;
    case Item::ISP3: co_await ISP3Click(m); break;
    case Item::N3: co_await N3Click(m); break;
    case Item::IP1: IP1Click(m); break;
    case Item::N4: N4Click(m); break;
    case Item::L11: co_await L11Click(m); break;
    case Item::L21: co_await L21Click(m); break;
    case Item::L31: co_await L31Click(m); break;
    case Item::L41: co_await L41Click(m); break;
    case Item::L51: co_await L51Click(m); break;
    case Item::L61: co_await L61Click(m); break;
    case Item::memosend: co_await memosendClick(m); break;
    case Item::logCon: co_await logConClick(m); break;
    default: break;
    }
}

}  // namespace rm
