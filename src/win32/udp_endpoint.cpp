#include "udp_endpoint.h"

#include <mswsock.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <istream>
#include <system_error>

#include "app_messages.h"
#include "diagnostics.h"
#include "local_time.h"
#include "wide.h"

namespace rm::win {

namespace {

constexpr std::size_t MaxRemoteHost = 127;
// Room for a burst of syslog lines before the receiving thread is scheduled.
// Wine caps it at the kernel's rmem_max (212,992 bytes by default on Linux),
// so on Wine the kernel setting decides.
constexpr int ReceiveBufferBytes = 8 * 1024 * 1024;

std::int64_t StreamSize(std::iostream& stream) {
    stream.clear();
    const auto end = stream.rdbuf()->pubseekoff(0, std::ios::end, std::ios::in);
    return std::max<std::int64_t>(end, 0);
}

std::string DottedText(in_addr address) {
    const auto* b = reinterpret_cast<const unsigned char*>(&address);
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", b[0], b[1], b[2], b[3]);
    return text;
}

void SetOption(SOCKET s, int name, const wchar_t* option, int value, const std::wstring& about) {
    if (setsockopt(s, SOL_SOCKET, name, reinterpret_cast<const char*>(&value), sizeof value) != 0) {
        LogError(L"setsockopt", std::wstring(option) + L", " + about, WSAGetLastError());
    }
}

// Errors that belong to one datagram: the socket goes on receiving after them.
bool DatagramError(int error) {
    return error == WSAEMSGSIZE || error == WSAECONNRESET || error == WSAENETRESET;
}

// Long enough for thousands of datagrams, short enough that a click in a
// flood is answered at once.
constexpr auto BurstSlice = std::chrono::milliseconds(30);

// At most this many datagrams wait for their wake-up in a flood.
constexpr int MaxHeldBack = 256;

// A wake-up can be lost: a modal box ended by a sent message takes the next
// posted message off the queue and drops it (seen under Wine). The timer
// looks at the queue often enough that no datagram waits long for that.
constexpr UINT_PTR RecoveryTimer = 1;
constexpr UINT RecoveryInterval = 1000;

bool MoreWaiting(SOCKET s) {
    u_long bytes = 0;
    return ioctlsocket(s, FIONREAD, &bytes) == 0 && bytes > 0;
}

void WakeUp(HWND window, const std::wstring& about) {
    if (!PostMessageW(window, DatagramQueuedMessage, 0, 0)) LogLastError(L"PostMessageW", about);
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

std::optional<std::uint32_t> DottedAddress(const std::string& host) {
    const unsigned long address = inet_addr(host.c_str());
    if (address == INADDR_NONE) return std::nullopt;
    return static_cast<std::uint32_t>(address);
}

UdpEndpoint::UdpEndpoint() {
    if (!CreateWindowOf(WindowClass{L"RmUdpEndpoint"}, WindowArgs{.Parent = HWND_MESSAGE})) {
        throw std::runtime_error("通信用のウィンドウを作成できません。");
    }
    ReportStatus("Initializing Winsock", 8);
    if (const int result = winsock_.Start()) {
        LogError(L"WSAStartup", About(), static_cast<DWORD>(result));
        CheckError(result);
    }
    socket_ = NewSocket();
}

UdpEndpoint::~UdpEndpoint() {
    StopReceiving();
    if (lookingUp_ && lookup_) {
        WSACancelAsyncRequest(lookup_);
        // Wine cannot cancel a lookup and would still write a found answer
        // into the buffer: it stays.
        static_cast<void>(answer_.release());
    }
    Destroy();
}

void UdpEndpoint::Close() {
    closed_ = true;
    StopReceiving();
    KillTimer(Handle(), RecoveryTimer);
    waiting_.clear();
}

LRESULT UdpEndpoint::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case DatagramQueuedMessage:
        OnDatagramQueued();
        return 0;
    case HostLookupDoneMessage:
        OnLookupDone(wp, lp);
        return 0;
    case WM_TIMER:
        if (wp == RecoveryTimer) OnRecoveryTimer();
        return 0;
    }
    return Window::HandleMessage(msg, wp, lp);
}

std::wstring UdpEndpoint::About() const { return L"UDP port " + std::to_wstring(localPort_); }

// A burst per message, which costs far less than a message per datagram.
// While a datagram is handled a wake-up stays posted whenever more are
// waiting, so after a slice of time the rest waits behind what was posted
// meanwhile (a menu command, a step that is due).
void UdpEndpoint::OnDatagramQueued() {
    wakeUpPosted_ = false;
    if (closed_) return;
    const auto sliceEnd = std::chrono::steady_clock::now() + BurstSlice;
    while (std::chrono::steady_clock::now() < sliceEnd) {
        auto popped = queue_.Pop();
        if (popped.Dropped) {
            LogText(About() + L": " + std::to_wstring(popped.Dropped) +
                    L" datagrams dropped while the receive queue was full");
        }
        moreQueued_ = popped.More;
        if (!popped.Next) return;
        if (popped.More && !wakeUpPosted_) {
            WakeUp(Handle(), About());
            wakeUpPosted_ = true;
        }
        Datagram datagram = std::move(*popped.Next);
        received_ = std::move(datagram.Bytes);
        receivedCount_ = datagram.Count;
        receivedArrived_ = datagram.Arrived;
        if (!OnDataReceived) continue;
        OnDataReceived(*this, datagram.Count, datagram.SenderAddress, datagram.Port);
        if (closed_) return;
    }
}

void UdpEndpoint::OnRecoveryTimer() {
    if (queue_.Waiting()) OnDatagramQueued();
}

void UdpEndpoint::ReceiveLoop(SOCKET s, HWND window) {
    std::array<char, BufferSize> buffer;
    bool wakeUpOwed = false;
    int heldBack = 0;
    for (;;) {
        sockaddr_in from{};
        int fromLength = sizeof from;
        const int count =
            recvfrom(s, buffer.data(), BufferSize, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
        // Closing the socket is what ends the read when the endpoint stops.
        if (stopping_) break;
        Datagram datagram;
        datagram.Count = count;
        if (count == SOCKET_ERROR) {
            const int error = WSAGetLastError();
            if (!DatagramError(error)) {
                LogError(L"recvfrom", About(), static_cast<DWORD>(error));
                break;
            }
            from = {};
        } else {
            datagram.Bytes.assign(buffer.data(), buffer.data() + count);
        }
        datagram.SenderAddress = DottedText(from.sin_addr);
        datagram.Port = ntohs(from.sin_port);
        datagram.Arrived = LocalNow();
        wakeUpOwed = queue_.Push(std::move(datagram)) || wakeUpOwed;
        // What the socket already holds goes into the queue before the wake-up:
        // a message per datagram would cost more than the datagram.
        if (wakeUpOwed && (++heldBack >= MaxHeldBack || !MoreWaiting(s))) {
            WakeUp(window, About());
            wakeUpOwed = false;
            heldBack = 0;
        }
    }
    // The queue outlives the socket: what is in it is still handled, and
    // without this wake-up nobody would ask for it.
    if (wakeUpOwed) WakeUp(window, About());
}

bool UdpEndpoint::StartReceiving() {
    try {
        receiver_ = std::thread(&UdpEndpoint::ReceiveLoop, this, socket_.get(), Handle());
        return true;
    } catch (const std::system_error& e) {
        LogText(About() + L": the receiving thread did not start: " + Widen(e.what()));
        return false;
    }
}

// The socket is closed before the thread is joined, and no new one is made
// until then, so the thread never reads from a successor with the same number.
void UdpEndpoint::StopReceiving() {
    stopping_ = true;
    socket_ = UniqueSocket();
    if (receiver_.joinable()) receiver_.join();
    stopping_ = false;
}

void UdpEndpoint::ReportStatus(const std::string& text, int level) {
    if (level > ReportLevel) return;
    status_ = text;
    if (OnStatus) OnStatus(*this, status_);
}

void UdpEndpoint::CheckError(int code) {
    ReportStatus("Checking Error In Error Manager", 16);
    // Tolerated as a bit mask: any code holding all of WSAEWOULDBLOCK's bits.
    if ((code & WSAEWOULDBLOCK) == WSAEWOULDBLOCK) return;
    std::string text = "Unknown Error No. ";
    if (code != 0) text += std::to_string(code);
    ReportStatus("Looking Up Error Message" + text, 8);
    throw UDPSockError(text);
}

UniqueSocket UdpEndpoint::NewSocket() {
    UniqueSocket s(socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    if (s.get() == INVALID_SOCKET) {
        const int error = WSAGetLastError();
        LogError(L"socket", About(), static_cast<DWORD>(error));
        CheckError(error);
        return s;
    }
    SetOption(s.get(), SO_RCVBUF, L"SO_RCVBUF", ReceiveBufferBytes, About());
    // Windows refuses sends to a subnet's broadcast address without it, and
    // the start announcement goes to the router's subnet.
    SetOption(s.get(), SO_BROADCAST, L"SO_BROADCAST", TRUE, About());
    // Otherwise another program may bind the port on the PC's own address and
    // silently take the router's datagrams.
    SetOption(s.get(), SO_EXCLUSIVEADDRUSE, L"SO_EXCLUSIVEADDRUSE", TRUE, About());
    // Windows otherwise turns an ICMP "port unreachable" for an earlier send
    // into a failed read; a refused send is meant to be silent.
    BOOL reportReset = FALSE;
    DWORD unused = 0;
    if (WSAIoctl(s.get(), SIO_UDP_CONNRESET, &reportReset, sizeof reportReset, nullptr, 0, &unused, nullptr,
                 nullptr) != 0) {
        LogError(L"WSAIoctl", L"SIO_UDP_CONNRESET, " + About(), static_cast<DWORD>(WSAGetLastError()));
    }
    return s;
}

void UdpEndpoint::SetLocalPort(int port) {
    StopReceiving();  // frees the port before the bind
    localPort_ = port;
    bound_ = false;
    socket_ = NewSocket();
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(static_cast<u_short>(port));
    if (bind(socket_.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        LogError(L"bind", About(), static_cast<DWORD>(WSAGetLastError()));
        return;
    }
    bound_ = StartReceiving();
    if (bound_ && !SetTimer(Handle(), RecoveryTimer, RecoveryInterval, nullptr)) LogLastError(L"SetTimer", About());
}

void UdpEndpoint::SendBuffer(const char* buff, int length) {
    std::vector<char> supplied;
    if (length <= 0) {
        bool handled = false;
        if (OnBufferInvalid) OnBufferInvalid(handled, supplied);
        if (!handled || supplied.empty()) throw std::runtime_error("Invalid buffer");
        Send(std::move(supplied));
        return;
    }
    Send(std::vector<char>(buff, buff + length));
}

void UdpEndpoint::SendStream(std::iostream& stream) {
    if (StreamSize(stream) == 0) {
        bool handled = false;
        if (OnStreamInvalid) OnStreamInvalid(handled, stream);
        if (!handled || StreamSize(stream) == 0) throw std::runtime_error("Invalid stream");
    }
    stream.clear();
    stream.seekg(0);
    std::vector<char> bytes(BufferSize);
    stream.read(bytes.data(), BufferSize);
    bytes.resize(static_cast<std::size_t>(stream.gcount()));
    stream.clear();
    Send(std::move(bytes));
}

void UdpEndpoint::Send(std::vector<char> bytes) {
    if (RemoteHost.size() > MaxRemoteHost) throw RemoteHostTooLong("Remote host name too long (over 127 characters)");
    if (closed_) return;
    const auto dotted = DottedAddress(RemoteHost);
    if (dotted && *dotted == 0) throw UDPSockError("Null Remote Address");
    if (dotted && waiting_.empty()) {
        in_addr to;
        to.s_addr = *dotted;
        Transmit(to, RemotePort, bytes);
        return;
    }
    if (waiting_.size() >= MaxWaitingSends) {
        LogText(About() + L": a datagram to " + Widen(RemoteHost) + L" dropped, too many wait for host lookups");
        return;
    }
    waiting_.push_back({RemoteHost, RemotePort, std::move(bytes)});
    SendWaiting();
}

// Sends what waits, in order, up to the first name not looked up yet.
void UdpEndpoint::SendWaiting() {
    while (!lookingUp_ && !waiting_.empty()) {
        const std::string& host = waiting_.front().Host;
        in_addr to;
        if (const auto dotted = DottedAddress(host)) {
            to.s_addr = *dotted;
        } else if (lookedUp_ && lookedUp_->first == host) {
            to = lookedUp_->second;
        } else {
            StartLookup(host);
            return;
        }
        const WaitingSend next = std::move(waiting_.front());
        waiting_.pop_front();
        Transmit(to, next.Port, next.Bytes);
    }
}

void UdpEndpoint::StartLookup(const std::string& host) {
    lookingUp_ = true;
    answer_ = std::make_unique<HostAnswer>();
    lookup_ = WSAAsyncGetHostByName(Handle(), HostLookupDoneMessage, host.c_str(), answer_->data(),
                                    static_cast<int>(answer_->size()));
    if (lookup_) return;
    // Told as a lookup that failed, as an event of its own.
    const int error = WSAGetLastError();
    LogError(L"WSAAsyncGetHostByName", Widen(host), static_cast<DWORD>(error));
    if (!PostMessageW(Handle(), HostLookupDoneMessage, 0, WSAMAKEASYNCREPLY(0, error))) {
        LogLastError(L"PostMessageW", About());
    }
}

void UdpEndpoint::OnLookupDone(WPARAM wParam, LPARAM lParam) {
    if (!lookingUp_ || reinterpret_cast<HANDLE>(wParam) != lookup_ || waiting_.empty()) return;
    lookingUp_ = false;
    lookup_ = nullptr;
    const std::string host = waiting_.front().Host;
    const auto* entry = reinterpret_cast<const hostent*>(answer_->data());
    if (WSAGETASYNCERROR(lParam) != 0 || entry->h_addrtype != AF_INET || !entry->h_addr_list[0]) {
        bool handled = false;
        if (!std::exchange(retried_, true) && OnInvalidHost) OnInvalidHost(handled);
        if (handled) {
            StartLookup(host);
            return;
        }
        retried_ = false;
        LookupFailed("Host Lookup Canceled");
        return;
    }
    retried_ = false;
    in_addr to;
    std::memcpy(&to, entry->h_addr_list[0], sizeof to);
    if (to.s_addr == 0) {
        LookupFailed("Null Remote Address");
        return;
    }
    // The datagrams to the same name that waited behind it take the same answer.
    lookedUp_.emplace(host, to);
    SendWaiting();
    lookedUp_.reset();
}

// The datagrams to the name go; the error is told once for all of them.
void UdpEndpoint::LookupFailed(const std::string& error) {
    const std::string host = waiting_.front().Host;
    while (!waiting_.empty() && waiting_.front().Host == host) waiting_.pop_front();
    LogText(About() + L": " + Widen(error) + L" for " + Widen(host));
    if (OnSendFailed) OnSendFailed(*this, error);
    SendWaiting();
}

void UdpEndpoint::Transmit(in_addr to, int port, const std::vector<char>& bytes) {
    ReportStatus("Sending Data", 2);
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_addr = to;
    destination.sin_port = htons(static_cast<u_short>(port));
    if (sendto(socket_.get(), bytes.data(), static_cast<int>(bytes.size()), 0,
               reinterpret_cast<const sockaddr*>(&destination), sizeof destination) == SOCKET_ERROR) {
        LogError(L"sendto", About() + L" to " + Widen(DottedText(to)) + L":" + std::to_wstring(port),
                 static_cast<DWORD>(WSAGetLastError()));
    }
    if (OnDataSend) OnDataSend(*this);
}

void UdpEndpoint::ReadBuffer(char* buff, int size, int& length) const {
    length = receivedCount_ < 0 ? -1 : std::min(receivedCount_, std::max(size, 0));
    if (length > 0) std::memcpy(buff, received_.data(), static_cast<std::size_t>(length));
}

void UdpEndpoint::ReadStream(std::iostream& stream) const {
    stream.clear();
    if (receivedCount_ > 0) stream.write(received_.data(), receivedCount_);
    stream.seekp(0);
    stream.seekg(0);
}

}  // namespace rm::win
