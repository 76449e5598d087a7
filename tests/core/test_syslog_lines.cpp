#include <gtest/gtest.h>

#include "app/startup.h"
#include "settings/settings_file.h"
#include "syslog/history_file.h"
#include "syslog/syslog_file.h"
#include "text/cp932.h"
#include "timer/timer.h"
#include "test_syslog_support.h"

namespace rm::test {
namespace {

using Lines = std::vector<std::string>;

// A connect line padded with blanks to exactly size bytes.
std::string ConnectLineOf(std::size_t size) {
    std::string line = ConnectLine();
    line.resize(size, ' ');
    return line;
}

TEST(SyslogDatagram, LongerThan200BytesIsShownButNeverActedOn) {
    SyslogMonitor f;
    f.Receive(ConnectLineOf(201));
    EXPECT_FALSE(f.m.s.conn.Online);
    EXPECT_FALSE(f.m.view.Panel.Shown);
    EXPECT_EQ(f.m.s.conn.HistoryStage, 0);
    EXPECT_EQ(f.m.view.Viewer.Lines, (Lines{"[2003/01/02 09:05:00]" + ConnectLineOf(201), "---"}));

    // The length the endpoint reported decides, whatever was read.
    const std::string line = ConnectLineOf(200);
    f.Run(OnSyslogDatagram(f.m, 201, line, RouterSender, f.clock.now));
    EXPECT_FALSE(f.m.s.conn.Online);

    f.Receive(line);
    EXPECT_TRUE(f.m.s.conn.Online);
    EXPECT_EQ(f.m.s.conn.ConnectedPort, 1);
}

TEST(SyslogDatagram, AtMost200BytesAreLookedAt) {
    SyslogMonitor f;
    f.m.s.settings.SyslogAddTime = false;
    f.Run(OnSyslogDatagram(f.m, -1, std::string(200, 'x') + ConnectLine(), RouterSender, f.clock.now));
    EXPECT_FALSE(f.m.s.conn.Online);
    EXPECT_EQ(f.m.view.Viewer.Lines.at(0), std::string(200, 'x'));
}

TEST(SyslogDatagram, EmptyOrFailedReadShowsNothing) {
    SyslogMonitor f;
    f.Run(OnSyslogDatagram(f.m, 0, "", RouterSender, f.clock.now));
    f.Run(OnSyslogDatagram(f.m, -1, "", RouterSender, f.clock.now));
    EXPECT_TRUE(f.m.view.Viewer.Lines.empty());
}

TEST(SyslogDatagram, ControlAnd8BitBytesNeverReachThePhraseTests) {
    // Shift-JIS "あ" (82 A0) and a tab in the middle of the phrase.
    const std::string line = "S01:\tCon\x82\xa0nect successfully\r\n";
    SyslogMonitor simple;
    simple.Receive(line);
    EXPECT_EQ(simple.m.s.conn.ConnectedPort, 1);
    EXPECT_EQ(simple.m.view.Viewer.Lines, (Lines{"[2003/01/02 09:05:00]S01:Conあnect successfully", "---"}));

    SyslogMonitor full;
    full.m.s.settings.SyslogSimple = false;
    full.m.s.settings.SyslogAutoSave = true;
    full.Receive(line);
    EXPECT_EQ(full.m.s.conn.ConnectedPort, 1);
    EXPECT_EQ(full.m.view.Viewer.Lines, (Lines{"[2003/01/02 09:05:00]S01:\tConあnect successfully\r\n", "---"}));
    FlushSyslog(full.m);
    EXPECT_EQ(ReadFile(full.dir.path() / "syslog" / "20030102.log"),
              "[2003/01/02 09:05:00]S01:#011Con\x82\xa0nect successfully#015#012\r\n---\r\n");
}

TEST(SyslogLine, SimpleDisplayKeepsWholeCharactersRawEscapesControlBytesInTheFileALongLineIsCutWithAMark) {
    const std::string x1023(1023, 'x');
    const auto cut = [](int bytes) { return "…（以下 " + std::to_string(bytes) + " バイト省略）"; };
    const struct {
        bool simple;
        std::string datagram, shown, inFile;  // the viewer's UTF-8, the file's Shift-JIS
    } cases[] = {
        {true, "\x83\x8b\x81\x5b\x83\x5e", "ルータ", "\x83\x8b\x81\x5b\x83\x5e"},  // once "[^"
        {true, std::string("a\x7f\t\x1b\0b", 6), "ab", "ab"},
        {true, "\xb1\xdd[\x82", "ｱﾝ[", "\xb1\xdd["},  // half-width kana, a lead byte at the end
        // A lead byte before one that cannot trail, a pair with no character, a user-defined one, stray bytes.
        {true, "\x82 x\x85\x40\xf0\x40\x80\xa0\xfd\xffz", " xz", " xz"},
        {false, "a\r\nforged line", "a\r\nforged line", "a#015#012forged line"},
        {false, std::string("x\0y\x1b\x7f", 5), std::string("x\0y\x1b\x7f", 5), "x#000y#033#177"},
        {false, "\x82\xa0#", "あ#", "\x82\xa0#"},
        {false, std::string(1500, 'x'), std::string(1024, 'x') + cut(476), std::string(1024, 'x') + Utf8ToCp932(cut(476))},
        {true, x1023 + "\x82\xa0y", x1023 + cut(3), x1023 + Utf8ToCp932(cut(3))},  // "あ" would straddle it
        {false, x1023 + "\r\n", x1023 + "\r" + cut(1), x1023 + "#015" + Utf8ToCp932(cut(1))},
    };
    for (const auto& c : cases) {
        SyslogMonitor f;
        f.m.s.settings.SyslogSimple = c.simple;
        f.m.s.settings.SyslogAutoSave = true;
        f.m.s.settings.SyslogAddTime = false;
        f.m.s.settings.SyslogLineBreaks = false;
        f.Receive(c.datagram);
        EXPECT_EQ(f.m.view.Viewer.Lines, Lines{c.shown}) << c.inFile;
        FlushSyslog(f.m);
        EXPECT_EQ(ReadFile(f.dir.path() / "syslog" / "20030102.log"), c.inFile + "\r\n");
    }
}

TEST(SyslogViewer, PrefixLineBreaksAndEnabledSwitch) {
    SyslogMonitor f;
    f.m.s.settings.SyslogAutoSave = true;
    f.m.s.settings.SyslogAddTime = false;
    f.m.s.settings.SyslogLineBreaks = false;
    f.Receive("first");
    f.m.s.settings.SyslogAddTime = true;
    f.ReceiveAt(At(2003, 1, 2, 13, 4, 5), "second");
    f.m.s.settings.SyslogLineBreaks = IsOn("On");  // only the exact "on" counts
    f.Receive("third");
    EXPECT_EQ(f.m.view.Viewer.Lines, (Lines{"first", "[2003/01/02 13:04:05]second", "[2003/01/02 13:04:05]third"}));

    f.m.s.settings.SyslogEnabled = "off";
    f.Receive(ConnectLine());
    EXPECT_EQ(f.m.view.Viewer.Lines.size(), 3u);
    EXPECT_EQ(f.m.s.conn.ConnectedPort, 1);  // the phrases still act
    FlushSyslog(f.m);
    EXPECT_EQ(ReadFile(f.dir.path() / "syslog" / "20030102.log"),
              "first\r\n[2003/01/02 13:04:05]second\r\n[2003/01/02 13:04:05]third\r\n");
}

TEST(SyslogFile, LinesAfterMidnightGoToTheNextDaysFile) {
    SyslogMonitor f;
    f.m.s.settings.SyslogAutoSave = true;
    f.ReceiveAt(At(2003, 12, 31, 23, 59, 59), "late");
    f.ReceiveAt(At(2004, 1, 1, 0, 0, 1), "early");
    // The new day's line closed the old day's file; its own waits for the batch's end.
    EXPECT_EQ(ReadFile(f.dir.path() / "syslog" / "20040101.log"), "");
    FlushSyslog(f.m);
    EXPECT_EQ(ReadFile(f.dir.path() / "syslog" / "20031231.log"), "[2003/12/31 23:59:59]late\r\n---\r\n");
    EXPECT_EQ(ReadFile(f.dir.path() / "syslog" / "20040101.log"), "[2004/01/01 00:00:01]early\r\n---\r\n");

    // The date is that of the line's arrival, however late it is written.
    f.clock.now = At(2004, 1, 3, 0, 0, 1);
    SaveSyslog(f.m, "x", At(2004, 1, 2, 23, 59, 59));
    CloseSyslog(f.m);
    EXPECT_EQ(ReadFile(f.dir.path() / "syslog" / "20040102.log"), "x\r\n");
}

TEST(SyslogFile, LinesKeepTheirArrivalOrderAndTimeWhileHandlingOpensABox) {
    SyslogMonitor f;
    f.m.s.settings.SyslogAutoSave = true;
    f.m.s.settings.SyslogLineBreaks = false;
    std::filesystem::create_directory(HistoryFilePath(f.dir.path()));  // the disconnect's record is refused: a box
    f.Receive(ConnectLine());
    f.dialogs.whileOpen = [&] { f.ReceiveAt(At(2003, 1, 2, 9, 6, 0), "inside the box"); };
    // Arrived at 09:05:30 but handled later: the box is closed at 09:20.
    f.clock.now = At(2003, 1, 2, 9, 20, 0);
    f.Run(OnSyslogDatagram(f.m, static_cast<int>(DisconnectLine().size()), DisconnectLine(), RouterSender,
                           At(2003, 1, 2, 9, 5, 30)));
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    FlushSyslog(f.m);
    EXPECT_EQ(ReadFile(f.dir.path() / "syslog" / "20030102.log"),
              "[2003/01/02 09:05:00]" + ConnectLine() + "\r\n[2003/01/02 09:05:30]" + DisconnectLine() +
                  "\r\n[2003/01/02 09:06:00]inside the box\r\n");
    EXPECT_EQ(ReadFile(SpillFilePath(HistoryFilePath(f.dir.path()))),
              "2.04,Port1,2003/01/02,09:05:00,2003/01/02,09:05:00,2003/01/02,09:05:30\r\n");
}

TEST(SyslogFile, LinesThatNeverPauseWaitAtMostHalfASecond) {
    SyslogMonitor f;
    f.m.s.settings.SyslogAutoSave = true;
    f.m.s.settings.SyslogLineBreaks = false;
    f.m.s.settings.SyslogAddTime = false;
    const auto file = f.dir.path() / "syslog" / "20030102.log";
    for (int i = 0; i < 5; ++i) {
        f.Receive(std::to_string(i));
        f.clock.Advance(100);
    }
    EXPECT_EQ(ReadFile(file), "");
    f.Receive("5");
    EXPECT_EQ(ReadFile(file), "0\r\n1\r\n2\r\n3\r\n4\r\n5\r\n");
}

TEST(SyslogFile, LinesTheFileRefusesWaitForTheNextTryAndACutLineIsEndedFirst) {
    SyslogMonitor f;
    f.m.s.settings.SyslogAutoSave = true;
    f.m.s.settings.SyslogLineBreaks = false;
    f.m.s.settings.SyslogAddTime = false;
    const auto folder = f.dir.path() / "syslog";
    std::filesystem::remove(folder);
    f.Receive("one");
    f.Receive("two");
    FlushSyslog(f.m);
    EXPECT_EQ(f.log.lines.size(), 1u);
    // Space is back; the disk filled up in the middle of a line before.
    std::filesystem::create_directory(folder);
    WriteBytes(folder / "20030102.log", "zero\r\ncut off");
    f.Receive("three");
    FlushSyslog(f.m);
    EXPECT_EQ(ReadFile(folder / "20030102.log"), "zero\r\ncut off\r\none\r\ntwo\r\nthree\r\n");
}

TEST(SyslogFile, WhatWaitsForARefusingFileIsBoundedAndTheLossLogged) {
    SyslogMonitor f;
    f.m.s.settings.SyslogAutoSave = true;
    f.m.s.settings.SyslogLineBreaks = false;
    f.m.s.settings.SyslogAddTime = false;
    std::filesystem::remove(f.dir.path() / "syslog");
    const std::string line(198, 'x');
    for (std::size_t i = 0; i < BatchedFile::MaxWaitingBytes / 200 + 100; ++i) {
        f.Receive(line);
        f.clock.Advance(1);
    }
    const bool lossLogged = std::any_of(f.log.lines.begin(), f.log.lines.end(), [](const std::string& text) {
        return text.starts_with("syslog bytes lost");
    });
    EXPECT_TRUE(lossLogged);
    std::filesystem::create_directory(f.dir.path() / "syslog");
    FlushSyslog(f.m);
    const auto kept = ReadFile(f.dir.path() / "syslog" / "20030102.log");
    EXPECT_LE(kept.size(), BatchedFile::MaxWaitingBytes);
    EXPECT_GT(kept.size(), BatchedFile::MaxWaitingBytes - 400);
    EXPECT_TRUE(kept.starts_with(line + "\r\n"));
}

TEST(SyslogFile, FailuresAreSilentAndTheViewerKeepsTheLine) {
    SyslogMonitor f;
    f.m.s.settings.SyslogAutoSave = true;
    std::filesystem::remove(f.dir.path() / "syslog");
    SaveSyslog(f.m, "x", f.clock.now);
    FlushSyslog(f.m);
    EXPECT_EQ(f.log.lines.size(), 1u);
    EXPECT_NO_THROW(f.Receive("kept"));
    EXPECT_EQ(f.m.view.Viewer.Lines.size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(f.dir.path() / "syslog"));
}

}  // namespace
}  // namespace rm::test

