#include <gtest/gtest.h>

#include "app/commands.h"
#include "app/startup.h"
#include "syslog/viewer_commands.h"
#include "syslog/viewer_lines.h"
#include "text/cp932.h"
#include "text/files.h"
#include "test_syslog_support.h"

namespace rm::test {
namespace {

using Lines = std::vector<std::string>;

// A viewer holding what two router lines leave in it with the usual settings.
struct ViewerMonitor : SyslogMonitor {
    ViewerMonitor() {
        Receive("<30>RV4: S01: -->: ATDT0123");
        Receive("<30>RV4: S01: PPP Connect successfully");
    }
};

constexpr const char* ShownLines =
    "[2003/01/02 09:05:00]<30>RV4: S01: -->: ATDT0123\r\n---\r\n"
    "[2003/01/02 09:05:00]<30>RV4: S01: PPP Connect successfully\r\n---\r\n";

TEST(SyslogViewerCopy, PutsEveryLineOnceInOrder) {
    ViewerMonitor f;
    f.Run(ViewerMenuClick(f.m, ViewerItem::CopyLog));
    f.Run(ViewerMenuClick(f.m, ViewerItem::CopyLogQuoted));
    ASSERT_EQ(f.clipboard.texts.size(), 2u);
    EXPECT_EQ(f.clipboard.texts[0], ShownLines);
    EXPECT_EQ(f.clipboard.texts[1],
              ">[2003/01/02 09:05:00]<30>RV4: S01: -->: ATDT0123\r\n>---\r\n"
              ">[2003/01/02 09:05:00]<30>RV4: S01: PPP Connect successfully\r\n>---\r\n");
}

TEST(SyslogViewerCopy, EmptyViewerLeavesTheClipboardAlone) {
    SyslogMonitor f;
    f.Run(ViewerMenuClick(f.m, ViewerItem::CopyLog));
    f.Run(ViewerMenuClick(f.m, ViewerItem::CopyLogQuoted));
    EXPECT_TRUE(f.clipboard.texts.empty());
}

struct SaveCase : ViewerMonitor {
    std::filesystem::path Save(const std::filesystem::path& chosen) {
        dialogs.saveFileName = chosen;
        Run(ViewerMenuClick(m, ViewerItem::SaveLog));
        return chosen;
    }
};

// Another program would cut the clipboard's text at a NUL; the file keeps the bytes the router sent.
TEST(SyslogViewerCopy, ControlBytesShowAsMarksOnTheClipboardButStayInTheFile) {
    SaveCase f;
    // Lines as the router sent them, control bytes and all.
    f.m.s.settings.SyslogSimple = false;
    f.Receive(std::string("<30>RV4: a") + '\0' + "b\tc");
    f.Run(ViewerMenuClick(f.m, ViewerItem::CopyLog));
    f.Run(ViewerMenuClick(f.m, ViewerItem::CopyLogQuoted));
    ASSERT_EQ(f.clipboard.texts.size(), 2u);
    EXPECT_EQ(f.clipboard.texts[0], std::string(ShownLines) + "[2003/01/02 09:05:00]<30>RV4: a<NUL>b<HT>c\r\n---\r\n");
    EXPECT_EQ(f.clipboard.texts[1],
              ">[2003/01/02 09:05:00]<30>RV4: S01: -->: ATDT0123\r\n>---\r\n"
              ">[2003/01/02 09:05:00]<30>RV4: S01: PPP Connect successfully\r\n>---\r\n"
              ">[2003/01/02 09:05:00]<30>RV4: a<NUL>b<HT>c\r\n>---\r\n");

    f.Save(f.dir.path() / "raw.txt");
    EXPECT_EQ(ReadFile(f.dir.path() / "raw.txt"),
              std::string(ShownLines) + "[2003/01/02 09:05:00]<30>RV4: a" + '\0' + "b\tc\r\n---\r\n");
}

TEST(SyslogViewerSave, NameWithoutExtensionGetsTxtAndTheLinesInShiftJis) {
    SaveCase f;
    f.m.view.Viewer.Lines.push_back("ルータ");
    f.Save(f.dir.path() / "saved");
    EXPECT_FALSE(std::filesystem::exists(f.dir.path() / "saved"));
    EXPECT_EQ(ReadFile(f.dir.path() / "saved.txt"), ShownLines + Utf8ToCp932("ルータ") + "\r\n");
    EXPECT_TRUE(f.dialogs.questions.empty());
    EXPECT_TRUE(f.dialogs.messages.empty());

    // Any dot in the file's own name is an extension; one in a folder's is not.
    std::filesystem::create_directory(f.dir.path() / "a.b");
    for (const char* name : {"x.log", "x.", ".profile"}) {
        f.Save(f.dir.path() / name);
        EXPECT_TRUE(std::filesystem::exists(f.dir.path() / name)) << name;
    }
    f.Save(f.dir.path() / "a.b" / "plain");
    EXPECT_TRUE(std::filesystem::exists(f.dir.path() / "a.b" / "plain.txt"));
}

TEST(SyslogViewerSave, CancelledDialogOrEmptyViewerWritesNothing) {
    SaveCase f;
    f.Run(ViewerMenuClick(f.m, ViewerItem::SaveLog));
    EXPECT_EQ(f.dialogs.saveDialogs, 1);

    SyslogMonitor empty;
    WriteBytes(empty.dir.path() / "old.txt", "old");
    empty.dialogs.saveFileName = empty.dir.path() / "old";
    empty.Run(ViewerMenuClick(empty.m, ViewerItem::SaveLog));
    EXPECT_EQ(ReadFile(empty.dir.path() / "old.txt"), "old");
    EXPECT_TRUE(empty.dialogs.questions.empty());
    EXPECT_TRUE(empty.dialogs.messages.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.dir.path()), {}), 2);  // log, syslog
}

