#include "session/SearchTerms.h"

#include <QStringList>
#include <algorithm>

namespace velt {
namespace {

// Commas are hidden behind this code while the text is split, so they
// survive inside quoted terms and separate everywhere else.
constexpr QChar kHiddenComma(0x01);
constexpr QChar kQuote(u'"');

bool IsSeparator(QChar c) { return c.unicode() <= 32; }

// The quoted item starting at `pos` (on the opening quote); `pos` ends
// after the closing quote, or at the end when there is none.
QString TakeQuotedItem(const QString& text, qsizetype& pos) {
  QString item;
  for (++pos; pos < text.size(); ++pos) {
    if (text[pos] != kQuote) {
      item += text[pos];
    } else if (pos + 1 < text.size() && text[pos + 1] == kQuote) {
      item += kQuote;
      ++pos;
    } else {
      ++pos;
      break;
    }
  }
  return item;
}

QStringList SplitItems(const QString& text) {
  QStringList items;
  qsizetype pos = 0;
  const auto skipSeparators = [&] {
    while (pos < text.size() && IsSeparator(text[pos])) ++pos;
  };
  for (skipSeparators(); pos < text.size(); skipSeparators()) {
    if (text[pos] == kQuote) {
      items << TakeQuotedItem(text, pos);
    } else {
      const qsizetype start = pos;
      while (pos < text.size() && !IsSeparator(text[pos])) ++pos;
      items << text.mid(start, pos - start);
    }
  }
  return items;
}

QString TrimControls(const QString& item) {
  qsizetype first = 0;
  qsizetype last = item.size();
  while (first < last && IsSeparator(item[first])) ++first;
  while (last > first && IsSeparator(item[last - 1])) --last;
  return item.mid(first, last - first);
}

// Letter case only, the same in every locale: a locale's collation would
// also merge width and kana variants, which are different terms.
int CompareIgnoringCase(const QString& a, const QString& b) { return QString::compare(a, b, Qt::CaseInsensitive); }

}  // namespace

std::vector<std::string> ParseSearchTerms(const QString& input) {
  QString text = input;
  text.replace(QChar(0x3000), QChar(u' '));
  text.replace(QChar(u','), kHiddenComma);

  QStringList sorted;
  for (const QString& item : SplitItems(text)) {
    QString term = TrimControls(item);
    if (term.isEmpty()) continue;
    term.replace(kHiddenComma, QChar(u','));
    const auto place = std::lower_bound(sorted.begin(), sorted.end(), term, [](const QString& a, const QString& b) {
      return CompareIgnoringCase(a, b) < 0;
    });
    if (place != sorted.end() && CompareIgnoringCase(*place, term) == 0) continue;
    sorted.insert(place, term);
  }

  std::vector<std::string> terms;
  for (const QString& term : sorted) terms.push_back(term.toStdString());
  return terms;
}

}  // namespace velt
