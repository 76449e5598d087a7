// Short text memos between the copies on the LAN: the name exchange that
// fills the send window's destination list, sending, and the receive window.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "monitor.h"
#include "steps/task.h"

namespace rm {

// Asks every copy for its name and shows the send window until it closes.
Task<> WriteMemo(Monitor& m);
// The send window's "送信": the memo goes to the peer the destination names.
// A destination or text with a character Shift-JIS cannot hold is refused
// with a message, and the window stays open.
void SendMemo(Monitor& m, const std::string& destination, const std::string& text);
// The send window closed without sending: its texts are kept for next time.
void KeepMemoDraft(Monitor& m, const std::string& destination, const std::string& text);
// Empties the destination list and its edit text.
void ClearMemoDestinations(Monitor& m);
// The receive window's "閉じる": the memos read are gone.
void CloseMemoReceive(Monitor& m);
// Its close box only hides it; the memos stay.
void HideMemoReceive(Monitor& m);

// The receive window holds at most this much text; older lines go in steps
// of a quarter, and its first line then says how many went.
inline constexpr std::size_t MaxMemoBytes = 1024 * 1024;
// Adds a received line, its control bytes made visible so none hides the rest.
void AddMemoLine(Monitor& m, std::string_view line);
// The box "簡易メモのデータが届きました" was dismissed: the memos are shown.
void MemoNoticeClosed(Monitor& m);

// What the destination box shows first: the first entry of another PC than
// own (this PC's peer index), which answers its own query too; empty while
// only this PC answered.
std::string DefaultMemoDestination(const MemoSendView& memo, std::optional<int> own);
// The peer a destination names: the highest index whose name equals it, 0 when none.
int MemoDestinationIndex(const Peers& peers, const std::string& destination);
// The memo as datagram texts: one per line, " " for an empty one, nothing for
// an empty last line; a line longer than a datagram takes several.
std::vector<std::string> MemoLines(std::string_view text);

}  // namespace rm
