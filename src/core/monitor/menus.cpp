#include "monitor/menus.h"

namespace rm {

Menus::Menus() {
    auto set = [this](Item i, const char* caption, bool visible = true, bool enabled = true) {
        (*this)[i] = MenuItem{caption, visible, enabled, false};
    };
    set(Item::N1, "接続");
    set(Item::N2, "切断");
    set(Item::N13, "テスト", false);
    set(Item::N9, "-");
    set(Item::N10, "ポート2接続", false);
    set(Item::ISP3, "ISP3接続", false);
    set(Item::N11, "ポート2切断", false);
    set(Item::N12, "-", false);
    set(Item::N3, "リセット");
    set(Item::N6, "-");
    set(Item::N4, "ﾀﾞｳﾝﾛｰﾄﾞ後切断", true, false);
    set(Item::IP1, "IPｱﾄﾞﾚｽをｺﾋﾟｰ", true, false);

    set(Item::L11, "L1", false);
    set(Item::L21, "L2", false);
    set(Item::L31, "L3", false);
    set(Item::L41, "L4", false);
    set(Item::L51, "L5", false);
    set(Item::L61, "L6", false);
    set(Item::N5, "-");
    set(Item::option_n1, "設定");
    set(Item::memosend, "メモ送信");
    set(Item::RMV, "履歴をｸﾞﾗﾌ表示", false);
    set(Item::syslog1, "SysLogを表示");
    set(Item::logCon, "履歴ログの送信", false);
    set(Item::N7, "-");
    set(Item::help_n1, "ﾍﾙﾌﾟ");
    set(Item::openver_n1, "ﾊﾞｰｼﾞｮﾝ情報");
    set(Item::N8, "-");
    set(Item::Exit1, "終了");
}

Item LauncherItem(int i) { return static_cast<Item>(static_cast<int>(Item::L11) + i - 1); }

}  // namespace rm
