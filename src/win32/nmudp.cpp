#include "nmudp.h"

#include <mswsock.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <istream>

#include "wide.h"

namespace rm::win {

namespace {

constexpr UINT SocketMessage = WM_USER + 101;
constexpr UINT LookupMessage = WM_USER + 102;
constexpr std::size_t MaxRemoteHost = 127;
// Room for a burst of syslog lines while a handler runs; Wine caps it at the
// kernel's rmem_max, which is fine.
constexpr int ReceiveBufferBytes = 256 * 1024;

std::int64_t StreamSize(std::iostream& stream) {
    stream.clear();
    const auto end = stream.rdbuf()->pubseekoff(0, std::ios::end, std::ios::in);
    return std::max<std::int64_t>(end, 0);
}

}  // namespace

int WinsockUse::Start() {
    WSADATA data;
    const int result = WSAStartup(MAKEWORD(2, 2), &data);
    started_ = result == 0;
    return result;
}

WinsockUse::~WinsockUse() {
    if (started_) WSACleanup();
}

// One host lookup in progress. It lives on the stack of the send that waits
// for it, so a send made from a handler during the wait has its own.
struct TNMUDP::LookupWait {
    explicit LookupWait(TNMUDP& owner) : owner(owner), outer(owner.lookups_) { owner.lookups_ = this; }
    LookupWait(const LookupWait&) = delete;
    LookupWait& operator=(const LookupWait&) = delete;
    ~LookupWait() {
        if (task && !done) WSACancelAsyncRequest(task);
        owner.lookups_ = outer;
    }

    TNMUDP& owner;
    LookupWait* outer;
    HANDLE task = nullptr;
    bool done = false;
    int error = 0;
    alignas(hostent) std::array<char, MAXGETHOSTSTRUCT> answer{};
};

std::optional<std::uint32_t> DottedAddress(const std::string& host) {
    const unsigned long address = inet_addr(host.c_str());
    if (address == INADDR_NONE) return std::nullopt;
    return static_cast<std::uint32_t>(address);
}

const wchar_t* TNMUDP::WindowClass(HINSTANCE instance) {
    static constexpr wchar_t name[] = L"RmUdpEndpoint";
    static const bool registered = [instance] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = instance;
        wc.lpszClassName = name;
        return RegisterClassExW(&wc) != 0;
    }();
    return registered ? name : nullptr;
}

TNMUDP::TNMUDP(HINSTANCE instance)
    : window_(CreateWindowExW(0, WindowClass(instance), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              instance, this)) {
    if (!window_.get()) throw std::runtime_error("Cannot create the UDP endpoint window");
    ReportStatus("Initializing Winsock", 8);
    if (const int result = winsock_.Start()) CheckError(result);
    socket_ = NewSocket();
}

