#include "session/FileSite.h"

#include <algorithm>
#include <cctype>

#include "net/FetchTarget.h"
#include "store/IndexTable.h"

namespace velt {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

std::string Origin(const FetchTarget& target) {
  return std::string(target.tls ? "https://" : "http://") + Lower(target.host) + ":" + std::to_string(target.port);
}

// The one value of the query's one row; Null when it has none.
bool QueryValue(TDatabase& db, const std::string& sql, Variant& value, std::string& error) {
  Recordset rs;
  if (!db.OpenQuery(sql, rs, error)) return false;
  value = db.IsEmpty(rs) ? Variant::Null() : db.FieldByIndex(rs, 0);
  db.CloseQuery(rs);
  return true;
}

}  // namespace

FileSiteVerdict JudgeFileSite(const std::string& storedUrl, const std::string& articleBaseUrl,
                              const std::string& databasePath) {
  FetchTarget stored;
  FetchTarget site;
  // A row whose URL names no site of ours cannot tell whose file it is.
  if (storedUrl.empty() || !SplitFetchUrl(storedUrl, stored) || !SplitFetchUrl(articleBaseUrl, site)) return {};
  const std::string storedHost = Lower(stored.host);
  const std::string siteHost = Lower(site.host);
  if (storedHost != siteHost) {
    return {FileSiteVerdict::Kind::Other,
            "THE DATABASE " + databasePath + " HOLDS THE ARTICLES OF " + storedHost + ", NOT OF " + siteHost +
                ": A CRAWL OF " + siteHost + " NEEDS A FILE OF ITS OWN (--database FILE)"};
  }
  if (Origin(stored) != Origin(site)) {
    return {FileSiteVerdict::Kind::Moved,
            "THE SITE MOVED FROM " + Origin(stored) + " TO " + Origin(site) + ": ITS ARTICLES STAY IN THIS FILE"};
  }
  return {};
}

bool ReadFileSiteUrl(TDatabase& db, std::string& url, std::string& error) {
  Variant highest;
  if (!QueryValue(db, SqlMaxKbid, highest, error)) return false;
  url.clear();
  if (highest.IsNull()) return true;
  Variant stored;
  if (!QueryValue(db, BuildRowUrlSql(highest.AsText()), stored, error)) return false;
  url = NullTo(stored, std::string()).AsText();
  return true;
}

}  // namespace velt
