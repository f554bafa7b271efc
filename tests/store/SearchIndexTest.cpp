// The search index narrows LIKE searches but must never change their
// result: the same rows, in article-number order, as a plain scan.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "store/IndexTable.h"
#include "store/provider/LikeMatcher.h"
#include "store/provider/TextFolding.h"
#include "tests/store/EnginePlan.h"
#include "tests/store/SessionFixture.h"

namespace velt::testing {
namespace {

// Characters that exercise folding (ASCII, full-width, Greek, kana of
// both types and widths, half-width sound marks), LIKE's own wildcards as
// text, quotes, and bytes that are not UTF-8.
const std::vector<std::string> kAlphabet = {"a", "B", "c", "D", "Ａ", "ａ", "ｂ", "Ｂ", "Σ", "σ", "レ", "ジ",
                                            "ス", "ト", "リ", "ｶ", "ﾊ", "ﾞ", "ﾟ", "か", "カ", "ガ", "ぱ", "ｨ",
                                            "ぃ", "ィ", " ", "%", "_", "\"", "\xff"};
// Another spelling of a character of the alphabet that compares equal.
const std::map<std::string, std::string> kOtherSpelling = {
    {"ａ", "Ａ"}, {"σ", "Σ"}, {"ガ", "ｶﾞ"}, {"か", "ｶ"}, {"カ", "か"}, {"ｨ", "ぃ"}, {"ぱ", "ﾊﾟ"}, {"ト", "ﾄ"}};

struct Row {
  int resCode = 0;
  std::string url, title, description, keywords;
};

class SearchIndex : public SessionTest {
 protected:
  void SetUp() override {
    SessionTest::SetUp();
    Upkeep();
  }

  void Upkeep() {
    std::string error;
    ASSERT_TRUE(RunIndexUpkeep(db_, [](const std::string&) {}, error)) << error;
  }

  void Store(const std::string& kbid, const Row& row) {
    Exec(BuildDeleteRowSql(kbid));
    Exec(BuildClaimInsertSql(kbid, row.url));
    if (row.resCode != 0)
      Exec(BuildRowUpdateSql(row.resCode, row.title, row.description, row.keywords, "", "1", "2", kbid));
    rows_[kbid] = row;
  }

  void Remove(const std::string& kbid) {
    Exec(BuildDeleteRowSql(kbid));
    rows_.erase(kbid);
  }

  std::vector<std::string> Search(const std::string& sql) {
    Recordset rs;
    std::string error;
    EXPECT_TRUE(db_.OpenQuery(sql, rs, error)) << error;
    std::vector<std::string> kbids;
    for (; rs.IsAssigned() && !db_.IsEmpty(rs); db_.Next(rs)) kbids.push_back(db_.FieldByIndex(rs, 0).AsText());
    return kbids;
  }

  // What the search must find, worked out without the database.
  std::vector<std::string> Expected(const std::vector<std::string>& terms) const {
    std::vector<std::string> kbids;  // rows_ is ordered by number
    for (const auto& [kbid, row] : rows_) {
      if (row.resCode != 200) continue;
      const std::string text = FirstChars(kbid + row.url + row.title + row.description + row.keywords, 5000);
      if (std::all_of(terms.begin(), terms.end(),
                      [&](const std::string& t) { return provider::MatchLike(text, t) == provider::LikeResult::Match; }))
        kbids.push_back(kbid);
    }
    return kbids;
  }

  static std::string FirstChars(const std::string& text, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t n = 0; n < count && end < text.size(); ++n) provider::DecodeUtf8At(text, end);
    return text.substr(0, end);
  }

  bool UsesTheIndex(const std::vector<std::string>& terms) {
    return EngineQueryText(db_, BuildSearchSql(terms)).find(" MATCH ") != std::string::npos;
  }

  void ExpectIndexIntact() {
    Exec("SELECT 1");  // the session is usable
    provider::ExecEngineSql(db_.Connection->Handle(),
                            "INSERT INTO __velt_text_VELTINDEX(__velt_text_VELTINDEX) VALUES('integrity-check')");
  }

  std::map<std::string, Row> rows_;
};

class RandomCorpus : public SearchIndex {
 protected:
  std::string RandomText(int maxChars) {
    std::string text;
    for (int n = std::uniform_int_distribution<int>(0, maxChars)(rng_); n > 0; --n)
      text += kAlphabet[std::uniform_int_distribution<std::size_t>(0, kAlphabet.size() - 1)(rng_)];
    return text;
  }

