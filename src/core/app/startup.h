// Start-up and close of the main window.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "monitor.h"

namespace rm {

inline constexpr const char* FirstRunMessage =
    "現在、初期値で起動しています。\r"
    "初期値ではユーティリティを使用しないモードになっていますが\r"
    "このモードはメーカーの保証外のモードです。\r"
    "この設定の方がスマートに接続できると思いますが、\r"
    "保証外の意味が理解できない方は設定を変更してください。";

// Builds the start state; the panel's window exists, the endpoints are bound.
void FormCreate(Monitor& m);
// The main window is about to close; the program always ends afterwards.
void FormCloseQuery(Monitor& m);

// The four numbers of a dotted address, each converted without a range check;
// nothing when a part is missing or not a number.
std::optional<std::array<std::uint16_t, 4>> SplitAddress(const std::string& address);
// Sets RouterIp1..4 from RouterAddress, falling back to 192.168.0.1 with a message.
void ApplyRouterAddress(Monitor& m);
// Shapes PopupMenu1 for one port, two ports or multi-account mode.
void ApplyConnectMenuShape(Monitor& m);

}  // namespace rm
