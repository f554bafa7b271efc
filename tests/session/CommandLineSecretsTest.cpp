#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session/CommandLineSecrets.h"

namespace velt {
namespace {

TEST(CommandLineSecretsTest, TheUserPartOfAProxyUrlIsOverwrittenInPlaceAndNothingElse) {
  const struct {
    std::vector<std::string> arguments;
    std::vector<std::string> left;
  } cases[] = {
      {{"--proxy", "http://alice:s3cret@p:3128"}, {"--proxy", "http://************@p:3128"}},
      {{"--proxy=http://T0KEN@p"}, {"--proxy=http://*****@p"}},
      {{"--proxy", "u:pw@p:1/x@y"}, {"--proxy", "****@p:1/x@y"}},
      {{"--proxy", "a@b:c@p"}, {"--proxy", "*****@p"}},
      {{"--proxy", "http://p:3128"}, {"--proxy", "http://p:3128"}},
      {{"--proxy", "direct"}, {"--proxy", "direct"}},
      {{"--site", "http://u:pw@kb.test/", "--proxy"}, {"--site", "http://u:pw@kb.test/", "--proxy"}},
      {{"--proxyx=u:pw@p"}, {"--proxyx=u:pw@p"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> storage = c.arguments;
    std::vector<char*> argv = {const_cast<char*>("VeltIndexer")};
    for (std::string& argument : storage) argv.push_back(argument.data());
    BlankSecretArguments(static_cast<int>(argv.size()), argv.data());
    std::vector<std::string> left(argv.begin() + 1, argv.end());
    EXPECT_EQ(left, c.left) << ::testing::PrintToString(c.arguments);
  }
}

}  // namespace
}  // namespace velt
