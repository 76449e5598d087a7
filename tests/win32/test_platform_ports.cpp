#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform_ports.h"
#include "pump.h"
#include "step_timer.h"
#include "syslog/history_file.h"

namespace rm::win {
namespace {

TEST(Win32Net, AHostTheEndpointCannotTakeIsTellableFromOtherSendErrors) {
    UdpEndpoint endpoint;
    endpoint.RemotePort = 45999;
    Win32Net net;
    net.Attach({nullptr, &endpoint, nullptr});
    EXPECT_THROW(net.Send(Endpoint::Router, std::string(128, 'a'), "x"), RemoteHostRejected);
    try {
        net.Send(Endpoint::Router, "0.0.0.0", "x");
        ADD_FAILURE() << "no error for 0.0.0.0";
    } catch (const RemoteHostRejected&) {
        ADD_FAILURE() << "0.0.0.0 is a destination error, not a rejected host";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Null Remote Address");
    }
}

TEST(Win32Net, SendsNothingOnceTheEndpointsAreReleased) {
    UdpEndpoint endpoint;
    Win32Net net;
    net.Attach({nullptr, &endpoint, nullptr});
    net.Detach();
    // The endpoint would refuse this host: nothing reaches it.
    EXPECT_NO_THROW(net.Send(Endpoint::Router, std::string(128, 'a'), "x"));
}

// Another program's window, whose program hangs when asked to close until
// released, or closes at once.
class HungWindow {
public:
    explicit HungWindow(bool hangs = true) {
        if (!hangs) SetEvent(release_);
        thread_ = std::thread([this] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = [](HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
                if (msg == WM_CLOSE) {
                    auto* self = reinterpret_cast<HungWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
                    WaitForSingleObject(self->release_, 60'000);
                    self->handled_ = true;
                    return 0;
                }
                return DefWindowProcW(hwnd, msg, wp, lp);
            };
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"RmTestHungWindow";
            RegisterClassW(&wc);
            window_ = CreateWindowW(wc.lpszClassName, L"hung", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                    wc.hInstance, nullptr);
            SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            threadId_ = GetCurrentThreadId();
            SetEvent(ready_);
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
        });
        WaitForSingleObject(ready_, 10'000);
    }
    ~HungWindow() {
        SetEvent(release_);
        PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        thread_.join();
        CloseHandle(ready_);
        CloseHandle(release_);
    }
    HWND window() const { return window_; }
    bool handled() const { return handled_; }
    void Release() { SetEvent(release_); }

private:
    HANDLE ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> handled_{false};
    HWND window_ = nullptr;
    DWORD threadId_ = 0;
    std::thread thread_;
};

// Another program may hold the clipboard: the error box says so in words the
// user reads.
TEST(Win32Clipboard, AClipboardHeldElsewhereIsToldInJapanese) {
    HANDLE held = CreateEventW(nullptr, TRUE, FALSE, nullptr), release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        const HWND window = CreateWindowW(L"STATIC", L"holder", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        const bool opened = OpenClipboard(window);
        SetEvent(held);
        WaitForSingleObject(release, 10'000);
        if (opened) CloseClipboard();
        DestroyWindow(window);
    });
    WaitForSingleObject(held, 10'000);
    const Window owner;
    Win32Clipboard clipboard(owner);
    std::string told = "nothing";
    try {
        clipboard.SetText("x");
    } catch (const std::exception& e) {
        told = e.what();
    }
    SetEvent(release);
    holder.join();
    CloseHandle(held);
    CloseHandle(release);
    EXPECT_EQ(told, "クリップボードを開けません。少し待ってからもう一度試してください。");
}

// Done comes once, as an event of its own: when the other program has handled
// the close, or after the bound while it hangs; meanwhile the thread goes on.
TEST(Win32OtherWindows, DoneComesOnceAtTheAnswerOrAfterTheBound) {
    struct Row {
        const char* name;
        bool hangs;
    };
    for (const Row row : {Row{"closes", false}, Row{"hangs", true}}) {
        SCOPED_TRACE(row.name);
        HungWindow other(row.hangs);
        ASSERT_NE(other.window(), nullptr);
        Win32Steps steps([](const std::function<void()>& step) { step(); });
        Win32OtherWindows windows(steps);
        const auto start = std::chrono::steady_clock::now();
        int done = 0;
        std::chrono::milliseconds after{0};
        bool handledBefore = false, stepRan = false;
        windows.CloseWindow(reinterpret_cast<WindowHandle>(other.window()), [&] {
            ++done;
            after = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
            handledBefore = other.handled();
        });
        EXPECT_EQ(done, 0) << "not inside the call";
        steps.After(1000, [&] { stepRan = true; });
        ASSERT_TRUE(PumpUntil([&] { return done > 0; }, std::chrono::seconds(20)));
        EXPECT_EQ(handledBefore, !row.hangs);
        EXPECT_EQ(after >= std::chrono::milliseconds(CloseWaitMilliseconds), row.hangs) << after.count() << " ms";
        EXPECT_EQ(stepRan, row.hangs);
        // The answer that comes late, and the bound, call nobody again.
        other.Release();
        bool past = false;
        steps.After(CloseWaitMilliseconds, [&] { past = true; });
        ASSERT_TRUE(PumpUntil([&] { return past && other.handled(); }, std::chrono::seconds(20)));
        EXPECT_EQ(done, 1);
    }
}

}  // namespace
}  // namespace rm::win

namespace rm::win {
namespace {

std::filesystem::path TestFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path folder = std::filesystem::path(temp) / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

std::string Contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Run by ctest as win32.windows10, under Wine's Windows 10: the tests carry
// no manifest, so GetVersionExW says Windows 8 (6.2) there, as on Windows 10
// and 11 themselves.
TEST(OnWindows10, TheVersionIsTheSystemsOwnNotTheManifests) {
    const Window owner;
    UserDialogs dialogs;
    Win32Programs programs(owner, dialogs);
    const WindowsVersion version = programs.SystemVersion();
    EXPECT_EQ(version.Major, 10u);
    EXPECT_EQ(version.Minor, 0u);
    EXPECT_GE(version.Build, 10240u);
}

TEST(Win32Files, TheWriteThroughMoveReplacesTheOldFile) {
    const auto folder = TestFolder(L"rm-move");
    std::ofstream(folder / "new.tmp", std::ios::binary) << "new";
    std::ofstream(folder / "RMonitor.ini", std::ios::binary) << "old";
    Win32Files files;
    EXPECT_TRUE(files.MoveOver(folder / "new.tmp", folder / "RMonitor.ini"));
    EXPECT_EQ(Contents(folder / "RMonitor.ini"), "new");
    EXPECT_FALSE(std::filesystem::exists(folder / "new.tmp"));
    EXPECT_FALSE(files.MoveOver(folder / "missing.tmp", folder / "RMonitor.ini"));
    EXPECT_EQ(Contents(folder / "RMonitor.ini"), "new");
    std::filesystem::remove_all(folder);
}

TEST(HistoryFileOnWindows, AReadOnlyHistoryIsClearedAndAppended) {
    const auto folder = TestFolder(L"rm-history");
    const auto file = folder / "Rmonitor.csv";
    std::ofstream(file, std::ios::binary) << "old\r\n";
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(AppendHistoryLine(file, "new"));
    EXPECT_EQ(Contents(file), "old\r\nnew\r\n");
    EXPECT_EQ(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace rm::win
