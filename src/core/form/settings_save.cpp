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
    menu[Item::ISP3].Caption = s.IspName3 + " 接続";
    if (form.MACbox1 && form.riskBox) {
        s.UsePort2 = false;
        s.MultiAccount = true;
        menu[Item::N1].Caption = s.IspName1 + " 接続";
        menu[Item::N1].Enabled = true;
        menu[Item::N2].Visible = false;
        menu[Item::N9].Visible = false;
        menu[Item::N10].Caption = s.IspName2 + " 接続";
        menu[Item::N10].Visible = menu[Item::N10].Enabled = true;
        menu[Item::N11].Caption = "切断";
        menu[Item::N11].Visible = menu[Item::N11].Enabled = true;
        menu[Item::N12].Visible = true;
        menu[Item::ISP3].Visible = true;
    } else if (form.subportBox1) {
        s.UsePort2 = true;
        s.MultiAccount = false;
        menu[Item::N1].Caption = "ポート1接続";
        menu[Item::N2].Caption = "ポート1切断";
        menu[Item::N2].Visible = true;
        menu[Item::N9].Visible = true;
        menu[Item::N10].Caption = "ポート2接続";
        menu[Item::N10].Visible = menu[Item::N10].Enabled = true;
        menu[Item::N11].Caption = "ポート2切断";
        menu[Item::N11].Visible = menu[Item::N11].Enabled = true;
        menu[Item::N12].Visible = true;
        menu[Item::ISP3].Visible = false;
    } else {
        s.UsePort2 = false;
        s.MultiAccount = false;
        menu[Item::N1].Caption = "接続";
        menu[Item::N1].Enabled = true;
        menu[Item::N2].Caption = "切断";
        menu[Item::N2].Visible = true;
        menu[Item::N9].Visible = true;
        menu[Item::N10].Visible = false;
        menu[Item::N11].Visible = false;
        menu[Item::N12].Visible = false;
        menu[Item::ISP3].Visible = false;
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

SaveResult Button1Click(Monitor& m, const SettingsForm& form) {
    if (const auto refusal = CheckSettingsForm(form)) {
        ShowMessage(m, refusal->Message);
        return {refusal->Control};
    }
    Settings& s = m.s.settings;
    for (const SettingRow& row : SettingsTable) {
        if (row.Save) row.Save(form, s);
    }
    s.ConnectTime = TimeText(form.SpinEdit1, form.SpinEdit2);
    s.DisconnectTime = TimeText(form.SpinEdit3, form.SpinEdit4);
    m.s.schedule = {.ConnectArmed = true, .DisconnectArmed = true};
    for (std::size_t i = 0; i < form.soft.size(); ++i) m.s.launcher.LaunchEntries[i].Title = form.soft[i];
    SwitchSyslogRecording(m, form.SyslogmainBox);
    ApplyTrayMenus(s, m.view.Tray);
    TakeRouterAddress(s.RouterAddress, m.s.router);
    s.RedialCount = form.RedialBox ? 3 : 255;
    m.s.redial.RedialLeft = s.RedialCount;
    ArrangeConnectMenu(m, form);
    SaveAllSettings(m);
    return {};
}

}  // namespace rm
