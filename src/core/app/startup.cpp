#include "app/startup.h"

#include <system_error>

#include "form/settings_form.h"
#include "form/settings_save.h"
#include "launcher/launch_menu.h"
#include "lan/peer_send.h"
#include "settings/file_save.h"
#include "settings/launcher_file.h"
#include "settings/settings_file.h"
#include "syslog/call_record.h"
#include "syslog/history_file.h"
#include "syslog/syslog_file.h"
#include "waits.h"

namespace rm {

void ApplyRouterAddress(Monitor& m) {
    if (TakeRouterAddress(m.s.settings.RouterAddress, m.s.router)) return;
    ShowMessage(m, "RV4のIPアドレス指定に失敗したのでデフォルト値を設定しました");
    TakeRouterAddress(Settings{}.RouterAddress, m.s.router);
}

void ApplyConnectMenuShape(Monitor& m) {
    Menus& menu = m.view.Menu;
    menu[Item::ConnectIsp3].Caption = m.s.settings.IspName3 + " 接続";
    if (m.s.settings.UsePort2) {
        menu[Item::ConnectPort1].Caption = "ポート1接続";
        menu[Item::DisconnectPort1].Caption = "ポート1切断";
        menu[Item::ConnectPort2].Visible = menu[Item::DisconnectPort2].Visible =
            menu[Item::SeparatorAfterPort2].Visible = true;
    }
    if (m.s.settings.MultiAccount) {
        m.s.settings.UsePort2 = false;
        menu[Item::ConnectPort1].Caption = m.s.settings.IspName1 + " 接続";
        menu[Item::DisconnectPort1].Visible = false;
        menu[Item::SeparatorAfterPort1].Visible = false;
        menu[Item::ConnectPort2].Caption = m.s.settings.IspName2 + " 接続";
        menu[Item::ConnectIsp3].Visible = true;
        menu[Item::DisconnectPort2].Caption = "切断";
        menu[Item::ConnectPort2].Visible = menu[Item::DisconnectPort2].Visible =
            menu[Item::SeparatorAfterPort2].Visible = true;
    }
}

Task<> StartUp(Monitor& m) {
    MainState& s = m.s;
    const std::filesystem::path appDir = s.AppDir;
    s = MainState{};
    s.AppDir = appDir;
    m.view = ViewModel{};

    std::error_code ignored;
    std::filesystem::create_directory(s.AppDir / "log", ignored);
    std::filesystem::create_directory(s.AppDir / "syslog", ignored);

    const bool haveSettings = std::filesystem::exists(s.AppDir / SettingsFileName, ignored);
    m.view.Menu[Item::ShowHistoryGraph].Visible = std::filesystem::exists(s.AppDir / "RMView.exe", ignored);
    if (haveSettings) ReadSettingsFile(m);

    if (std::filesystem::exists(s.AppDir / LauncherFileName, ignored)) ReadLauncherFile(m);
    TellUnreadFiles(m);
    RefreshLaunchMenu(m);
    ApplyConnectMenuShape(m);
    m.view.Menu[Item::ShowSyslog].Visible = IsOn(s.settings.SyslogEnabled);
    ApplyRouterAddress(m);
    // What the last run could not write, and the call it left open.
    WriteKeptHistory(m);
    RestoreOpenCall(m);
    // The memo window starts with what the clipboard holds.
    m.view.MemoSend.Text = m.ports.Clipboard.Text();
    BroadcastPeerText(m, s.settings.MasterMode ? PeerText::MasterConnected : PeerText::MasterCheck);
    if (haveSettings) co_return;
    // Everything of the last run is restored before this first wait. The
    // balloon comes once the box is gone, so that it is not missed behind it.
    co_await MessageClosed(m, FirstRunMessage);
    m.view.Tray.Balloon = FirstStartBalloon;
}

void ShutDown(Monitor& m) {
    CloseSyslog(m);
    KeepOpenCall(m, true);
    TellKeptHistory(m);
    SaveSettingsUnseen(m);
    if (m.s.settings.MasterMode) BroadcastPeerText(m, PeerText::MasterDisconnected);
    for (ProcessHandle& handle : m.s.launcher.LaunchProcesses) {
        if (handle != 0) m.ports.Programs.CloseProcessHandle(handle);
        handle = 0;
    }
    // Commands still waiting end where they wait: nothing they would do
    // next may outlive the exit save.
    m.steps.EndAll();
}

}  // namespace rm
