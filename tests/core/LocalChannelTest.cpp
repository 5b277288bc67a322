#include "platform/LocalChannel.h"
#include "tests/support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

#ifndef _WIN32
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

using namespace qbv;

#ifndef _WIN32

namespace {

using Opened = platform::LocalChannel::Opened;

// What a client may find at a server's address.
enum class Server { Listening, Stale, QueueFull, Missing };

struct OpenCase {
    Server server;
    Opened expected;
};

int listenAt(const std::string& path) {
    sockaddr_un where{};
    where.sun_family = AF_UNIX;
    path.copy(where.sun_path, sizeof where.sun_path - 1);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (::bind(listener, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0 ||
        ::listen(listener, 0))
        ADD_FAILURE() << "cannot listen at " << path;
    return listener;
}

// Connections the server never accepts, until its queue takes no more.
std::vector<int> fillQueue(const std::string& path) {
    sockaddr_un where{};
    where.sun_family = AF_UNIX;
    path.copy(where.sun_path, sizeof where.sun_path - 1);
    std::vector<int> queued;
    for (int i = 0; i < 16; ++i) {
        const int client = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
        if (::connect(client, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0) {
            ::close(client);
            return queued;
        }
        queued.push_back(client);
    }
    ADD_FAILURE() << "the queue never filled";
    return queued;
}

class LocalChannelOpen : public testing::TestWithParam<OpenCase> {};

} // namespace

TEST_P(LocalChannelOpen, EndsWithinItsTimeOut) {
    constexpr uint32_t kTimeoutMs = 300;
    test::TemporaryDirectory folder;
    const std::string path = folder.file("server");
    const Server server = GetParam().server;
    int listener = server == Server::Missing ? -1 : listenAt(path);
    if (server == Server::Stale)
        ::close(listener), listener = -1; // its file stays
    const std::vector<int> queued = server == Server::QueueFull ? fillQueue(path) : std::vector<int>{};

    const auto start = std::chrono::steady_clock::now();
    auto opening = std::async(std::launch::async, [&] {
        platform::LocalChannel channel;
        return channel.open(path, kTimeoutMs);
    });
    const bool ended =
        opening.wait_for(std::chrono::milliseconds(kTimeoutMs + 2000)) == std::future_status::ready;
    if (!ended)
        ::close(listener), listener = -1; // a connect that ignores its time-out wakes as the server ends
    const Opened opened = opening.get();
    EXPECT_TRUE(ended) << "open waited past its time-out";
    EXPECT_EQ(opened, GetParam().expected);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(kTimeoutMs + 500));
    for (const int client : queued)
        ::close(client);
    if (listener >= 0)
        ::close(listener);
}

INSTANTIATE_TEST_SUITE_P(Servers, LocalChannelOpen,
                         testing::Values(OpenCase{Server::Listening, Opened::Yes},
                                         OpenCase{Server::Stale, Opened::NoServer},
                                         OpenCase{Server::QueueFull, Opened::Busy},
                                         OpenCase{Server::Missing, Opened::NoServer}));

// A server that sends no end of line fills no more than the channel's limit: the channel gives up on it.
TEST(LocalChannel, ALineBeyondTheLimitClosesTheChannel) {
    test::TemporaryDirectory folder;
    const std::string path = folder.file("server");
    const int listener = listenAt(path);
    platform::LocalChannel channel;
    ASSERT_EQ(channel.open(path), Opened::Yes);
    const int server = ::accept(listener, nullptr, nullptr);
    const std::string endless(platform::LocalChannel::kDefaultMaxLine + 1, 'x');
    ASSERT_EQ(::write(server, endless.data(), endless.size()), static_cast<ssize_t>(endless.size()));
    std::string line;
    EXPECT_FALSE(channel.receiveLine(line, 1000));
    EXPECT_FALSE(channel.isOpen());
    ::close(server);
    ::close(listener);
}

#endif
