#include "syslog/syslog.h"

#include <algorithm>
#include <string>

#include "display/display.h"
#include "lan/sender_filter.h"
#include "syslog/call_record.h"
#include "syslog/syslog_file.h"
#include "syslog/syslog_line.h"
#include "syslog/viewer_lines.h"
#include "router/connect_commands.h"
#include "router/router_commands.h"
#include "launcher/launcher_steps.h"
#include "text/cp932.h"
#include "text/datetime.h"
#include "text/paths.h"
#include "waits.h"

namespace rm {
namespace {

constexpr std::string_view SevenBlanks = "       ";
constexpr std::string_view OwnAddressPhrase = "IPCP UP. My IP=";
constexpr int DialUpWatcherStopWait = 500;
constexpr const char* RedialQuestion = "接続を確立できませんでした。\r　 　再接続しますか？ 　　　";
constexpr const char* RedialCaption = "Routavysta Monitor";

bool Has(std::string_view line, std::string_view phrase) { return line.find(phrase) != std::string_view::npos; }

std::string_view WithoutLeadingBlanks(std::string_view text) {
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    return text;
}

void StartRecord(MainState& s, bool port1, const std::string& stamp) {
    s.conn.HistoryRecord = s.VersionText + (port1 ? ",Port1," : ",Port2,") + stamp;
    s.conn.HistoryStage = 1;
}

void ReportSpeed(Monitor& m, std::string_view line) {
    // Skips "<--: CONNECT" or "<--: CARRIER", both twelve characters.
    const std::size_t start = line.find("<--: ") + 12;
    const std::string_view rest = WithoutLeadingBlanks(line.substr(std::min(start, line.size())));
    const std::string_view digits = rest.substr(0, rest.find_first_not_of("0123456789"));
    if (!digits.empty()) m.view.Tray.Tip = std::string(digits) + "bpsで接続中";
}

void Dial(Monitor& m, std::string_view line, bool port1, const std::string& stamp) {
    EndUnseenCall(m);
    MainState& s = m.s;
    s.conn.Online = true;
    s.conn.OnlineSince = m.ports.Clock.MonotonicMilliseconds();
    // A dial that never connected keeps the record and its first start time.
    if (s.conn.HistoryStage == 0) StartRecord(s, port1, stamp);
    std::string number(SevenBlanks);
    for (const char c : line.substr(line.find("ATD"))) {
        if (c >= '0' && c <= '?') number += c;
    }
    s.conn.DialledNumber = number.substr(number.size() - SevenBlanks.size());
    s.redial.BusySeen = false;
}

// No connect or disconnect line came since the handler that holds mine began.
bool StillLine(const Monitor& m, std::uint64_t mine) { return m.s.conn.LineChanges == mine; }

Task<> ConnectedOnPort1(Monitor& m, std::uint64_t line) {
    MainState& s = m.s;
    Menus& menu = m.view.Menu;
    s.conn.ConnectedPort = 1;
    if (s.settings.MultiAccount) {
        for (Item item : {Item::ConnectPort2, Item::ConnectPort1, Item::ConnectIsp3}) menu[item].Enabled = false;
        if (s.conn.ConnectedIsp == 0) {
            const std::uint16_t isp = co_await QueryRouterIsp(m);
            if (!StillLine(m, line)) co_return;
            s.conn.ConnectedIsp = isp;
        }
    } else {
        for (Item item : {Item::ConnectPort2, Item::DisconnectPort2}) menu[item].Enabled = false;
    }
    if (s.conn.ConnectedIsp != 0) {
        const std::string isp = "ISP" + std::to_string(s.conn.ConnectedIsp);
        std::string& tip = m.view.Tray.Tip;
        tip = tip != AppTitle ? isp + "に " + tip : isp + "に接続中";
    }
    if (!s.settings.UseDialUpWatcher) co_return;
    if (s.settings.MultiAccount) {
        if (s.conn.ConnectedIsp == 0) {
            const std::uint16_t isp = co_await QueryRouterIsp(m);
            if (!StillLine(m, line)) co_return;
            s.conn.ConnectedIsp = isp;
        }
        if (s.conn.ConnectedIsp >= 1 && s.conn.ConnectedIsp <= 3) TellDialUpWatcher(m, DialUpWatcherName(s.settings, s.conn.ConnectedIsp));
    } else {
        TellDialUpWatcher(m, s.settings.DialUpWatcherName1);
    }
    s.conn.DialUpWatcherStarted = true;
}

void ConnectedOnPort2(Monitor& m) {
    MainState& s = m.s;
    s.conn.ConnectedPort = 2;
    m.view.Menu[Item::ConnectPort1].Enabled = false;
    m.view.Menu[Item::DisconnectPort1].Enabled = false;
    if (!s.settings.UseDialUpWatcher) return;
    TellDialUpWatcher(m, s.settings.DialUpWatcherName2);
    s.conn.DialUpWatcherStarted = true;
}

Task<> Connect(Monitor& m, bool port1, std::string stamp) {
    EndUnseenCall(m);
    MainState& s = m.s;
    const std::uint64_t line = ++s.conn.LineChanges;
    s.redial.RedialLeft = s.settings.RedialCount;
    if (!s.peers.MasterAddress.empty()) s.peers.MasterAtConnect = true;
    if (!s.conn.Online) {
        s.conn.Online = true;
        s.conn.OnlineSince = m.ports.Clock.MonotonicMilliseconds();
        if (s.conn.HistoryStage == 0) StartRecord(s, port1, stamp);
        s.conn.DialledNumber = SevenBlanks;
    }
    co_await ShowConnected(m);
    if (!StillLine(m, line)) co_return;
    s.conn.ConnectPending = false;
    RecordConnect(m, stamp);
    if (!s.settings.ConnectSound.empty()) m.ports.Sound.PlayWave(s.settings.ConnectSound);
    if (port1) {
        co_await ConnectedOnPort1(m, line);
    } else {
        ConnectedOnPort2(m);
    }
    if (StillLine(m, line)) co_await StartOnConnectStep(m);
}

void TakeOwnAddress(Monitor& m, std::string_view line) {
    MainState& s = m.s;
    const std::string_view rest =
        WithoutLeadingBlanks(line.substr(line.find(OwnAddressPhrase) + OwnAddressPhrase.size()));
    s.conn.WanAddress = rest.substr(0, rest.find(','));
    if (s.conn.WanAddress == s.settings.RouterAddress) s.conn.WanAddress.clear();
    if (s.conn.WanAddress.empty()) return;
    m.view.Panel.Hint = s.conn.WanAddress;
    m.view.Menu[Item::CopyAddress].Enabled = true;
}

// The connect command to repeat: only one of this copy that the router has
// not confirmed yet, never another PC's or the router's own dial.
int RedialTarget(const MainState& s) {
    if (!s.conn.ConnectPending) return 0;
    return s.settings.MultiAccount ? s.conn.ConnectedIsp : s.conn.ConnectedPort;
}

Task<> PerformConnectCommand(Monitor& m, int target) {
    switch (target) {
    case 1: co_await ConnectPort1(m); break;
    case 2: co_await ConnectPort2(m); break;
    case 3: co_await ConnectIsp3(m); break;
    default: break;
    }
}

// RedialCount 0 and 255 mean: always ask. The question up answers for every
// failure seen meanwhile: lines from the network must not stack questions.
Task<> Redial(Monitor& m, int target) {
    MainState& s = m.s;
    if (s.redial.RedialLeft == 0 || s.settings.RedialCount == 255) {
        s.redial.RedialLeft = s.settings.RedialCount;
        const bool again = co_await AskYesNo(m, RedialQuestion, RedialCaption);
        if (again) co_await PerformConnectCommand(m, target);
        co_return;
    }
    m.view.Panel.Caption = "接続中(" + std::to_string(s.settings.RedialCount - s.redial.RedialLeft + 1) + ")";
    --s.redial.RedialLeft;
    co_await PerformConnectCommand(m, target);
}

Task<> Disconnect(Monitor& m, std::string stamp) {
    MainState& s = m.s;
    const std::uint64_t line = ++s.conn.LineChanges;
    const int target = RedialTarget(s);
    if (!s.settings.DisconnectSound.empty()) m.ports.Sound.PlayWave(s.settings.DisconnectSound);
    s.conn.ConnectedPort = 0;
    // The record is written before anything waits: a call that connects
    // meanwhile starts a record of its own.
    FinishRecord(m, stamp);
    const bool stopWatcher = s.settings.UseDialUpWatcher && s.conn.DialUpWatcherStarted;
    s.conn.DialUpWatcherStarted = false;
    if (stopWatcher) {
        TellDialUpWatcher(m, "stop");
        co_await Pause(m, DialUpWatcherStopWait);
        if (!StillLine(m, line)) co_return;
    }
    co_await Reset(m);
    co_await CloseOnDisconnectStep(m);
    // A busy line already redialled this attempt.
    if (target != 0 && !s.redial.BusySeen) co_await Redial(m, target);
}

Task<> Busy(Monitor& m) {
    const int target = RedialTarget(m.s);
    m.s.redial.BusySeen = true;
    if (target != 0) co_await Redial(m, target);
}

// ASCII, the usual syslog line, reads the same in Shift-JIS and UTF-8.
std::string ViewerText(std::string_view bytes) {
    const bool ascii =
        std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii ? std::string(bytes) : Cp932ToUtf8(bytes);
}

void AddViewerLine(Monitor& m, std::string_view bytes, DateTime arrived) {
    AppendViewerLine(m.view.Viewer, ViewerText(bytes));
    if (m.s.settings.SyslogAutoSave) SaveSyslog(m, EscapedControlBytes(bytes), arrived);
}

void ShowLine(Monitor& m, std::string_view view, DateTime arrived) {
    if (!IsOn(m.s.settings.SyslogEnabled)) return;
    std::string line;
    if (m.s.settings.SyslogAddTime) line.append("[").append(DateTimeText(arrived, ' ')).append("]");
    line += view;
    AddViewerLine(m, line, arrived);
    if (m.s.settings.SyslogLineBreaks) {
        AppendViewerSeparator(m.view.Viewer);
        if (m.s.settings.SyslogAutoSave) SaveSyslog(m, ViewerSeparator, arrived);
    }
}

}  // namespace

Task<> OnSyslogDatagram(Monitor& m, int byteCount, std::string datagram, std::string senderAddress,
                             DateTime arrived) {
    // Heard even when refused: the way through the firewall is open.
    m.s.conn.SyslogHeard = true;
    if (!SyslogSenderTaken(m, senderAddress) || datagram.empty()) co_return;
    if (byteCount > MaxSyslogBytes) {
        // Too long for a line of the router's: kept to be read, never acted on.
        ShowLine(m, ViewLine(datagram, m.s.settings.SyslogSimple), arrived);
        co_return;
    }
    const std::string raw = datagram.substr(0, MaxSyslogBytes);
    const std::string stamp = DateTimeText(arrived, ',');
    const std::string clean = CleanLine(raw);
    ShowLine(m, ViewLine(raw, m.s.settings.SyslogSimple), arrived);
    const bool port1 = Has(clean, "S01:");

    if (Has(clean, "<--: CONNECT") || Has(clean, "<--: CARRIER")) ReportSpeed(m, clean);
    if (Has(clean, "ATD")) Dial(m, clean, port1, stamp);
    if (Has(clean, "Connect successfully")) co_await Connect(m, port1, stamp);
    if (Has(clean, OwnAddressPhrase)) TakeOwnAddress(m, clean);
    if (Has(clean, "Disconnect successfully")) co_await Disconnect(m, stamp);
    if (Has(clean, "BUSY")) co_await Busy(m);
}

}  // namespace rm
