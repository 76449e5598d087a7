// The two popup menus as plain data: every item's caption and state. The
// Win32 layer builds the real menus from this each time one opens.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace rm {

enum class PopupMenu { ConnectMenu, MainMenu };

// Every item once, in menu order: name, menu, caption at start ("-" is a
// separator), visible and enabled at start.
#define RM_MENU_ITEMS(X)                                                   \
    X(ConnectPort1, ConnectMenu, "接続", true, true)                       \
    X(DisconnectPort1, ConnectMenu, "切断", true, true)                    \
    X(HiddenTest, ConnectMenu, "テスト", false, true)                      \
    X(SeparatorAfterPort1, ConnectMenu, "-", true, true)                   \
    X(ConnectPort2, ConnectMenu, "ポート2接続", false, true)               \
    X(ConnectIsp3, ConnectMenu, "ISP3接続", false, true)                   \
    X(DisconnectPort2, ConnectMenu, "ポート2切断", false, true)            \
    X(SeparatorAfterPort2, ConnectMenu, "-", false, true)                  \
    X(Reset, ConnectMenu, "リセット", true, true)                          \
    X(SeparatorBeforeWatch, ConnectMenu, "-", true, true)                  \
    X(DisconnectAfterDownload, ConnectMenu, "ﾀﾞｳﾝﾛｰﾄﾞ後切断", true, false) \
    X(CopyAddress, ConnectMenu, "IPｱﾄﾞﾚｽをｺﾋﾟｰ", true, false)              \
    X(Launch1, MainMenu, "L1", false, true)                                \
    X(Launch2, MainMenu, "L2", false, true)                                \
    X(Launch3, MainMenu, "L3", false, true)                                \
    X(Launch4, MainMenu, "L4", false, true)                                \
    X(Launch5, MainMenu, "L5", false, true)                                \
    X(Launch6, MainMenu, "L6", false, true)                                \
    X(SeparatorAfterLaunchers, MainMenu, "-", true, true)                  \
    X(OpenSettings, MainMenu, "設定", true, true)                          \
    X(WriteMemo, MainMenu, "メモ送信", true, true)                         \
    X(ShowHistoryGraph, MainMenu, "履歴をｸﾞﾗﾌ表示", false, true)           \
    X(ShowSyslog, MainMenu, "SysLogを表示", true, true)                    \
    X(SendHistoryLog, MainMenu, "履歴ログの送信", false, true)             \
    X(SeparatorBeforeHelp, MainMenu, "-", true, true)                      \
    X(OpenHelp, MainMenu, "ﾍﾙﾌﾟ", true, true)                              \
    X(ShowVersion, MainMenu, "ﾊﾞｰｼﾞｮﾝ情報", true, true)                    \
    X(SeparatorBeforeExit, MainMenu, "-", true, true)                      \
    X(Exit, MainMenu, "終了", true, true)

enum class Item : int {
#define RM_MENU_ENUM(name, menu, caption, visible, enabled) name,
    RM_MENU_ITEMS(RM_MENU_ENUM)
#undef RM_MENU_ENUM
    Count
};

inline constexpr std::size_t ItemCount = static_cast<std::size_t>(Item::Count);

struct MenuRow {
    Item Id;
    const char* Name;
    PopupMenu Menu;
    const char* Caption;
    bool Visible, Enabled;
};

inline constexpr std::array<MenuRow, ItemCount> MenuTable{{
#define RM_MENU_ROW(name, menu, caption, visible, enabled) \
    {Item::name, #name, PopupMenu::menu, caption, visible, enabled},
    RM_MENU_ITEMS(RM_MENU_ROW)
#undef RM_MENU_ROW
}};

// The number a menu command carries (WM_COMMAND on Windows), the same in
// both menus.
inline constexpr int FirstCommandId = 1000;
constexpr int CommandIdOf(Item item) { return FirstCommandId + static_cast<int>(item); }

struct MenuItem {
    std::string Caption;  // "-" marks a separator
    bool Visible = true;
    bool Enabled = true;
    bool Checked = false;

    bool IsSeparator() const { return Caption == "-"; }
};

class Menus {
public:
    Menus();  // every item as laid out
    MenuItem& operator[](Item i) { return items_[static_cast<std::size_t>(i)]; }
    const MenuItem& operator[](Item i) const { return items_[static_cast<std::size_t>(i)]; }

private:
    std::array<MenuItem, ItemCount> items_;
};

// The items of one menu, top first.
std::vector<Item> ItemsOf(PopupMenu menu);

// Launcher item i (1..6) of MainMenu.
Item LauncherItem(int i);

}  // namespace rm
