#include "platform/LocalChannel.h"
#include "tests/support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace qbv;
using Opened = platform::LocalChannel::Opened;

#ifdef _WIN32

#include <windows.h>

// A pipe whose one instance a client holds: the next client waits for it only as long as its time-out.
TEST(LocalChannel, APipeWhoseInstancesAreAllTakenIsBusy) {
    const std::string name = "\\\\.\\pipe\\qbv-test-" + std::to_string(GetCurrentProcessId());
    HANDLE server =
        CreateNamedPipeA(name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 1, 4096, 4096, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    platform::LocalChannel first;
    platform::LocalChannel second;
    EXPECT_EQ(first.open(name), Opened::Yes);
    EXPECT_TRUE(platform::peerIsOwnUser(reinterpret_cast<platform::LocalConnection>(server)));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(second.open(name, 300), Opened::Busy);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(800));
    CloseHandle(server);
}

#else

#include <filesystem>
#include <future>
#include <optional>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

// What a client may find at a server's address.
enum class Server { Listening, Stale, QueueFull, Missing, Closed };

struct LocalServer {
    explicit LocalServer(const std::string& path) {
        path.copy(where.sun_path, sizeof where.sun_path - 1);
        if (::bind(listener, reinterpret_cast<const sockaddr*>(&where), sizeof where) ||
            ::listen(listener, 0))
            ADD_FAILURE() << "cannot listen at " << path;
    }
    ~LocalServer() {
        for (const int client : queued)
            ::close(client);
        ::close(listener);
    }
    // Connections it never accepts, until its queue takes no more.
    void fillQueue() {
        for (int client; queued.size() < 16; queued.push_back(client)) {
            client = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
            if (::connect(client, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0)
                return (void)::close(client);
        }
        ADD_FAILURE() << "the queue never filled";
    }
    sockaddr_un where{AF_UNIX, {}};
    int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    std::vector<int> queued;
};

class LocalChannelOpen : public testing::TestWithParam<std::pair<Server, Opened>> {};

} // namespace

TEST_P(LocalChannelOpen, EndsWithinItsTimeOut) {
    constexpr uint32_t kTimeoutMs = 300;
    const auto [kind, expected] = GetParam();
    test::TemporaryDirectory folder;
    const std::string path = folder.file("server");
    std::optional<LocalServer> server;
    if (kind == Server::Closed) {
        platform::LocalListener listener;
        std::string error;
        ASSERT_TRUE(listener.listen(path, error)) << error;
    }
    // Unlike a server that ended without closing, one that closed takes its socket with it.
    ASSERT_FALSE(kind == Server::Closed && std::filesystem::exists(path));
    if (kind != Server::Missing && kind != Server::Closed)
        server.emplace(path);
    if (kind == Server::Stale)
        server.reset(); // its file stays
    if (kind == Server::QueueFull)
        server->fillQueue();

    const auto start = std::chrono::steady_clock::now();
    auto opening =
        std::async(std::launch::async, [&] { return platform::LocalChannel().open(path, kTimeoutMs); });
    const bool ended =
        opening.wait_for(std::chrono::milliseconds(kTimeoutMs + 2000)) == std::future_status::ready;
    if (!ended)
        server.reset(); // a connect that ignores its time-out wakes as the server ends
    EXPECT_EQ(opening.get(), expected);
    EXPECT_TRUE(ended) << "open waited past its time-out";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(kTimeoutMs + 500));
}

INSTANTIATE_TEST_SUITE_P(Servers, LocalChannelOpen,
                         testing::Values(std::pair{Server::Listening, Opened::Yes},
                                         std::pair{Server::Stale, Opened::NoServer},
                                         std::pair{Server::QueueFull, Opened::Busy},
                                         std::pair{Server::Missing, Opened::NoServer},
                                         std::pair{Server::Closed, Opened::NoServer}));

// A server that sends no end of line fills no more than the channel's limit: the channel gives up on it.
TEST(LocalChannel, ALineBeyondTheLimitClosesTheChannel) {
    test::TemporaryDirectory folder;
    LocalServer server(folder.file("server"));
    platform::LocalChannel channel;
    ASSERT_EQ(channel.open(folder.file("server")), Opened::Yes);
    const int client = ::accept(server.listener, nullptr, nullptr);
    const std::string endless(platform::LocalChannel::kDefaultMaxLine + 1, 'x');
    ASSERT_EQ(::write(client, endless.data(), endless.size()), static_cast<ssize_t>(endless.size()));
    std::string line;
    EXPECT_FALSE(channel.receiveLine(line, 1000));
    EXPECT_FALSE(channel.isOpen());
    ::close(client);
}

#endif
