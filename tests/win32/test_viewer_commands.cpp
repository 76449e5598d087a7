// The syslog viewer's commands on the real clipboard, dialogs and files.
#include <gtest/gtest.h>

#include <windows.h>
#include <dlgs.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <thread>
#include <vector>

#include "command_ids.h"
#include "platform_ports.h"
#include "step_timer.h"
#include "pump.h"
#include "run_steps.h"
#include "syslog/viewer_commands.h"
#include "syslog/viewer_lines.h"
#include "syslog_viewer.h"
#include "text/cp932.h"
#include "viewer_probe.h"

namespace rm::win {
namespace {

namespace fs = std::filesystem;

std::string FileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What a user does in the boxes and dialogs that the test's thread opens: each
// step waits, on a thread of its own, for the next new one and acts on it.
class User {
public:
    using Step = std::function<void(HWND dialog)>;
    explicit User(std::vector<Step> steps)
        : steps_(std::move(steps)), thread_([this, owner = GetCurrentThreadId()] { Run(owner); }) {}
    ~User() {
        stop_ = true;
        thread_.join();
    }
    std::size_t StepsDone() const { return done_; }

private:
    void Run(DWORD owner) {
        std::set<HWND> seen;
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (done_ < steps_.size() && !stop_ && std::chrono::steady_clock::now() < giveUp) {
            Found found{&seen, nullptr};
            EnumThreadWindows(owner, &User::Match, reinterpret_cast<LPARAM>(&found));
            if (found.dialog) {
                seen.insert(found.dialog);
                Sleep(300);  // its controls filled in
                steps_[done_](found.dialog);
                ++done_;
            }
            Sleep(50);
        }
    }
    struct Found {
        std::set<HWND>* seen;
        HWND dialog;
    };
    static BOOL CALLBACK Match(HWND window, LPARAM param) {
        auto* found = reinterpret_cast<Found*>(param);
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (std::wstring(name) == L"#32770" && IsWindowVisible(window) && IsWindowEnabled(window) &&
            !found->seen->contains(window)) {
            found->dialog = window;
            return FALSE;
        }
        return TRUE;
    }

