#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <type_traits>
#include <vector>

#include "platform/system/single_instance.h"
#include "platform/window/window.h"
#include "temp_folder.h"

namespace {

using testsupport::TempFolder;

struct Received {
    std::wstring name;
    uint32_t wParam;
    int32_t lParam;
};

// The window layer plugs straight into both sides.
static_assert(std::is_convertible_v<plat::SingleInstance::Handler, plat::WindowSystem::BroadcastForwarder>);

std::vector<Received> WaitFor(plat::SingleInstance& first, size_t count) {
    std::vector<Received> got;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
        first.DeliverPending([&](std::wstring_view name, uint32_t w, int32_t l) {
            got.push_back({std::wstring(name), w, l});
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return got;
}

TEST(SystemSingleInstance, SecondCopySeesFirstAndItsNotifyArrives) {
    TempFolder folder;
    plat::SingleInstance first(folder.Path().string(), "Park Game");
    ASSERT_TRUE(first.IsFirst());
    ASSERT_TRUE(first.IsListening());
    EXPECT_FALSE(first.Notify(L"ParkGameNotify", 1, 2));  // nobody above the first

    plat::SingleInstance second(folder.Path().string(), "Park Game");
    EXPECT_FALSE(second.IsFirst());
    EXPECT_FALSE(second.IsListening());
    ASSERT_TRUE(second.Notify(L"Park GameNotify", 0, 0));
    ASSERT_TRUE(second.Notify(L"\u00e9t\u00e9 \U0001F3A2", 0xFFFFFFFFu, -5));

    auto got = WaitFor(first, 2);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].name, L"Park GameNotify");
    EXPECT_EQ(got[1].name, L"\u00e9t\u00e9 \U0001F3A2");
    EXPECT_EQ(got[1].wParam, 0xFFFFFFFFu);
    EXPECT_EQ(got[1].lParam, -5);
    EXPECT_EQ(first.DeliverPending(nullptr), 0u);
}

TEST(SystemSingleInstance, ForkedChildSeesTheLockAndNotifies) {
    TempFolder folder;
    // The child is forked before the first copy starts its listening thread
    // (a fork beside a running thread can inherit a held lock and spin for
    // ever); it waits on the pipe until the first copy holds the lock.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[1]);
        char go = 0;
        if (::read(ready[0], &go, 1) != 1) ::_exit(2);
        plat::SingleInstance second(folder.Path().string(), "Product");
        bool ok = !second.IsFirst() && second.Notify(L"ProductNotify", 7, 9);
        ::_exit(ok ? 0 : 1);
    }
    ::close(ready[0]);
    plat::SingleInstance first(folder.Path().string(), "Product");
    const bool isFirst = first.IsFirst();
    const char go = 1;
    EXPECT_EQ(::write(ready[1], &go, 1), 1);
    ::close(ready[1]);
    ASSERT_TRUE(isFirst);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    auto got = WaitFor(first, 1);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].name, L"ProductNotify");
    EXPECT_EQ(got[0].wParam, 7u);
    EXPECT_EQ(got[0].lParam, 9);
}

TEST(SystemSingleInstance, LockIsReleasedWithTheObjectAndWhenTheHolderDies) {
    TempFolder folder;
    {
        plat::SingleInstance first(folder.Path().string(), "Product");
        ASSERT_TRUE(first.IsFirst());
    }
    {
        plat::SingleInstance again(folder.Path().string(), "Product");
        EXPECT_TRUE(again.IsFirst());
        EXPECT_TRUE(again.IsListening());
    }
    // A holder that dies without cleaning up leaves its lock and socket file;
    // neither blocks the next copy.
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto* leaked = new plat::SingleInstance(folder.Path().string(), "Product");
        ::_exit(leaked->IsFirst() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    plat::SingleInstance next(folder.Path().string(), "Product");
    EXPECT_TRUE(next.IsFirst());
    plat::SingleInstance other(folder.Path().string(), "Product");
    ASSERT_TRUE(other.Notify(L"ProductNotify", 0, 0));
    EXPECT_EQ(WaitFor(next, 1).size(), 1u);
}

TEST(SystemSingleInstance, MalformedMessagesAreDroppedAndListeningGoesOn) {
    TempFolder folder;
    plat::SingleInstance first(folder.Path().string(), "Product");
    ASSERT_TRUE(first.IsListening());
    auto sendRaw = [&](std::string bytes) {
        int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::string path = folder / "Product.sock";
        std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
        ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        ::close(fd);
    };
    sendRaw(std::string("\xFF\xFF\xFF\x7F", 4));  // absurd length
    sendRaw(
        std::string("\x02\x00\x00\x00"
                    "A\0\0\0",
                    8));  // cut short
    sendRaw("");
    plat::SingleInstance second(folder.Path().string(), "Product");
    ASSERT_TRUE(second.Notify(L"ok", 1, 1));
    auto got = WaitFor(first, 1);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].name, L"ok");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(first.DeliverPending(nullptr), 0u);
}

TEST(SystemSingleInstance, ProductNamesCannotLeaveTheFolder) {
    TempFolder folder;
    std::filesystem::create_directory(folder.Path() / "inner");
    plat::SingleInstance first((folder.Path() / "inner").string(), "../escape");
    ASSERT_TRUE(first.IsFirst());
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "escape.lock"));
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "inner" / ".._escape.lock"));
}

}  // namespace