TEST(SyslogViewerSave, AnExistingFileIsOverwrittenOnlyOnYes) {
    SaveCase f;
    const auto file = f.dir.path() / "old.txt";
    WriteBytes(file, "old");
    f.dialogs.answers = {false};
    f.Save(file);
    ASSERT_EQ(f.dialogs.questions.size(), 1u);
    EXPECT_EQ(f.dialogs.questions[0].text, "上書きしますか？");
    EXPECT_EQ(f.dialogs.questions[0].caption, "ファイルが存在します");
    EXPECT_EQ(ReadFile(file), "old");

    f.dialogs.answers = {true};
    f.Save(f.dir.path() / "old");
    EXPECT_EQ(f.dialogs.questions.size(), 2u);
    EXPECT_EQ(ReadFile(file), ShownLines);
}

TEST(SyslogViewerSave, AFailedSaveIsToldAndKeepsTheOldFile) {
    SaveCase f;
    f.Save(f.dir.path() / "missing" / "x.txt");
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_EQ(f.dialogs.messages[0], "ファイルに保存できませんでした。\r" + PathText(f.dir.path() / "missing" / "x.txt"));

    const auto file = f.dir.path() / "kept.txt";
    WriteBytes(file, "kept");
    f.files.refuse = true;
    f.Save(file);
    EXPECT_EQ(f.dialogs.messages.size(), 2u);
    EXPECT_EQ(ReadFile(file), "kept");
}

// The separators after the lines do not count against the bound; a line that reads "---" does.
TEST(SyslogViewerLines, TheNewestLinesStayUpToTheBoundOldestDropFirstWithTheirSeparators) {
    const std::size_t total = MaxViewerLines + ViewerTrimStep;
    for (const auto& [separators, text] : {std::pair{false, ""}, {true, ""}, {true, "---"}}) {
        SCOPED_TRACE(std::to_string(separators) + text);
        SyslogViewerView viewer;
        for (std::size_t i = 0; i <= total; ++i) {
            AppendViewerLine(viewer, *text && i % 2 == 0 ? text : std::to_string(i));
            if (separators) AppendViewerSeparator(viewer);
            if (i + 1 == total) EXPECT_EQ(viewer.Lines.size(), total * (separators ? 2 : 1));
        }
        ASSERT_EQ(viewer.Lines.size(), MaxViewerLines * (separators ? 2 : 1));
        EXPECT_EQ(viewer.Lines.front(), std::to_string(total + 1 - MaxViewerLines));
        EXPECT_EQ(viewer.Lines.back(), separators ? "---" : std::to_string(total));
        EXPECT_EQ(viewer.Added, (total + 1) * (separators ? 2 : 1));
    }
}

TEST(SyslogViewerLines, ReceivedLinesCountAsAdded) {
    ViewerMonitor f;
    EXPECT_EQ(f.m.view.Viewer.Added, 4u);
    EXPECT_EQ(ViewerLinesText(f.m.view.Viewer), ShownLines);
}

TEST(SyslogViewerWindow, CloseHidesItAndTheLinesStay) {
    ViewerMonitor f;
    f.Run(MenuClick(f.m, Item::ShowSyslog));
    f.Run(ViewerMenuClick(f.m, ViewerItem::Close));
    EXPECT_FALSE(f.m.view.Viewer.Shown);
    EXPECT_EQ(f.m.view.Viewer.Lines.size(), 4u);
    f.Run(MenuClick(f.m, Item::ShowSyslog));
    EXPECT_TRUE(f.m.view.Viewer.Shown);
    EXPECT_EQ(f.m.view.Viewer.Raised, 2);
    EXPECT_EQ(ViewerLinesText(f.m.view.Viewer), ShownLines);
}

