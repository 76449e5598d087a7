// Any bytes read as RMonitor.ini: reading never fails, every text it sets is
// UTF-8, and what the save action writes from the result reads back to the
// same file.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/settings_file.h"
#include "fuzz_checks.h"

namespace {

void CheckTexts(const rm::MainState& s) {
    const std::array texts{
        &s.UtilityPath,      &s.RouterAddress,     &s.ConnectTime,           &s.DisconnectTime,
        &s.ConnectTimeout,   &s.SyslogSimple,      &s.SyslogAddTime,         &s.SyslogAutoSave,
        &s.UseDialUpWatcher, &s.DialUpWatcherPath, &s.DialUpWatcherNames[0], &s.DialUpWatcherNames[1],
        &s.ConnectSound,     &s.DisconnectSound,   &s.SyslogEnabled,         &s.SyslogLineBreaks,
        &s.TraySwap,         &s.SoundAfterMinutes, &s.SoundAfterFile,        &s.NoUtility,
        &s.MultiAccount,     &s.DialUpWatcherNames[2], &s.MasterMode,        &s.NickName,
        &s.IspNames[0],      &s.IspNames[1],       &s.IspNames[2],
    };
    for (const std::string* text : texts) Check(IsUtf8(*text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    rm::MainState s;
    rm::ViewModel view;
    switch (rm::ApplySettingsText(s, view, bytes)) {
        case rm::SettingsRead::Defaults:
            Check(rm::SettingsFileText(s, view) == rm::SettingsFileText(rm::MainState{}, rm::ViewModel{}));
            Check(s.RedialLeft == 0);
            break;
        case rm::SettingsRead::Stopped:
            Check(s.RedialLeft == 0);
            break;
        case rm::SettingsRead::Complete:
            Check(s.RedialLeft == s.RedialCount);
            break;
    }
    CheckTexts(s);
    Check((view.Tray.LeftButton == rm::PopupMenu::PopupMenu2) == rm::IsOn(s.TraySwap));
    Check(view.Tray.LeftButton != view.Tray.RightButton);

    const std::string saved = rm::SettingsFileText(s, view);
    rm::MainState again;
    rm::ViewModel againView;
    Check(rm::ApplySettingsText(again, againView, saved) == rm::SettingsRead::Complete);
    Check(againView.Panel.Left == view.Panel.Left && againView.Panel.Top == view.Panel.Top);
    Check(rm::SettingsFileText(again, againView) == saved);
    return 0;
}
