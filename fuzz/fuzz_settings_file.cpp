// Any bytes read as RMonitor.ini: reading never fails, every text it sets is
// UTF-8, and what the save action writes from the result reads back to the
// same file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/settings_file.h"
#include "fuzz_checks.h"

namespace {

std::string TextOf(const rm::Settings& settings, const rm::PanelPosition& panel) {
    return rm::SettingsFileText({settings, panel}, "2.04");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    rm::Settings settings;
    rm::PanelPosition panel;
    const rm::SettingsRead result = rm::ApplySettingsText({settings, panel}, bytes);
    const std::string saved = TextOf(settings, panel);
    if (result == rm::SettingsRead::Defaults) Check(saved == TextOf(rm::Settings{}, rm::PanelPosition{}));
    for (const rm::SettingRow& row : rm::SettingsTable) Check(IsUtf8(row.Write({settings, panel})));

    rm::Settings again;
    rm::PanelPosition againPanel;
    Check(rm::ApplySettingsText({again, againPanel}, saved) == rm::SettingsRead::Complete);
    Check(againPanel.Left == panel.Left && againPanel.Top == panel.Top);
    Check(TextOf(again, againPanel) == saved);
    return 0;
}
