#include "main_window.h"

#include <algorithm>
#include <array>

#include <commctrl.h>

#include "command_ids.h"
#include "monitor/commands.h"
#include "monitor/startup.h"
#include "monitor/syslog.h"
#include "popup_menus.h"
#include "program_path.h"
#include "resource.h"
#include "router/router_commands.h"
#include "router/timer.h"
#include "wide.h"

namespace rm::win {
namespace {

constexpr wchar_t ClassName[] = L"RoutavistaMonitorMain";
constexpr UINT_PTR Timer1 = 1;
constexpr UINT Timer1Interval = 2000;
constexpr int BevelWidth = 2;
// Moves a window as if dragged by its caption.
constexpr WPARAM SC_DRAGMOVE = 0xF012;

COLORREF ColourOf(FontColour colour) {
    switch (colour) {
    case FontColour::Blue: return RGB(0, 0, 255);
    case FontColour::Red: return RGB(255, 0, 0);
    case FontColour::WindowText: break;
    }
    return GetSysColor(COLOR_WINDOWTEXT);
}

// The notification area shows small icons at the system DPI.
HICON LoadTrayIcon(HINSTANCE instance, int id) {
    const int size = GetSystemMetricsForDpi(SM_CXSMICON, GetDpiForSystem());
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance), syslogViewer_(instance) {}

MainWindow::~MainWindow() {
    ReleaseEndpoints();
    if (hwnd_) DestroyWindow(hwnd_);
}

bool MainWindow::Create() {
    WNDCLASSEXW wc{sizeof wc};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance_;
    wc.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_CONNECTED));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = ClassName;
    if (!RegisterClassExW(&wc)) return false;

    // A tool window has no task-bar button.
    hwnd_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, ClassName, Widen(AppTitle).c_str(), WS_POPUP,
                            0, 0, PanelWidth, PanelHeight, nullptr, nullptr, instance_, this);
    if (!hwnd_) return false;
    dpi_ = GetDpiForWindow(hwnd_);
    SetWindowPos(hwnd_, nullptr, 0, 0, Scale(PanelWidth), Scale(PanelHeight), SWP_NOZORDER | SWP_NOACTIVATE);

    panel_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE,
                             Scale(BevelWidth), Scale(BevelWidth), Scale(PanelWidth - 2 * BevelWidth),
                             Scale(PanelHeight - 2 * BevelWidth), hwnd_, nullptr, instance_, nullptr);
    UpdateFont();

    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_, nullptr);
    TTTOOLINFOW tool{sizeof tool};
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(hwnd_);
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));

    syslogViewer_.Create();

    programIcon_ = OwnedIcon(LoadTrayIcon(instance_, IDI_PROGRAM));
    connectedIcon_ = OwnedIcon(LoadTrayIcon(instance_, IDI_CONNECTED));
    icontray1 = std::make_unique<TTrayIcon>();
    // The icon is there before the first-run message.
    Render();

    monitor_.s.AppDir = ProgramPath().parent_path();
    CreateEndpoints();
    Guarded([this] { FormCreate(monitor_); });
    TellUnboundPorts();
    SetTimer(hwnd_, Timer1, Timer1Interval, nullptr);
    return true;
}

std::unique_ptr<TNMUDP> MainWindow::MakeEndpoint(const char* remoteHost, int remotePort, int localPort) {
    auto endpoint = std::make_unique<TNMUDP>(instance_);
    endpoint->RemoteHost = remoteHost;
    endpoint->RemotePort = remotePort;
    endpoint->SetLocalPort(localPort);
    return endpoint;
}

void MainWindow::Receive(TNMUDP& sender, int NumberBytes, int bufferSize, DatagramEvent event) {
    std::array<char, TNMUDP::BufferSize> datagram;
    int length = 0;
    sender.ReadBuffer(datagram.data(), std::min(bufferSize, TNMUDP::BufferSize), length);
    Guarded([&] { event(monitor_, NumberBytes, std::string_view(datagram.data(), std::max(length, 0))); });
}

