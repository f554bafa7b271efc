#include "session/SearchHits.h"

#include <algorithm>

namespace velt {
namespace {

const QString kHyphenLine(50, QLatin1Char('-'));

// How many text blocks the memo makes of one line: a CR LF pair, a lone
// CR or LF and the paragraph separator each begin a new block.
int BlocksIn(const QString& line) {
  int blocks = 1;
  for (qsizetype i = 0; i < line.size(); ++i) {
    const QChar c = line[i];
    if (c == QLatin1Char('\r') && i + 1 < line.size() && line[i + 1] == QLatin1Char('\n')) continue;
    if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar::ParagraphSeparator) ++blocks;
  }
  return blocks;
}

}  // namespace

QStringList ShownValues(const ArticleHit& hit) {
  QStringList values;
  for (const std::string* value : hit.Columns()) {
    if (!value->empty()) values << QString::fromStdString(*value);
  }
  return values;
}

HitListing ListingLines(const std::vector<ArticleHit>& hits, bool brokenOff) {
  HitListing listing;
  listing.lines << kHyphenLine << QStringLiteral("[%1 件] ヒットしました。").arg(hits.size()) << kHyphenLine;
  if (brokenOff) listing.lines << QStringLiteral("※中断しました") << QString();
  int block = static_cast<int>(listing.lines.size());
  for (const ArticleHit& hit : hits) {
    HitLines& range = listing.hitLines.emplace_back(HitLines{block, 0});
    for (const QString& value : ShownValues(hit)) {
      listing.lines << value;
      range.count += BlocksIn(value);
    }
    listing.lines << QString();
    block += range.count + 1;
  }
  return listing;
}

int HitAtLine(const std::vector<HitLines>& hitLines, int line) {
  const auto after = std::upper_bound(hitLines.begin(), hitLines.end(), line,
                                      [](int l, const HitLines& range) { return l < range.first; });
  if (after == hitLines.begin()) return -1;
  const HitLines& range = *(after - 1);
  return line < range.first + range.count ? static_cast<int>(after - 1 - hitLines.begin()) : -1;
}

}  // namespace velt
