// Settings unlike the defaults in every value the dialog shows, that the
// dialog's save accepts. Port 2 and multi-account mode exclude each other,
// so it takes two: together they change every such value.
#pragma once

#include <array>

#include "state/state.h"

namespace rm::test {

inline std::array<Settings, 2> SettingsUnlikeTheDefaults() {
    Settings s;
    s.UtilityPath = "D:\\ユーティリティ\\DAZera.exe";
    s.RouterAddress = "10.1.2.3";
    s.AutoConnect = true;
    s.ConnectTime = "07:05";
    s.AutoDisconnect = true;
    s.DisconnectTime = "23:59";
    s.SyslogSimple = false;
    s.SyslogAddTime = false;
    s.SyslogAutoSave = true;
    s.UseDialUpWatcher = true;
    s.DialUpWatcherPath = "E:\\dw\\dwctrl32.exe";
    s.DialUpWatcherNames = {"接続1", "接続2", "接続3"};
    s.ConnectSound = "up.wav";
    s.DisconnectSound = "down.wav";
    s.SyslogEnabled = "off";
    s.SyslogLineBreaks = false;
    s.TraySwap = true;
    s.SoundAfterMinutes = "1439";
    s.SoundAfterFile = "late.wav";
    s.MasterMode = true;
    s.NickName = "たろうのPC";
    s.RedialCount = 3;
    s.IspNames = {"いち", "に", "さん"};
    s.RouterSendersOnly = true;
    Settings port2 = s;
    port2.UsePort2 = true;
    port2.NoUtility = false;
    Settings multiAccount = s;
    multiAccount.MultiAccount = true;
    return {port2, multiAccount};
}

}  // namespace rm::test
