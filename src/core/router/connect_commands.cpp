#include "router/connect_commands.h"

#include <initializer_list>

#include "display/display.h"
#include "lan/peer_send.h"
#include "router/router_commands.h"
#include "router/utility_windows.h"
#include "text/paths.h"

namespace rm {
namespace {

constexpr const char* ConnectRefused = "Routavistaの設定中は接続できません。";
constexpr const char* DisconnectRefused = "Routavistaの設定中は切断できません。";

// Lets the setup utility reach the router, hidden, e.g. with " -con1".
void RunUtility(Monitor& m, const std::string& option) {
    const std::string& utility = m.s.settings.UtilityPath;
    m.ports.Programs.NestingRunProgram(utility, "-i " + m.s.settings.RouterAddress + option, FolderOf(utility),
                                       ShowMode::Hide);
}

void SetEnabled(Monitor& m, std::initializer_list<Item> items, bool enabled) {
    for (const Item item : items) m.view.Menu[item].Enabled = enabled;
}

// What every connect does before it reaches the router; false when refused.
bool BeginConnect(Monitor& m) {
    if (UtilitySettingsOpen(m)) {
        m.ports.Dialogs.NestingShowMessage(ConnectRefused);
        return false;
    }
    CloseUtilityWindows(m);
    BroadcastPeerText(m, PeerText::MasterCheck);
    ShowConnected(m);
    return true;
}

// What every disconnect does before it reaches the router; false when refused.
bool BeginDisconnect(Monitor& m) {
    if (UtilitySettingsOpen(m)) {
        m.ports.Dialogs.NestingShowMessage(DisconnectRefused);
        return false;
    }
    CloseUtilityWindows(m);
    // The caption stays until the router reports the disconnect.
    m.view.Panel.Colour = FontColour::Blue;
    return true;
}

// Multi-account mode dials every ISP through port 1; the ISP is known to
// this copy once the command went out.
void DialIsp(Monitor& m, int index) {
    SelectRouterIsp(m, index);
    SetRouterClock(m);
    ConnectRouterPort(m, 1);
    m.s.conn.ConnectedIsp = static_cast<std::uint16_t>(index + 1);
}

void DialPort(Monitor& m, int port) {
    SetRouterClock(m);
    ConnectRouterPort(m, port);
}

}  // namespace

void N3Click(Monitor& m) {
    ShowIdle(m);
    if (m.s.settings.UsePort2 || m.s.settings.MultiAccount) {
        for (Item item : {Item::N1, Item::N2, Item::N10, Item::N11, Item::ISP3}) m.view.Menu[item].Enabled = true;
    }
    CloseDialUpWatcher(m);
}

void N1Click(Monitor& m) {
    if (!BeginConnect(m)) return;
    if (!m.s.settings.NoUtility) {
        RunUtility(m, " -con1");
    } else if (m.s.settings.MultiAccount) {
        // The ISP is noted before the clock is set, unlike the other two.
        SelectRouterIsp(m, 0);
        m.s.conn.ConnectedIsp = 1;
        DialPort(m, 1);
    } else {
        DialPort(m, 1);
    }
    m.s.conn.ConnectedPort = 1;
    m.view.Menu[Item::N10].Enabled = false;
    if (!m.s.settings.MultiAccount) m.view.Menu[Item::N11].Enabled = false;
}

void N10Click(Monitor& m) {
    if (!BeginConnect(m)) return;
    if (!m.s.settings.NoUtility) {
        RunUtility(m, " -con2");
    } else if (m.s.settings.MultiAccount) {
        DialIsp(m, 1);
    } else {
        DialPort(m, 2);
    }
    // Also in multi-account mode, where the line is port 1.
    m.s.conn.ConnectedPort = 2;
    SetEnabled(m, {Item::N1, Item::N2}, false);
}

void ISP3Click(Monitor& m) {
    if (!BeginConnect(m)) return;
    if (m.s.settings.NoUtility && m.s.settings.MultiAccount) DialIsp(m, 2);
    m.s.conn.ConnectedPort = 1;
    SetEnabled(m, {Item::N1, Item::N2, Item::N10}, false);
}

void N2Click(Monitor& m) {
    if (!BeginDisconnect(m)) return;
    if (m.s.settings.NoUtility) {
        DisconnectRouterPort(m, 1);
    } else {
        RunUtility(m, " -cut1");
    }
    m.s.conn.ConnectedPort = 0;
    m.s.conn.ConnectedIsp = 0;
    if (m.s.settings.UsePort2) SetEnabled(m, {Item::N10, Item::N11}, true);
}

void N11Click(Monitor& m) {
    if (!BeginDisconnect(m)) return;
    if (m.s.settings.NoUtility) {
        DisconnectRouterPort(m, m.s.settings.MultiAccount ? 1 : 2);
    } else {
        RunUtility(m, " -cut2");
    }
    m.s.conn.ConnectedPort = 0;
    m.s.conn.ConnectedIsp = 0;
    SetEnabled(m, {Item::N1, Item::N2}, true);
}

void DisconnectConnectedPort(Monitor& m) {
    if (m.s.settings.NoUtility && m.s.settings.MultiAccount) {
        N11Click(m);
    } else if (m.s.conn.ConnectedPort == 1) {
        N2Click(m);
    } else if (m.s.conn.ConnectedPort == 2) {
        N11Click(m);
    }
}

void IP1Click(Monitor& m) {
    // The hint is the program title whenever no own address is known.
    if (m.view.Panel.Hint == AppTitle) return;
    m.ports.Clipboard.SetText(m.s.conn.WanAddress);
}

void CloseUtilityWindows(Monitor& m) {
    // Each variant's application window, then its main window.
    for (std::size_t k = 0; k < 3; ++k) {
        for (const std::size_t i : {3 * k, 3 * k + 1}) {
            if (const WindowHandle window = m.ports.OtherWindows.FindWindowByTitle(UtilityWindows[i])) {
                m.ports.OtherWindows.NestingCloseWindow(window);
            }
        }
    }
}

bool UtilitySettingsOpen(Monitor& m) {
    return m.ports.OtherWindows.FindWindowByTitle(UtilityWindows[2]) != 0 ||
           m.ports.OtherWindows.FindWindowByTitle(UtilityWindows[5]) != 0;
}

}  // namespace rm
