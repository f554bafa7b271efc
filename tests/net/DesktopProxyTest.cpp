// The desktop's proxy library meeting a PAC script's server that accepts
// and never answers (on 127.0.0.1:80, through tests/run-in-netns.sh).
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>

#include "net/DesktopProxy.h"
#include "tests/net/LoopbackPeer.h"

namespace velt {
namespace {

using namespace std::chrono_literals;

TEST(DesktopProxyTest, APacServerThatNeverAnswersHoldsTheCallerOnlyUntilItsLimit) {
  test::LoopbackPeer silent(nullptr);  // connections wait in its queue
  ::setenv("http_proxy", "pac+http://127.0.0.1:80/proxy.pac", 1);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(AskDesktopForProxies("http://kb.test/", 1s, [] { return false; }), std::nullopt);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 20s);
  ::unsetenv("http_proxy");
}

}  // namespace
}  // namespace velt
