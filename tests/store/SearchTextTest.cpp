#include "store/provider/SearchText.h"

#include <gtest/gtest.h>

namespace velt::provider {
namespace {

std::string Query(const std::vector<std::string>& patterns) {
  std::vector<LikePattern> compiled;
  for (const std::string& p : patterns) compiled.push_back(*LikePattern::Compile(p));
  return TrigramMatchQuery(compiled);
}

TEST(SearchText, RunsEndAtEveryWildcardAndAreFoldedAsLikeFolds) {
  EXPECT_EQ(Query({"%ＲＥＧist%"}), "\"reg\" AND \"egi\" AND \"gis\" AND \"ist\"");
  EXPECT_EQ(Query({"%ｶﾞｲﾄﾞ%"}), "\"ガイド\"");
  EXPECT_EQ(Query({"ab_cd%ef[g]hi"}), "");  // no three plain characters in a row
  EXPECT_EQ(Query({"%ab%", "x[!y]abcd"}), "\"abc\" AND \"bcd\"");
  EXPECT_EQ(Query({"%a\"bc%", "%abc%"}), "\"a\"\"b\" AND \"\"\"bc\" AND \"abc\"");
  // A byte that is not UTF-8 never reaches the index query.
  EXPECT_EQ(Query({std::string("%ab\xff" "cd%")}), "");
}

TEST(SearchText, ALongRunIsSampledFromEndToEnd) {
  std::string run;
  for (char c = 'a'; c <= 'z'; ++c) run += c;
  const std::string query = Query({"%" + run + run + "%"});
  EXPECT_EQ(query.rfind("\"abc\" AND ", 0), 0u) << query;
  EXPECT_NE(query.find("\"xyz\""), std::string::npos) << query;
  int terms = 1;
  for (std::size_t at = query.find(" AND "); at != std::string::npos; at = query.find(" AND ", at + 1)) ++terms;
  EXPECT_EQ(terms, 24);
}

TEST(SearchText, FoldedTextIsAlwaysValidUtf8) {
  EXPECT_EQ(FoldSearchText("ＡＢＣ Σ Q ｶﾞｲﾄﾞ"), "abc σ q ガイド");
  EXPECT_EQ(FoldSearchText(std::string("a\xff" "b\xe3\x81")), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD\xEF\xBF\xBD");
}

}  // namespace
}  // namespace velt::provider
