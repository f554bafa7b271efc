#include "session/ArticleListing.h"

#include <exception>

#include "session/SearchTerms.h"
#include "store/DatabaseIO.h"
#include "store/IndexTable.h"

namespace velt {
namespace {

const QString kHyphenLine(50, QLatin1Char('-'));

// Lists the rows of an open query; returns the hit count.
int ListHits(Recordset& rs, QStringList& lines, const std::function<bool()>& escPressed) {
  int hits = 0;
  while (!Database->IsEmpty(rs)) {
    ++hits;
    const int fields = Database->FieldCount(rs);
    for (int i = 0; i < fields; ++i) {
      const std::string value = NullTo(Database->FieldByIndex(rs, i), std::string()).AsText();
      if (!value.empty()) lines << QString::fromStdString(value);
    }
    lines << QString();
    Database->Next(rs);
    if (escPressed()) {
      lines.prepend(QString());
      lines.prepend(QStringLiteral("※中断しました"));
      break;
    }
  }
  return hits;
}

}  // namespace

ArticleListing ListArticles(const QString& input, const std::function<bool()>& escPressed) {
  ArticleListing listing;
  listing.sql = BuildSearchSql(ParseSearchTerms(input));
  Recordset rs;
  std::string error;
  if (!Database->OpenQuery(listing.sql, rs, error)) {
    listing.error = QString::fromStdString(error);
    return listing;
  }
  try {
    const int hits = ListHits(rs, listing.lines, escPressed);
    Database->CloseQuery(rs);
    listing.lines.prepend(kHyphenLine);
    listing.lines.prepend(QStringLiteral("[%1 件] ヒットしました。").arg(hits));
    listing.lines.prepend(kHyphenLine);
    listing.ok = true;
  } catch (const std::exception& e) {  // a row operation raised: the listing is incomplete
    listing.lines.clear();
    listing.error = QString::fromUtf8(e.what());
  }
  return listing;
}

}  // namespace velt
