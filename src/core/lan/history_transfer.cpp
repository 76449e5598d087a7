#include "lan/history_transfer.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "lan/peer_send.h"
#include "menu_window.h"
#include "syslog/history_file.h"
#include "text/files.h"
#include "text/lines.h"
#include "waits.h"

namespace rm {
namespace {

namespace fs = std::filesystem;

constexpr int LinePause = 100;

// A Shift-JIS lead byte: its character takes two bytes.
bool IsLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

// The file's lines without their ends, each in datagrams that fit: a line
// longer than a datagram (no record is) goes in pieces cut between
// characters rather than be dropped by the master. Empty lines carry no record.
std::vector<std::string> RecordsOf(const std::string& bytes) {
    std::vector<std::string> records;
    for (std::string_view line : SplitLines(bytes)) {
        while (!line.empty()) {
            std::size_t cut = 0;
            while (cut < line.size()) {
                const std::size_t width = IsLeadByte(static_cast<unsigned char>(line[cut])) ? 2 : 1;
                if (cut + width > MaxPeerDatagram) break;
                cut += width;
            }
            cut = std::min(cut, line.size());
            records.emplace_back(line.substr(0, cut));
            line.remove_prefix(cut);
        }
    }
    return records;
}

Task<> Transfer(Monitor& m, fs::path backup) {
    SetWritable(backup, true);
    const std::optional<std::string> bytes = ReadFileBytes(backup);
    if (!bytes) throw std::runtime_error(PathText(backup) + " を読み込めません。");
    const std::vector<std::string> records = RecordsOf(*bytes);
    const std::string master = m.s.peers.MasterAddress;
    SendPeerText(m, master, PeerText::LogStart);
    for (const std::string& record : records) {
        SendPeerBytes(m, master, record);
        co_await Pause(m, LinePause);
    }
    SendPeerText(m, master, PeerText::LogEnd);
    std::string sent;
    for (const std::string& record : records) sent += (sent.empty() ? "" : "\r\n") + record;
    if (!sent.empty() && !AppendHistoryLine(SentHistoryFilePath(m.s.AppDir), sent)) {
        throw std::runtime_error(PathText(SentHistoryFilePath(m.s.AppDir)) + " に書き込めません。" +
                                 PathText(backup) + " は残します。");
    }
    std::error_code ignored;
    fs::remove(backup, ignored);
}

}  // namespace

fs::path SentHistoryFilePath(const fs::path& appDir) { return appDir / "log" / "RMBackUpSent.csv"; }

Task<> SendHistoryLog(Monitor& m) {
    // One transfer at a time: the item stays disabled until this one ends.
    const MenuWindow running(m.view.Menu, Item::SendHistoryLog);
    const bool go = co_await AskYesNo(m, "バックアップされたログファイルの転送を行います。\rよろしいですか？",
                                      "Routavista Monitor");
    if (!go) co_return;
    if (m.s.peers.MasterAddress.empty()) {
        ShowMessage(m, "マスターが見つかりません");
        co_return;
    }
    if (m.s.conn.Online) {
        ShowMessage(m, "接続中は実行できません");
        co_return;
    }
    const fs::path backup = BackupHistoryFilePath(m.s.AppDir);
    std::error_code ignored;
    if (fs::exists(backup, ignored)) co_await Transfer(m, backup);
    m.view.Menu[Item::SendHistoryLog].Visible = false;
}

}  // namespace rm
