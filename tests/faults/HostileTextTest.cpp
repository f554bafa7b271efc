// Page texts and search terms holding the characters that break naive SQL
// building (quotes, brackets, "%", "&", ";", comment openers), zero bytes,
// unpaired surrogates and broken UTF-8 reach the database verbatim or are
// refused with an error text; a statement is never changed by them.
#include <gtest/gtest.h>

#include <QString>
#include <string>
#include <vector>

#include "session/SearchTerms.h"
#include "store/DatabaseIO.h"
#include "store/IndexTable.h"
#include "tests/crawler/TestDatabase.h"

namespace velt::faults {
namespace {

using namespace std::string_literals;

const std::vector<std::string> kHostileTexts = {
    "\"double\" and 'single' quotes",
    "[bracket] [!x] [a- [[]",
    "100% _under_ *star* ?mark #hash",
    "a & b & \"c\"",
    "x\"; DROP TABLE VELTINDEX; --",
    "/* no comment */ -- nor this",
    "nul\0inside"s,
    "broken \xFF\xFE utf-8 \xE3\x81",
    "encoded surrogate \xED\xA0\x80",
    "ﾊﾝｶｸ and 全角 and \\ backslash",
};

class HostileTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_.Exec(BuildClaimInsertSql("100000", "http://kb.example.test/100000"));
    db_.Exec(BuildClaimInsertSql("100001", "http://kb.example.test/100001"));
    db_.Exec(BuildRowUpdateSql(200, "plain title", "", "", "", "20240101000000", "20240101000001", "100001"));
  }

  // The KBIDs the search statement for the terms lists, or the error text.
  std::string Search(const std::vector<std::string>& terms) {
    Recordset rs;
    std::string error;
    if (!Database->OpenQuery(BuildSearchSql(terms), rs, error)) {
      EXPECT_FALSE(error.empty());
      return "error: " + error;
    }
    std::string found;
    for (; !Database->Eof(rs); Database->Next(rs)) found += Database->FieldByIndex(rs, 0).AsText() + " ";
    Database->CloseQuery(rs);
    return found;
  }

  testing::TestDatabase db_;
};

TEST_F(HostileTextTest, PageTextsAreStoredVerbatimOrRefusedWithoutTouchingOtherRows) {
  for (const std::string& text : kHostileTexts) {
    SCOPED_TRACE(text);
    std::string error;
    const bool stored = Database->ExecSQL(
        BuildRowUpdateSql(200, text, text, text, text, "20240101000000", "20240101000001", "100000"), error);
    const auto rows = db_.Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].title, "plain title");
    // The engine reads a statement only up to a zero byte, so a text that
    // holds one leaves its literal open and the statement is refused: the
    // engine's message, then the statement as it was sent.
    const bool hasZeroByte = text.find('\0') != std::string::npos;
    EXPECT_EQ(stored, !hasZeroByte) << error;
    if (!stored) {
      EXPECT_EQ(error.rfind("unrecognized token: ", 0), 0u) << error;
      EXPECT_NE(error.find(";UPDATE VELTINDEX SET RESCODE=200,TITLE="), std::string::npos) << error;
      continue;
    }
    EXPECT_EQ(rows[0].title, text);
    EXPECT_EQ(rows[0].description, text);
    EXPECT_EQ(rows[0].keywords, text);
    EXPECT_EQ(rows[0].kbParents, text);
    // The stored text, its wildcards bracketed, finds exactly its row.
    std::string literal;
    for (char c : text) literal += (c == '%' || c == '_' || c == '[') ? "["s + c + "]" : std::string(1, c);
    EXPECT_EQ(Search({"%" + literal + "%"}), "100000 ");
  }
}

TEST_F(HostileTextTest, SearchTermsFindWhatTheySayOrFailWithATextAndChangeNothing) {
  std::vector<QString> inputs;
  for (const std::string& text : kHostileTexts) inputs.push_back(QString::fromUtf8(text.data(), text.size()));
  inputs.push_back(u"\"unpaired \xD800 surrogate\" %"_qs);
  inputs.push_back(u"\"\xDC00\" \"\"\"\" ;"_qs);
  inputs.push_back(QString::fromUtf16(u"term\0with zero", 15));
  for (const QString& input : inputs) {
    SCOPED_TRACE(input.toStdString());
    const std::string result = Search(ParseSearchTerms(input));
    // Zero bytes separate terms like other control characters, so they
    // never reach a statement; an unclosed list is refused by name.
    if (input.contains(u"[a- "_qs)) {
      EXPECT_EQ(result, "error: Invalid LIKE pattern (an unclosed \"[\" or a descending range): [a-");
    } else {
      EXPECT_EQ(result, "");  // no row holds these texts
    }
    EXPECT_EQ(db_.Rows().size(), 2u);
  }
  // Terms that are plain text apart from their wildcards find the row.
  EXPECT_EQ(Search(ParseSearchTerms(u"%plain% \"%title\""_qs)), "100001 ");
  EXPECT_EQ(Search(ParseSearchTerms(u"\"%\"\"%\" %"_qs)), "");
  EXPECT_EQ(Search(ParseSearchTerms(u"[[]% %;%"_qs)), "");
}

}  // namespace
}  // namespace velt::faults
