#include "lan/peer_receive.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "lan/memos.h"
#include "lan/peer_send.h"
#include "lan/sender_filter.h"
#include "syslog/history_file.h"
#include "text/address.h"
#include "text/chars.h"
#include "text/cp932.h"

namespace rm {
namespace {

constexpr const char* MemoRule = "-----------------------------";

// Names are kept per last octet.
std::optional<int> PeerIndex(const std::string& address) {
    const auto octets = ParseIpv4Address(address);
    if (!octets) return std::nullopt;
    return (*octets)[3];
}

void StartMemo(Monitor& m, const std::string& from) {
    m.s.peers.MemoReceiving = true;
    AddMemoLine(m, MemoRule);
    AddMemoLine(m, from + ":(" + TimeText(DecodeDateTime(m.ports.Clock.Now())) + ")");
    AddMemoLine(m, MemoRule);
}

// "192.0.2.20 から", or "192.0.2.20 ほか 2 台から" once several sent.
std::string SendersText(NoticeView& notice, const std::string& from) {
    std::vector<std::string>& senders = notice.Senders;
    if (std::find(senders.begin(), senders.end(), from) == senders.end()) {
        if (senders.size() < MaxNoticeSenders) {
            senders.push_back(from);
        } else {
            notice.MoreSenders = true;
        }
    }
    const std::string first = VisibleText(senders.front());
    if (senders.size() == 1) return first + " から";
    return first + " ほか " + std::to_string(senders.size() - 1) + (notice.MoreSenders ? " 台以上から" : " 台から");
}

// The receive window comes when the box is dismissed; memos that end before
// that are in it then, under the one box, which counts them.
void EndMemo(Monitor& m, const std::string& from) {
    AddMemoLine(m, "");
    m.s.peers.MemoReceiving = false;
    NoticeView& notice = m.view.MemoNotice;
    notice.Shown = true;
    ++notice.Count;
    notice.Text = "簡易メモのデータが届きました\r\n" + SendersText(notice, from) + "簡易メモ " +
                  std::to_string(notice.Count) + " 件";
}

// Transfers that end while the box is up add their lines to its count; a
// repeated End adds nothing, and without a box it tells the last count again.
void EndLog(Monitor& m, const std::string& from) {
    Peers& peers = m.s.peers;
    NoticeView& notice = m.view.LogNotice;
    notice.Count = notice.Shown ? notice.Count + peers.LogLineCount - peers.LogLinesTold : peers.LogLineCount;
    peers.LogLinesTold = peers.LogLineCount;
    notice.Shown = true;
    notice.Text = std::to_string(notice.Count) + "件のLOGを受信しました\r\n" + SendersText(notice, from);
}

void AnswerNameQuery(Monitor& m, const std::string& from) {
    ClearMemoDestinations(m);
    m.s.peers.NameQueryFrom = from;
    SendPeerText(m, from, std::string(PeerText::NameReply) + m.s.settings.NickName);
}

// The list shows a peer once, by its name or, for a peer without one, its address.
void TakeNameReply(Monitor& m, std::string_view name, const std::string& from) {
    const std::optional<int> index = PeerIndex(from);
    if (!index) return;
    std::string& entry = m.s.peers.PcNames[static_cast<std::size_t>(*index)];
    entry = name.empty() ? from : VisibleText(Cp932ToUtf8(name));
    MemoSendView& memo = m.view.MemoSend;
    const auto listed = [&](const std::string& text) {
        return std::find(memo.Destinations.begin(), memo.Destinations.end(), text) != memo.Destinations.end();
    };
    if (listed(from) || listed(entry)) return;
    // A peer that answers again under another name keeps its one entry.
    const auto own = std::find(memo.DestinationPeers.begin(), memo.DestinationPeers.end(), *index);
    if (own != memo.DestinationPeers.end()) {
        memo.Destinations[static_cast<std::size_t>(own - memo.DestinationPeers.begin())] = entry;
    } else {
        memo.Destinations.push_back(entry);
        memo.DestinationPeers.push_back(*index);
    }
    memo.Destination = DefaultMemoDestination(memo, PeerIndex(m.s.peers.NameQueryFrom));
    ++memo.DestinationChanges;
}

void TakeMaster(Monitor& m, const std::string& from) {
    if (m.s.settings.MasterMode) return;
    m.s.peers.MasterAddress = from;
    std::error_code ignored;
    if (std::filesystem::exists(BackupHistoryFilePath(m.s.AppDir), ignored))
        m.view.Menu[Item::SendHistoryLog].Visible = true;
}

void ForgetMaster(Monitor& m) {
    if (m.s.settings.MasterMode) return;
    m.s.peers.MasterAddress.clear();
    m.s.peers.MasterAtConnect = false;
    m.view.Menu[Item::SendHistoryLog].Visible = false;
}

}  // namespace

void OnPeerDatagram(Monitor& m, int byteCount, std::string_view datagram, const std::string& senderAddress) {
    if (byteCount < 0 || !PeerSenderTaken(m, senderAddress)) return;
    const std::string_view text = datagram.substr(0, static_cast<std::size_t>(byteCount));
    Peers& peers = m.s.peers;
    const bool master = m.s.settings.MasterMode;
    if (text == PeerText::MemoStart) {
        StartMemo(m, senderAddress);
    } else if (text == PeerText::MemoEnd) {
        EndMemo(m, senderAddress);
    } else if (text == PeerText::LogStart && master) {
        peers.LogReceiving = true;
        peers.LogLineCount = 0;
        peers.LogLinesTold = 0;
    } else if (text == PeerText::LogEnd) {
        peers.LogReceiving = false;
        if (master) EndLog(m, senderAddress);
    } else if (text == PeerText::NameQuery) {
        AnswerNameQuery(m, senderAddress);
    } else if (text.starts_with(PeerText::NameReply)) {
        TakeNameReply(m, text.substr(PeerText::NameReply.size()), senderAddress);
    } else if (text == PeerText::MasterCheck) {
        if (master) BroadcastPeerText(m, PeerText::MasterConnected);
    } else if (text == PeerText::MasterConnected) {
        TakeMaster(m, senderAddress);
    } else if (text == PeerText::MasterDisconnected) {
        ForgetMaster(m);
    } else if (peers.LogReceiving) {
        if (text == PeerText::LogStart) return;
        WriteReceivedHistoryLine(m, text);
        ++peers.LogLineCount;
    } else if (peers.MemoReceiving) {
        AddMemoLine(m, Cp932ToUtf8(text));
    }
}

void LogNoticeClosed(Monitor& m) { m.view.LogNotice = {}; }

}  // namespace rm
