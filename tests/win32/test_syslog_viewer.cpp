#include <gtest/gtest.h>

#include <richedit.h>

#include <chrono>
#include <string>
#include <vector>

#include "command_ids.h"
#include "pump.h"
#include "syslog/viewer_lines.h"
#include "syslog_viewer.h"

namespace rm::win {
namespace {

std::wstring TextOf(HWND window) {
    std::wstring text(GetWindowTextLengthW(window) + 1, L'\0');
    text.resize(GetWindowTextW(window, text.data(), static_cast<int>(text.size())));
    return text;
}

std::wstring MenuCaption(HMENU menu, int position) {
    wchar_t caption[64] = {};
    GetMenuStringW(menu, position, caption, 64, MF_BYPOSITION);
    return caption;
}

CHARFORMAT2W DefaultFormat(HWND memo) {
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    SendMessageW(memo, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    return format;
}

// A font of so many points on a monitor of dpi, as the control reports its height.
LONG Twips(int points, UINT dpi) {
    HDC screen = GetDC(nullptr);
    const int perInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return MulDiv(MulDiv(points, static_cast<int>(dpi), 72), 1440, perInch);
}

int Scaled(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI); }

struct ViewerTest : ::testing::Test {
    SyslogViewerView view;
    std::vector<ViewerItem> commands;
    int closed = 0;
    SyslogViewer viewer{{[this](ViewerItem item) { commands.push_back(item); }, [this] { ++closed; }}};

