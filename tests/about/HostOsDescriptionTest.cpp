#include "about/HostOsDescription.h"

#include <gtest/gtest.h>

namespace velt {
namespace {

TEST(HostOsDescriptionTest, DistributionNameWithKernel) {
  const std::string debian =
      "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nNAME=\"Debian GNU/Linux\"\nVERSION_ID=\"12\"\n";
  EXPECT_EQ(DescribeHostSystem(debian, "6.1.0-18-amd64", "x86_64"),
            "Debian GNU/Linux 12 (bookworm) (Linux 6.1.0-18-amd64 x86_64)");
}

TEST(HostOsDescriptionTest, QuotingAndMissingFields) {
  EXPECT_EQ(DescribeHostSystem("NAME=Alpine\nVERSION='3.19 \"edge\"'\r\n", "6.6", ""), "Alpine 3.19 \"edge\" (Linux 6.6)");
  EXPECT_EQ(DescribeHostSystem("# comment\nPRETTY_NAME=\"A \\\"B\\\" \\$C\"\n", "", ""), "A \"B\" $C (Linux)");
  EXPECT_EQ(DescribeHostSystem("NAME=Plain\n", "5.4", "arm"), "Plain (Linux 5.4 arm)");
  EXPECT_EQ(DescribeHostSystem("", "5.4", "arm"), "Linux 5.4 arm");
  EXPECT_EQ(DescribeHostSystem("garbage without equals\nVERSION=1\n", "", ""), "Linux");
}

TEST(HostOsDescriptionTest, ThisSystemHasADescription) {
  const std::string description = GetOsDescription();
  EXPECT_NE(description.find("Linux"), std::string::npos) << description;
}

}  // namespace
}  // namespace velt
