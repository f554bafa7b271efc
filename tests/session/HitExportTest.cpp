#include <gtest/gtest.h>

#include <string>

#include "session/HitExport.h"

namespace velt {
namespace {

// The title's field as the table's last row holds it, between the URL
// and the (empty) description.
std::string TitleField(const std::string& title, HitFormat format) {
  const std::vector<ArticleHit> hits = {{"100001", "u", title, "", ""}};
  const std::string table = FormatHits(hits, format);
  const char delimiter = format == HitFormat::Csv ? ',' : '\t';
  const std::string before = std::string("u") + delimiter;
  const std::size_t start = table.rfind(before) + before.size();
  const std::string after = std::string{delimiter, delimiter};
  return table.substr(start, table.rfind(after) - start);
}

TEST(HitExportTest, CellsThatASpreadsheetWouldRunGetALeadingQuoteInCsvAndTsvOnly) {
  const struct {
    std::string title;
    std::string csv;
    std::string tsv;
  } cases[] = {
      {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\"", "\"'=HYPERLINK(\"\"x\"\")\""},
      {"+1", "'+1", "'+1"},
      {"-2+3", "'-2+3", "'-2+3"},
      {"@SUM(A1)", "'@SUM(A1)", "'@SUM(A1)"},
      {"\t=1", "'\t=1", "\"'\t=1\""},
      {"\r=1", "\"'\r=1\"", "\"'\r=1\""},
      {"a=1", "a=1", "a=1"},
      {" =1", " =1", " =1"},
      {"'=1", "'=1", "'=1"},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TitleField(c.title, HitFormat::Csv), c.csv) << c.title;
    EXPECT_EQ(TitleField(c.title, HitFormat::Tsv), c.tsv) << c.title;
    const std::string json = FormatHits({{"100001", "u", c.title, "", ""}}, HitFormat::Json);
    if (!c.title.starts_with('\'')) {
      EXPECT_EQ(json.find('\''), std::string::npos) << "JSON stays exact: " << json;
    }
  }
}

}  // namespace
}  // namespace velt
