// Prints the program's menu and settings tables as JSON, for the test tools
// and the demo run: they take ids, captions and defaults from here instead of
// keeping a second list.
#include <cstdio>
#include <string>
#include <string_view>

#include "settings/settings_file.h"
#include "state/menus.h"
#include "state/viewer_menu.h"

namespace {

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

const char* Bool(bool b) { return b ? "true" : "false"; }

}  // namespace

int main() {
    std::string json = "{\n  \"menu\": [\n";
    for (const rm::MenuRow& row : rm::MenuTable) {
        json += "    {\"name\": " + Quoted(row.Name) +
                ", \"menu\": " + Quoted(row.Menu == rm::PopupMenu::ConnectMenu ? "ConnectMenu" : "MainMenu") +
                ", \"caption\": " + Quoted(row.Caption) + ", \"visible\": " + Bool(row.Visible) +
                ", \"enabled\": " + Bool(row.Enabled) + ", \"command\": " + std::to_string(rm::CommandIdOf(row.Id)) +
                "},\n";
    }
    json.resize(json.size() - 2);
    json += "\n  ],\n  \"viewer_menu\": [\n";
    for (const rm::ViewerMenuRow& row : rm::ViewerMenuTable) {
        json += "    {\"name\": " + Quoted(row.Name) + ", \"caption\": " + Quoted(row.Caption) +
                ", \"heading\": " + Bool(row.Heading) + ", \"command\": " + std::to_string(rm::CommandIdOf(row.Id)) +
                "},\n";
    }
    json.resize(json.size() - 2);
    const rm::Settings settings;
    const rm::PanelPosition panel;
    const rm::MainState state;
    const std::string file = rm::SettingsFileText({settings, panel}, state.VersionText);
    json += "\n  ],\n  \"settings_header\": " + Quoted(file.substr(0, file.find('\r'))) + ",\n  \"settings\": [\n";
    for (const rm::SettingRow& row : rm::SettingsTable) {
        json += "    {\"pair\": " + std::to_string(row.Pair) + ", \"name\": " + Quoted(row.Name) +
                ", \"label\": " + Quoted(row.Label) + ", \"default\": " + Quoted(row.Write({settings, panel})) +
                ", \"control\": " + (row.Control ? Quoted(row.Control) : std::string("null")) +
                ", \"control_id\": " + std::to_string(row.ControlId) + "},\n";
    }
    json.resize(json.size() - 2);
    json += "\n  ]\n}\n";
    std::fputs(json.c_str(), stdout);
    return 0;
}
