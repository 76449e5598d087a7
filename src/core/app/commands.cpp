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

void Exit(Monitor& m) { m.view.ExitRequested = true; }

void ShowSyslog(Monitor& m) {
    m.view.Viewer.Shown = true;
    ++m.view.Viewer.Raised;
}

void ShowHistoryGraph(Monitor& m) {
    m.ports.Programs.RunProgram(PathText(m.s.AppDir / "RMView.exe"), "", PathText(m.s.AppDir), ShowMode::Show);
}

void OpenHelp(Monitor& m) { ShowHelp(m); }

void ShowVersion(Monitor& m) {
    const MenuWindow window(m.view.Menu, Item::ShowVersion);
    m.ports.Dialogs.ShowAbout();
}

void HiddenTest(Monitor&) {}

void PanelDragged(Monitor& m, int left, int top) {
    m.s.panel = {left, top};
    SaveSettingsUnseen(m);
}

Task<> MenuClick(Monitor& m, Item item) {
    switch (item) {
    case Item::Exit: Exit(m); break;
    case Item::ShowSyslog: ShowSyslog(m); break;
    case Item::ShowHistoryGraph: ShowHistoryGraph(m); break;
    case Item::OpenHelp: OpenHelp(m); break;
    case Item::ShowVersion: ShowVersion(m); break;
    case Item::HiddenTest: HiddenTest(m); break;
    case Item::OpenSettings: OpenSettings(m); break;
    case Item::ConnectPort1: co_await ConnectPort1(m); break;
    case Item::DisconnectPort1: co_await DisconnectPort1(m); break;
    case Item::ConnectPort2: co_await ConnectPort2(m); break;
    case Item::DisconnectPort2: co_await DisconnectPort2(m); break;
    case Item::ConnectIsp3: co_await ConnectIsp3(m); break;
    case Item::Reset: co_await Reset(m); break;
    case Item::CopyAddress: CopyAddress(m); break;
    case Item::DisconnectAfterDownload: DisconnectAfterDownload(m); break;
    case Item::Launch1: co_await Launch1(m); break;
    case Item::Launch2: co_await Launch2(m); break;
    case Item::Launch3: co_await Launch3(m); break;
    case Item::Launch4: co_await Launch4(m); break;
    case Item::Launch5: co_await Launch5(m); break;
    case Item::Launch6: co_await Launch6(m); break;
    case Item::WriteMemo: co_await WriteMemo(m); break;
    case Item::SendHistoryLog: co_await SendHistoryLog(m); break;
    default: break;
    }
}

}  // namespace rm
