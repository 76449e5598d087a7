// TmainForm: the tiny always-on-top panel that owns the program state, the
// three UDP endpoints and the popup menus.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <windows.h>

#include "about_box.h"
#include "handles.h"
#include "monitor/monitor.h"
#include "nmudp.h"
#include "platform_ports.h"
#include "syslog_viewer.h"
#include "tray_icon.h"

namespace rm::win {

class MainWindow : public AppWindowPort {
public:
    explicit MainWindow(HINSTANCE instance);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window and its endpoints and runs the start-up; false when
    // the window cannot be created.
    bool Create();

    void CloseMainWindow() override;
    void ShowSyslogViewer() override;
    void ShowAboutModal() override;
    void OpenHelpContents(const std::filesystem::path& helpFile) override;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);

    void OnPaint();
    void OnLeftButtonDown();
    void OnContextMenu();
    void OpenPopupMenu(PopupMenu which);
    void OnCommand(UINT id);
    void OnTimer();
    void OnClose();
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    HBRUSH OnCtlColorStatic(HDC dc);

    using DatagramEvent = void (*)(Monitor&, int NumberBytes, std::string_view datagram);
    std::unique_ptr<TNMUDP> MakeEndpoint(const char* remoteHost, int remotePort, int localPort);
    // Reads the datagram into a buffer of bufferSize bytes and hands it to the core.
    void Receive(TNMUDP& sender, int NumberBytes, int bufferSize, DatagramEvent event);
    void CreateEndpoints();
    void TellUnboundPorts();
    void ReleaseEndpoints();
    void UpdateFont();
    int Scale(int pixels) const;

    // Runs one event of the core; an uncaught error is shown and the program goes on.
    template <class Event>
    void Guarded(Event&& event);
    void Render();
    void RenderTray();

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    HWND panel_ = nullptr;
    HWND tooltip_ = nullptr;
    OwnedFont font_;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    std::wstring shownCaption_, shownHint_;
    FontColour shownColour_ = FontColour::WindowText;
    bool closing_ = false;

    std::unique_ptr<TNMUDP> SYSLOGUDP, RV_UDP, RM_UDP;
    Win32Net net_{{nullptr, nullptr, nullptr}};
    Win32Dialogs dialogs_{hwnd_};
    Win32Clock clock_;
    Win32Events events_{[this] {
        if (hwnd_) Render();
    }};
    Win32Sound sound_;
    Win32Programs programs_{hwnd_};
    Win32OtherWindows otherWindows_;
    Win32Clipboard clipboard_{hwnd_};
    Ports ports_{net_, dialogs_, clock_, events_, sound_, programs_, otherWindows_, *this, clipboard_};
    Monitor monitor_{MainState{}, ViewModel{}, ports_};

    SyslogViewer syslogViewer_;

    OwnedIcon programIcon_, connectedIcon_;
    std::shared_ptr<TrayMenu> popupMenu1_ =
        std::make_shared<TrayMenu>(TrayMenu{[this] { OpenPopupMenu(PopupMenu::PopupMenu1); }});
    std::shared_ptr<TrayMenu> popupMenu2_ =
        std::make_shared<TrayMenu>(TrayMenu{[this] { OpenPopupMenu(PopupMenu::PopupMenu2); }});
    std::unique_ptr<TTrayIcon> icontray1;
};

}  // namespace rm::win
