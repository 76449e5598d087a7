// The two popup menus as plain data: every item's caption and state. The
// Win32 layer builds the real menus from this each time one opens.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace rm {

enum class PopupMenu { PopupMenu1, PopupMenu2 };

// Every item once, in menu order: name, menu, caption at start ("-" is a
// separator), visible and enabled at start.
#define RM_MENU_ITEMS(X)                                           \
    X(N1, PopupMenu1, "接続", true, true)                          \
    X(N2, PopupMenu1, "切断", true, true)                          \
    X(N13, PopupMenu1, "テスト", false, true)                      \
    X(N9, PopupMenu1, "-", true, true)                             \
    X(N10, PopupMenu1, "ポート2接続", false, true)                 \
    X(ISP3, PopupMenu1, "ISP3接続", false, true)                   \
    X(N11, PopupMenu1, "ポート2切断", false, true)                 \
    X(N12, PopupMenu1, "-", false, true)                           \
    X(N3, PopupMenu1, "リセット", true, true)                      \
    X(N6, PopupMenu1, "-", true, true)                             \
    X(N4, PopupMenu1, "ﾀﾞｳﾝﾛｰﾄﾞ後切断", true, false)               \
    X(IP1, PopupMenu1, "IPｱﾄﾞﾚｽをｺﾋﾟｰ", true, false)               \
    X(L11, PopupMenu2, "L1", false, true)                          \
    X(L21, PopupMenu2, "L2", false, true)                          \
    X(L31, PopupMenu2, "L3", false, true)                          \
    X(L41, PopupMenu2, "L4", false, true)                          \
    X(L51, PopupMenu2, "L5", false, true)                          \
    X(L61, PopupMenu2, "L6", false, true)                          \
    X(N5, PopupMenu2, "-", true, true)                             \
    X(option_n1, PopupMenu2, "設定", true, true)                   \
    X(memosend, PopupMenu2, "メモ送信", true, true)                \
    X(RMV, PopupMenu2, "履歴をｸﾞﾗﾌ表示", false, true)              \
    X(syslog1, PopupMenu2, "SysLogを表示", true, true)             \
    X(logCon, PopupMenu2, "履歴ログの送信", false, true)           \
    X(N7, PopupMenu2, "-", true, true)                             \
    X(help_n1, PopupMenu2, "ﾍﾙﾌﾟ", true, true)                     \
    X(openver_n1, PopupMenu2, "ﾊﾞｰｼﾞｮﾝ情報", true, true)           \
    X(N8, PopupMenu2, "-", true, true)                             \
    X(Exit1, PopupMenu2, "終了", true, true)

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

// Launcher item i (1..6) of PopupMenu2.
Item LauncherItem(int i);

}  // namespace rm
