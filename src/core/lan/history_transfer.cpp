#include "lan/history_transfer.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "peers/peer_send.h"
#include "syslog/history_file.h"
#include "text/files.h"

namespace rm {
namespace {

namespace fs = std::filesystem;

constexpr int LinePause = 100;

// The file's lines without their ends; empty lines carry no record.
std::vector<std::string> RecordsOf(const std::string& bytes) {
    std::vector<std::string> records;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (line.ends_with('\r')) line.pop_back();
        if (!line.empty()) records.push_back(std::move(line));
        start = end + 1;
    }
    return records;
}

void Transfer(Monitor& m, const fs::path& backup) {
    SetWritable(backup, true);
    const std::optional<std::string> bytes = ReadFileBytes(backup);
    if (!bytes) throw std::runtime_error(PathText(backup) + " を読み込めません。");
    const std::vector<std::string> records = RecordsOf(*bytes);
    const std::string master = m.s.peers.MasterAddress;
    SendPeerText(m, master, PeerText::LogStart);
    for (const std::string& record : records) {
        SendPeerBytes(m, master, record);
        m.ports.Events.Sleep(LinePause);
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

void logConClick(Monitor& m) {
    if (!m.ports.Dialogs.AskYesNo("バックアップされたログファイルの転送を行います。\rよろしいですか？",
                                  "Routavista Monitor")) {
        return;
    }
    if (m.s.peers.MasterAddress.empty()) {
        m.ports.Dialogs.ShowMessage("マスターが見つかりません");
        return;
    }
    if (m.s.conn.Online) {
        m.ports.Dialogs.ShowMessage("接続中は実行できません");
        return;
    }
    const fs::path backup = BackupHistoryFilePath(m.s.AppDir);
    std::error_code ignored;
    if (fs::exists(backup, ignored)) Transfer(m, backup);
    m.view.Menu[Item::logCon].Visible = false;
}

}  // namespace rm
