#include "router/connect_commands.h"

#include <initializer_list>

#include "display/display.h"
#include "lan/peer_send.h"
#include "router/router_commands.h"
#include "router/utility_windows.h"
#include "text/paths.h"
#include "waits.h"

namespace rm {
namespace {

constexpr const char* ConnectRefused = "Routavistaの設定中は接続できません。";
constexpr const char* DisconnectRefused = "Routavistaの設定中は切断できません。";

// Lets the setup utility reach the router, hidden, e.g. with " -con1".
void RunUtility(Monitor& m, const std::string& option) {
    const std::string& utility = m.s.settings.UtilityPath;
    m.ports.Programs.RunProgram(utility, "-i " + m.s.settings.RouterAddress + option, FolderOf(utility),
                                       ShowMode::Hide);
}

void SetEnabled(Monitor& m, std::initializer_list<Item> items, bool enabled) {
    for (const Item item : items) m.view.Menu[item].Enabled = enabled;
}

// What every connect does before it reaches the router; false when refused.
Task<bool> BeginConnect(Monitor& m) {
    if (UtilitySettingsOpen(m)) {
        ShowMessage(m, ConnectRefused);
        co_return false;
    }
    co_await CloseUtilityWindows(m);
    BroadcastPeerText(m, PeerText::MasterCheck);
    co_await ShowConnected(m);
    co_return true;
}

// What every disconnect does before it reaches the router; false when refused.
Task<bool> BeginDisconnect(Monitor& m) {
    if (UtilitySettingsOpen(m)) {
        ShowMessage(m, DisconnectRefused);
        co_return false;
    }
    co_await CloseUtilityWindows(m);
    // The caption stays until the router reports the disconnect.
    m.view.Panel.Colour = FontColour::Blue;
    co_return true;
}

// Multi-account mode dials every ISP through port 1; the ISP is known to
// this copy once the command went out.
Task<> DialIsp(Monitor& m, int index) {
    co_await SelectRouterIsp(m, index);
    co_await SetRouterClock(m);
    ConnectRouterPort(m, 1);
    m.s.conn.ConnectedIsp = static_cast<std::uint16_t>(index + 1);
}

Task<> DialPort(Monitor& m, int port) {
    co_await SetRouterClock(m);
    ConnectRouterPort(m, port);
}

}  // namespace

Task<> Reset(Monitor& m) {
    ShowIdle(m);
    if (m.s.settings.UsePort2 || m.s.settings.MultiAccount) {
        for (Item item :
             {Item::ConnectPort1, Item::DisconnectPort1, Item::ConnectPort2, Item::DisconnectPort2, Item::ConnectIsp3})
            m.view.Menu[item].Enabled = true;
    }
    co_await CloseDialUpWatcher(m);
}

Task<> ConnectPort1(Monitor& m) {
    const bool begun = co_await BeginConnect(m);
    if (!begun) co_return;
    if (!m.s.settings.NoUtility) {
        RunUtility(m, " -con1");
    } else if (m.s.settings.MultiAccount) {
        // The ISP is noted before the clock is set, unlike the other two.
        co_await SelectRouterIsp(m, 0);
        m.s.conn.ConnectedIsp = 1;
        co_await DialPort(m, 1);
    } else {
        co_await DialPort(m, 1);
    }
    m.s.conn.ConnectedPort = 1;
    m.view.Menu[Item::ConnectPort2].Enabled = false;
    if (!m.s.settings.MultiAccount) m.view.Menu[Item::DisconnectPort2].Enabled = false;
}

Task<> ConnectPort2(Monitor& m) {
    const bool begun = co_await BeginConnect(m);
    if (!begun) co_return;
    if (!m.s.settings.NoUtility) {
        RunUtility(m, " -con2");
    } else if (m.s.settings.MultiAccount) {
        co_await DialIsp(m, 1);
    } else {
        co_await DialPort(m, 2);
    }
    // Also in multi-account mode, where the line is port 1.
    m.s.conn.ConnectedPort = 2;
    SetEnabled(m, {Item::ConnectPort1, Item::DisconnectPort1}, false);
}

Task<> ConnectIsp3(Monitor& m) {
    const bool begun = co_await BeginConnect(m);
    if (!begun) co_return;
    if (m.s.settings.NoUtility && m.s.settings.MultiAccount) co_await DialIsp(m, 2);
    m.s.conn.ConnectedPort = 1;
    SetEnabled(m, {Item::ConnectPort1, Item::DisconnectPort1, Item::ConnectPort2}, false);
}

Task<> DisconnectPort1(Monitor& m) {
    const bool begun = co_await BeginDisconnect(m);
    if (!begun) co_return;
    if (m.s.settings.NoUtility) {
        DisconnectRouterPort(m, 1);
    } else {
        RunUtility(m, " -cut1");
    }
    m.s.conn.ConnectedPort = 0;
    m.s.conn.ConnectedIsp = 0;
    if (m.s.settings.UsePort2) SetEnabled(m, {Item::ConnectPort2, Item::DisconnectPort2}, true);
}

Task<> DisconnectPort2(Monitor& m) {
    const bool begun = co_await BeginDisconnect(m);
    if (!begun) co_return;
    if (m.s.settings.NoUtility) {
        DisconnectRouterPort(m, m.s.settings.MultiAccount ? 1 : 2);
    } else {
        RunUtility(m, " -cut2");
    }
    m.s.conn.ConnectedPort = 0;
    m.s.conn.ConnectedIsp = 0;
    SetEnabled(m, {Item::ConnectPort1, Item::DisconnectPort1}, true);
}

Task<> DisconnectConnectedPort(Monitor& m) {
    if (m.s.settings.NoUtility && m.s.settings.MultiAccount) {
        co_await DisconnectPort2(m);
    } else if (m.s.conn.ConnectedPort == 1) {
        co_await DisconnectPort1(m);
    } else if (m.s.conn.ConnectedPort == 2) {
        co_await DisconnectPort2(m);
    }
}

void CopyAddress(Monitor& m) {
    // The hint is the program title whenever no own address is known.
    if (m.view.Panel.Hint == AppTitle) return;
    m.ports.Clipboard.SetText(m.s.conn.WanAddress);
}

Task<> CloseUtilityWindows(Monitor& m) {
    // Each variant's application window, then its main window.
    for (std::size_t k = 0; k < 3; ++k) {
        for (const std::size_t i : {3 * k, 3 * k + 1}) {
            if (const WindowHandle window = m.ports.OtherWindows.FindWindowByTitle(UtilityWindows[i])) {
                co_await CloseWindow(m, window);
            }
        }
    }
}

bool UtilitySettingsOpen(Monitor& m) {
    return m.ports.OtherWindows.FindWindowByTitle(UtilityWindows[2]) != 0 ||
           m.ports.OtherWindows.FindWindowByTitle(UtilityWindows[5]) != 0;
}

}  // namespace rm
