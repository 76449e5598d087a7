// The program's shared fields: every setting and all connection state, as
// plain data grouped by concern. Names are the program's own.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "state/settings_list.h"
#include "text/datetime.h"

namespace rm {

// Opaque platform handles (a window or a process), 0 = none.
using WindowHandle = std::uintptr_t;
using ProcessHandle = std::uintptr_t;

inline constexpr const char* OnText = "on";
inline constexpr const char* OffText = "off";

// Only the exact, case-sensitive "on" counts as on.
inline bool IsOn(const std::string& value) { return value == OnText; }

inline constexpr const char* AppTitle = "Routavista Monitor";

// What RMonitor.ini keeps, one field per setting of settings_list.h. On/off
// values are bools; SyslogEnabled stays text because the settings dialog
// changes it only from exactly "on" or "off".
struct Settings {
    RM_SETTINGS(RM_SETTING_FIELD, RM_NOTHING)
};

// The Dial-Up Watcher connection name of ISP 1..3.
inline const std::string& DialUpWatcherName(const Settings& s, int isp) {
    return isp == 3 ? s.DialUpWatcherName3 : isp == 2 ? s.DialUpWatcherName2 : s.DialUpWatcherName1;
}

// Where the panel was put; saved with the settings.
struct PanelPosition {
    int Left = 0, Top = 0;
};

// The router as the command datagrams address it, and what it last replied.
struct RouterLink {
    std::uint16_t RouterIp1 = 0, RouterIp2 = 0, RouterIp3 = 0, RouterIp4 = 0;
    bool CommandAcknowledged = false;
    std::uint16_t ReportedIsp = 0;
};

// Durations are measured on the monotonic clock, in milliseconds: the user
// may set the PC's clock at any moment.
struct Connection {
    bool Online = false;
    // A syslog datagram, of any kind, came since the start.
    bool SyslogHeard = false;
    std::int64_t OnlineSince = 0;
    std::int16_t ConnectedPort = 0;
    std::uint16_t ConnectedIsp = 0;
    bool ConnectPending = false;
    std::int64_t ConnectRequestedAt = 0;
    std::string HistoryRecord;
    std::int16_t HistoryStage = 0;
    std::string DialledNumber;
    std::string WanAddress;
    bool SoundAfterPending = true;
    bool DialUpWatcherStarted = false;
    bool DialUpWatcherLaunched = false;
    // The call's record on disk: the last time it was known to be up
    // (yyyy/mm/dd,hh:nn:ss), when that was written (monotonic), and whether
    // it was taken up at start rather than seen to connect.
    std::string OpenCallSeen;
    std::int64_t OpenCallKeptAt = 0;
    bool OpenCallRestored = false;
    // Counts connect and disconnect lines: a line handler that waited goes
    // on only while no later one came.
    std::uint64_t LineChanges = 0;
};

struct Redial {
    std::uint16_t RedialLeft = 0;
    bool BusySeen = false;
};

// The scheduled connect and disconnect each fire once in their minute, and
// are armed again once it has passed, for the next day.
struct Schedule {
    bool ConnectArmed = true, DisconnectArmed = true;
};

// What the last scan of other programs' windows found.
struct WindowWatch {
    std::string DownloadMarks;
    bool NifTermOnline = false;
};

// A launcher entry's six texts, in file order.
struct LaunchEntryTexts {
    std::string Title, ProgramFile, Arguments, WorkFolder, StartOnConnect, CloseOnDisconnect;
    bool operator==(const LaunchEntryTexts&) const = default;
};

struct Launcher {
    std::array<LaunchEntryTexts, 6> LaunchEntries{};
    std::array<WindowHandle, 6> LaunchWindows{};
    std::array<ProcessHandle, 6> LaunchProcesses{};
    std::array<std::uint32_t, 6> LaunchProcessIds{};
    // The started process ended without a window: it handed over to another
    // process, which the monitor cannot know to close (logged once).
    std::array<bool, 6> LaunchHandedOver{};
    // Why an entry's last start failed, as the notice shows it.
    std::array<std::string, 6> LaunchFailures{};
    // The entry being edited in the entry dialog.
    LaunchEntryTexts LaunchDraft{};
    bool LaunchPending = false;
};

struct Peers {
    std::string MasterAddress;
    bool MasterAtConnect = false;
    std::array<std::string, 256> PcNames{};
    // Who sent the name query answered last: this PC itself once the query
    // it broadcast came back, as it does before any reply to it.
    std::string NameQueryFrom;
    bool MemoReceiving = false, LogReceiving = false;
    std::int32_t LogLineCount = 0;
    // Of LogLineCount, the lines already counted in the box shown.
    std::int32_t LogLinesTold = 0;
};

// Files that must lose nothing: what is not written yet, what is still to
// be kept aside before it is written over.
struct FileKeeping {
    // The file exists but could not be read whole: keep a copy at the first save.
    bool SettingsUnread = false, LauncherUnread = false;
    // History lines (Shift-JIS) that neither the file nor its spill file
    // took, written as soon as one does, in order.
    std::vector<std::string> HistoryUnwritten, BackupUnwritten;
    // Lines the other copies sent this master, for log\LogBackUp.csv.
    std::vector<std::string> ReceivedUnwritten;
    bool HistoryFailureTold = false;
    // Lines lost because too many waited in memory.
    std::size_t HistoryLinesLost = 0;
};

// Datagrams refused for their sender since the diagnostic log last told
// them, and when it did (monotonic): one line a minute, whatever comes.
struct RefusedSenders {
    std::uint64_t Count = 0;
    bool Told = false;
    std::int64_t ToldAt = 0;
};

struct SenderFilter {
    RefusedSenders Syslog, Peer;
};

struct MainState {
    std::filesystem::path AppDir;
    std::string VersionText = "2.04";
    Settings settings;
    PanelPosition panel;
    RouterLink router;
    Connection conn;
    Redial redial;
    Schedule schedule;
    WindowWatch watch;
    Launcher launcher;
    Peers peers;
    SenderFilter senders;
    FileKeeping files;
};

}  // namespace rm
