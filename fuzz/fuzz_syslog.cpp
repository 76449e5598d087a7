// Any sequence of datagrams on the syslog port: the interpreter never fails,
// keeps its record fields in shape, writes a history line only for a call
// that connected, only shows a datagram reported longer than it acts on, and
// with automatic saving on leaves in the daily file whole lines without a
// control byte, the ones the viewer shows.
//
// Input: one byte of settings, then up to 16 datagrams separated by '\n',
// each cut to 2048 bytes; longer inputs repeat what shorter ones reach, at a
// cost that grows with each redial. A datagram starting with 0x01
// stands for a connect command of this copy instead (port or ISP in its
// second byte); 0x02 switches automatic saving on or off; 0x03 is the rest of
// the datagram with a byteCount over the limit (from its second byte). A
// datagram that arrives while the redial question is open is handled inside
// it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "syslog/history_file.h"
#include "syslog/syslog_file.h"
#include "text/cp932.h"
#include "fakes.h"
#include "syslog/syslog.h"
#include "fuzz_checks.h"

namespace {

constexpr std::size_t MaxDatagram = 2048;
constexpr std::size_t MaxDatagrams = 16;

// What the phrase tests see.
std::string Clean(std::string_view datagram) {
    std::string clean;
    clean.reserve(rm::MaxSyslogBytes);
    for (const char c : datagram.substr(0, rm::MaxSyslogBytes)) {
        if (static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) <= 0x7F) clean += c;
    }
    return clean;
}

bool HasControl(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
}

