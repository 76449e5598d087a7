// Any bytes read as RMonitor.ini: reading never fails, every text it sets is
// UTF-8, and what the save action writes from the result reads back to the
// same values, and so to the same file.
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
    static const std::string defaults = TextOf(rm::Settings{}, rm::PanelPosition{});
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    rm::Settings settings;
    rm::PanelPosition panel;
    const rm::SettingsRead result = rm::ApplySettingsText({settings, panel}, bytes);
    const std::string saved = TextOf(settings, panel);
    if (result == rm::SettingsRead::Defaults) Check(saved == defaults);

    // Every value reads back as it was; the file written from them is then
    // the same file, as it is made from these values alone.
    rm::Settings again;
    rm::PanelPosition againPanel;
    Check(rm::ApplySettingsText({again, againPanel}, saved) == rm::SettingsRead::Complete);
    Check(againPanel.Left == panel.Left && againPanel.Top == panel.Top);
    for (const rm::SettingRow& row : rm::SettingsTable) {
        const std::string value = row.Write({settings, panel});
        Check(IsUtf8(value));
        Check(row.Write({again, againPanel}) == value);
    }
    return 0;
}
