// Start-up and close of the main window.
#pragma once

#include "monitor.h"
#include "steps/task.h"

namespace rm {

inline constexpr const char* FirstRunMessage =
    "現在、初期値で起動しています。\r"
    "初期値ではユーティリティを使用しないモードになっていますが\r"
    "このモードはメーカーの保証外のモードです。\r"
    "この設定の方がスマートに接続できると思いますが、\r"
    "保証外の意味が理解できない方は設定を変更してください。\r\r"
    // Where, for someone who has never seen the settings dialog; lines short
    // enough for a message box.
    "設定の変更：通知領域のアイコンを右クリック\r"
    "→「設定」→「基本設定」のページ\r"
    "・RoutavistaのIPアドレス（初期値 192.168.0.1）\r"
    "・ユーティリティを使うときは、その場所と\r"
    "　「…ユーティリティを使用しない（無保証）」のチェック";

// At the first start the icon tells where the program is: Windows puts new
// icons out of sight, and a second start ends without a word.
inline constexpr const char* FirstStartBalloon =
    "Routavista Monitor は通知領域で動作しています。アイコンが見えないときは、タスクバーの「^」を"
    "クリックしてください。アイコンのクリックでメニューが開きます。";

// Builds the start state and restores everything of the last run before its
// first wait; the panel's window exists, the endpoints are bound.
Task<> StartUp(Monitor& m);
// The main window is about to close; the program always ends afterwards.
void ShutDown(Monitor& m);

// Sets RouterIp1..4 from RouterAddress as the settings dialog checks it,
// falling back to the default address with a message.
void ApplyRouterAddress(Monitor& m);
// Shapes ConnectMenu for one port, two ports or multi-account mode.
void ApplyConnectMenuShape(Monitor& m);

}  // namespace rm