std::vector<std::string> LinesOf(const std::string& bytes) {
    std::vector<std::string> lines;
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

// The bytes each input appends to a file of the program folder. A file
// removed and made anew for every input costs more than the input, so it is
// only removed once it has grown large.
class Appended {
public:
    explicit Appended(std::filesystem::path file) : file_(std::move(file)) {}
    const std::filesystem::path& File() const { return file_; }
    std::string Take() {
        std::ifstream in(file_, std::ios::binary);
        in.seekg(static_cast<std::streamoff>(seen_));
        std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        seen_ += bytes.size();
        if (seen_ > 1 << 16) {
            std::filesystem::remove(file_);
            seen_ = 0;
        }
        return bytes;
    }

private:
    std::filesystem::path file_;
    std::size_t seen_ = 0;
};

// Ports that count what the core asks instead of keeping copies: a redial
// sends, asks and tells several times, and the copies would cost more than
// the interpreter itself.
class CountingNet : public rm::DatagramPort {
public:
    std::size_t sends = 0;
    void Send(rm::Endpoint, const std::string&, std::string_view) override { ++sends; }
};

// Answers Yes; the next datagram comes while each box is up.
class CountingDialogs : public rm::DialogPort {
public:
    explicit CountingDialogs(rm::test::FakeSteps& steps) : steps_(steps) {}
    std::size_t messages = 0, questions = 0;
    std::function<void()> whileOpen;
    void ShowMessage(const std::string&, std::function<void()> closed) override {
        ++messages;
        steps_.Later(0, [this, closed = std::move(closed)] {
            whileOpen();
            if (closed) closed();
        });
    }
    void AskYesNo(const std::string&, const std::string&, std::function<void(bool)> answered) override {
        ++questions;
        steps_.Later(0, [this, answered = std::move(answered)] {
            whileOpen();
            answered(true);
        });
    }
    void ShowAbout() override {}
    void ShowMemoSend() override {}
    bool ShowLaunchEntryDialog(rm::LaunchForm&) override { return false; }
    std::optional<std::filesystem::path> AskSaveFileName() override { return std::nullopt; }
    std::optional<rm::ViewerFont> AskFont(const rm::ViewerFont&) override { return std::nullopt; }
    void ShowSettingsDialog(rm::SettingsForm&, rm::SettingsFormEvents&) override {}

private:
    rm::test::FakeSteps& steps_;
};

class CountingSound : public rm::SoundPort {
public:
    std::size_t played = 0;
    void PlayWave(const std::string&) override { ++played; }
};

class CountingPrograms : public rm::ProgramPort {
public:
    std::size_t runs = 0;
    void RunProgram(const std::string&, const std::string&, const std::string&, rm::ShowMode) override {
        ++runs;
    }
    void CloseProcessHandle(rm::ProcessHandle) override {}
    bool OpenHelp(const std::filesystem::path&) override { return false; }
    void OpenHelpPage() override {}
    rm::WindowsVersion SystemVersion() override { return {10, 0, 22631}; }
    rm::ProgramStart CreateProgramProcess(const std::string&, const std::string&, const std::string&) override {
        ++runs;
        return {};
    }
    bool ReadyForInput(rm::ProcessHandle) override { return true; }
    bool ProcessRunning(rm::ProcessHandle) override { return false; }
    rm::WindowHandle FindProcessWindow(std::uint32_t) override { return 0; }
    rm::WindowHandle FindProgramWindow(const std::string&) override { return 0; }
    void BringToFront(rm::WindowHandle) override {}
};

// A monitor in the one program folder of the run; a folder made per input
// costs more than the input.
struct SyslogMonitor {
    CountingNet net;
    rm::test::FakeClock clock;
    rm::test::NestedEvents nested;
    rm::test::FakeSteps steps{clock, nested};
    CountingDialogs dialogs{steps};
    CountingSound sound;
    CountingPrograms programs;
    rm::test::FakeOtherWindows otherWindows{steps};
    rm::test::FakeClipboard clipboard;
    rm::test::FakeLog log;
    rm::test::FakeFiles files;
    rm::Ports ports{net, dialogs, clock, steps, sound, programs, otherWindows, clipboard, log, files};
    rm::Monitor m{rm::MainState{}, rm::ViewModel{}, ports};

    SyslogMonitor() {
        static const rm::test::TempDir dir;
        static const bool folders = std::filesystem::create_directory(dir.path() / "log") &&
                                    std::filesystem::create_directory(dir.path() / "syslog");
        Check(folders);
        m.s.AppDir = dir.path();
    }
};

// What a datagram that must not be acted on could change.
struct Seen {
    std::size_t sent, runs, played, questions, messages;
    bool online, pending;
    std::int16_t stage, port;
    std::string record, tip, caption;
    bool operator==(const Seen&) const = default;
};

struct Run {
    SyslogMonitor f;
    std::vector<std::string_view> datagrams;
    std::size_t next = 0;
    int connectLines = 0, disconnectLines = 0;
    // For each viewer line, whether automatic saving was on when it came.
    std::vector<bool> saved;

    Seen Now() const {
        const rm::MainState& s = f.m.s;
        return {f.net.sends, f.programs.runs, f.sound.played,
                f.dialogs.questions, f.dialogs.messages, s.conn.Online, s.conn.ConnectPending,
                s.conn.HistoryStage, s.conn.ConnectedPort, s.conn.HistoryRecord, f.m.view.Tray.Tip,
                f.m.view.Panel.Caption};
    }

    void CheckState() const {
        const rm::MainState& s = f.m.s;
        Check(s.conn.DialledNumber.empty() || s.conn.DialledNumber.size() == 7);
        Check(s.conn.HistoryStage >= 0 && s.conn.HistoryStage <= 2);
        Check(s.conn.HistoryStage == 0 || s.conn.HistoryRecord.starts_with(s.VersionText + ",Port"));
    }

    // The viewer lines a datagram adds.
    std::size_t OwnLines(std::string_view datagram) const {
        return datagram.empty() ? 0 : (f.m.s.settings.SyslogLineBreaks ? 2 : 1);
    }

    // One datagram and the steps it waits for; one that comes while a box
    // is up only starts, and the steps go on in the outer run.
    void Handle(int byteCount, std::string_view datagram) {
        f.m.steps.Start(rm::OnSyslogDatagram(f.m, byteCount, std::string(datagram), "192.168.0.1", f.clock.now));
        f.steps.Drain([this] { return f.m.steps.Running() == 0; });
    }

    void OnlyShown(int byteCount, std::string_view datagram) {
        const Seen before = Now();
        saved.resize(f.m.view.Viewer.Lines.size() + OwnLines(datagram), f.m.s.settings.SyslogAutoSave);
        Handle(byteCount, datagram);
        Check(Now() == before);
        Check(f.m.view.Viewer.Lines.size() == saved.size());
    }

    void HandleNext() {
        const std::string_view datagram = datagrams[next++];
        rm::MainState& s = f.m.s;
        f.clock.now += 1.0 / 86400;
        if (!datagram.empty() && datagram[0] == '\x01') {
            const int target = datagram.size() > 1 ? static_cast<unsigned char>(datagram[1]) % 4 : 1;
            s.conn.ConnectPending = true;
            if (s.settings.MultiAccount) {
                s.conn.ConnectedIsp = static_cast<std::uint16_t>(target);
            } else {
                s.conn.ConnectedPort = static_cast<std::int16_t>(target % 3);
            }
            return;
        }
        if (!datagram.empty() && datagram[0] == '\x02') {
            s.settings.SyslogAutoSave = !s.settings.SyslogAutoSave;
            return;
        }
        if (!datagram.empty() && datagram[0] == '\x03') {
            const int over = datagram.size() > 1 ? static_cast<unsigned char>(datagram[1]) * 7 : 0;
            OnlyShown(rm::MaxSyslogBytes + 1 + over, datagram.substr(std::min<std::size_t>(2, datagram.size())));
            return;
        }
        if (datagram.size() > rm::MaxSyslogBytes) {
            OnlyShown(static_cast<int>(datagram.size()), datagram);
            return;
        }
        const std::string clean = Clean(datagram);
        if (clean.find("Connect successfully") != std::string::npos) ++connectLines;
        if (clean.find("Disconnect successfully") != std::string::npos) ++disconnectLines;
        // The datagram's lines are recorded before anything its handling runs.
        saved.resize(f.m.view.Viewer.Lines.size() + OwnLines(datagram), s.settings.SyslogAutoSave);
        Handle(static_cast<int>(datagram.size()), datagram);
        Check(f.m.view.Viewer.Lines.size() >= saved.size());
        CheckState();
    }

    // The day's file holds whole lines, each one the viewer showed while
    // saving was on, in order, its control bytes escaped; a line may still
    // wait to be written. Inputs
    // are far too short to reach midnight from the clock's noon.
    void CheckDailyFile() {
        std::vector<std::string> expected;
        for (std::size_t i = 0; i < saved.size(); ++i) {
            if (saved[i]) expected.push_back(f.m.view.Viewer.Lines[i]);
        }
        rm::FlushSyslog(f.m);
        static Appended daily(rm::SyslogFilePath(f.m.s.AppDir, f.clock.now));
        Check(daily.File() == rm::SyslogFilePath(f.m.s.AppDir, f.clock.now));
        for (const auto& entry : std::filesystem::directory_iterator(daily.File().parent_path())) {
            Check(entry.path() == daily.File());
        }
        std::size_t at = 0;
        for (const std::string& line : LinesOf(daily.Take())) {
            Check(at < expected.size() && !HasControl(line));
            // Without an escape in it the line is the viewer's, byte for byte.
            Check(line.find('#') != std::string::npos || rm::Cp932ToUtf8(line) == expected[at]);
            ++at;
        }
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

    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    for (std::size_t start = 0; start <= bytes.size() && run.datagrams.size() < MaxDatagrams;) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        run.datagrams.push_back(bytes.substr(start, std::min(end - start, MaxDatagram)));
        start = end + 1;
    }
    run.f.dialogs.whileOpen = [&run] {
        if (run.next < run.datagrams.size()) run.HandleNext();
    };
    while (run.next < run.datagrams.size()) run.HandleNext();

    // A record needs a call that connected and ended.
    if (run.disconnectLines > 0) {
        static Appended history(rm::HistoryFilePath(s.AppDir)), backup(rm::BackupHistoryFilePath(s.AppDir));
        const std::string historyBytes = history.Take();
        const std::vector<std::string> records = LinesOf(historyBytes);
        Check(static_cast<int>(records.size()) <= run.connectLines);
        Check(static_cast<int>(records.size()) <= run.disconnectLines);
        for (const std::string& record : records) CheckRecord(record);
        // No master is known here: a copy that is not the master keeps every record for it.
        Check(backup.Take() == (s.settings.MasterMode ? "" : historyBytes));
    }
    if (std::find(run.saved.begin(), run.saved.end(), true) != run.saved.end()) run.CheckDailyFile();
    for (const std::string& line : run.f.m.view.Viewer.Lines) Check(IsUtf8(line));
    return 0;
}
