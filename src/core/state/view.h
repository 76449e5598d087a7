// What the user sees, as plain data. The Win32 layer renders it after
// every event; tests read it directly.
#pragma once

#include <string>
#include <vector>

#include "state/menus.h"
#include "state/state.h"

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
};

struct TrayView {
    bool Visible = true;
    TrayIconKind Icon = TrayIconKind::Program;
    std::string Tip = AppTitle;
    PopupMenu LeftButton = PopupMenu::PopupMenu1;
    PopupMenu RightButton = PopupMenu::PopupMenu2;
};

struct SyslogViewerView {
    bool Shown = false;
    // Counts the requests to bring the window to the front.
    int Raised = 0;
    // The lines, oldest first; never trimmed.
    std::vector<std::string> Lines;
};

struct ViewModel {
    PanelView Panel;
    TrayView Tray;
    Menus Menu;
    SyslogViewerView Viewer;
    // The main window is to close, which ends the program.
    bool ExitRequested = false;
};

}  // namespace rm
