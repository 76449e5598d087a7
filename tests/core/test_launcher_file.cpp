#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fakes.h"
#include "text/file_replace.h"
#include "settings/launcher_file.h"

namespace rm {
namespace {

namespace fs = std::filesystem;
using test::FakeMonitor;
using test::ReadBytes;
using test::WriteBytes;

constexpr const char* Damaged = "ランチャーの設定ファイルが異常です";

// A header and lines "e<entry>f<field>" for count entries of fields texts each.
std::string LauncherBytes(const std::string& header, int fields, int entries = 6) {
    std::string text = header + "\r\n";
    for (int e = 1; e <= entries; ++e) {
        for (int k = 1; k <= fields; ++k) text += "e" + std::to_string(e) + "f" + std::to_string(k) + "\r\n";
    }
    return text;
}

void ReadFile(FakeMonitor& f, const std::string& bytes) {
    WriteBytes(f.m.s.AppDir / LauncherFileName, bytes);
    ReadLauncherFile(f.m);
}

bool AllEmpty(const MainState& s) {
    for (const LaunchEntryTexts& e : s.launcher.LaunchEntries) {
        if (!(e.Title + e.ProgramFile + e.Arguments + e.WorkFolder + e.StartOnConnect + e.CloseOnDisconnect).empty()) {
            return false;
        }
    }
    return true;
}

TEST(LauncherFileRead, CurrentLayoutHasSixLinesPerEntry) {
    FakeMonitor f;
    ReadFile(f, LauncherBytes("RouLaunch Ver2.03", 6));
    for (int e = 1; e <= 6; ++e) {
        const LaunchEntryTexts& entry = f.m.s.launcher.LaunchEntries[e - 1];
        const std::string prefix = "e" + std::to_string(e) + "f";
        EXPECT_EQ(entry.Title, prefix + "1");
        EXPECT_EQ(entry.ProgramFile, prefix + "2");
        EXPECT_EQ(entry.Arguments, prefix + "3");
        EXPECT_EQ(entry.WorkFolder, prefix + "4");
        EXPECT_EQ(entry.StartOnConnect, prefix + "5");
        EXPECT_EQ(entry.CloseOnDisconnect, prefix + "6");
    }
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST(LauncherFileRead, Version202HasFiveLinesPerEntry) {
    const std::string bytes = LauncherBytes("RouLaunch Ver2.02", 5);
    ASSERT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 31);
    FakeMonitor f;
    ReadFile(f, bytes);
    for (int e = 1; e <= 6; ++e) {
        const LaunchEntryTexts& entry = f.m.s.launcher.LaunchEntries[e - 1];
        const std::string prefix = "e" + std::to_string(e) + "f";
        EXPECT_EQ(entry.Title, prefix + "1");
        EXPECT_EQ(entry.StartOnConnect, prefix + "5");
        EXPECT_EQ(entry.CloseOnDisconnect, "off");
    }
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST(LauncherFileRead, MissingLinesReadAsEmpty) {
    FakeMonitor f;
    ReadFile(f, LauncherBytes("RouLaunch Ver2.04", 6, 2) + "e3f1");
    EXPECT_EQ(f.m.s.launcher.LaunchEntries[1].CloseOnDisconnect, "e2f6");
    EXPECT_EQ(f.m.s.launcher.LaunchEntries[2].Title, "e3f1");
    EXPECT_EQ(f.m.s.launcher.LaunchEntries[2].ProgramFile, "");
    EXPECT_EQ(f.m.s.launcher.LaunchEntries[5].Title, "");
}

TEST(LauncherFileRead, ForeignHeaderIsIgnoredSilently) {
    for (const char* header : {"RouLanch Ver2.04", "Routavista Monitor Ver2.04", "", "RouLaunc"}) {
        FakeMonitor f;
        ReadFile(f, LauncherBytes(header, 6));
        EXPECT_TRUE(AllEmpty(f.m.s)) << header;
        EXPECT_TRUE(f.dialogs.messages.empty()) << header;
    }
}

TEST(LauncherFileRead, VersionThatIsNoNumberIsReported) {
    for (const char* header : {"RouLaunch Ver2.x", "RouLaunch", "RouLaunch Ver"}) {
        FakeMonitor f;
        ReadFile(f, LauncherBytes(header, 6));
        EXPECT_TRUE(AllEmpty(f.m.s)) << header;
        EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{Damaged}) << header;
    }
}

TEST(LauncherFileWrite, SavedFileReadsBackAndSavesByteForByte) {
    FakeMonitor first;
    first.m.s.launcher.LaunchEntries[0] = {"エディタ", "C:\\ツール\\ed.exe", "-n 設定.txt", "C:\\作業", "on", "off"};
    first.m.s.launcher.LaunchEntries[4] = {"", "orphan.exe", "", "", "off", "on"};
    WriteLauncherFile(first.m);
    const std::string saved = ReadBytes(first.m.s.AppDir / LauncherFileName);
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 37);
    EXPECT_EQ(saved.substr(0, 19), "RouLaunch Ver2.04\r\n");
    EXPECT_NE(saved.find("\r\n\x83\x47\x83\x66\x83\x42\x83\x5E\r\n"), std::string::npos);  // エディタ

    FakeMonitor second;
    ReadFile(second, saved);
    EXPECT_EQ(second.m.s.launcher.LaunchEntries[0].Arguments, "-n 設定.txt");
    EXPECT_EQ(second.m.s.launcher.LaunchEntries[4].ProgramFile, "orphan.exe");
    EXPECT_EQ(second.m.s.launcher.LaunchEntries[4].CloseOnDisconnect, "on");
    WriteLauncherFile(second.m);
    EXPECT_EQ(ReadBytes(second.m.s.AppDir / LauncherFileName), saved);
    EXPECT_TRUE(first.dialogs.messages.empty());
    EXPECT_TRUE(second.dialogs.messages.empty());
}

TEST(LauncherFileWrite, FailedSaveKeepsTheOldFile) {
    FakeMonitor f;
    const fs::path file = f.m.s.AppDir / LauncherFileName;
    WriteBytes(file, "RouLaunch Ver2.04\r\n");
    fs::create_directory(ReplacementPath(file));
    f.m.s.launcher.LaunchEntries[0].Title = "new";

    WriteLauncherFile(f.m);
    EXPECT_EQ(ReadBytes(file), "RouLaunch Ver2.04\r\n");
    EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{"ランチャー設定ファイルの保存に失敗しました。"});
}

}  // namespace
}  // namespace rm

namespace rm::test {
namespace {

TEST(LauncherFileKeep, AForeignOrShortFileIsKeptBeforeItIsWrittenOver) {
    for (const std::string bytes : {"Other program\r\n", "RouLaunch Ver2.04\r\nonly\r\n"}) {
        FakeMonitor f;
        WriteBytes(f.m.s.AppDir / LauncherFileName, bytes);
        ReadLauncherFile(f.m);
        WriteLauncherFile(f.m);
        EXPECT_EQ(ReadBytes(f.m.s.AppDir / "RVlaunch.ini.bak"), bytes);
    }
    FakeMonitor whole;
    WriteLauncherFile(whole.m);
    ReadLauncherFile(whole.m);
    WriteLauncherFile(whole.m);
    EXPECT_FALSE(std::filesystem::exists(whole.m.s.AppDir / "RVlaunch.ini.bak"));
}

}  // namespace
}  // namespace rm::test
