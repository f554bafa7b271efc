#include "session/ArticleListing.h"

#include <algorithm>
#include <exception>

#include "session/SearchTerms.h"
#include "store/DatabaseIO.h"
#include "store/IndexTable.h"

namespace velt {
namespace {

// Reads the rows of an open query into `hits`; true when Escape broke
// the reading off.
bool ReadHits(Recordset& rs, std::vector<ArticleHit>& hits, const std::function<bool()>& escPressed) {
  while (!Database->IsEmpty(rs)) {
    ArticleHit& hit = hits.emplace_back();
    const auto columns = hit.Columns();
    const int fields = std::min(Database->FieldCount(rs), static_cast<int>(columns.size()));
    for (int i = 0; i < fields; ++i) *columns[i] = NullTo(Database->FieldByIndex(rs, i), std::string()).AsText();
    Database->Next(rs);
    if (escPressed()) return true;
  }
  return false;
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
    const bool brokenOff = ReadHits(rs, listing.hits, escPressed);
    Database->CloseQuery(rs);
    HitListing shown = ListingLines(listing.hits, brokenOff);
    listing.lines = std::move(shown.lines);
    listing.hitLines = std::move(shown.hitLines);
    listing.ok = true;
  } catch (const std::exception& e) {  // a row operation raised: the listing is incomplete
    listing.lines.clear();
    listing.hits.clear();
    listing.error = QString::fromUtf8(e.what());
  }
  return listing;
}

}  // namespace velt