LRESULT CALLBACK TNMUDP::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TNMUDP*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    // Owners wrap their handlers; this only keeps an escaped exception out of Windows.
    try {
        switch (message) {
        case SocketMessage:
            self->OnSocketEvent(lParam);
            return 0;
        case LookupMessage:
            self->OnLookupDone(wParam, lParam);
            return 0;
        }
    } catch (const std::exception& e) {
        MessageBoxW(nullptr, Widen(e.what()).c_str(), nullptr, MB_OK | MB_ICONERROR);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void TNMUDP::OnSocketEvent(LPARAM lParam) {
    if (WSAGETSELECTEVENT(lParam) != FD_READ) return;
    sockaddr_in from{};
    int fromLength = sizeof from;
    const int count = recvfrom(socket_.get(), received_.data(), BufferSize, 0, reinterpret_cast<sockaddr*>(&from),
                               &fromLength);
    // A notification for a socket since replaced, or one already served.
    if (count == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) return;
    receivedCount_ = count;
    if (count == SOCKET_ERROR) from = {};
    if (!OnDataReceived) return;
    const auto* b = reinterpret_cast<const unsigned char*>(&from.sin_addr);
    char fromIp[16];
    std::snprintf(fromIp, sizeof fromIp, "%d.%d.%d.%d", b[0], b[1], b[2], b[3]);
    OnDataReceived(*this, count, fromIp, ntohs(from.sin_port));
}

void TNMUDP::OnLookupDone(WPARAM wParam, LPARAM lParam) {
    for (LookupWait* wait = lookups_; wait; wait = wait->outer) {
        if (wait->task == reinterpret_cast<HANDLE>(wParam)) {
            wait->done = true;
            wait->error = WSAGETASYNCERROR(lParam);
            return;
        }
    }
}

void TNMUDP::ReportStatus(const std::string& text, int level) {
    if (level > ReportLevel) return;
    status_ = text;
    if (OnStatus) OnStatus(*this, status_);
}

void TNMUDP::CheckError(int code) {
    ReportStatus("Checking Error In Error Manager", 16);
    lastError_ = code;
    // Tolerated as a bit mask: any code holding all of WSAEWOULDBLOCK's bits.
    if ((code & WSAEWOULDBLOCK) == WSAEWOULDBLOCK) return;
    std::string text = "Unknown Error No. ";
    if (code != 0) text += std::to_string(code);
    ReportStatus("Looking Up Error Message" + text, 8);
    throw UDPSockError(text);
}

UniqueSocket TNMUDP::NewSocket() {
    UniqueSocket s(socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    if (s.get() == INVALID_SOCKET) {
        CheckError(WSAGetLastError());
        return s;
    }
    const int receiveBuffer = ReceiveBufferBytes;
    setsockopt(s.get(), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&receiveBuffer), sizeof receiveBuffer);
    // Windows otherwise turns an ICMP "port unreachable" for an earlier send
    // into a failed read; a refused send is meant to be silent.
    BOOL reportReset = FALSE;
    DWORD unused = 0;
    WSAIoctl(s.get(), SIO_UDP_CONNRESET, &reportReset, sizeof reportReset, nullptr, 0, &unused, nullptr, nullptr);
    return s;
}

void TNMUDP::SetLocalPort(int port) {
    socket_ = NewSocket();  // closes the old one, freeing the port before the bind
    localPort_ = port;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(static_cast<u_short>(port));
    bound_ = bind(socket_.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
    WSAAsyncSelect(socket_.get(), window_.get(), SocketMessage, FD_READ);
}

std::optional<in_addr> TNMUDP::LookUp(const std::string& host) {
    LookupWait wait(*this);
    wait.task = WSAAsyncGetHostByName(window_.get(), LookupMessage, host.c_str(), wait.answer.data(),
                                      static_cast<int>(wait.answer.size()));
    if (!wait.task) return std::nullopt;
    while (!wait.done) {
        MSG msg;
        // GetMessageW fails (-1) only for a bad window handle; none is given.
        if (!GetMessageW(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            throw UDPSockError("Host Lookup Canceled");
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    const auto* entry = reinterpret_cast<const hostent*>(wait.answer.data());
    if (wait.error != 0 || entry->h_addrtype != AF_INET || !entry->h_addr_list[0]) return std::nullopt;
    in_addr address;
    std::memcpy(&address, entry->h_addr_list[0], sizeof address);
    return address;
}

in_addr TNMUDP::Resolve(const std::string& host) {
    if (const auto dotted = DottedAddress(host)) {
        in_addr address;
        address.s_addr = *dotted;
        return address;
    }
    for (bool retried = false;; retried = true) {
        if (const auto found = LookUp(host)) return *found;
        bool handled = false;
        if (!retried && OnInvalidHost) OnInvalidHost(handled);
        if (!handled) throw UDPSockError("Host Lookup Canceled");
    }
}

in_addr TNMUDP::Destination() {
    if (RemoteHost.size() > MaxRemoteHost) throw RemoteHostTooLong("Remote host name too long (over 127 characters)");
    // A copy: handlers run during a lookup may change RemoteHost.
    const std::string host = RemoteHost;
    const in_addr to = Resolve(host);
    if (to.s_addr == 0) throw UDPSockError("Null Remote Address");
    return to;
}

void TNMUDP::Transmit(in_addr to, const char* bytes, int length) {
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_addr = to;
    destination.sin_port = htons(static_cast<u_short>(RemotePort));
    sendto(socket_.get(), bytes, length, 0, reinterpret_cast<const sockaddr*>(&destination), sizeof destination);
    if (OnDataSend) OnDataSend(*this);
}

void TNMUDP::SendBuffer(const char* buff, int length) {
    std::vector<char> supplied;
    if (length <= 0) {
        bool handled = false;
        if (OnBufferInvalid) OnBufferInvalid(handled, supplied);
        if (!handled || supplied.empty()) throw std::runtime_error("Invalid buffer");
        buff = supplied.data();
        length = static_cast<int>(supplied.size());
    }
    const in_addr to = Destination();
    ReportStatus("Sending Data", 2);
    Transmit(to, buff, length);
}

void TNMUDP::SendStream(std::iostream& stream) {
    if (StreamSize(stream) == 0) {
        bool handled = false;
        if (OnStreamInvalid) OnStreamInvalid(handled, stream);
        if (!handled || StreamSize(stream) == 0) throw std::runtime_error("Invalid stream");
    }
    // Copied only after the lookup: a send made during it reuses the buffer.
    const in_addr to = Destination();
    ReportStatus("Sending Data", 2);
    stream.clear();
    stream.seekg(0);
    stream.read(streamBuffer_.data(), BufferSize);
    const auto length = static_cast<int>(stream.gcount());
    stream.clear();
    Transmit(to, streamBuffer_.data(), length);
}

void TNMUDP::ReadBuffer(char* buff, int size, int& length) const {
    length = receivedCount_ < 0 ? -1 : std::min(receivedCount_, std::max(size, 0));
    if (length > 0) std::memcpy(buff, received_.data(), static_cast<std::size_t>(length));
}

void TNMUDP::ReadStream(std::iostream& stream) const {
    stream.clear();
    if (receivedCount_ > 0) stream.write(received_.data(), receivedCount_);
    stream.seekp(0);
    stream.seekg(0);
}

}  // namespace rm::win