  Row RandomRow() {
    static const int kCodes[] = {200, 200, 200, 200, 302, 404, 0};
    return {kCodes[std::uniform_int_distribution<int>(0, 6)(rng_)], "u" + RandomText(6), RandomText(40),
            RandomText(40), RandomText(20)};
  }

  std::string RandomKbid() { return std::to_string(std::uniform_int_distribution<int>(100000, 999999)(rng_)); }

  std::string AnyStoredKbid() {
    auto it = rows_.begin();
    std::advance(it, std::uniform_int_distribution<std::size_t>(0, rows_.size() - 1)(rng_));
    return it->first;
  }

  // Mostly a piece of a stored text with its letter case changed and
  // wildcards put in, so that patterns hit; sometimes a whole text, which
  // LIKE must match exactly, sometimes noise.
  std::string RandomPattern() {
    const Row& row = rows_[AnyStoredKbid()];
    std::vector<std::string> chars;
    const std::string source = row.title + row.description;
    for (std::size_t pos = 0; pos < source.size();) {
      const std::size_t start = pos;
      provider::DecodeUtf8At(source, pos);
      chars.push_back(source.substr(start, pos - start));
    }
    const int kind = std::uniform_int_distribution<int>(0, 9)(rng_);
    if (kind == 0 || chars.empty()) return RandomText(5);
    std::size_t from = std::uniform_int_distribution<std::size_t>(0, chars.size() - 1)(rng_);
    std::size_t length = std::uniform_int_distribution<std::size_t>(1, 9)(rng_);
    if (kind == 1) from = 0, length = chars.size();
    std::string pattern = kind == 1 ? "" : "%";
    for (std::size_t i = from; i < std::min(chars.size(), from + length); ++i) {
      const int change = std::uniform_int_distribution<int>(0, 11)(rng_);
      if (change == 0) pattern += "_";
      else if (change == 1) pattern += "%";
      else if (change == 2 && chars[i].size() == 1) pattern += static_cast<char>(std::toupper(chars[i][0]));
      else if (change == 3 && kOtherSpelling.count(chars[i])) pattern += kOtherSpelling.at(chars[i]);
      else pattern += chars[i];
    }
    return kind == 1 ? pattern : pattern + "%";
  }

