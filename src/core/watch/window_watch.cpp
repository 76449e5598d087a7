#include "watch/window_watch.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "display/display.h"
#include "router/connect_commands.h"
#include "router/utility_windows.h"
#include "waits.h"

namespace rm {
namespace {

constexpr std::string_view DialogClass = "#32770";
constexpr const char* DownloadWindow = "ファイルのダウンロード";
constexpr std::string_view SaveAsDialog = "ﾌｧｲﾙ名を付けて保存";
// Titles of the browsers' download windows, matched whole.
constexpr std::array<const char*, 3> DownloadWindows{"場所を保存中", "Saving Location", DownloadWindow};
// The first eight include every settings window, which would refuse the disconnect.
constexpr std::size_t UtilityWindowsBeforeDisconnect = 8;

bool Contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

// One mark for each phrase of a finished or running copy in a dialog's title.
void ScanDownloadDialogs(Monitor& m, const std::vector<TopWindow>& windows) {
    for (const TopWindow& window : windows) {
        if (window.ClassName != DialogClass) continue;
        if (Contains(window.Title, "コピーしました")) m.s.watch.DownloadMarks += '1';
        if (Contains(window.Title, "完了しました")) m.s.watch.DownloadMarks += '1';
    }
}

// The terminal is online while its "BYE" control shows; without such a
// terminal it is not.
void ScanTerminals(Monitor& m, const std::vector<TopWindow>& windows) {
    m.s.watch.NifTermOnline = false;
    for (const TopWindow& window : windows) {
        if (window.Owned || !window.Visible || !Contains(window.Title, "NifTerm")) continue;
        const std::vector<ChildWindow> children = m.ports.OtherWindows.ChildWindows(window.Handle);
        const auto bye = std::find_if(children.begin(), children.end(),
                                      [](const ChildWindow& child) { return child.Text == "BYE"; });
        if (bye != children.end() && bye->Visible) m.s.watch.NifTermOnline = true;
    }
}

// Every other dialog of the download window would hold the download up.
Task<> CloseStrayDialogs(Monitor& m) {
    for (const TopWindow& window : m.ports.OtherWindows.TopLevelWindows()) {
        if (window.ClassName == DialogClass && window.Title != SaveAsDialog && window.OwnerTitle == DownloadWindow) {
            co_await CloseWindow(m, window.Handle);
        }
    }
}

}  // namespace

bool DownloadRunning(Monitor& m) {
    m.s.watch.DownloadMarks.clear();
    const std::vector<TopWindow> windows = m.ports.OtherWindows.TopLevelWindows();
    ScanDownloadDialogs(m, windows);
    ScanTerminals(m, windows);
    const bool downloadWindow = std::any_of(DownloadWindows.begin(), DownloadWindows.end(), [&m](const char* title) {
        return m.ports.OtherWindows.FindWindowByTitle(title) != 0;
    });
    return downloadWindow || !m.s.watch.DownloadMarks.empty() || m.s.watch.NifTermOnline;
}

void DisconnectAfterDownload(Monitor& m) {
    if (m.view.Menu[Item::DisconnectAfterDownload].Checked) {
        ArmDownloadWatch(m, false);
    } else if (DownloadRunning(m)) {
        ArmDownloadWatch(m, true);
    } else {
        ShowMessage(m, "対象を見つけられませんでした");
    }
}

Task<> WatchDownloads(Monitor& m) {
    if (DownloadRunning(m)) {
        if (m.ports.OtherWindows.FindWindowByTitle(DownloadWindow) != 0) co_await CloseStrayDialogs(m);
        co_return;
    }
    // Disarmed first: a tick inside the disconnect's boxes must not disconnect again.
    ArmDownloadWatch(m, false);
    for (std::size_t i = 0; i < UtilityWindowsBeforeDisconnect; ++i) {
        if (const WindowHandle window = m.ports.OtherWindows.FindWindowByTitle(UtilityWindows[i])) {
            co_await CloseWindow(m, window);
        }
    }
    co_await DisconnectConnectedPort(m);
}

}  // namespace rm
