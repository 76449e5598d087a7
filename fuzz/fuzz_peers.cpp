// Any sequence of datagrams from the copies on the LAN: the handler never
// fails, keeps every text it shows valid UTF-8, lists each destination once,
// answers a name query to its sender only, and leaves the master's file of
// received records one record per line, whatever the records held.
//
// Input: one byte of settings (bit 0: this copy is the master), then records
// of the sender's last octet, a length byte and that many bytes of datagram.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

#include "fakes.h"
#include "fuzz_checks.h"
#include "lan/peer_receive.h"
#include "syslog/history_file.h"
#include "text/files.h"

namespace {

// A monitor on the fakes in the one program folder of the run: a folder made
// per input costs more than the input.
struct PeerMonitor : rm::test::FakePorts {
    rm::Monitor m{rm::MainState{}, rm::ViewModel{}, ports};

    PeerMonitor() {
        static const rm::test::TempDir folder;
        static const bool made = std::filesystem::create_directory(folder.path() / "log");
        Check(made);
        m.s.AppDir = folder.path();
        m.s.router = {192, 168, 0, 1};
    }
};

void CheckReceivedFile(const std::filesystem::path& file) {
    const std::optional<std::string> bytes = rm::ReadFileBytes(file);
    if (!bytes) return;
    Check(bytes->empty() || bytes->ends_with("\r\n"));
    for (std::size_t i = 0; i < bytes->size(); ++i) {
        const auto c = static_cast<unsigned char>((*bytes)[i]);
        // Only the line ends are control bytes.
        Check(c >= 0x20 || (c == '\r' && (*bytes)[i + 1] == '\n') || (c == '\n' && i > 0 && (*bytes)[i - 1] == '\r'));
    }
    // Read whole each time, so kept short.
    if (bytes->size() > 4096) std::filesystem::remove(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    PeerMonitor f;
    f.m.s.settings.MasterMode = (data[0] & 1) != 0;
    for (std::size_t at = 1; at + 2 <= size;) {
        const std::string from = "192.168.0." + std::to_string(data[at]);
        const std::size_t length = std::min<std::size_t>(data[at + 1], size - at - 2);
        const std::string datagram(reinterpret_cast<const char*>(data + at + 2), length);
        at += 2 + length;
        const std::size_t sent = f.net.sent.size();
        rm::OnPeerDatagram(f.m, static_cast<int>(datagram.size()), datagram, from);
        for (std::size_t i = sent; i < f.net.sent.size(); ++i) {
            if (f.net.sent[i].bytes.starts_with("RMonitor PC Name =")) Check(f.net.sent[i].host == from);
        }
    }
    for (const std::string& name : f.m.s.peers.PcNames) Check(IsUtf8(name));
    for (const std::string& line : f.m.view.MemoReceive.Lines) Check(IsUtf8(line));
    const auto& destinations = f.m.view.MemoSend.Destinations;
    Check(std::set<std::string>(destinations.begin(), destinations.end()).size() == destinations.size());
    const std::string& offered = f.m.view.MemoSend.Destination;
    Check(offered.empty() || std::find(destinations.begin(), destinations.end(), offered) != destinations.end());
    Check(f.m.s.files.ReceivedUnwritten.empty());
    CheckReceivedFile(rm::ReceivedHistoryFilePath(f.m.s.AppDir));
    return 0;
}