  std::mt19937 rng_{20240607};
};

TEST_F(RandomCorpus, FilteredSearchesFindExactlyThePlainScansRowsInNumberOrder) {
  Exec("BEGIN TRANSACTION");
  for (int i = 0; i < 400; ++i) Store(RandomKbid(), RandomRow());
  Exec("COMMIT");
  // Claims again, results rewritten and rows removed: the index must
  // follow every change, and numbers no longer come in storage order.
  for (int i = 0; i < 150; ++i) {
    const int change = std::uniform_int_distribution<int>(0, 2)(rng_);
    if (change == 0) Remove(AnyStoredKbid());
    if (change == 1) Store(AnyStoredKbid(), RandomRow());
    if (change == 2) Store(RandomKbid(), RandomRow());
  }
  ExpectIndexIntact();

  int filtered = 0;
  for (int i = 0; i < 300; ++i) {
    std::vector<std::string> terms{RandomPattern()};
    if (i % 3 == 0) terms.push_back(RandomPattern());
    const std::string sql = BuildSearchSql(terms);
    const std::vector<std::string> expected = Expected(terms);
    ASSERT_EQ(Search(sql), expected) << sql;
    ASSERT_EQ(Search(sql + " ORDER BY KBID"), expected) << "plain scan: " << sql;
    filtered += UsesTheIndex(terms) ? 1 : 0;
  }
  EXPECT_GT(filtered, 150);  // the comparison above is about the filter
}

TEST_F(SearchIndex, CaseIsFoldedAsLikeFoldsItAndTheTextEndsAtItsLimit) {
  Store("100001", {200, "u", "ＲＥＧＩＳＴＲＹ editor", "ΣΟΦΙΑ", "", });
  Store("100002", {200, "u", "REGISTRY", "σοφια", ""});
  Store("100003", {200, "u", std::string(4990, 'x') + "tail-words", "", ""});
  EXPECT_EQ(Search(BuildSearchSql({"%ｒｅｇｉｓｔｒｙ%"})), (std::vector<std::string>{"100001", "100002"}));
  EXPECT_EQ(Search(BuildSearchSql({"%REGistry e%"})), std::vector<std::string>{"100001"});
  EXPECT_EQ(Search(BuildSearchSql({"%σοφ%"})), (std::vector<std::string>{"100001", "100002"}));
  // 6 + 1 + 4990 characters come before "tail": only "ta" is searched.
  EXPECT_EQ(Search(BuildSearchSql({"%xta%"})), std::vector<std::string>{"100003"});
  EXPECT_TRUE(Search(BuildSearchSql({"%tail%"})).empty());
  EXPECT_TRUE(UsesTheIndex({"%tail%"}));
}

// What a Japanese reader types finds every spelling of it and no look-alike,
// whichever way the database compares: LIKE with and without the index,
// "=", on an expression, grouping, ordering and MIN/MAX.
TEST_F(SearchIndex, EverySpellingOfAWordIsFoundAndComparedAsOne) {
  struct Example {
    std::string typed;
    std::vector<std::string> spellings;
    std::string control;
    bool controlSortsFirst;
  };
  const std::vector<Example> examples = {
      {"ディスク", {"ﾃﾞｨｽｸ", "でぃすく", "ディスク"}, "ディスコ", false},
      {"ガイド", {"ｶﾞｲﾄﾞ", "がいど", "ガイド"}, "カイト", true},
      {"ＸＰ２", {"xp2", "XP2", "ｘｐ２"}, "XP3", false},
      {"みかん", {"ミカン", "ﾐｶﾝ", "みかん"}, "ミガン", false},
      // Typed with the wave dash; text from code page 932 holds the tilde.
      {"XP〜7", {"XP～7", "xp~7", "XP〜7"}, "XP-7", true},
  };
  int number = 100000;
  for (const Example& example : examples) {
    Exec("DELETE FROM VELTINDEX");
    rows_.clear();
    std::vector<std::string> expected;
    for (const std::string& spelling : example.spellings) {
      expected.push_back(std::to_string(++number));
      Store(expected.back(), {200, "u", spelling, "", ""});
    }
    const std::string control = std::to_string(++number);
    Store(control, {200, "u", example.control, "", ""});
    const std::string typed = SqlQuote(example.typed);
    const std::string search = BuildSearchSql({"%" + example.typed + "%"});
    EXPECT_TRUE(UsesTheIndex({"%" + example.typed + "%"})) << example.typed;
    EXPECT_EQ(Search(search), expected) << search;
    EXPECT_EQ(Search(search + " ORDER BY KBID"), expected) << "plain scan: " << search;
    EXPECT_EQ(Search("SELECT KBID FROM VELTINDEX WHERE TITLE=" + typed + " ORDER BY KBID"), expected);
    EXPECT_EQ(Search("SELECT KBID FROM VELTINDEX WHERE LEFT(TITLE&\"\",9)=" + typed + " ORDER BY KBID"), expected);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM (SELECT TITLE FROM VELTINDEX GROUP BY TITLE)").AsText(), "2");
    std::vector<std::string> ordered = expected;
    ordered.insert(example.controlSortsFirst ? ordered.begin() : ordered.end(), control);
    EXPECT_EQ(Search("SELECT KBID FROM VELTINDEX ORDER BY TITLE, KBID"), ordered) << example.typed;
    const char* extreme = example.controlSortsFirst ? "MIN" : "MAX";
    for (const char* operand : {"TITLE", "TITLE&URL"}) {
      const std::string found = Scalar(std::string("SELECT ") + extreme + "(" + operand + ") FROM VELTINDEX").AsText();
      EXPECT_EQ(found.substr(0, example.control.size()), example.control) << extreme << "(" << operand << ")";
    }
  }
}

// The index serves the view only as the upkeep makes it: a view the user
// defined otherwise, through the program or behind its back, is searched
// by a plain scan of what the view shows.
TEST_F(SearchIndex, AViewDefinedOtherwiseIsSearchedByPlainScan) {
  Store("100001", {200, "u", "title words", "", ""});
  Exec("UPDATE VELTINDEX SET KBPARENTS=\"parent words\"");
  const std::string otherView =
      "SELECT KBID,URL,KBPARENTS AS TITLE,DESCRIPTION,KEYWORDS FROM VELTINDEX WHERE (RESCODE=200)";
  const std::vector<std::string> hit{"100001"};
  Exec("DROP VIEW VELTINDEXV");
  Exec("CREATE VIEW VELTINDEXV AS " + otherView);
  Upkeep();
  EXPECT_EQ(Search(BuildSearchSql({"%parent words%"})), hit);
  EXPECT_TRUE(Search(BuildSearchSql({"%title words%"})).empty());

  Exec("DROP VIEW VELTINDEXV");
  Exec(SqlCreateIndexView);
  Upkeep();
  EXPECT_EQ(Search(BuildSearchSql({"%title words%"})), hit);
  provider::ExecEngineSql(db_.Connection->Handle(), "DROP VIEW VELTINDEXV; CREATE VIEW VELTINDEXV AS " + otherView);
  EXPECT_EQ(Search(BuildSearchSql({"%parent words%"})), hit);
}

TEST_F(SearchIndex, SurvivesCompactionAndFollowsLaterChanges) {
  for (int i = 0; i < 60; ++i) Store(std::to_string(100000 + i), {200, "u", "title " + std::to_string(i), "", ""});
  // Removing and adding again leaves the storage order unlike the numbers.
  for (int i = 0; i < 60; i += 3) Store(std::to_string(100000 + i), {200, "u", "again " + std::to_string(i), "", ""});
  for (int i = 1; i < 60; i += 7) Remove(std::to_string(100000 + i));
  std::string error;
  ASSERT_TRUE(db_.Compact(error)) << error;
  ExpectIndexIntact();
  for (const std::vector<std::string>& terms : std::vector<std::vector<std::string>>{
           {"%title 1%"}, {"%again%"}, {"%again 2%", "%1000%"}, {"%gain 5%"}})
    EXPECT_EQ(Search(BuildSearchSql(terms)), Expected(terms)) << terms[0];
  Store("100003", {200, "u", "changed", "", ""});
  EXPECT_EQ(Search(BuildSearchSql({"%changed%"})), std::vector<std::string>{"100003"});
  EXPECT_EQ(Search(BuildSearchSql({"%again 3%"})), Expected({"%again 3%"}));
  EXPECT_EQ(Expected({"%again 3%"}), (std::vector<std::string>{"100030", "100033", "100039"}));  // 100036 was removed
}

TEST_F(SearchIndex, RowsStoredBeforeTheIndexExistedAreIndexedByTheUpkeep) {
  Exec("DROP TABLE VELTINDEX");
  Exec(SqlCreateIndexTable);
  std::string error;
  ASSERT_TRUE(db_.AllowZeroLength(IndexTableName, error)) << error;
  Store("100007", {200, "u", "registry", "", ""});
  EXPECT_FALSE(UsesTheIndex({"%registry%"}));  // nothing serves the new table yet
  EXPECT_EQ(Search(BuildSearchSql({"%registry%"})), std::vector<std::string>{"100007"});
  Upkeep();
  EXPECT_TRUE(UsesTheIndex({"%registry%"}));
  EXPECT_EQ(Search(BuildSearchSql({"%registry%"})), std::vector<std::string>{"100007"});
}

TEST_F(SearchIndex, AViewMadeAnewOverAnotherTableIsNotFilteredByAnIndexOfTheOld) {
  Store("100001", {200, "u", "registry", "", ""});
  Exec("DROP VIEW VELTINDEXV");
  Exec("CREATE TABLE OTHER (KBID TEXT(6), URL TEXT(100), TITLE MEMO, DESCRIPTION MEMO, KEYWORDS MEMO)");
  Exec("INSERT INTO OTHER VALUES (\"200000\", \"u\", \"registry\", NULL, NULL)");
  Exec("CREATE VIEW VELTINDEXV AS SELECT * FROM OTHER");
  EXPECT_EQ(Search(BuildSearchSql({"%registry%"})), std::vector<std::string>{"200000"});
}

TEST_F(SearchIndex, TheSearchFollowsTheIndexIntoTheRowsInNumberOrder) {
  const std::string plan = QueryPlan(db_, BuildSearchSql({"%registry%", "%editor%"}));
  EXPECT_NE(plan.find("VIRTUAL TABLE"), std::string::npos) << plan;
  EXPECT_NE(plan.find("(RESCODE=? AND KBID=?)"), std::string::npos) << plan;
  EXPECT_EQ(plan.find("TEMP B-TREE"), std::string::npos) << plan;
  // Terms without three plain characters in a row leave the index aside.
  EXPECT_FALSE(UsesTheIndex({"%re%", "%g_s%"}));
  EXPECT_EQ(QueryPlan(db_, BuildSearchSql({"%re%"})).find("TEMP B-TREE"), std::string::npos);
}

}  // namespace
}  // namespace velt::testing
