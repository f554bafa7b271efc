// The desktop's list of proxies: which entries a fetch goes through, in
// which order, and what the log hears when one cannot be reached.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "net/DesktopProxy.h"
#include "net/ProxyChain.h"

namespace velt {
namespace {

std::string Name(const ProxyChain::Pick& pick) { return pick.Proxy() ? pick.Proxy()->Display() : "DIRECT"; }

TEST(ProxyChainTest, EntriesAreTriedInTheirOrderMovingOnOnlyPastTheOneThatFailed) {
  std::vector<std::string> skipped;
  const auto entries = ProxyEntriesFromUrls({"http://a:3128", "https://tls-proxy:443", "socks4://old:1080",
                                             "socks://s:1080", "socks5://u:pw@t:1081", "direct://"},
                                            skipped);
  EXPECT_EQ(skipped.size(), 2u) << "a proxy over TLS and SOCKS4 cannot be used";
  ProxyChain chain(entries);
  EXPECT_EQ(DesktopProxyLine("THE DESKTOP SETTINGS", entries),
            "PROXY FROM THE DESKTOP SETTINGS: http://a:3128, THEN socks5://s:1080, THEN socks5://****@t:1081, "
            "THEN DIRECT");

  // Two fetches picked the first; both find it dead, and it is said once.
  const auto first = chain.Current();
  const auto alsoFirst = chain.Current();
  EXPECT_EQ(Name(first), "http://a:3128");
  EXPECT_TRUE(chain.MoveOn(first, "refused"));
  EXPECT_TRUE(chain.MoveOn(alsoFirst, "refused"));
  EXPECT_EQ(Name(chain.Current()), "socks5://s:1080");
  EXPECT_THAT(chain.TakeNotices(),
              ::testing::ElementsAre("PROXY http://a:3128 CANNOT BE REACHED (refused); NOW USING socks5://s:1080"));
  EXPECT_TRUE(chain.TakeNotices().empty());

  // A proxy that answered keeps its place; past the last entry a fetch
  // fails as without a list.
  EXPECT_EQ(Name(chain.Current()), "socks5://s:1080");
  EXPECT_TRUE(chain.MoveOn(chain.Current(), "refused"));
  EXPECT_TRUE(chain.MoveOn(chain.Current(), "refused"));
  EXPECT_EQ(Name(chain.Current()), "DIRECT");
  EXPECT_FALSE(chain.MoveOn(chain.Current(), "refused"));

  // A new answer starts again at its first entry; a pick of the old one
  // moves nothing.
  const auto old = chain.Current();
  chain.Replace(ProxyEntriesFromUrls({"http://b:8080", "http://c:8080"}, skipped));
  EXPECT_TRUE(chain.MoveOn(old, "refused"));
  EXPECT_EQ(Name(chain.Current()), "http://b:8080");
  EXPECT_EQ(Name(ProxyChain().Current()), "DIRECT");
}

TEST(ProxyChainTest, TheDesktopDecidesOnlyWhenNoOptionAndNoVariableNamesAProxy) {
  const struct {
    const char* option;
    std::map<std::string, std::string> variables;
    bool desktop;
    const char* origin;
  } cases[] = {
      {"", {}, true, "THE DESKTOP"},
      {"direct", {}, false, "THE DESKTOP"},
      {"", {{"http_proxy", ""}, {"no_proxy", "x"}}, true, "THE DESKTOP"},
      {"", {{"HTTP_PROXY", "http://p:1"}}, false, "THE DESKTOP"},
      {"", {{"ALL_PROXY", "socks5h://p"}}, false, "THE DESKTOP"},
      {"", {{"http_proxy", "pac+http://u:pw@pac.test/p.pac"}}, true, "THE PAC SCRIPT http://****@pac.test/p.pac"},
      {"", {{"DESKTOP_SESSION", "gnome"}}, true, "THE DESKTOP SETTINGS"},
      {"", {{"KDE_FULL_SESSION", "true"}}, true, "THE DESKTOP SETTINGS"},
  };
  for (const auto& c : cases) {
    const auto variables = c.variables;
    const EnvironmentLookup environment = [variables](const std::string& name) -> std::optional<std::string> {
      const auto found = variables.find(name);
      return found == variables.end() ? std::nullopt : std::optional(found->second);
    };
    EXPECT_EQ(DesktopDecides(c.option, environment), c.desktop) << ::testing::PrintToString(c.variables);
    EXPECT_EQ(DesktopProxyOrigin(environment), c.origin) << ::testing::PrintToString(c.variables);
  }
}

}  // namespace
}  // namespace velt
