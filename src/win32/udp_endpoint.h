// One IPv4 datagram endpoint whose arrivals are reported as events on the GUI
// thread. A receiving thread takes datagrams off the socket as they arrive, so
// none are lost while the GUI thread is busy; they are handled in order on the
// endpoint's hidden window, as are host-lookup completions. No call waits: a
// datagram to a host name waits in the endpoint until the name is looked up.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "handles.h"
#include "receive/datagram_queue.h"
#include "window.h"

namespace rm::win {

class UDPSockError : public std::runtime_error {
public:
    using runtime_error::runtime_error;
};

// RemoteHost is longer than the endpoint can take.
class RemoteHostTooLong : public UDPSockError {
public:
    using UDPSockError::UDPSockError;
};

// Holds one reference on Winsock from a successful Start until destruction.
class WinsockUse {
public:
    WinsockUse() = default;
    WinsockUse(const WinsockUse&) = delete;
    WinsockUse& operator=(const WinsockUse&) = delete;
    ~WinsockUse();
    int Start();  // WSAStartup's result

private:
    bool started_ = false;
};

class UdpEndpoint : private Window {
public:
    static constexpr int BufferSize = 2048;

    // The window base registers with the program's own instance, which is the one callers pass.
    UdpEndpoint();
    ~UdpEndpoint() override;
    UdpEndpoint(const UdpEndpoint&) = delete;
    UdpEndpoint& operator=(const UdpEndpoint&) = delete;

    std::string RemoteHost;  // dotted IPv4 address or host name, at most 127 characters
    int RemotePort = 0;
    int ReportLevel = 1;

    int LocalPort() const { return localPort_; }
    // Re-creates the socket, binds it to 0.0.0.0:port and starts receiving.
    void SetLocalPort(int port);
    // Whether the last SetLocalPort got its port and receives on it; false
    // while another socket holds the port.
    bool Bound() const { return bound_; }
    // For inspecting the socket's options; only the receiving thread reads from it.
    SOCKET Socket() const { return socket_.get(); }
    // Whether more datagrams waited behind the one being handled: false at
    // the end of a burst.
    bool HasQueued() const { return moreQueued_; }
    // Local time when the datagram being handled was taken off the socket.
    DateTime ArrivedAt() const { return receivedArrived_; }
    // At most this many datagrams wait for host lookups; later ones are dropped.
    static constexpr std::size_t MaxWaitingSends = 1024;
    // Stops receiving and sending for good (the program closes): no more
    // events come, also for what was queued.
    void Close();

    // byteCount is -1 after a failed read (senderAddress "0.0.0.0", Port 0 then).
    std::function<void(UdpEndpoint& sender, int byteCount, const std::string& senderAddress, int Port)> OnDataReceived;
    std::function<void(UdpEndpoint& sender)> OnDataSend;
    std::function<void(UdpEndpoint& sender, const std::string& status)> OnStatus;
    // Called when the first lookup of a name failed; a handler that sets
    // handled has the name looked up once more.
    std::function<void(bool& handled)> OnInvalidHost;
    // A datagram that waited for its host could not go ("Host Lookup
    // Canceled", "Null Remote Address"), told as an event of its own.
    std::function<void(UdpEndpoint& sender, const std::string& error)> OnSendFailed;
    std::function<void(bool& handled, std::iostream& stream)> OnStreamInvalid;
    // Called with an empty buff; a handler that sets handled fills buff with the data to send.
    std::function<void(bool& handled, std::vector<char>& buff)> OnBufferInvalid;

    // Sends at once to a dotted address; to a name (255.255.255.255 among
    // them) once it is looked up, after every datagram sent before it. Throws
    // for a host too long and for the address 0.0.0.0 given as such.
    void SendBuffer(const char* buff, int length);
    // Sends the stream's content from position 0, at most BufferSize bytes.
    void SendStream(std::iostream& stream);
    // Copies the last datagram, at most size bytes; length is the count copied, or -1.
    void ReadBuffer(char* buff, int size, int& length) const;
    // Writes the last datagram at the current position, then rewinds to 0.
    void ReadStream(std::iostream& stream) const;

    const std::string& Status() const { return status_; }

private:
    // A datagram waiting for its host's lookup, or behind one that does.
    struct WaitingSend {
        std::string Host;
        int Port = 0;
        std::vector<char> Bytes;
    };
    using HostAnswer = std::array<char, MAXGETHOSTSTRUCT>;

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDatagramQueued();
    void OnRecoveryTimer();
    void OnLookupDone(WPARAM wParam, LPARAM lParam);

    std::wstring About() const;
    bool StartReceiving();
    void StopReceiving();
    void ReceiveLoop(SOCKET s, HWND window);

    void ReportStatus(const std::string& text, int level);
    void CheckError(int code);
    UniqueSocket NewSocket();
    void Send(std::vector<char> bytes);
    void SendWaiting();
    void StartLookup(const std::string& host);
    void LookupFailed(const std::string& error);
    void Transmit(in_addr to, int port, const std::vector<char>& bytes);

    WinsockUse winsock_;
    UniqueSocket socket_;
    int localPort_ = 0;
    bool bound_ = false;
    std::string status_;
    DatagramQueue queue_;
    bool moreQueued_ = false;
    // A wake-up of this thread is in the message queue.
    bool wakeUpPosted_ = false;
    std::thread receiver_;
    std::atomic<bool> stopping_ = false;
    std::vector<char> received_;
    int receivedCount_ = -1;
    DateTime receivedArrived_ = 0;
    bool closed_ = false;
    std::deque<WaitingSend> waiting_;
    // The lookup of the first waiting datagram's host, while one runs.
    bool lookingUp_ = false;
    HANDLE lookup_ = nullptr;
    // The handler let the name be looked up once more.
    bool retried_ = false;
    // The name just looked up and its address, while what waited for it goes.
    std::optional<std::pair<std::string, in_addr>> lookedUp_;
    // Where Winsock writes the answer.
    std::unique_ptr<HostAnswer> answer_;
};

// The destination step that needs no lookup: a dotted IPv4 address parsed as
// inet_addr does, in network order. 255.255.255.255 parses to the "none"
// value and therefore counts as a name. Not ParseIpv4Address: a destination
// must reach the host Windows itself would send to for the same text.
std::optional<std::uint32_t> DottedAddress(const std::string& host);

}  // namespace rm::win
