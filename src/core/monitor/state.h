// The main window's shared fields: every setting and all connection state.
// Every subsystem reads and writes them directly; names are the program's own.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace rm {

// Local date-time: days since 1899-12-30, the fraction being the time of day.
using DateTime = double;

// Opaque platform handles (a window or a process), 0 = none.
using WindowHandle = std::uintptr_t;
using ProcessHandle = std::uintptr_t;

inline constexpr const char* OnText = "on";
inline constexpr const char* OffText = "off";

// Only the exact, case-sensitive "on" counts as on.
inline bool IsOn(const std::string& value) { return value == OnText; }

inline constexpr const char* AppTitle = "Routavista Monitor";

struct LaunchEntry {
    std::string Title, ProgramFile, Arguments, WorkFolder, StartOnConnect, CloseOnDisconnect;
};

struct MainState {
    std::filesystem::path AppDir;
    std::string VersionText = "2.04";
    std::array<std::string, 9> UtilityWindows{};

    // Settings (the settings file and dialog write them).
    std::string UtilityPath = "C:\\Program Files\\Qorvalabs\\Routavista\\DAZera.exe";
    std::string RouterAddress = "192.168.0.1";
    std::uint16_t RouterIp1 = 0, RouterIp2 = 0, RouterIp3 = 0, RouterIp4 = 0;
    bool AutoConnect = false, AutoDisconnect = false;
    std::string ConnectTime = "00:00", DisconnectTime = "00:00";
    bool ConnectArmed = true, DisconnectArmed = true;
    bool UsePort2 = false;
    std::string MultiAccount;
    std::array<std::string, 3> IspNames{"ISP1", "ISP2", "ISP3"};
    std::string NoUtility = OnText;
    std::string ConnectTimeout = "60";
    std::uint16_t RedialCount = 255;
    std::uint16_t RedialLeft = 0;
    std::string SyslogEnabled = OnText;
    std::string SyslogSimple = OnText;
    std::string SyslogAddTime = OnText;
    std::string SyslogAutoSave = OffText;
    std::string SyslogLineBreaks = OnText;
    std::string TraySwap = OffText;
    std::string UseDialUpWatcher = OffText;
    std::string DialUpWatcherPath;
    std::array<std::string, 3> DialUpWatcherNames{};  // 1..3 at index 0..2
    std::string ConnectSound, DisconnectSound;
    std::string SoundAfterMinutes = "30";
    std::string SoundAfterFile;
    std::string MasterMode = OffText;
    std::string NickName;

    // Peers.
    std::string MasterAddress;
    bool MasterAtConnect = false;
    std::array<std::string, 256> PcNames{};
    bool MemoReceiving = false, LogReceiving = false;
    std::int32_t LogLineCount = 0;

    // Launcher.
    std::array<LaunchEntry, 6> LaunchEntries{};
    std::array<WindowHandle, 6> LaunchWindows{};
    std::array<ProcessHandle, 6> LaunchProcesses{};
    std::array<LaunchEntry, 6> LaunchDraft{};
    WindowHandle FoundWindow = 0;

    // Connection state.
    bool Online = false;
    DateTime OnlineSince = 0;
    bool LaunchPending = false;
    std::int16_t ConnectedPort = 0;
    std::uint16_t ConnectedIsp = 0;
    bool ConnectPending = false;
    DateTime ConnectRequestedAt = 0;
    bool BusySeen = false;
    std::string HistoryRecord;
    std::int16_t HistoryStage = 0;
    std::string DialledNumber;
    std::string WanAddress;
    bool SoundAfterPending = true;
    bool DialUpWatcherStarted = false;
    bool DialUpWatcherLaunched = false;
    bool CommandAcknowledged = false;
    std::uint16_t ReportedIsp = 0;
    std::string DownloadMarks;
    bool NifTermOnline = false;
};

}  // namespace rm
