// The search box's term parser on arbitrary input. Terms come out trimmed,
// non-empty, sorted and free of case-blind duplicates; quoting the terms
// again gives the same terms; and words typed as quoted terms are all kept
// unless they equal another apart from letter case.
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>

#include "session/SearchTerms.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

using velt::fuzz::Require;

// Unlike QString::fromStdString this keeps a leading U+FEFF, which is
// part of a term like any other character.
QString FromUtf8(const std::string& text) {
  QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
  return decoder(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

QString Quoted(const QString& word) {
  QString quoted = word;
  quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
  return u'"' + quoted + u'"';
}

// A term that held an unpaired surrogate reaches UTF-8 as U+FFFD, so two
// different ones may look alike there: the uniqueness check needs input
// that converts cleanly.
void CheckTerms(const std::vector<std::string>& terms, bool convertsCleanly) {
  std::set<QString> folded;
  for (const std::string& term : terms) {
    Require(!term.empty(), "empty term");
    Require(static_cast<unsigned char>(term.front()) > 32 && static_cast<unsigned char>(term.back()) > 32,
            "term not trimmed");
    Require(folded.insert(FromUtf8(term).toCaseFolded()).second || !convertsCleanly,
            "duplicate apart from case");
  }
}

void CheckRequoting(const std::vector<std::string>& terms) {
  QString again;
  for (const std::string& term : terms) again += Quoted(FromUtf8(term)) + u' ';
  Require(velt::ParseSearchTerms(again) == terms, "quoting the terms again changed them");
}

// Words are the input's lines, cleared of what the parser treats as
// separators or hidden commas, and trimmed as the parser trims.
void CheckNoWordLost(const QString& input) {
  QString typed;
  std::set<QString> expected;
  for (QString word : input.split(u'\n')) {
    // Surrogates go too: an unpaired one cannot survive the trip to UTF-8.
    word.removeIf([](QChar c) { return c.unicode() < 32 || c.unicode() == 0x3000 || c.isSurrogate(); });
    while (!word.isEmpty() && (word.front() == u' ' || word.front() == u',')) word.remove(0, 1);
    while (!word.isEmpty() && (word.back() == u' ' || word.back() == u',')) word.chop(1);
    if (word.isEmpty()) continue;
    expected.insert(word.toCaseFolded());
    typed += Quoted(word) + u',';
  }
  Require(velt::ParseSearchTerms(typed).size() == expected.size(), "a word was lost or split");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte chooses how the rest is read: UTF-16 lets unpaired
  // surrogates in, which UTF-8 input never holds.
  QString input;
  if (data[0] & 1) {
    std::u16string units((size - 1) / 2, u'\0');
    std::memcpy(units.data(), data + 1, units.size() * 2);
    input = QString::fromStdU16String(units);
  } else {
    input = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
  }
  const bool convertsCleanly = FromUtf8(input.toStdString()) == input;
  const std::vector<std::string> terms = velt::ParseSearchTerms(input);
  CheckTerms(terms, convertsCleanly);
  if (convertsCleanly) CheckRequoting(terms);
  CheckNoWordLost(input);
  return 0;
}
