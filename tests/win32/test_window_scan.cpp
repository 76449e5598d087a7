#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform_ports.h"
#include "step_timer.h"
#include "wide.h"

namespace rm::win {
namespace {

// A window destroyed with the test.
class TestWindow {
public:
    TestWindow(const wchar_t* className, const std::wstring& title, DWORD style, HWND parent = nullptr)
        : window_(CreateWindowExW(0, className, title.c_str(), style, 0, 0, 200, 100, parent, nullptr,
                                  GetModuleHandleW(nullptr), nullptr)) {}
    ~TestWindow() { DestroyWindow(window_); }
    HWND get() const { return window_; }
    WindowHandle handle() const { return reinterpret_cast<WindowHandle>(window_); }

private:
    HWND window_;
};

const TopWindow* Find(const std::vector<TopWindow>& windows, const TestWindow& window) {
    const auto found = std::find_if(windows.begin(), windows.end(),
                                    [&](const TopWindow& w) { return w.Handle == window.handle(); });
    return found == windows.end() ? nullptr : &*found;
}

TEST(Win32OtherWindows, TopLevelWindowsGiveTitleClassOwnerAndVisibility) {
    const DWORD popup = WS_POPUP | WS_CAPTION;
    TestWindow download(L"#32770", L"ファイルのダウンロード", popup | WS_VISIBLE);
    TestWindow saveAs(L"#32770", L"ﾌｧｲﾙ名を付けて保存", popup, download.get());
    // The phrase lies past what a 255-character buffer holds.
    TestWindow longTitle(L"#32770", std::wstring(260, L'x') + L"コピーしました", popup | WS_VISIBLE);

    Win32Steps steps{[](const std::function<void()>& step) { step(); }};
    Win32OtherWindows port{steps};
    const std::vector<TopWindow> windows = port.TopLevelWindows();
    const TopWindow* top = Find(windows, download);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->Title, "ファイルのダウンロード");
    EXPECT_EQ(top->ClassName, "#32770");
    EXPECT_FALSE(top->Owned);
    EXPECT_EQ(top->OwnerTitle, "");
    EXPECT_TRUE(top->Visible);

    const TopWindow* owned = Find(windows, saveAs);
    ASSERT_NE(owned, nullptr);
    EXPECT_EQ(owned->Title, "ﾌｧｲﾙ名を付けて保存");
    EXPECT_TRUE(owned->Owned);
    EXPECT_EQ(owned->OwnerTitle, "ファイルのダウンロード");
    EXPECT_FALSE(owned->Visible);

    const TopWindow* cut = Find(windows, longTitle);
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->Title, std::string(254, 'x'));
}

TEST(Win32OtherWindows, ChildWindowsAreListedAtAnyDepthWithTheirVisibility) {
    TestWindow terminal(L"STATIC", L"NifTerm", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    TestWindow panel(L"STATIC", L"", WS_CHILD | WS_VISIBLE, terminal.get());
    TestWindow bye(L"BUTTON", L"BYE", WS_CHILD | WS_VISIBLE, panel.get());
    TestWindow hidden(L"BUTTON", L"接続", WS_CHILD, panel.get());

    Win32Steps steps{[](const std::function<void()>& step) { step(); }};
    Win32OtherWindows port{steps};
    std::vector<ChildWindow> children = port.ChildWindows(terminal.handle());
    std::vector<std::pair<std::string, bool>> seen;
    for (const ChildWindow& child : children) seen.emplace_back(child.Text, child.Visible);
    EXPECT_EQ(seen, (std::vector<std::pair<std::string, bool>>{{"", true}, {"BYE", true}, {"接続", false}}));

    ShowWindow(bye.get(), SW_HIDE);
    children = port.ChildWindows(terminal.handle());
    ASSERT_EQ(children.size(), 3u);
    EXPECT_FALSE(children[1].Visible);
}

}  // namespace
}  // namespace rm::win
