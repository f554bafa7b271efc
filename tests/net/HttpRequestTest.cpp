// The HTTP client against scripted peers on 127.0.0.1:80 (run through
// tests/run-in-netns.sh).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "net/Http.h"
#include "platform/Error.h"
#include "tests/net/LoopbackPeer.h"

namespace velt {
namespace {

using namespace std::chrono_literals;
using test::LoopbackPeer;

const std::string kRequest = "GET / HTTP/1.0\r\nHOST: 127.0.0.1:80\r\n\r\n";

bool InPrivateNetwork() {
  const char* flag = std::getenv("VELT_PRIVATE_NETNS");
  return flag != nullptr && std::string(flag) == "1";
}

std::string ErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const Error& error) {
    return error.what();
  }
  return "(no error)";
}

struct Received {
  std::vector<int> counts;
  std::string bytes;
  ReceiveHandler Collect() {
    return [this](const char* data, int count) {
      counts.push_back(count);
      bytes.append(data, static_cast<std::size_t>(count));
      return true;
    };
  }
};

TEST(HttpRequestTest, DeliversEveryByteInChunksOfAtMost1025AndSendsRequestUnchanged) {
  std::string seen;
  std::string answer;
  for (int i = 0; i < 3000; ++i) answer += static_cast<char>('a' + i % 26);
  answer[1500] = '\0';  // bytes are counted, not terminated
  Received received;
  {
    LoopbackPeer peer([&](int connection) {
      seen = test::ReadRequestHead(connection);
      test::SendText(connection, answer);
    });
    EXPECT_TRUE(HttpRequest("127.0.0.1", kRequest, received.Collect()));
  }  // joins the peer, so what it saw may be read
  EXPECT_EQ(received.bytes, answer);
  for (int count : received.counts) {
    EXPECT_GE(count, 1);
    EXPECT_LE(count, kReceiveBufferSize);
  }
  EXPECT_EQ(seen, kRequest);
}

