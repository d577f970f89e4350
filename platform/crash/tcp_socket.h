#pragma once
// platform/crash: the small part of the socket interface the crash report's
// upload uses: one non-blocking IPv4 stream socket that connects, waits with
// a time-out, sends and receives.
//
// Failures are return values; LastError() keeps the system's error number of
// the last failed call. Sending never raises SIGPIPE, so a peer that closes
// early shows as a failed send instead of ending the process. One thread uses
// a socket at a time.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

class TcpSocket {
public:
    enum class Wait { Ready, Timeout, Error };

    TcpSocket() = default;
    ~TcpSocket() { Close(); }
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // A numeric IPv4 address, else the first IPv4 address the resolver gives.
    // False when neither works. The address is in network byte order.
    static bool ResolveIPv4(const std::string& host, uint32_t* address);

    // Creates the non-blocking socket.
    bool Open();
    bool IsOpen() const { return fd_ >= 0; }
    // Starts connecting; false only when the attempt fails at once. Whether it
    // succeeded is known after waiting for writability: see ConnectError.
    bool BeginConnect(uint32_t address, uint16_t port);
    // The outcome of a connect after its wait: 0 when connected, else the error.
    // Needed because a refused connection also shows as writable.
    int ConnectError();
    // Waits at most timeoutMs until the socket can be written (or read).
    // A failed or closed connection counts as ready: the next call tells.
    Wait WaitFor(bool forWriting, int timeoutMs);
    // Bytes sent or received; 0 from Receive means the peer closed; -1 a failure.
    long Send(std::string_view data);
    long Receive(char* buffer, size_t size);
    void Close();

    int LastError() const { return error_; }

private:
    int fd_ = -1;
    int error_ = 0;
};

}  // namespace plat