void MainWindow::CreateEndpoints() {
    // The router's replies are read into a buffer of 513 bytes.
    constexpr int ReplyBufferSize = 513;
    SYSLOGUDP = MakeEndpoint("255.255.255.255", 4449, 514);
    SYSLOGUDP->OnDataReceived = [this](TNMUDP& sender, int NumberBytes, const std::string&, int) {
        Receive(sender, NumberBytes, TNMUDP::BufferSize, SYSLOGUDPDataReceived);
    };
    RV_UDP = MakeEndpoint("192.168.0.1", 4449, 4449);
    RV_UDP->OnDataReceived = [this](TNMUDP& sender, int NumberBytes, const std::string&, int) {
        Receive(sender, NumberBytes, ReplyBufferSize, RV_UDPDataReceived);
    };
    RM_UDP = MakeEndpoint("", 4450, 4450);
    net_ = Win32Net({SYSLOGUDP.get(), RV_UDP.get(), RM_UDP.get()});
}

void MainWindow::TellUnboundPorts() {
    for (const TNMUDP* endpoint : {SYSLOGUDP.get(), RV_UDP.get(), RM_UDP.get()}) {
        if (endpoint->Bound()) continue;
        ShowMessageBox(hwnd_, "UDPポート" + std::to_string(endpoint->LocalPort()) +
                                  "を使用できません。他のプログラムが使用していないか確認してください。",
                       MB_OK | MB_ICONWARNING);
    }
}

void MainWindow::ReleaseEndpoints() {
    net_ = Win32Net({nullptr, nullptr, nullptr});
    SYSLOGUDP.reset();
    RV_UDP.reset();
    RM_UDP.reset();
}

template <class Event>
void MainWindow::Guarded(Event&& event) {
    try {
        event();
    } catch (const std::exception& e) {
        ShowMessageBox(hwnd_, e.what(), MB_OK | MB_ICONERROR);
    } catch (...) {
        ShowMessageBox(hwnd_, "不明なエラーが発生しました。", MB_OK | MB_ICONERROR);
    }
    if (hwnd_) Render();
}

void MainWindow::Render() {
    const PanelView& panel = monitor_.view.Panel;
    RECT at{};
    GetWindowRect(hwnd_, &at);
    if (at.left != panel.Left || at.top != panel.Top) {
        SetWindowPos(hwnd_, nullptr, panel.Left, panel.Top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const std::wstring caption = Widen(panel.Caption);
    if (caption != shownCaption_ || panel.Colour != shownColour_) {
        shownCaption_ = caption;
        shownColour_ = panel.Colour;
        SetWindowTextW(panel_, caption.c_str());
        InvalidateRect(panel_, nullptr, TRUE);
    }

    const std::wstring hint = Widen(panel.Hint);
    if (hint != shownHint_) {
        shownHint_ = hint;
        TTTOOLINFOW tool{sizeof tool};
        tool.hwnd = hwnd_;
        tool.uId = reinterpret_cast<UINT_PTR>(hwnd_);
        tool.lpszText = shownHint_.data();
        SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }

    const bool visible = IsWindowVisible(hwnd_) != FALSE;
    if (panel.Shown && !visible) {
        SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    } else if (!panel.Shown && visible) {
        ShowWindow(hwnd_, SW_HIDE);
    }

    try {
        RenderTray();
    } catch (const TrayIconError& e) {
        ShowMessageBox(hwnd_, e.what(), MB_OK | MB_ICONERROR);
    }
}

void MainWindow::RenderTray() {
    const TrayView& tray = monitor_.view.Tray;
    icontray1->SetIcon(tray.Icon == TrayIconKind::Connected ? connectedIcon_.get() : programIcon_.get());
    icontray1->SetTipHelp(tray.Tip);
    const auto menuOf = [this](PopupMenu which) {
        return which == PopupMenu::PopupMenu1 ? popupMenu1_ : popupMenu2_;
    };
    icontray1->SetLBPopupMenu(menuOf(tray.LeftButton));
    icontray1->SetRBPopupMenu(menuOf(tray.RightButton));
    icontray1->SetVisible(tray.Visible);
}

LRESULT CALLBACK MainWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self ? self->Handle(msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT MainWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_CTLCOLORSTATIC: return reinterpret_cast<LRESULT>(OnCtlColorStatic(reinterpret_cast<HDC>(wp)));
    case WM_LBUTTONDOWN: OnLeftButtonDown(); return 0;
    case WM_CONTEXTMENU: OnContextMenu(); return 0;
    case WM_COMMAND: OnCommand(LOWORD(wp)); return 0;
    case WM_TIMER:
        if (wp == Timer1) OnTimer();
        return 0;
    case WM_DPICHANGED: OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp)); return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
        if (wp) OnClose();
        return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_DESTROY:
        KillTimer(hwnd_, Timer1);
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY: hwnd_ = nullptr; return 0;
    default: return DefWindowProcW(hwnd_, msg, wp, lp);
    }
}

