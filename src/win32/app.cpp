#include "app.h"

#include <algorithm>
#include <array>
#include <type_traits>
#include <utility>

#include "about_box.h"
#include "box_window.h"
#include "app/commands.h"
#include "app/startup.h"
#include "command_ids.h"
#include "lan/memos.h"
#include "lan/peer_receive.h"
#include "launcher/launch_entry.h"
#include "diagnostics.h"
#include "message_box.h"
#include "popup_menus.h"
#include "program_path.h"
#include "resource.h"
#include "router/router_commands.h"
#include "single_instance.h"
#include "steps/task.h"
#include "syslog/syslog.h"
#include "syslog/syslog_file.h"
#include "syslog/viewer_commands.h"
#include "text/files.h"
#include "timer/timer.h"
#include "tray_icon_loader.h"
#include "wide.h"

namespace rm::win {

App::App()
    : panel_(PanelEvents{
          .Command = [this](UINT id) { OnCommand(id); },
          .ContextMenu = [this] { OpenPopupMenu(PopupMenu::ConnectMenu); },
          .Dragged = [this](int left, int top) { Run(L"drag", [&] { return PanelDragged(monitor_, left, top); }); },
          .Tick = [this] { Run(L"tick", [this] { return OnTick(monitor_); }); },
          .Close = [this] { OnClose(); },
          .DpiChanged = [this] { LoadTrayIcons(); },
          .StartedAgain = [this] { OnStartedAgain(); },
      }),
      steps_([this](const std::function<void()>& step) { Run(L"step", step); }),
      dialogs_(panel_, closing_, steps_, userDialogs_,
               {.State = [this] { ShowState(); },
                .About = [this] { ShowAbout(); },
                .MemoSend = [this] { memoSend_.Show(panel_.Handle()); }}),
      memoSend_(monitor_.view.MemoSend,
                [this](const std::string& destination, const std::string& text) {
                    Run(L"memo send", [&] { return SendMemo(monitor_, destination, text); });
                },
                [this](const std::string& destination, const std::string& text) {
                    Run(L"memo draft", [&] { return KeepMemoDraft(monitor_, destination, text); });
                }),
      memoReceive_([this] { Run(L"memo close", [this] { return CloseMemoReceive(monitor_); }); },
                   [this] { Run(L"memo hide", [this] { return HideMemoReceive(monitor_); }); }),
      memoNotice_(IDI_INFORMATION, [this] { Run(L"memo notice", [this] { return MemoNoticeClosed(monitor_); }); }),
      logNotice_(IDI_INFORMATION, [this] { Run(L"log notice", [this] { return LogNoticeClosed(monitor_); }); }),
      launchNotice_(IDI_WARNING, [this] { Run(L"launch notice", [this] { return LaunchNoticeClosed(monitor_); }); }),
      connectMenu_(std::make_shared<TrayMenu>(TrayMenu{[this] { OpenPopupMenu(PopupMenu::ConnectMenu); }})),
      mainMenu_(std::make_shared<TrayMenu>(TrayMenu{[this] { OpenPopupMenu(PopupMenu::MainMenu); }})) {}

App::~App() {
    net_.Detach();
    trayIcon_.reset();
}

bool App::Start() {
    if (!panel_.Create()) return false;
    // Owned by the panel, as the send window is: in front of it when raised.
    memoReceive_.Create(panel_.Handle());
    LoadTrayIcons();
    trayIcon_ = std::make_unique<TrayIcon>();
    trayIcon_->OnAreaRecreated = [this] { LoadTrayIcons(); };
    // The icon is there before the first-run message.
    Render();

    monitor_.s.AppDir = ProgramPath().parent_path();
    CreateEndpoints();
    TellUnwritableFolder();
    Run(L"start-up", [this] { return StartUp(monitor_); });
    TellUnboundPorts();
    return true;
}

template <class Event>
void App::Dispatch(Event&& event) {
    if constexpr (std::is_same_v<std::invoke_result_t<Event&>, Task<>>) {
        monitor_.steps.Start(event());
    } else {
        event();
    }
}

template <class Event>
void App::Run(const wchar_t* what, Event&& event, bool render) {
    if (closing_) {
        // An event of a window that goes with the program ends quietly.
        try {
            Dispatch(event);
        } catch (const std::exception& e) {
            LogText(L"after close: " + Widen(e.what()));
        }
        return;
    }
    if (depth_ > 0 && !userDialogs_.Open()) {
        LogText(std::wstring(L"handler inside another: ") + what + L" inside " + running_);
    }
    const wchar_t* outer = std::exchange(running_, depth_ == 0 ? what : running_);
    ++depth_;
    Guarded(panel_.Handle(), [&] { Dispatch(event); });
    --depth_;
    running_ = outer;
    if (render && panel_.Handle()) Render();
}

void App::ShowState() {
    if (panel_.Handle()) Render();
}

void App::Render() {
    const ViewModel& view = monitor_.view;
    panel_.Render(view.Panel, monitor_.s.panel);
    RenderViewer();
    memoSend_.Render();
    // Before the notice that leads to it goes, so that it takes the activation.
    memoReceive_.Render(view.MemoReceive);
    memoNotice_.Render(panel_.Handle(), view.MemoNotice);
    logNotice_.Render(panel_.Handle(), view.LogNotice);
    launchNotice_.Render(panel_.Handle(), view.LaunchNotice);
    RenderTray();
    if (view.ExitRequested && !closing_) {
        monitor_.view.ExitRequested = false;
        PostMessageW(panel_.Handle(), WM_CLOSE, 0, 0);
    }
}

void App::RenderTray() {
    const TrayView& tray = monitor_.view.Tray;
    trayIcon_->SetIcon(tray.Icon == TrayIconKind::Connected ? connectedIcon_.get() : programIcon_.get());
    trayIcon_->SetTipHelp(tray.Tip);
    const auto menuOf = [this](PopupMenu which) {
        return which == PopupMenu::ConnectMenu ? connectMenu_ : mainMenu_;
    };
    trayIcon_->SetLBPopupMenu(menuOf(tray.LeftButton));
    trayIcon_->SetRBPopupMenu(menuOf(tray.RightButton));
    trayIcon_->SetVisible(tray.Visible);
    if (!tray.Balloon.empty() && !balloonShown_) {
        trayIcon_->ShowBalloon(AppTitle, tray.Balloon);
        balloonShown_ = true;
    }
}

void App::RenderViewer() {
    const SyslogViewerView& view = monitor_.view.Viewer;
    if (!view.Exists && viewerCommands_ == 0) viewer_.reset();
    if (view.Exists && !viewer_) {
        viewer_ = std::make_unique<SyslogViewer>(ViewerEvents{
            .Command = [this](ViewerItem item) { OnViewerCommand(item); },
            .Closed = [this] { Run(L"viewer closed", [this] { return CloseViewer(monitor_); }); },
        });
        viewer_->Create(view);
    }
    if (viewer_) viewer_->Render(view);
}

void App::OnViewerCommand(ViewerItem item) {
    ++viewerCommands_;
    Run(L"viewer command", [&] { return ViewerMenuClick(monitor_, item); });
    --viewerCommands_;
}

void App::LoadTrayIcons() {
    // The new pictures before the old ones go: the tray icon ignores a handle
    // equal to the last one given.
    OwnedIcon program = LoadTrayIcon(GetModuleHandleW(nullptr), IDI_PROGRAM);
    OwnedIcon connected = LoadTrayIcon(GetModuleHandleW(nullptr), IDI_CONNECTED);
    programIcon_ = std::move(program);
    connectedIcon_ = std::move(connected);
    if (trayIcon_ && !closing_) RenderTray();
}

void App::CreateEndpoints() {
    // The router's replies are read into a buffer of 513 bytes.
    constexpr int ReplyBufferSize = 513;
    const auto make = [](const char* remoteHost, int remotePort, int localPort) {
        auto endpoint = std::make_unique<UdpEndpoint>();
        endpoint->RemoteHost = remoteHost;
        endpoint->RemotePort = remotePort;
        endpoint->SetLocalPort(localPort);
        return endpoint;
    };
    syslogEndpoint_ = make("255.255.255.255", 4449, 514);
    syslogEndpoint_->OnDataReceived = [this](UdpEndpoint& sender, int byteCount, const std::string& senderAddress,
                                             int) {
        Receive(sender, byteCount, UdpEndpoint::BufferSize, [&](Monitor& m, int count, std::string_view datagram) {
            return OnSyslogDatagram(m, count, std::string(datagram), senderAddress, sender.ArrivedAt());
        });
    };
    routerEndpoint_ = make("192.168.0.1", 4449, 4449);
    routerEndpoint_->OnDataReceived = [this](UdpEndpoint& sender, int byteCount, const std::string&, int) {
        Receive(sender, byteCount, ReplyBufferSize, [](Monitor& m, int count, std::string_view datagram) {
            return OnRouterReply(m, count, datagram);
        });
    };
    peerEndpoint_ = make("", 4450, 4450);
    peerEndpoint_->OnDataReceived = [this](UdpEndpoint& sender, int byteCount, const std::string& senderAddress, int) {
        Receive(sender, byteCount, UdpEndpoint::BufferSize, [&](Monitor& m, int count, std::string_view datagram) {
            return OnPeerDatagram(m, count, datagram, senderAddress);
        });
    };
    for (UdpEndpoint* endpoint : {syslogEndpoint_.get(), routerEndpoint_.get(), peerEndpoint_.get()}) {
        endpoint->OnSendFailed = [this](UdpEndpoint&, const std::string& error) {
            if (!closing_) ShowGeneralError(panel_.Handle(), error);
        };
    }
    net_.Attach({syslogEndpoint_.get(), routerEndpoint_.get(), peerEndpoint_.get()});
}

template <class DatagramEvent>
void App::Receive(UdpEndpoint& sender, int byteCount, int bufferSize, DatagramEvent&& event) {
    std::array<char, UdpEndpoint::BufferSize> datagram;
    int length = 0;
    sender.ReadBuffer(datagram.data(), std::min(bufferSize, UdpEndpoint::BufferSize), length);
    Run(L"datagram", [&] {
        try {
            Dispatch(
                [&] { return event(monitor_, byteCount, std::string_view(datagram.data(), std::max(length, 0))); });
        } catch (const std::exception& e) {
            // One error box for datagrams at a time: a stream of faulty ones
            // from the LAN must not stack them.
            if (datagramErrorShown_) {
                LogText(L"datagram error while its box is open: " + Widen(e.what()));
            } else {
                datagramErrorShown_ = true;
                ShowGeneralError(panel_.Handle(), e.what(), [this](bool) { datagramErrorShown_ = false; });
            }
        }
        // The end of a burst: its lines go to the daily file in one write.
        if (!sender.HasQueued()) FlushSyslog(monitor_);
    }, !sender.HasQueued());
}

void App::TellUnboundPorts() {
    for (const UdpEndpoint* endpoint : {syslogEndpoint_.get(), routerEndpoint_.get(), peerEndpoint_.get()}) {
        if (endpoint->Bound()) continue;
        ShowBox(panel_.Handle(), {.Text = "UDPポート" + std::to_string(endpoint->LocalPort()) +
                                          "を使用できません。他のプログラムが使用していないか確認してください。",
                                  .Icon = BoxIcon::Warning});
    }
}

void App::TellUnwritableFolder() {
    // Under Program Files, say, Windows refuses a 64-bit program's writes.
    const std::filesystem::path probe = monitor_.s.AppDir / L"RMonitor.write.tmp";
    const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return;
    }
    LogLastError(L"CreateFileW", probe.wstring());
    ShowBox(panel_.Handle(), {.Text = "プログラムのフォルダーに書き込めません。\r" + PathText(monitor_.s.AppDir) +
                                      "\r\r設定・ランチャーの設定・接続履歴・SysLogのファイルは保存されません。"
                                      "書き込めるフォルダー(例えば ドキュメント の中)にプログラムを移してください。",
                              .Icon = BoxIcon::Warning});
}