namespace rm::test {
namespace {

TEST(SyslogFile, TheDailyFileStaysOpenWhileLinesComeAndClosesWhenTheyStop) {
    SyslogMonitor f;
    f.m.s.settings.SyslogAutoSave = true;
    f.m.s.settings.SyslogLineBreaks = false;
    f.Receive("one");
    const auto file = f.dir.path() / "syslog" / "20030102.log";
    EXPECT_EQ(ReadFile(file), "");  // waits for the end of the burst
    f.Run(OnTick(f.m));
    EXPECT_EQ(ReadFile(file), "[2003/01/02 09:05:00]one\r\n");
    EXPECT_TRUE(f.m.syslogFile.IsOpen());
    f.Run(OnTick(f.m));  // a quiet tick
    EXPECT_FALSE(f.m.syslogFile.IsOpen());

    f.Receive("two");
    FlushSyslog(f.m);
    EXPECT_TRUE(f.m.syslogFile.IsOpen());
    f.m.s.settings.SyslogAutoSave = false;
    SaveAllSettings(f.m);  // saving switched off
    EXPECT_FALSE(f.m.syslogFile.IsOpen());

    f.m.s.settings.SyslogAutoSave = true;
    f.Receive("three");
    ShutDown(f.m);  // nothing accepted is lost at exit
    EXPECT_EQ(ReadFile(file), "[2003/01/02 09:05:00]one\r\n[2003/01/02 09:05:00]two\r\n[2003/01/02 09:05:00]three\r\n");
}

}  // namespace
}  // namespace rm::test
