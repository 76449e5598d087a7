// The application: owns the monitor's state, the ports, the three UDP
// endpoints, the tick and every window, and runs each event as "handle it in
// the core, then render the view".
#pragma once

#include <memory>
#include <string_view>

#include <windows.h>

#include "handles.h"
#include "monitor.h"
#include "memo_windows.h"
#include "udp_endpoint.h"
#include "notice_window.h"
#include "panel_window.h"
#include "platform_ports.h"
#include "step_timer.h"
#include "syslog_viewer.h"
#include "tray_icon.h"

namespace rm::win {

class App {
public:
    App();
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // Creates the windows and the endpoints and runs the start-up; false when
    // the panel cannot be created.
    bool Start();

private:
    // Runs one event of the core; an uncaught error is shown and the program
    // goes on. An event that is a command with steps apart in time is started
    // here and goes on in steps of its own. Then the view is rendered, unless
    // the event is one of a burst that goes on: the view of its last event is
    // the one that counts. One that starts while another runs, other than
    // inside a dialog the user opened, is written to the diagnostic log.
    template <class Event>
    void Run(const wchar_t* what, Event&& event, bool render = true);
    // Calls the core's handler, starting the command it returns, if any.
    template <class Event>
    void Dispatch(Event&& event);
    void Render();
    // Renders before the thread blocks or opens a box inside an event.
    void ShowState();
    void RenderTray();
    void RenderViewer();
    void OnViewerCommand(ViewerItem item);

    void CreateEndpoints();
    void TellUnboundPorts();
    // Reads the datagram the endpoint holds and hands it to the core's handler.
    template <class DatagramEvent>
    void Receive(UdpEndpoint& sender, int byteCount, int bufferSize, DatagramEvent&& event);

    void TellUnwritableFolder();
    void OnCommand(UINT id);
    void OpenPopupMenu(PopupMenu which);
    void OnClose();
    void LoadTrayIcons();
    void ShowAbout();
    void OnStartedAgain();

    bool closing_ = false;
    // The events running now, one inside another only inside a dialog the
    // user opened, and the outermost one's name.
    int depth_ = 0;
    const wchar_t* running_ = L"";
    UserDialogs userDialogs_;
    // The general error box of a datagram is open.
    bool datagramErrorShown_ = false;
    PanelWindow panel_;
    std::unique_ptr<SyslogViewer> viewer_;
    // Viewer commands under way: their window must not go while one waits in a box.
    int viewerCommands_ = 0;

    Win32Net net_;
    Win32Steps steps_;
    Win32Dialogs dialogs_;
    Win32Clock clock_;
    Win32Sound sound_;
    Win32Programs programs_{panel_, userDialogs_};
    Win32OtherWindows otherWindows_{steps_};
    Win32Clipboard clipboard_{panel_};
    Win32Log log_;
    Win32Files files_;
    Ports ports_{net_, dialogs_, clock_, steps_, sound_, programs_, otherWindows_, clipboard_, log_, files_};
    Monitor monitor_{MainState{}, ViewModel{}, ports_};

    MemoSendDialog memoSend_;
    MemoReceiveWindow memoReceive_;
    NoticeWindow memoNotice_, logNotice_, launchNotice_;
    bool balloonShown_ = false;

    std::unique_ptr<UdpEndpoint> syslogEndpoint_, routerEndpoint_, peerEndpoint_;

    OwnedIcon programIcon_, connectedIcon_;
    std::shared_ptr<TrayMenu> connectMenu_, mainMenu_;
    std::unique_ptr<TrayIcon> trayIcon_;
};

}  // namespace rm::win
