#include "form/settings_save.h"

#include "settings/settings_file.h"
#include "syslog/viewer_commands.h"
#include "text/address.h"
#include "waits.h"

namespace rm {
namespace {

std::string TwoDigits(int number) {
    const std::string text = "00" + std::to_string(number);
    return text.substr(text.size() - 2);
}

void ArrangeConnectMenu(Monitor& m, const SettingsForm& form) {
    Settings& s = m.s.settings;
    Menus& menu = m.view.Menu;
    menu[Item::ConnectIsp3].Caption = s.IspName3 + " 接続";
    if (form.MultiAccount && form.NoUtility) {
        s.UsePort2 = false;
        s.MultiAccount = true;
        menu[Item::ConnectPort1].Caption = s.IspName1 + " 接続";
        menu[Item::ConnectPort1].Enabled = true;
        menu[Item::DisconnectPort1].Visible = false;
        menu[Item::SeparatorAfterPort1].Visible = false;
        menu[Item::ConnectPort2].Caption = s.IspName2 + " 接続";
        menu[Item::ConnectPort2].Visible = menu[Item::ConnectPort2].Enabled = true;
        menu[Item::DisconnectPort2].Caption = "切断";
        menu[Item::DisconnectPort2].Visible = menu[Item::DisconnectPort2].Enabled = true;
        menu[Item::SeparatorAfterPort2].Visible = true;
        menu[Item::ConnectIsp3].Visible = true;
    } else if (form.UsePort2) {
        s.UsePort2 = true;
        s.MultiAccount = false;
        menu[Item::ConnectPort1].Caption = "ポート1接続";
        menu[Item::DisconnectPort1].Caption = "ポート1切断";
        menu[Item::DisconnectPort1].Visible = true;
        menu[Item::SeparatorAfterPort1].Visible = true;
        menu[Item::ConnectPort2].Caption = "ポート2接続";
        menu[Item::ConnectPort2].Visible = menu[Item::ConnectPort2].Enabled = true;
        menu[Item::DisconnectPort2].Caption = "ポート2切断";
        menu[Item::DisconnectPort2].Visible = menu[Item::DisconnectPort2].Enabled = true;
        menu[Item::SeparatorAfterPort2].Visible = true;
        menu[Item::ConnectIsp3].Visible = false;
    } else {
        s.UsePort2 = false;
        s.MultiAccount = false;
        menu[Item::ConnectPort1].Caption = "接続";
        menu[Item::ConnectPort1].Enabled = true;
        menu[Item::DisconnectPort1].Caption = "切断";
        menu[Item::DisconnectPort1].Visible = true;
        menu[Item::SeparatorAfterPort1].Visible = true;
        menu[Item::ConnectPort2].Visible = false;
        menu[Item::DisconnectPort2].Visible = false;
        menu[Item::SeparatorAfterPort2].Visible = false;
        menu[Item::ConnectIsp3].Visible = false;
    }
}

}  // namespace

std::string TimeText(int hours, int minutes) { return TwoDigits(hours) + ":" + TwoDigits(minutes); }

bool TakeRouterAddress(const std::string& address, RouterLink& router) {
    const auto octets = ParseIpv4Address(address);
    if (!octets) return false;
    router.RouterIp1 = (*octets)[0];
    router.RouterIp2 = (*octets)[1];
    router.RouterIp3 = (*octets)[2];
    router.RouterIp4 = (*octets)[3];
    return true;
}

SaveResult SaveSettingsForm(Monitor& m, const SettingsForm& form) {
    if (const auto refusal = CheckSettingsForm(form)) {
        ShowMessage(m, refusal->Message);
        return {refusal->Control};
    }
    Settings& s = m.s.settings;
    for (const SettingRow& row : SettingsTable) {
        if (row.Save) row.Save(form, s);
    }
    s.ConnectTime = TimeText(form.ConnectHour, form.ConnectMinute);
    s.DisconnectTime = TimeText(form.DisconnectHour, form.DisconnectMinute);
    m.s.schedule = {.ConnectArmed = true, .DisconnectArmed = true};
    for (std::size_t i = 0; i < form.LaunchTitles.size(); ++i)
        m.s.launcher.LaunchEntries[i].Title = form.LaunchTitles[i];
    SwitchSyslogRecording(m, form.SyslogEnabled);
    ApplyTrayMenus(s, m.view.Tray);
    TakeRouterAddress(s.RouterAddress, m.s.router);
    s.RedialCount = form.AutoRedial ? 3 : 255;
    m.s.redial.RedialLeft = s.RedialCount;
    ArrangeConnectMenu(m, form);
    SaveAllSettings(m);
    return {};
}

}  // namespace rm
