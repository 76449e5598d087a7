#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_ids.h"
#include "line_view.h"
#include "pump.h"
#include "syslog/viewer_lines.h"
#include "syslog_viewer.h"
#include "test_syslog_support.h"
#include "viewer_probe.h"

namespace rm::win {
namespace {

std::wstring MenuCaption(HMENU menu, int position) {
    wchar_t caption[64] = {};
    GetMenuStringW(menu, position, caption, 64, MF_BYPOSITION);
    return caption;
}

int Scaled(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI); }

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

struct ViewerTest : ::testing::Test {
    SyslogViewerView view;
    std::vector<ViewerItem> commands;
    int closed = 0;
    SyslogViewer viewer{{[this](ViewerItem item) { commands.push_back(item); }, [this] { ++closed; }}};

    void SetUp() override { ASSERT_TRUE(viewer.Create(view)); }
    void Add(std::initializer_list<std::string> lines) {
        for (const std::string& line : lines) AppendViewerLine(view, line);
        Render();
    }
    // Lines "line 0", "line 1", ... up to count in all, then one render.
    void AddNumbered(std::size_t count) {
        while (view.Added < count) AppendViewerLine(view, "line " + std::to_string(view.Added));
        Render();
    }
    void Render() {
        viewer.Render(view);
        PumpUntil([] { return true; });
    }
    void Show() {
        view.Shown = true;
        ++view.Raised;
        Render();
    }
    HWND Lines() const { return viewer.LinesWindow(); }
    RECT LinesRect() const {
        RECT r{};
        GetWindowRect(Lines(), &r);
        MapWindowPoints(nullptr, viewer.Handle(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    std::vector<std::wstring> Shown() const { return SplitLines(ViewText(Lines())); }
    int TopLine() const { return ScrollBar(Lines(), SB_VERT).nPos; }
    int Left() const { return ScrollBar(Lines(), SB_HORZ).nPos; }
    bool EndInSight() const {
        const SCROLLINFO info = ScrollBar(Lines(), SB_VERT);
        return info.nPos + static_cast<int>(info.nPage) >= info.nMax + 1;
    }
    static void ClearClipboard() {
        OpenClipboard(nullptr);
        EmptyClipboard();
        CloseClipboard();
    }
    std::wstring Copied() {
        ClearClipboard();
        Press(Lines(), 'C', {VK_CONTROL});
        return ClipboardText();
    }
    // Pixels of the row of lines that are not the background.
    int Inked(const Picture& picture, int row) const {
        const int height = LineHeight(Lines());
        return picture.Width() * height - picture.Count(row * height, height, GetSysColor(COLOR_WINDOW));
    }
    int Highlighted(const Picture& picture, int row) const {
        const int height = LineHeight(Lines());
        return picture.Count(row * height, height, GetSysColor(COLOR_HIGHLIGHT));
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

    // LineView above the 23-pixel bottom panel, with both scroll bars.
    EXPECT_EQ(ClassOf(Lines()), LineViewClassName);
    const RECT lines = LinesRect();
    EXPECT_EQ(lines.top, 0);
    EXPECT_EQ(lines.right, client.right);
    EXPECT_EQ(lines.bottom, client.bottom - Scaled(23, dpi));
    const LONG_PTR style = GetWindowLongPtrW(Lines(), GWL_STYLE);
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_TRUE(style & WS_HSCROLL);
    const LOGFONTW font = ViewFont(Lines());
    EXPECT_STREQ(font.lfFaceName, L"ＭＳ ゴシック");
    EXPECT_EQ(font.lfHeight, -MulDiv(9, static_cast<int>(dpi), 72));

    // Read-only: typing changes nothing.
    Show();
    Add({"[2003/01/02 09:05:00]<30>rv4 PPP Connect"});
    SendMessageW(Lines(), WM_CHAR, L'x', 1);
    SendMessageW(Lines(), WM_KEYDOWN, VK_DELETE, 1);
    EXPECT_EQ(ViewText(Lines()), L"[2003/01/02 09:05:00]<30>rv4 PPP Connect");

    // However small the user drags it, more than the time stamp shows.
    SetWindowPos(window, nullptr, 0, 0, 40, 40, SWP_NOMOVE | SWP_NOZORDER);
    const SCROLLINFO sideways = ScrollBar(Lines(), SB_HORZ);
    EXPECT_GE(static_cast<int>(sideways.nPage), sideways.nMax + 1);
    EXPECT_GE(LinesRect().bottom - LinesRect().top, 5 * LineHeight(Lines()));
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
    EXPECT_EQ(file[0].id, CommandId(ViewerItem::CopyLog));
    EXPECT_EQ(file[4].id, CommandId(ViewerItem::Close));
    const auto options = items(GetSubMenu(bar, 1));
    ASSERT_EQ(options.size(), 1u);
    EXPECT_EQ(options[0].caption, L"ﾌｫﾝﾄ");
    const auto help = items(GetSubMenu(bar, 2));
    ASSERT_EQ(help.size(), 1u);
    EXPECT_EQ(help[0].caption, L"この項目のﾍﾙﾌﾟ");
    EXPECT_EQ(help[0].id, CommandId(ViewerItem::Help));
}

TEST_F(ViewerTest, MenuCommandsAndClosingReachTheApplication) {
    for (ViewerItem item : {ViewerItem::CopyLog, ViewerItem::CopyLogQuoted, ViewerItem::SaveLog, ViewerItem::Close,
                            ViewerItem::ChangeFont, ViewerItem::Help}) {
        SendMessageW(viewer.Handle(), WM_COMMAND, MAKEWPARAM(CommandId(item), 0), 0);
    }
    EXPECT_EQ(commands, (std::vector<ViewerItem>{ViewerItem::CopyLog, ViewerItem::CopyLogQuoted, ViewerItem::SaveLog,
                                                 ViewerItem::Close, ViewerItem::ChangeFont, ViewerItem::Help}));

    Show();
    EXPECT_TRUE(IsWindowVisible(viewer.Handle()));
    SendMessageW(viewer.Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(viewer.Handle()));
    EXPECT_EQ(closed, 1);
    EXPECT_NE(viewer.Handle(), nullptr);

    // The core hides it too (its own close command).
    Show();
    view.Shown = false;
    Render();
    EXPECT_FALSE(IsWindowVisible(viewer.Handle()));
}

TEST_F(ViewerTest, LinesAreAddedOnceInOrder) {
    Show();
    Add({"[2003/01/02 09:05:00]S01: ATD0123", "---"});
    Render();
    Add({"ルータ 接続", "---"});
    EXPECT_EQ(ViewText(Lines()), L"[2003/01/02 09:05:00]S01: ATD0123\r\n---\r\nルータ 接続\r\n---");
}

TEST_F(ViewerTest, ASimpleDisplayLineInShiftJisShowsWholeCharacters) {
    test::SyslogMonitor monitor;
    // "ルータ: 接続" from another device, ending in a lead byte whose trail was lost.
    monitor.Receive("\x83\x8b\x81\x5b\x83\x5e: \x90\xda\x91\xb1\x82");
    view = monitor.m.view.Viewer;
    Show();
    EXPECT_EQ(ViewText(Lines()), L"[2003/01/02 09:05:00]ルータ: 接続\r\n---");
}

TEST_F(ViewerTest, AHiddenWindowShowsItsLinesAndTheEndOnceOpened) {
    Add({"during a burst"});
    EXPECT_EQ(ViewText(Lines()), L"during a burst");
    AddNumbered(300);
    Show();
    EXPECT_EQ(Shown().size(), 300u);
    EXPECT_EQ(Shown().back(), L"line 299");
    EXPECT_TRUE(EndInSight());
    EXPECT_GT(TopLine(), 250);
}

TEST_F(ViewerTest, ANewWindowShowsTheLinesThatCameBefore) {
    Add({"one", "two"});
    SyslogViewer later{{[](ViewerItem) {}, [] {}}};
    ASSERT_TRUE(later.Create(view));
    EXPECT_EQ(ViewText(later.LinesWindow()), L"one\r\ntwo");
}

TEST_F(ViewerTest, NewLinesKeepTheEndInSightUnlessTheUserScrolledUp) {
    Show();
    AddNumbered(300);
    EXPECT_GT(TopLine(), 250);
    EXPECT_TRUE(EndInSight());

    // The user reads from the top and selects something there.
    SendMessageW(Lines(), WM_VSCROLL, SB_TOP, 0);
    Click(Lines(), 2);
    Click(Lines(), 3, true);
    Add({"more"});
    EXPECT_EQ(TopLine(), 0);
    EXPECT_EQ(Copied(), L"line 2\r\nline 3");

    // Back at the end, the end stays in sight.
    SendMessageW(Lines(), WM_VSCROLL, SB_BOTTOM, 0);
    const int first = TopLine();
    Add({"a", "b", "c"});
    EXPECT_EQ(TopLine(), first + 3);
    EXPECT_TRUE(EndInSight());
    EXPECT_EQ(Shown().back(), L"c");
}

TEST_F(ViewerTest, TheWindowKeepsTheNewestLinesUpToTheBound) {
    const std::size_t total = MaxViewerLines + ViewerTrimStep;
    Show();
    AddNumbered(total);
    EXPECT_EQ(Shown().size(), total);
    // Past the 16 bits of the scroll messages.
    EXPECT_EQ(static_cast<std::size_t>(ScrollBar(Lines(), SB_VERT).nMax) + 1, total);
    EXPECT_GT(TopLine(), 65'535);
    Add({"last"});
    const auto shown = Shown();
    ASSERT_EQ(shown.size(), MaxViewerLines);
    EXPECT_EQ(shown.front(), L"line " + std::to_wstring(total + 1 - MaxViewerLines));
    EXPECT_EQ(shown.back(), L"last");
    EXPECT_EQ(SendMessageW(Lines(), EM_GETLINECOUNT, 0, 0), static_cast<LRESULT>(MaxViewerLines));
    EXPECT_TRUE(EndInSight());
}

TEST_F(ViewerTest, LinesDroppedBeforeTheyWereShownStartTheWindowAgain) {
    Show();
    Add({"old"});
    view.Lines = {"newest 1", "newest 2"};
    view.Added += 10;
    Render();
    EXPECT_EQ(ViewText(Lines()), L"newest 1\r\nnewest 2");
    EXPECT_EQ(TopLine(), 0);
}

// Marks any font draws, in their own colours: the text "<NUL>" does not look like a NUL.
TEST_F(ViewerTest, ALineWithANulShowsAllItsTextAndTheLinesAfterIt) {
    Show();
    Add({"before", std::string("a\0b", 3), "after\ttab", "<NUL> as text"});
    EXPECT_EQ(ViewText(Lines()), L"before\r\na<NUL>b\r\nafter<HT>tab\r\n<NUL> as text");
    EXPECT_EQ(Shown().size(), view.Lines.size());
    const Picture picture(Lines());
    const int height = LineHeight(Lines());
    for (const auto& [row, marked] : {std::pair{0, false}, {1, true}, {2, true}, {3, false}}) {
        EXPECT_EQ(picture.Count(row * height, height, GetSysColor(COLOR_GRAYTEXT)) > 0, marked) << "row " << row;
    }
    Press(Lines(), 'A', {VK_CONTROL});
    EXPECT_EQ(Copied(), L"before\r\na<NUL>b\r\nafter<HT>tab\r\n<NUL> as text");
}

TEST_F(ViewerTest, ALineWiderThanTheWindowNeverMovesTheViewSideways) {
    Show();
    Add({"short 1", "short 2"});
    Add({std::string(2000, 'W'), "short 3"});
    Add({"short 4"});
    EXPECT_EQ(Left(), 0);
    // The wide line can be scrolled to.
    const SCROLLINFO horizontal = ScrollBar(Lines(), SB_HORZ);
    EXPECT_GT(horizontal.nMax + 1, 10 * static_cast<int>(horizontal.nPage));
    const Picture picture(Lines());
    for (int row : {0, 1, 2, 3, 4}) EXPECT_GT(Inked(picture, row), 0) << "row " << row;
    EXPECT_EQ(Inked(picture, 5), 0);

    // Scrolled sideways by the user, it stays there as lines come.
    Press(Lines(), VK_RIGHT);
    Press(Lines(), VK_RIGHT);
    const int left = Left();
    EXPECT_GT(left, 0);
    Add({"short 5"});
    EXPECT_EQ(Left(), left);
    Press(Lines(), VK_LEFT);
    EXPECT_LT(Left(), left);
}

TEST_F(ViewerTest, ScrolledAwayTheSameLinesStayInViewThroughNewLinesAndATrim) {
    const std::size_t total = MaxViewerLines + ViewerTrimStep;
    Show();
    AddNumbered(total - 10);
    for (int i = 0; i < 40; ++i) Press(Lines(), VK_PRIOR);
    ASSERT_FALSE(EndInSight());
    Click(Lines(), 2);
    const std::wstring selected = Copied();
    const int top = TopLine();
    const Picture before(Lines());

    AddNumbered(total - 5);
    EXPECT_EQ(TopLine(), top);
    EXPECT_TRUE(Picture(Lines()) == before);
    // The store drops its oldest lines.
    AddNumbered(total + 1);
    ASSERT_EQ(view.Lines.size(), MaxViewerLines);
    EXPECT_EQ(TopLine(), top - static_cast<int>(total + 1 - MaxViewerLines));
    EXPECT_TRUE(Picture(Lines()) == before);
    EXPECT_EQ(Copied(), selected);

    // Lines that go leave the selection; the rest stays selected.
    Press(Lines(), VK_HOME, {VK_CONTROL, VK_SHIFT});
    AddNumbered(total + 1 + ViewerTrimStep + 1);
    const auto copied = SplitLines(Copied());
    EXPECT_EQ(copied.front(), L"line " + std::to_wstring(view.Added - view.Lines.size()));
    EXPECT_EQ(copied.back(), selected);
}

TEST_F(ViewerTest, LinesAreSelectedWithTheMouseAndKeysAndCopiedHighlighted) {
    Show();
    AddNumbered(10);
    Click(Lines(), 1);
    Click(Lines(), 3, true);
    EXPECT_EQ(Copied(), L"line 1\r\nline 2\r\nline 3");
    const Picture picture(Lines());
    for (int row : {1, 2, 3}) EXPECT_GT(Highlighted(picture, row), 0) << "row " << row;
    for (int row : {0, 4}) EXPECT_EQ(Highlighted(picture, row), 0) << "row " << row;

    // A drag.
    const int height = LineHeight(Lines());
    SendMessageW(Lines(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 4 * height + 1));
    SendMessageW(Lines(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 5 * height + 1));
    SendMessageW(Lines(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 6 * height + 1));
    SendMessageW(Lines(), WM_LBUTTONUP, 0, MAKELPARAM(10, 6 * height + 1));
    SendMessageW(Lines(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 8 * height + 1));
    EXPECT_EQ(Copied(), L"line 4\r\nline 5\r\nline 6");

    Press(Lines(), VK_DOWN, {VK_SHIFT});
    Press(Lines(), VK_DOWN, {VK_SHIFT});
    Press(Lines(), VK_UP, {VK_SHIFT});
    EXPECT_EQ(Copied(), L"line 4\r\nline 5\r\nline 6\r\nline 7");
    Press(Lines(), 'A', {VK_CONTROL});
    EXPECT_EQ(SplitLines(Copied()).size(), 10u);
}

TEST_F(ViewerTest, KeysAndTheWheelScroll) {
    Show();
    AddNumbered(300);
    Press(Lines(), VK_HOME, {VK_CONTROL});
    EXPECT_EQ(TopLine(), 0);

    UINT wheelLines = 0;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &wheelLines, 0);
    SendMessageW(Lines(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(TopLine(), static_cast<int>(wheelLines));
    SendMessageW(Lines(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(TopLine(), 0);

    Press(Lines(), VK_END, {VK_CONTROL});
    EXPECT_TRUE(EndInSight());
    Add({"followed again"});
    EXPECT_TRUE(EndInSight());
}

// As in a Windows list. Line 0 is wider than the window, so that a key that
// scrolled sideways would show.
TEST_F(ViewerTest, TheKeysMoveTheSelectionAsInAList) {
    Show();
    Add({std::string(500, 'W')});
    AddNumbered(300);
    const int page = static_cast<int>(ScrollBar(Lines(), SB_VERT).nPage);
    struct Case {
        int clicked;  // the row clicked first; -1 for none
        std::vector<std::pair<UINT, std::vector<BYTE>>> keys;
        int first, last, caret;  // the lines selected then, and the one the keys move from
    };
    const BYTE shift = VK_SHIFT, ctrl = VK_CONTROL;
    const std::vector<Case> cases{
        {-1, {{VK_UP, {}}}, page - 1, page - 1, page - 1},  // nothing chosen: the last line in view
        {2, {{VK_DOWN, {}}, {VK_DOWN, {}}}, 4, 4, 4},
        {0, {{VK_UP, {}}}, 0, 0, 0},
        {2, {{VK_DOWN, {}}, {VK_UP, {shift}}, {VK_UP, {shift}}}, 1, 3, 1},
        {2, {{VK_NEXT, {}}}, 2 + page, 2 + page, 2 + page},
        {2, {{VK_END, {}}}, 299, 299, 299},
        {2, {{VK_END, {ctrl, shift}}}, 2, 299, 299},
        {5, {{VK_END, {}}, {VK_HOME, {}}}, 0, 0, 0},
        {5, {{VK_HOME, {ctrl, shift}}}, 0, 5, 0},
    };
    const auto line = [](int n) { return n == 0 ? std::wstring(500, L'W') : L"line " + std::to_wstring(n); };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases.data());
        SendMessageW(Lines(), WM_VSCROLL, SB_TOP, 0);
        if (c.clicked >= 0) Click(Lines(), c.clicked);
        for (const auto& [key, held] : c.keys) Press(Lines(), key, held);
        const auto copied = SplitLines(Copied());
        EXPECT_EQ(copied.size(), static_cast<std::size_t>(c.last - c.first + 1));
        EXPECT_EQ(copied.front() + L"|" + copied.back(), line(c.first) + L"|" + line(c.last));
        // The caret's line in sight, and the view not moved sideways.
        EXPECT_TRUE(c.caret >= TopLine() && c.caret < TopLine() + page);
        EXPECT_EQ(Left(), 0);
    }
    // The caret's line has the dotted frame of lists while the lines have the keyboard.
    SetFocus(nullptr);
    const Picture unfocused(Lines());
    SetFocus(Lines());
    EXPECT_FALSE(Picture(Lines()) == unfocused);
}

TEST_F(ViewerTest, TheContextMenuCopiesAndSelectsAll) {
    struct Case {
        std::vector<int> clicked;  // rows, the later ones with Shift
        int rightClicked, pick;
        const wchar_t* copy;  // as the menu shows it
        std::wstring selected;
    };
    const std::vector<Case> cases{
        {{}, 7, -1, L"コピー\tCtrl+C (greyed)", L""},  // below the lines, nothing selected yet
        {{1, 2}, 2, 0, L"コピー\tCtrl+C", L"line 1\r\nline 2"},
        {{1}, 4, 0, L"コピー\tCtrl+C", L"line 4"},  // a line outside the selection is selected first
        {{1}, 3, 1, L"コピー\tCtrl+C", L"line 0\r\nline 1\r\nline 2\r\nline 3\r\nline 4"},
    };
    Show();
    AddNumbered(5);
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases.data());
        for (std::size_t i = 0; i < c.clicked.size(); ++i) Click(Lines(), c.clicked[i], i > 0);
        ClearClipboard();
        EXPECT_EQ(RightClick(Lines(), c.rightClicked, c.pick),
                  (std::vector<std::wstring>{c.copy, L"すべて選択\tCtrl+A"}));
        // コピー fills the clipboard; すべて選択 selects.
        EXPECT_EQ(ClipboardText(), c.pick == 0 ? c.selected : L"");
        EXPECT_EQ(Copied(), c.selected);
    }
}

TEST_F(ViewerTest, TheTextHasTheKeyboardFocusOnceTheWindowIsShown) {
    Show();
    PumpUntil([&] { return GetFocus() == Lines(); }, std::chrono::seconds(2));
    EXPECT_EQ(GetFocus(), Lines());
}

TEST_F(ViewerTest, FontFollowsTheViewAndTheMonitorsDpi) {
    Show();
    AddNumbered(300);
    const UINT pageBefore = ScrollBar(Lines(), SB_VERT).nPage;
    view.Font = {"IPAGothic", 20, true, false, 128};
    Render();
    const UINT dpi = GetDpiForWindow(viewer.Handle());
    LOGFONTW font = ViewFont(Lines());
    EXPECT_STREQ(font.lfFaceName, L"IPAGothic");
    EXPECT_EQ(font.lfHeight, -MulDiv(20, static_cast<int>(dpi), 72));
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfPitchAndFamily & 0x03, FIXED_PITCH);
    // A proportional face chosen in the font dialog is not asked for as fixed pitch.
    view.Font = {"Liberation Serif", 12, false, false, 0, false};
    Render();
    EXPECT_STREQ(ViewFont(Lines()).lfFaceName, L"Liberation Serif");
    EXPECT_EQ(ViewFont(Lines()).lfPitchAndFamily & 0x03, DEFAULT_PITCH);
    view.Font = {"IPAGothic", 20, true, false, 128};
    Render();
    font = ViewFont(Lines());
    // The lines are as high as the font: fewer fit.
    RECT inside{};
    GetClientRect(Lines(), &inside);
    EXPECT_EQ(static_cast<int>(ScrollBar(Lines(), SB_VERT).nPage), inside.bottom / LineHeight(Lines()));
    EXPECT_LT(ScrollBar(Lines(), SB_VERT).nPage, pageBefore);
    EXPECT_TRUE(EndInSight());

    // Moved to a monitor at 200 %.
    RECT r{};
    GetWindowRect(viewer.Handle(), &r);
    RECT suggested{r.left, r.top, r.left + 2 * (r.right - r.left), r.top + 2 * (r.bottom - r.top)};
    SendMessageW(viewer.Handle(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    font = ViewFont(Lines());
    EXPECT_EQ(font.lfHeight, -MulDiv(20, 192, 72));
    RECT client{};
    GetClientRect(viewer.Handle(), &client);
    EXPECT_EQ(LinesRect().bottom, client.bottom - 46);
}

}  // namespace
}  // namespace rm::win