TEST(SyslogViewerWindow, FontIsTheChosenOneUntilTheNextStart) {
    SyslogMonitor f;
    f.Run(StartUp(f.m));
    const ViewerFont fixed;
    EXPECT_EQ(f.m.view.Viewer.Font.Face, "ＭＳ ゴシック");
    EXPECT_EQ(f.m.view.Viewer.Font.Points, 9);

    f.Run(ViewerMenuClick(f.m, ViewerItem::ChangeFont));  // cancelled
    EXPECT_EQ(f.m.view.Viewer.Font, fixed);
    f.dialogs.chosenFont = ViewerFont{"ＭＳ 明朝", 20, true, false, 128};
    f.Run(ViewerMenuClick(f.m, ViewerItem::ChangeFont));
    EXPECT_EQ(f.m.view.Viewer.Font, *f.dialogs.chosenFont);
    EXPECT_EQ(f.dialogs.fontDialogsFrom, (std::vector<ViewerFont>{fixed, fixed}));

    ShutDown(f.m);
    EXPECT_EQ(ReadFile(f.dir.path() / "RMonitor.ini").find(Utf8ToCp932("明朝")), std::string::npos);
    f.Run(StartUp(f.m));
    EXPECT_EQ(f.m.view.Viewer.Font, fixed);
}

TEST(SyslogViewerWindow, HelpIsTheProgramsHelp) {
    SyslogMonitor f;
    f.programs.windowsVersion = {6, 1, 7601};
    f.Run(ViewerMenuClick(f.m, ViewerItem::Help));
    EXPECT_EQ(f.programs.helpPagesOpened, 1);
    WriteBytes(f.dir.path() / "RMonitor.hlp", "help");
    f.Run(ViewerMenuClick(f.m, ViewerItem::Help));
    EXPECT_EQ(f.programs.helpOpened, std::vector<std::filesystem::path>{f.dir.path() / "RMonitor.hlp"});
}

TEST(SyslogRecordingSwitch, OffReleasesTheViewerAndOnBringsANewEmptyOne) {
    ViewerMonitor f;
    f.m.view.Viewer.Shown = true;
    SwitchSyslogRecording(f.m, false);
    EXPECT_EQ(f.m.s.settings.SyslogEnabled, "off");
    EXPECT_FALSE(f.m.view.Viewer.Exists);
    EXPECT_FALSE(f.m.view.Viewer.Shown);
    EXPECT_FALSE(f.m.view.Menu[Item::ShowSyslog].Visible);
    f.Receive("<30>RV4: while off");
    EXPECT_TRUE(f.m.view.Viewer.Lines.empty());

    SwitchSyslogRecording(f.m, true);
    EXPECT_EQ(f.m.s.settings.SyslogEnabled, "on");
    EXPECT_TRUE(f.m.view.Viewer.Exists);
    EXPECT_FALSE(f.m.view.Viewer.Shown);
    EXPECT_TRUE(f.m.view.Menu[Item::ShowSyslog].Visible);
    EXPECT_TRUE(f.m.view.Viewer.Lines.empty());
    f.Receive("<30>RV4: again");
    EXPECT_EQ(f.m.view.Viewer.Lines, (Lines{"[2003/01/02 09:05:00]<30>RV4: again", "---"}));
}

// A cut file leaves the text empty, a hand-edited one anything: the box still
// switches recording on, and off.
TEST(SyslogRecordingSwitch, AnyOtherStoredTextBecomesOnOrOff) {
    ViewerMonitor f;
    f.m.s.settings.SyslogEnabled = "";
    f.m.view.Menu[Item::ShowSyslog].Visible = false;
    SwitchSyslogRecording(f.m, true);
    EXPECT_EQ(f.m.s.settings.SyslogEnabled, "on");
    EXPECT_TRUE(f.m.view.Viewer.Exists);
    EXPECT_TRUE(f.m.view.Menu[Item::ShowSyslog].Visible);
    f.Receive("<30>RV4: recorded");
    EXPECT_EQ(f.m.view.Viewer.Lines.size(), 2u);

    f.m.s.settings.SyslogEnabled = "ON";
    SwitchSyslogRecording(f.m, false);
    EXPECT_EQ(f.m.s.settings.SyslogEnabled, "off");
    EXPECT_FALSE(f.m.view.Viewer.Exists);
    EXPECT_FALSE(f.m.view.Menu[Item::ShowSyslog].Visible);

    // Switching on what is on keeps the viewer and its lines.
    SwitchSyslogRecording(f.m, true);
    f.Receive("<30>RV4: kept");
    SwitchSyslogRecording(f.m, true);
    EXPECT_EQ(f.m.view.Viewer.Lines.size(), 2u);
}

TEST(HistoryGraph, StartsTheViewerProgramFromTheProgramFolder) {
    SyslogMonitor f;
    f.Run(MenuClick(f.m, Item::ShowHistoryGraph));
    EXPECT_EQ(f.programs.runs, (std::vector<FakePrograms::Run>{
                                   {PathText(f.dir.path() / "RMView.exe"), "", PathText(f.dir.path()), ShowMode::Show}}));
}

}  // namespace
}  // namespace rm::test