void App::OnCommand(UINT id) {
    if (const auto item = ItemOfCommand(id)) Run(L"menu command", [&] { return MenuClick(monitor_, *item); });
}

void App::OpenPopupMenu(PopupMenu which) {
    const UINT chosen = TrackPopup(panel_.Handle(), monitor_.view.Menu, which);
    if (chosen != 0) OnCommand(chosen);
}

void App::OnClose() {
    if (closing_) return;
    panel_.StopTick();
    Run(L"close", [this] { return ShutDown(monitor_); });
    closing_ = true;
    // Nothing of the commands under way goes on: their waits, their boxes and
    // the datagrams still coming would hold the end of the message loop up.
    monitor_.steps.EndAll();
    steps_.DropAll();
    CloseAllBoxes();
    net_.Detach();
    for (UdpEndpoint* endpoint : {syslogEndpoint_.get(), routerEndpoint_.get(), peerEndpoint_.get()}) endpoint->Close();
    DestroyWindow(panel_.Handle());
}

void App::OnStartedAgain() {
    if (trayIcon_ && !closing_) trayIcon_->ShowBalloon(AppTitle, StartedAgainBalloon);
}

void App::ShowAbout() {
    // The tray icon's current picture, at the size of a window's icon.
    const int size = panel_.Scale(32);
    const int id = monitor_.view.Tray.Icon == TrayIconKind::Connected ? IDI_CONNECTED : IDI_PROGRAM;
    const OwnedIcon picture(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    ShowAboutBox(panel_.Handle(), monitor_.s.VersionText, picture.get());
}

}  // namespace rm::win
