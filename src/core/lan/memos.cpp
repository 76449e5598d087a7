#include "lan/memos.h"

#include "lan/peer_send.h"
#include "menu_window.h"
#include "text/chars.h"
#include "text/cp932.h"
#include "text/lines.h"
#include "waits.h"

namespace rm {
namespace {

constexpr int NameReplyWait = 500;

std::string DroppedLine(std::uint64_t dropped) {
    return "（古いメモ " + std::to_string(dropped) + " 行を削除しました）";
}

// Drops the oldest lines down to three quarters of the bound, so that the
// window redraws its whole text seldom; the first line counts what went.
void TrimMemoLines(MemoReceiveView& memo) {
    const bool counted = memo.Dropped > 0;
    std::size_t drop = counted ? 1 : 0;
    std::size_t bytes = memo.Bytes - (counted ? memo.Lines.front().size() : 0);
    for (; drop < memo.Lines.size() && bytes > MaxMemoBytes / 4 * 3; ++drop) {
        bytes -= memo.Lines[drop].size();
        ++memo.Dropped;
    }
    memo.Lines.erase(memo.Lines.begin(), memo.Lines.begin() + static_cast<std::ptrdiff_t>(drop));
    memo.Lines.insert(memo.Lines.begin(), DroppedLine(memo.Dropped));
    memo.Bytes = bytes + memo.Lines.front().size();
}

// Pieces of line that each fit into one datagram, cut between characters.
void AddCutLine(std::vector<std::string>& lines, std::string_view line) {
    std::string piece;
    std::size_t pieceBytes = 0;
    for (std::size_t i = 0; i < line.size();) {
        const auto lead = static_cast<unsigned char>(line[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const std::string_view character = line.substr(i, length);
        const std::size_t bytes = Utf8ToCp932(character).size();
        if (pieceBytes + bytes > MaxPeerDatagram) {
            lines.push_back(std::move(piece));
            piece.clear();
            pieceBytes = 0;
        }
        piece += character;
        pieceBytes += bytes;
        i += length;
    }
    lines.push_back(piece.empty() ? " " : piece);
}

// Datagrams are Shift-JIS: what it cannot hold would arrive as another
// character, or as "?". Empty when the part may go.
std::string Unsendable(const char* label, const std::string& part) {
    const std::string character = FirstCharNotInCp932(part);
    if (character.empty()) return {};
    return std::string("「") + label + "」に、送れない文字「" + character +
           "」があります。\rこの文字を使わずに書き直してください。メモは送っていません。";
}

}  // namespace

std::string DefaultMemoDestination(const MemoSendView& memo, std::optional<int> own) {
    for (std::size_t i = 0; i < memo.Destinations.size(); ++i) {
        if (memo.DestinationPeers[i] != own) return memo.Destinations[i];
    }
    return {};
}

int MemoDestinationIndex(const Peers& peers, const std::string& destination) {
    for (int index = 255; index > 0; --index) {
        if (peers.PcNames[static_cast<std::size_t>(index)] == destination) return index;
    }
    return 0;
}

std::vector<std::string> MemoLines(std::string_view text) {
    std::vector<std::string> lines;
    for (const std::string_view line : SplitLines(text)) AddCutLine(lines, line);
    return lines;
}

namespace {

void ClearDestinationList(MemoSendView& memo) {
    memo.Destinations.clear();
    memo.DestinationPeers.clear();
    ++memo.DestinationChanges;
}

}  // namespace

void ClearMemoDestinations(Monitor& m) {
    m.view.MemoSend.Destination.clear();
    ClearDestinationList(m.view.MemoSend);
}

Task<> WriteMemo(Monitor& m) {
    MenuWindow window(m.view.Menu, Item::WriteMemo);
    MemoSendView& memo = m.view.MemoSend;
    // The edit text stays: this copy's own answer to the query empties it.
    ClearDestinationList(memo);
    BroadcastPeerText(m, PeerText::NameQuery);
    // The replies that come meanwhile fill the list before the window opens.
    co_await Pause(m, NameReplyWait);
    window.Opened(memo.Open);
    m.ports.Dialogs.ShowMemoSend();
}

void KeepMemoDraft(Monitor& m, const std::string& destination, const std::string& text) {
    m.view.MemoSend.Destination = destination;
    m.view.MemoSend.Text = text;
}

void SendMemo(Monitor& m, const std::string& destination, const std::string& text) {
    KeepMemoDraft(m, destination, text);
    std::string refused = Unsendable("送信先", destination);
    if (refused.empty()) refused = Unsendable("メモ", text);
    if (!refused.empty()) {
        ShowMessage(m, refused);
        return;
    }
    const std::string address = SubnetAddress(m.s.router, MemoDestinationIndex(m.s.peers, destination));
    SendPeerText(m, address, PeerText::MemoStart);
    for (const std::string& line : MemoLines(text)) SendPeerText(m, address, line);
    SendPeerText(m, address, PeerText::MemoEnd);
    m.view.MemoSend.Open = false;
}

void CloseMemoReceive(Monitor& m) {
    MemoReceiveView& memo = m.view.MemoReceive;
    memo.Lines.clear();
    memo.Added = 0;
    memo.Bytes = 0;
    memo.Dropped = 0;
    ++memo.Emptied;
    HideMemoReceive(m);
}

void AddMemoLine(Monitor& m, std::string_view line) {
    MemoReceiveView& memo = m.view.MemoReceive;
    memo.Lines.push_back(VisibleText(line));
    memo.Bytes += memo.Lines.back().size();
    ++memo.Added;
    if (memo.Bytes > MaxMemoBytes) TrimMemoLines(memo);
}

void MemoNoticeClosed(Monitor& m) {
    m.view.MemoNotice = {};
    m.view.MemoReceive.Shown = true;
    ++m.view.MemoReceive.Raised;
}

void HideMemoReceive(Monitor& m) { m.view.MemoReceive.Shown = false; }

}  // namespace rm