    void SetUp() override { ASSERT_TRUE(viewer.Create(view)); }
    void Add(std::initializer_list<const char*> lines) {
        for (const char* line : lines) AppendViewerLine(view, line);
        Render();
    }
    // Renders, and lets a fraction of a second pass for the batch to go in.
    void Render() {
        viewer.Render(view);
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
        PumpUntil([&] { return std::chrono::steady_clock::now() > until; });
    }
    HWND Memo() const { return viewer.Memo(); }
    RECT MemoRect() const {
        RECT r{};
        GetWindowRect(Memo(), &r);
        MapWindowPoints(nullptr, viewer.Handle(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    bool EndInSight() const {
        SCROLLINFO info{sizeof info, SIF_ALL};
        GetScrollInfo(Memo(), SB_VERT, &info);
        return info.nPos + static_cast<int>(info.nPage) >= info.nMax;
    }
    int LineCount() const { return static_cast<int>(SendMessageW(Memo(), EM_GETLINECOUNT, 0, 0)); }
    int FirstVisibleLine() const { return static_cast<int>(SendMessageW(Memo(), EM_GETFIRSTVISIBLELINE, 0, 0)); }
    std::wstring Line(int index) const {
        wchar_t buffer[256] = {};
        buffer[0] = 255;
        const auto length = SendMessageW(Memo(), EM_GETLINE, index, reinterpret_cast<LPARAM>(buffer));
        std::wstring line(buffer, static_cast<std::size_t>(length));
        while (!line.empty() && (line.back() == L'\r' || line.back() == L'\n')) line.pop_back();
        return line;
    }
};

TEST_F(ViewerTest, LaidOutAsTheUserKnowsIt) {
    const HWND window = viewer.Handle();
    EXPECT_EQ(TextOf(window), L"SysLog");
    EXPECT_FALSE(IsWindowVisible(window));
    const UINT dpi = GetDpiForWindow(window);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, Scaled(592, dpi));
    EXPECT_EQ(client.bottom, Scaled(404, dpi));
    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

    // Memo1 above the 23-pixel bottom panel, read-only, with both scroll bars.
    const RECT memo = MemoRect();
    EXPECT_EQ(memo.top, 0);
    EXPECT_EQ(memo.right, client.right);
    EXPECT_EQ(memo.bottom, client.bottom - Scaled(23, dpi));
    const LONG_PTR style = GetWindowLongPtrW(Memo(), GWL_STYLE);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_TRUE(style & WS_HSCROLL);
    const CHARFORMAT2W font = DefaultFormat(Memo());
    EXPECT_STREQ(font.szFaceName, L"ＭＳ ゴシック");
    EXPECT_EQ(font.yHeight, Twips(9, dpi));
    // Room for the most lines kept, each a full datagram after its time prefix.
    EXPECT_GE(SendMessageW(Memo(), EM_GETLIMITTEXT, 0, 0), 110'000 * 222);
}

TEST_F(ViewerTest, MenuBarHasEveryItemInOrder) {
    const HMENU bar = GetMenu(viewer.Handle());
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), 3);
    EXPECT_EQ(MenuCaption(bar, 0), L"ﾌｧｲﾙ");
    EXPECT_EQ(MenuCaption(bar, 1), L"ｵﾌﾟｼｮﾝ");
    EXPECT_EQ(MenuCaption(bar, 2), L"ﾍﾙﾌﾟ");

    struct Entry {
        std::wstring caption;
        UINT id;
    };
    const auto items = [](HMENU menu) {
        std::vector<Entry> entries;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            const bool separator = GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR;
            entries.push_back({separator ? L"-" : MenuCaption(menu, i), GetMenuItemID(menu, i)});
        }
        return entries;
    };
    const auto file = items(GetSubMenu(bar, 0));
    ASSERT_EQ(file.size(), 5u);
    EXPECT_EQ(file[0].caption, L"ログをコピー");
    EXPECT_EQ(file[1].caption, L"ログを引用符付きでコピー");
    EXPECT_EQ(file[2].caption, L"ログをファイルに保存");
    EXPECT_EQ(file[3].caption, L"-");
    EXPECT_EQ(file[4].caption, L"終了");
    EXPECT_EQ(file[0].id, CommandId(ViewerItem::logcopy));
    EXPECT_EQ(file[4].id, CommandId(ViewerItem::Exit1));
    const auto options = items(GetSubMenu(bar, 1));
    ASSERT_EQ(options.size(), 1u);
    EXPECT_EQ(options[0].caption, L"ﾌｫﾝﾄ");
    const auto help = items(GetSubMenu(bar, 2));
    ASSERT_EQ(help.size(), 1u);
    EXPECT_EQ(help[0].caption, L"この項目のﾍﾙﾌﾟ");
    EXPECT_EQ(help[0].id, CommandId(ViewerItem::N3));
}

TEST_F(ViewerTest, MenuCommandsAndClosingReachTheApplication) {
    for (ViewerItem item : {ViewerItem::logcopy, ViewerItem::N5, ViewerItem::N2, ViewerItem::Exit1,
                            ViewerItem::Font2, ViewerItem::N3}) {
        SendMessageW(viewer.Handle(), WM_COMMAND, MAKEWPARAM(CommandId(item), 0), 0);
    }
    EXPECT_EQ(commands, (std::vector<ViewerItem>{ViewerItem::logcopy, ViewerItem::N5, ViewerItem::N2,
                                                 ViewerItem::Exit1, ViewerItem::Font2, ViewerItem::N3}));

    view.Shown = true;
    ++view.Raised;
    Render();
    EXPECT_TRUE(IsWindowVisible(viewer.Handle()));
    SendMessageW(viewer.Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(viewer.Handle()));
    EXPECT_EQ(closed, 1);
    EXPECT_NE(viewer.Handle(), nullptr);

    // The core hides it too (its own close command).
    ++view.Raised;
    Render();
    view.Shown = false;
    Render();
    EXPECT_FALSE(IsWindowVisible(viewer.Handle()));
}

TEST_F(ViewerTest, LinesAreAddedOnceInOrder) {
    Add({"[2003/01/02 09:05:00]S01: ATD0123", "---"});
    Render();
    Add({"ルータ 接続", "---"});
    EXPECT_EQ(TextOf(Memo()), L"[2003/01/02 09:05:00]S01: ATD0123\r\n---\r\nルータ 接続\r\n---");
}

TEST_F(ViewerTest, AHiddenWindowTakesItsLinesOnlyWhenTheProgramIsIdle) {
    AppendViewerLine(view, "during a burst");
    viewer.Render(view);
    EXPECT_EQ(TextOf(Memo()), L"");
    Render();
    EXPECT_EQ(TextOf(Memo()), L"during a burst");
}

TEST_F(ViewerTest, ANewWindowShowsTheLinesThatCameBefore) {
    Add({"one", "two"});
    SyslogViewer later{{[](ViewerItem) {}, [] {}}};
    ASSERT_TRUE(later.Create(view));
    EXPECT_EQ(TextOf(later.Memo()), L"one\r\ntwo");
}

TEST_F(ViewerTest, NewLinesKeepTheEndInSightUnlessTheUserScrolledUp) {
    for (int i = 0; i < 300; ++i) AppendViewerLine(view, "line " + std::to_string(i));
    Render();
    EXPECT_GT(FirstVisibleLine(), 250);
    EXPECT_TRUE(EndInSight());

    // The user selects something and reads from the top.
    CHARRANGE selected{2, 6};
    SendMessageW(Memo(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selected));
    SendMessageW(Memo(), WM_VSCROLL, SB_TOP, 0);
    Add({"more"});
    EXPECT_EQ(FirstVisibleLine(), 0);
    CHARRANGE now{};
    SendMessageW(Memo(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&now));
    EXPECT_EQ(now.cpMin, 2);
    EXPECT_EQ(now.cpMax, 6);

    // Back at the end, the end stays in sight.
    SendMessageW(Memo(), WM_VSCROLL, SB_BOTTOM, 0);
    const int first = FirstVisibleLine();
    Add({"a", "b", "c"});
    EXPECT_EQ(FirstVisibleLine(), first + 3);
    EXPECT_TRUE(EndInSight());
    EXPECT_EQ(Line(LineCount() - 1), L"c");
}

TEST_F(ViewerTest, TheWindowKeepsTheNewestLinesUpToTheBound) {
    const std::size_t total = MaxViewerLines + ViewerTrimStep;
    for (std::size_t i = 0; i < total; ++i) AppendViewerLine(view, std::to_string(i));
    view.Shown = true;
    ++view.Raised;
    Render();
    EXPECT_EQ(static_cast<std::size_t>(LineCount()), total);
    Add({"last"});
    EXPECT_EQ(static_cast<std::size_t>(LineCount()), MaxViewerLines);
    EXPECT_EQ(Line(0), std::to_wstring(total + 1 - MaxViewerLines));
    EXPECT_EQ(Line(LineCount() - 1), L"last");
}

TEST_F(ViewerTest, LinesDroppedBeforeTheyWereShownStartTheWindowAgain) {
    Add({"old"});
    view.Lines = {"newest 1", "newest 2"};
    view.Added += 10;
    Render();
    EXPECT_EQ(TextOf(Memo()), L"newest 1\r\nnewest 2");
}

TEST_F(ViewerTest, FontFollowsTheViewAndTheMonitorsDpi) {
    Add({"text"});
    view.Font = {"IPAGothic", 20, true, false, 128};
    Render();
    const UINT dpi = GetDpiForWindow(viewer.Handle());
    CHARFORMAT2W font = DefaultFormat(Memo());
    EXPECT_STREQ(font.szFaceName, L"IPAGothic");
    EXPECT_EQ(font.yHeight, Twips(20, dpi));
    EXPECT_TRUE(font.dwEffects & CFE_BOLD);

    // Moved to a monitor at 200 %.
    RECT r{};
    GetWindowRect(viewer.Handle(), &r);
    RECT suggested{r.left, r.top, r.left + 2 * (r.right - r.left), r.top + 2 * (r.bottom - r.top)};
    SendMessageW(viewer.Handle(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    font = DefaultFormat(Memo());
    EXPECT_EQ(font.yHeight, Twips(20, 192));
    RECT client{};
    GetClientRect(viewer.Handle(), &client);
    EXPECT_EQ(MemoRect().bottom, client.bottom - 46);
}

}  // namespace
}  // namespace rm::win