TEST(HttpRequestTest, OnlyAProxysOwnRefusalRaisesProxyRefusalAndABareLineFeedHeadIsReadAsWell) {
  ProxyServer proxy;
  proxy.host = "127.0.0.1";
  proxy.port = 80;
  proxy.user = "u";
  FetchTarget plain, tunnelled;
  plain.host = tunnelled.host = "kb.test";
  plain.path = tunnelled.path = "/";
  tunnelled.tls = true;
  tunnelled.port = 443;
  const struct {
    const FetchTarget& target;
    std::string answer;
    bool refusal;  // else a plain failure, or for "200" an answer relayed whole
  } cases[] = {
      {plain, "HTTP/1.0 407 Proxy Authentication Required\n\n", true},
      {plain, "HTTP/1.0 401 Unauthorized\r\n\r\n", true},
      {plain, "HTTP/1.0 200 OK\nA: 1\n\n<p>\r\n\r\n</p>", false},
      {tunnelled, "HTTP/1.0 407 Proxy Authentication Required\r\n\r\n", true},
      {tunnelled, "HTTP/1.0 403 Forbidden\n\n", true},
      {tunnelled, "HTTP/1.0 502 Bad Gateway\r\n\r\n", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    Received received;
    LoopbackPeer peer([&](int connection) {
      test::ReadRequestHead(connection);
      test::SendText(connection, c.answer);
    });
    try {
      HttpRequest(c.target, "GET http://kb.test/ HTTP/1.0\r\n\r\n", received.Collect(), {}, &proxy);
      EXPECT_FALSE(c.refusal);
      EXPECT_EQ(received.bytes, c.answer);
    } catch (const ProxyRefusal& refusal) {
      EXPECT_TRUE(c.refusal);
      EXPECT_THAT(refusal.what(), ::testing::StartsWith("[127.0.0.1:80] PROXY REFUSED: HTTP/1.0 4"));
    } catch (const Error& error) {
      EXPECT_FALSE(c.refusal) << error.what();
      EXPECT_THAT(error.what(), ::testing::HasSubstr("502 Bad Gateway"));
    }
  }
}

TEST(HttpRequestTest, HandlerThatStopsGetsOneChunkAndTheSocketIsClosed) {
  std::atomic<bool> clientClosed{false};
  std::optional<LoopbackPeer> peer;
  peer.emplace([&](int connection) {
    test::ReadRequestHead(connection);
    test::SendText(connection, std::string(600, 'x'));
    std::this_thread::sleep_for(50ms);
    test::SendText(connection, std::string(600, 'y'));
    clientClosed = test::WaitForClose(connection, 5000);
  });
  int calls = 0;
  EXPECT_TRUE(HttpRequest("localhost", kRequest, [&](const char*, int) {
    ++calls;
    return false;
  }));
  EXPECT_EQ(calls, 1);
  peer.reset();
  EXPECT_TRUE(clientClosed);
}

TEST(HttpRequestTest, FailuresRaiseTheirTextsAndLeaveNoSocketOpen) {
  const int before = test::OpenDescriptorCount();
  // Nobody listens on port 80.
  EXPECT_EQ(ErrorOf([] { HttpRequest("127.0.0.1", kRequest, [](const char*, int) { return true; }); }),
            "Connection refused");
  EXPECT_EQ(ErrorOf([] { HttpRequest("", kRequest, [](const char*, int) { return true; }); }),
            "[] IS INVALID ADDRSS.");
  {
    LoopbackPeer peer([](int connection) {
      test::ReadRequestHead(connection);
      test::SendText(connection, "HTTP/1.0 200 OK\r\n\r\n");
      test::WaitForClose(connection, 5000);
    });
    // Any error from the handler leaves as the general class with its text.
    EXPECT_EQ(ErrorOf([] {
                HttpRequest("127.0.0.1", kRequest,
                            [](const char*, int) -> bool { throw std::runtime_error("handler gave up"); });
              }),
              "handler gave up");
  }
  EXPECT_EQ(test::OpenDescriptorCount(), before);
}

TEST(HttpRequestTest, APeerThatResetsRaisesTheSystemText) {
  // Whether the reset meets the send or a receive depends on timing; both
  // must raise, as a cut answer is no answer.
  LoopbackPeer peer([](int connection) {
    linger reset{1, 0};
    ::setsockopt(connection, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
  });
  for (int i = 0; i < 20; ++i) {
    std::this_thread::sleep_for(std::chrono::microseconds(i * 50));
    EXPECT_THAT(ErrorOf([] { HttpRequest("127.0.0.1", kRequest, [](const char*, int) { return true; }); }),
                testing::AnyOf("Connection reset by peer", "Broken pipe"));
  }
}

TEST(HttpRequestTest, TimeOutsRaiseForSilentAndDrippingServers) {
  HttpTimeouts timeouts;
  timeouts.receive = 200ms;
  const auto timedError = [&](std::string& text) {
    const auto start = std::chrono::steady_clock::now();
    text = ErrorOf([&] { HttpRequest("127.0.0.1", kRequest, [](const char*, int) { return true; }, timeouts); });
    return std::chrono::steady_clock::now() - start;
  };
  std::string text;
  {
    // Listening without ever accepting: the kernel completes the handshake.
    LoopbackPeer silent(nullptr);
    EXPECT_LT(timedError(text), 5s);
    EXPECT_EQ(text, "Connection timed out");
  }
  // A byte before every receive time-out: only the fetch deadline ends it.
  LoopbackPeer dripping([](int connection) {
    test::ReadRequestHead(connection);
    for (int i = 0; i < 200; ++i) {
      if (::send(connection, "d", 1, MSG_NOSIGNAL) < 0) return;
      std::this_thread::sleep_for(20ms);
    }
  });
  timeouts.fetch = 300ms;
  EXPECT_LT(timedError(text), 2s);
  EXPECT_EQ(text, kFetchDeadlineText);
}

TEST(HttpRequestTest, TheShutdownCutoffEndsFetchesUnderWayAndLaterOnesUntilLifted) {
  LoopbackPeer silent(nullptr);  // the kernel accepts; nobody ever answers
  HttpTimeouts timeouts;
  const auto fetch = [&] {
    return ErrorOf([&] { HttpRequest("127.0.0.1", kRequest, [](const char*, int) { return true; }, timeouts); });
  };
  const auto start = std::chrono::steady_clock::now();
  std::string underWay;
  std::thread waiting([&] { underWay = fetch(); });
  SetFetchCutoff(start + 300ms);
  waiting.join();
  EXPECT_EQ(underWay, kFetchAbandonedText);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);  // not the 30 s receive time-out
  EXPECT_EQ(fetch(), kFetchAbandonedText);

  LiftFetchCutoff();
  timeouts.receive = 200ms;
  EXPECT_EQ(fetch(), "Connection timed out");
}

TEST(HttpRequestTest, ConnectThatNeverCompletesRaisesTheTimeOutText) {
  // A full accept queue makes the kernel drop further handshakes.
  LoopbackPeer peer(nullptr, 0);
  std::vector<int> fillers;
  for (int i = 0; i < 3; ++i) fillers.push_back(test::ConnectToPort80(true));
  std::this_thread::sleep_for(100ms);
  HttpTimeouts timeouts;
  timeouts.io = 300ms;
  EXPECT_EQ(ErrorOf([&] { HttpRequest("127.0.0.1", kRequest, [](const char*, int) { return true; }, timeouts); }),
            "Connection timed out");
  for (int fd : fillers) ::close(fd);
}

TEST(ResolveHostTest, KnownNamesAndAddressesResolveOthersRaiseTheExactMessage) {
  const std::uint32_t loopback = htonl(INADDR_LOOPBACK);
  EXPECT_EQ(ResolveHost("127.0.0.1"), loopback);
  EXPECT_EQ(ResolveHost("localhost"), loopback);
  EXPECT_EQ(ErrorOf([] { ResolveHost("255.255.255.255"); }), "[255.255.255.255] IS INVALID ADDRSS.");
  if (!InPrivateNetwork()) GTEST_SKIP() << "lookups of unknown names would leave the machine";
  // No address-to-host entry for this one.
  EXPECT_EQ(ErrorOf([] { ResolveHost("127.0.0.2"); }), "[127.0.0.2] IS INVALID ADDRSS.");
  EXPECT_EQ(ErrorOf([] { ResolveHost("no-such-host.invalid"); }), "[no-such-host.invalid] IS INVALID ADDRSS.");
  // Not a dotted quad, so looked up as a name, port and all.
  EXPECT_EQ(ErrorOf([] { ResolveHost("localhost:8080"); }), "[localhost:8080] IS INVALID ADDRSS.");
}

}  // namespace
}  // namespace velt
