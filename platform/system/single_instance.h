#pragma once
// The single-instance check and the channel a second copy uses to wake the
// first.
//
// Owns: an exclusive lock (flock) on "<product>.lock" in the folder given
// (InstanceFolder picks $XDG_RUNTIME_DIR, else the data folder), and, while it
// holds the lock, a Unix socket "<product>.sock" beside it with a listening
// thread. A second SingleInstance - in another process or in this one - finds
// the lock held (`IsFirst` false) and may `Notify` the first, which queues
// what arrives until the owner's thread calls `DeliverPending`.
// Promises: the lock goes with the object or with the process, however it
// ends, so a crashed copy never blocks the next start; a malformed or
// oversized notification is dropped, never a crash.
// The handler shape is the window layer's broadcast forwarder and its
// ReceiveBroadcast, so one side can be plugged into the other directly.
// Threads: `Notify` and `DeliverPending` may be called from any thread;
// handlers run on the thread that calls `DeliverPending` (the window layer's
// thread), never on the listener.

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace plat {

struct InstanceNotification {
    std::wstring name;
    uint32_t wParam = 0;
    int32_t lParam = 0;
};

class SingleInstance {
public:
    using Handler = std::function<void(std::wstring_view name, uint32_t wParam, int32_t lParam)>;

    // `product` names the files; characters that cannot be in a file name
    // become '_'. The folder must exist.
    SingleInstance(std::string_view folder, std::string_view product);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this object holds the lock: no other copy runs.
    bool IsFirst() const { return lockHeld_; }
    // True when the first copy's socket is listening (only on the first copy).
    bool IsListening() const { return listenFd_ >= 0; }

    // Sends a notification to the copy holding the lock. False when this is
    // the first copy, or no listener answered within about a second.
    bool Notify(std::wstring_view name, uint32_t wParam, int32_t lParam) const;

    // Hands every queued notification, in arrival order, to `handler`;
    // returns how many.
    size_t DeliverPending(const Handler& handler);

private:
    void Listen();
    void ReadOne(int fd);

    std::string lockPath_;
    std::string socketPath_;
    int lockFd_ = -1;
    bool lockHeld_ = false;
    int listenFd_ = -1;
    int wakeFd_[2] = {-1, -1};
    std::thread listener_;
    std::mutex mutex_;
    std::deque<InstanceNotification> pending_;
};

// $XDG_RUNTIME_DIR when set to an existing folder, else `dataFolder`.
std::string InstanceFolder(std::string_view dataFolder);

}  // namespace plat