    std::vector<Step> steps_;
    std::atomic<bool> stop_{false};
    std::atomic<std::size_t> done_{0};
    std::thread thread_;
};

void Press(HWND dialog, int button) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

// The file name field of the save dialog, in the old and in the Explorer layout.
void TypeFileName(HWND dialog, const fs::path& file) {
    for (int field : {edt1, cmb13}) SetDlgItemTextW(dialog, field, file.c_str());
}

std::vector<std::wstring> ComboItems(HWND combo) {
    std::vector<std::wstring> items;
    const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring item(static_cast<std::size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        item.resize(static_cast<std::size_t>(SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
        items.push_back(item);
    }
    return items;
}

struct ViewerCommands : ::testing::Test {
    bool closing = false;
    SyslogViewer window{{[this](ViewerItem item) { m.steps.Start(ViewerMenuClick(m, item)); }, [] {}}};
    Win32Net net;
    Win32Steps steps{RunStepInTest};
    UserDialogs userDialogs;
    Win32Dialogs dialogs{window, closing, steps, userDialogs, {[] {}, [] {}, [] {}}};
    Win32Clock clock;
    Win32Sound sound;
    Win32Programs programs{window, userDialogs};
    Win32OtherWindows otherWindows{steps};
    Win32Clipboard clipboard{window};
    Win32Log log;
    Win32Files files;
    Ports ports{net, dialogs, clock, steps, sound, programs, otherWindows, clipboard, log, files};
    Monitor m{MainState{}, ViewModel{}, ports};
    fs::path folder;

    void SetUp() override {
        ASSERT_TRUE(window.Create(m.view.Viewer));
        folder = fs::temp_directory_path() / ("rm-viewer-" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        m.s.AppDir = folder;
        for (const char* line : {"[2003/01/02 09:05:00]S01: ATD0123", "---", "ルータ"}) {
            AppendViewerLine(m.view.Viewer, line);
        }
    }
    void TearDown() override { fs::remove_all(folder); }
};

TEST_F(ViewerCommands, CopyAndQuotedCopyPutTheLinesOnTheClipboard) {
    RunToEnd(m, ViewerMenuClick(m, ViewerItem::CopyLog));
    EXPECT_EQ(ClipboardText(), L"[2003/01/02 09:05:00]S01: ATD0123\r\n---\r\nルータ\r\n");
    RunToEnd(m, ViewerMenuClick(m, ViewerItem::CopyLogQuoted));
    EXPECT_EQ(ClipboardText(), L">[2003/01/02 09:05:00]S01: ATD0123\r\n>---\r\n>ルータ\r\n");

    m.view.Viewer.Lines.clear();
    RunToEnd(m, ViewerMenuClick(m, ViewerItem::CopyLog));
    EXPECT_EQ(ClipboardText(), L">[2003/01/02 09:05:00]S01: ATD0123\r\n>---\r\n>ルータ\r\n");
}

TEST_F(ViewerCommands, SaveWritesTheLinesAddingTxtToANameWithoutExtension) {
    const std::string expected = "[2003/01/02 09:05:00]S01: ATD0123\r\n---\r\n" + Utf8ToCp932("ルータ") + "\r\n";
    {
        User user({[&](HWND dialog) {
            TypeFileName(dialog, folder / "saved");
            Press(dialog, IDOK);
        }});
        RunToEnd(m, ViewerMenuClick(m, ViewerItem::SaveLog));
        EXPECT_EQ(user.StepsDone(), 1u);
    }
    EXPECT_FALSE(fs::exists(folder / "saved"));
    EXPECT_EQ(FileBytes(folder / "saved.txt"), expected);
    {
        User user({[&](HWND dialog) {
            TypeFileName(dialog, folder / "saved.log");
            Press(dialog, IDOK);
        }});
        RunToEnd(m, ViewerMenuClick(m, ViewerItem::SaveLog));
    }
    EXPECT_EQ(FileBytes(folder / "saved.log"), expected);
}

TEST_F(ViewerCommands, SaveOverAnExistingFileStopsOnNo) {
    std::ofstream(folder / "old.txt", std::ios::binary) << "old";
    std::wstring caption, question, no;
    {
        User user({[&](HWND dialog) {
                       TypeFileName(dialog, folder / "old");
                       Press(dialog, IDOK);
                   },
                   [&](HWND box) {
                       caption = TextOf(box);
                       question = TextOf(GetDlgItem(box, 0xFFFF));
                       no = TextOf(GetDlgItem(box, IDNO));
                       Press(box, IDNO);
                   }});
        RunToEnd(m, ViewerMenuClick(m, ViewerItem::SaveLog));
        EXPECT_EQ(user.StepsDone(), 2u);
    }
    EXPECT_EQ(caption, L"ファイルが存在します");
    EXPECT_EQ(question, L"上書きしますか？");
    EXPECT_EQ(no.substr(0, 3), L"いいえ");
    EXPECT_EQ(FileBytes(folder / "old.txt"), "old");
}

TEST_F(ViewerCommands, FontDialogOffersEightToThirtyPointsAndTheChoiceReachesTheText) {
    std::vector<std::wstring> sizes;
    {
        User user({[&](HWND dialog) {
            sizes = ComboItems(GetDlgItem(dialog, cmb3));
            const HWND size = GetDlgItem(dialog, cmb3);
            SendMessageW(size, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"20"));
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb3, CBN_SELCHANGE), reinterpret_cast<LPARAM>(size));
            Press(dialog, IDOK);
        }});
        RunToEnd(m, ViewerMenuClick(m, ViewerItem::ChangeFont));
        EXPECT_EQ(user.StepsDone(), 1u);
    }
    ASSERT_FALSE(sizes.empty());
    for (const std::wstring& size : sizes) {
        EXPECT_GE(std::stoi(size), 8);
        EXPECT_LE(std::stoi(size), 30);
    }
    EXPECT_EQ(sizes.front(), L"8");
    EXPECT_EQ(m.view.Viewer.Font.Points, 20);

    window.Render(m.view.Viewer);
    EXPECT_EQ(ViewFont(window.LinesWindow()).lfHeight, -MulDiv(20, static_cast<int>(GetDpiForWindow(window.Handle())), 72));
}

// The store drops its oldest lines on the way; the copy holds what it keeps.
TEST_F(ViewerCommands, CopyAfterManyLinesGivesEveryLineHeldInOrder) {
    SyslogViewerView& viewer = m.view.Viewer;
    viewer.Lines.clear();
    viewer.Shown = true;
    ++viewer.Raised;
    while (viewer.Added < 120'000) {
        for (int i = 0; i < 1'000 && viewer.Added < 120'000; ++i) {
            AppendViewerLine(viewer, "line " + std::to_string(viewer.Added));
        }
        window.Render(viewer);
    }
    ASSERT_LT(viewer.Lines.size(), 120'000u);
    SendMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(CommandId(ViewerItem::CopyLog), 0), 0);
    const auto copied = SplitLines(ClipboardText());
    ASSERT_EQ(copied.size(), viewer.Lines.size());
    EXPECT_EQ(copied.front(), L"line " + std::to_wstring(120'000 - viewer.Lines.size()));
    EXPECT_EQ(copied.back(), L"line 119999");
    EXPECT_EQ(SplitLines(ViewText(window.LinesWindow())), copied);
}

}  // namespace
}  // namespace rm::win
