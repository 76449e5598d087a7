// What the user sees, as plain data. The Win32 layer renders it after
// every event; tests read it directly.
#pragma once

#include <string>
#include <vector>

#include "monitor/menus.h"
#include "monitor/state.h"

namespace rm {

enum class FontColour { WindowText, Blue, Red };
enum class TrayIconKind { Program, Connected };

inline constexpr int PanelWidth = 61;
inline constexpr int PanelHeight = 16;

struct PanelView {
    bool Shown = false;
    std::string Caption = "未接続";
    std::string Hint = AppTitle;
    FontColour Colour = FontColour::WindowText;
    int Left = 0, Top = 0;
};

struct TrayView {
    bool Visible = true;
    TrayIconKind Icon = TrayIconKind::Program;
    std::string Tip = AppTitle;
    PopupMenu LeftButton = PopupMenu::PopupMenu1;
    PopupMenu RightButton = PopupMenu::PopupMenu2;
};

struct ViewModel {
    PanelView Panel;
    TrayView Tray;
    Menus Menu;
    // The syslog viewer's lines, oldest first; never trimmed.
    std::vector<std::string> SyslogLines;
};

}  // namespace rm
