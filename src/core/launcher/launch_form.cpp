#include "launcher/launch_form.h"

#include "waits.h"

namespace rm {
namespace {

bool ShowsOn(const std::string& value) { return value != OffText; }

const char* ListText(bool on) { return on ? OnText : OffText; }

}  // namespace

LaunchForm LaunchFormOf(const std::string& title, const LaunchEntryTexts& entry) {
    return {title, entry.ProgramFile, entry.Arguments, entry.WorkFolder, ShowsOn(entry.StartOnConnect),
            ShowsOn(entry.CloseOnDisconnect)};
}

LaunchEntryTexts RegisteredTexts(const LaunchForm& form) {
    return {form.Title, form.ProgramFile, form.Arguments, form.WorkFolder, ListText(form.StartOnConnect),
            ListText(form.CloseOnDisconnect)};
}

void OpenLaunchEntry(Monitor& m, int i, const std::string& title) {
    if (title.empty()) {
        ShowMessage(m, NoTitleMessage);
        return;
    }
    EditLaunchEntry(m, i, title);
}

void EditLaunchEntry(Monitor& m, int i, const std::string& title) {
    const std::size_t at = static_cast<std::size_t>(i - 1);
    LaunchForm form = LaunchFormOf(title, m.s.launcher.LaunchEntries[at]);
    m.s.launcher.LaunchDraft = m.s.launcher.LaunchEntries[at];
    if (m.ports.Dialogs.ShowLaunchEntryDialog(form)) m.s.launcher.LaunchDraft = RegisteredTexts(form);
    m.s.launcher.LaunchEntries[at] = m.s.launcher.LaunchDraft;
}

}  // namespace rm
