// The syslog viewer's menu bar as plain data: every item once, in menu order.
// The Win32 layer builds the bar from this table.
#pragma once

#include <array>
#include <cstddef>

namespace rm {

// name, caption ("-" is a separator), whether it heads a menu of the bar.
#define RM_VIEWER_MENU_ITEMS(X)                         \
    X(FileMenu, "ﾌｧｲﾙ", true)                           \
    X(CopyLog, "ログをコピー", false)                   \
    X(CopyLogQuoted, "ログを引用符付きでコピー", false) \
    X(SaveLog, "ログをファイルに保存", false)           \
    X(SeparatorBeforeClose, "-", false)                 \
    X(Close, "終了", false)                             \
    X(OptionsMenu, "ｵﾌﾟｼｮﾝ", true)                      \
    X(ChangeFont, "ﾌｫﾝﾄ", false)                        \
    X(HelpMenu, "ﾍﾙﾌﾟ", true)                           \
    X(Help, "この項目のﾍﾙﾌﾟ", false)

enum class ViewerItem : int {
#define RM_VIEWER_ENUM(name, caption, heading) name,
    RM_VIEWER_MENU_ITEMS(RM_VIEWER_ENUM)
#undef RM_VIEWER_ENUM
    Count
};

inline constexpr std::size_t ViewerItemCount = static_cast<std::size_t>(ViewerItem::Count);

struct ViewerMenuRow {
    ViewerItem Id;
    const char* Name;
    const char* Caption;
    // Heads a menu of the bar; the items after it, up to the next heading, are its items.
    bool Heading;
};

inline constexpr std::array<ViewerMenuRow, ViewerItemCount> ViewerMenuTable{{
#define RM_VIEWER_ROW(name, caption, heading) {ViewerItem::name, #name, caption, heading},
    RM_VIEWER_MENU_ITEMS(RM_VIEWER_ROW)
#undef RM_VIEWER_ROW
}};

// The viewer's commands (WM_COMMAND on Windows), apart from the popup menus'.
inline constexpr int FirstViewerCommandId = 2000;
constexpr int CommandIdOf(ViewerItem item) { return FirstViewerCommandId + static_cast<int>(item); }

}  // namespace rm
