// Any sequence of datagrams on the syslog port: the interpreter never fails,
// keeps its record fields in shape, and writes a history line only for a
// call that connected.
//
// Input: one byte of settings, then datagrams separated by '\n', each cut to
// 2048 bytes. A datagram starting with 0x01 stands for a connect command of
// this copy instead (port or ISP in its second byte). A datagram that arrives
// while the redial question is open is handled inside it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "syslog/history_file.h"
#include "test_syslog_support.h"
#include "fuzz_checks.h"

namespace {

constexpr std::size_t MaxDatagram = 2048;

// What the phrase tests see.
bool Says(std::string_view datagram, std::string_view phrase) {
    std::string clean;
    for (const char c : datagram.substr(0, rm::MaxSyslogBytes)) {
        if (static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) <= 0x7F) clean += c;
    }
    return clean.find(phrase) != std::string::npos;
}

std::vector<std::string> ReadLines(const std::filesystem::path& file) {
    std::vector<std::string> lines;
    const std::string bytes = rm::test::ReadFile(file);
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t end = bytes.find("\r\n", start);
        Check(end != std::string::npos);  // every line is complete
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

void CheckRecord(const std::string& record) {
    std::vector<std::string> fields;
    for (std::size_t start = 0;;) {
        const std::size_t comma = record.find(',', start);
        fields.push_back(record.substr(start, comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    Check(fields.size() == 8 || fields.size() == 9);
    Check(fields[1] == "Port1" || fields[1] == "Port2");
    if (fields.size() == 9) Check(fields[8].size() == 7 && fields[8] != "       ");
}

struct Run {
    rm::test::FakeMonitor f;
    std::vector<std::string_view> datagrams;
    std::size_t next = 0;
    int connectLines = 0, disconnectLines = 0;

    void CheckState() const {
        const rm::MainState& s = f.m.s;
        Check(s.conn.DialledNumber.empty() || s.conn.DialledNumber.size() == 7);
        Check(s.conn.HistoryStage >= 0 && s.conn.HistoryStage <= 2);
        Check(s.conn.HistoryStage == 0 || s.conn.HistoryRecord.starts_with(s.VersionText + ",Port"));
    }

    void HandleNext() {
        const std::string_view datagram = datagrams[next++];
        f.clock.now += 1.0 / 86400;
        if (!datagram.empty() && datagram[0] == '\x01') {
            const int target = datagram.size() > 1 ? static_cast<unsigned char>(datagram[1]) % 4 : 1;
            f.m.s.conn.ConnectPending = true;
            if (f.m.s.settings.MultiAccount) {
                f.m.s.conn.ConnectedIsp = static_cast<std::uint16_t>(target);
            } else {
                f.m.s.conn.ConnectedPort = static_cast<std::int16_t>(target % 3);
            }
            return;
        }
        const bool looked = datagram.size() <= rm::MaxSyslogBytes;
        if (looked && Says(datagram, "Connect successfully")) ++connectLines;
        if (looked && Says(datagram, "Disconnect successfully")) ++disconnectLines;
        const std::size_t linesBefore = f.m.view.Viewer.Lines.size();
        rm::SYSLOGUDPDataReceived(f.m, static_cast<int>(datagram.size()), datagram);
        if (!looked) Check(f.m.view.Viewer.Lines.size() == linesBefore);
        CheckState();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    Run run;
    rm::MainState& s = run.f.m.s;
    const std::uint8_t settings = data[0];
    s.settings.SyslogSimple = (settings & 0x01) != 0;
    s.settings.MultiAccount = (settings & 0x02) != 0;
    s.settings.UseDialUpWatcher = (settings & 0x04) != 0;
    s.settings.MasterMode = (settings & 0x08) != 0;
    s.settings.SyslogAddTime = (settings & 0x10) != 0;
    s.settings.SyslogLineBreaks = (settings & 0x20) != 0;
    constexpr std::uint16_t RedialCounts[] = {0, 1, 2, 255};
    s.settings.RedialCount = s.redial.RedialLeft = RedialCounts[settings >> 6];
    s.settings.SyslogAutoSave = false;
    std::filesystem::create_directory(s.AppDir / "log");

    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    for (std::size_t start = 0; start <= bytes.size();) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        run.datagrams.push_back(bytes.substr(start, std::min(end - start, MaxDatagram)));
        start = end + 1;
    }
    run.f.dialogs.whileOpen = [&run] {
        if (run.next < run.datagrams.size()) run.HandleNext();
    };
    while (run.next < run.datagrams.size()) run.HandleNext();

    const std::vector<std::string> records = ReadLines(rm::HistoryFilePath(s.AppDir));
    Check(static_cast<int>(records.size()) <= run.connectLines);
    Check(static_cast<int>(records.size()) <= run.disconnectLines);
    for (const std::string& record : records) CheckRecord(record);
    for (const std::string& line : run.f.m.view.Viewer.Lines) Check(IsUtf8(line));
    return 0;
}
