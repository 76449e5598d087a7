// A monitor on fakes that receives router syslog lines at chosen times.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "fakes.h"
#include "syslog/syslog.h"
#include "text/datetime.h"

namespace rm::test {

// Lines as the router writes them, port 1 unless told otherwise.
inline std::string DialLine(std::string_view number, std::string_view port = "S01:") {
    return "<30>RV4: " + std::string(port) + " -->: ATDT" + std::string(number);
}
inline std::string SpeedLine(std::string_view speed, std::string_view port = "S01:") {
    return "<30>RV4: " + std::string(port) + " <--: CONNECT " + std::string(speed);
}
inline std::string ConnectLine(std::string_view port = "S01:") {
    return "<30>RV4: " + std::string(port) + " PPP Connect successfully";
}
inline std::string DisconnectLine(std::string_view port = "S01:") {
    return "<30>RV4: " + std::string(port) + " PPP Disconnect successfully";
}
inline std::string BusyLine(std::string_view port = "S01:") {
    return "<30>RV4: " + std::string(port) + " <--: BUSY";
}

// The router's address in the tests' settings: the sender of its syslog.
inline const std::string RouterSender = "192.168.0.1";

inline DateTime At(int year, int month, int day, int hour, int minute, int second) {
    return EncodeDateTime({year, month, day, hour, minute, second, 0});
}

inline std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

struct SyslogMonitor : FakeMonitor {
    SyslogMonitor() {
        std::filesystem::create_directory(dir.path() / "log");
        std::filesystem::create_directory(dir.path() / "syslog");
        clock.now = At(2003, 1, 2, 9, 5, 0);
    }

    void Receive(std::string_view line) {
        Run(OnSyslogDatagram(m, static_cast<int>(line.size()), std::string(line), RouterSender, clock.now));
    }
    void ReceiveAt(DateTime when, std::string_view line) {
        clock.now = when;
        Receive(line);
    }
    // What a connect command of this copy leaves behind before the router answers.
    void RequestConnect(std::int16_t port) {
        m.s.conn.ConnectPending = true;
        m.s.conn.ConnectedPort = port;
    }

    std::string History() const { return ReadFile(dir.path() / "log" / "Rmonitor.csv"); }
    std::string Backup() const { return ReadFile(dir.path() / "log" / "RMBackUp.csv"); }
};

}  // namespace rm::test