void MainWindow::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    RECT r;
    GetClientRect(hwnd_, &r);
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
    EndPaint(hwnd_, &ps);
}

HBRUSH MainWindow::OnCtlColorStatic(HDC dc) {
    SetTextColor(dc, ColourOf(monitor_.view.Panel.Colour));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

void MainWindow::OnLeftButtonDown() {
    // The panel has no caption bar: let the system drag it as if it had one.
    ReleaseCapture();
    SendMessageW(hwnd_, WM_SYSCOMMAND, SC_DRAGMOVE, 0);
    RECT at{};
    GetWindowRect(hwnd_, &at);
    Guarded([&] { Panel1Dragged(monitor_, at.left, at.top); });
}

void MainWindow::OnContextMenu() { OpenPopupMenu(PopupMenu::PopupMenu1); }

void MainWindow::OpenPopupMenu(PopupMenu which) {
    const UINT chosen = TrackPopup(hwnd_, monitor_.view.Menu, which);
    if (chosen != 0) OnCommand(chosen);
}

void MainWindow::OnCommand(UINT id) {
    if (const auto item = ItemOfCommand(id)) Guarded([&] { MenuClick(monitor_, *item); });
}

void MainWindow::OnTimer() { Guarded([this] { Timer1Timer(monitor_); }); }

void MainWindow::OnClose() {
    if (closing_) return;
    closing_ = true;
    KillTimer(hwnd_, Timer1);
    Guarded([this] { FormCloseQuery(monitor_); });
    ReleaseEndpoints();
    DestroyWindow(hwnd_);
}

void MainWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, Scale(PanelWidth), Scale(PanelHeight),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(panel_, nullptr, Scale(BevelWidth), Scale(BevelWidth), Scale(PanelWidth - 2 * BevelWidth),
                 Scale(PanelHeight - 2 * BevelWidth), SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateFont();
}

void MainWindow::UpdateFont() {
    font_.reset(CreateFontW(-Scale(12), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS,
                            L"ＭＳ Ｐゴシック"));
    SendMessageW(panel_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
}

int MainWindow::Scale(int pixels) const { return MulDiv(pixels, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI); }

void MainWindow::CloseMainWindow() { PostMessageW(hwnd_, WM_CLOSE, 0, 0); }

void MainWindow::ShowSyslogViewer() { syslogViewer_.Show(); }

void MainWindow::ShowAboutModal() {
    ShowAboutBox(instance_, hwnd_, monitor_.s.VersionText, monitor_.view.Tray.Icon);
}

void MainWindow::OpenHelpContents(const std::filesystem::path& helpFile) {
    WinHelpW(hwnd_, helpFile.c_str(), HELP_CONTENTS, 0);
}

}  // namespace rm::win
