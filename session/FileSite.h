// One database file holds the articles of one site.
//
// A crawl goes into a file only when the file is empty or its articles came
// from the same host: the rows of two sites would otherwise mix in one
// search, and the dispatcher would go on after the other site's highest
// number. The same host under another scheme or port (a site that moved to
// HTTPS) is the same site. The file's site is the URL of its highest row,
// the one the crawl continues from.
//
// JudgeFileSite is pure; ReadFileSiteUrl runs a query on the session, under
// no lock: it is meant for the start-up, before any other thread uses it.
#pragma once

#include <string>

#include "store/DatabaseIO.h"

namespace velt {

struct FileSiteVerdict {
  enum class Kind { Same, Moved, Other };
  Kind kind = Kind::Same;
  std::string text;  // Moved: the line to log once; Other: why the crawl is refused
};

// `storedUrl` is a row's URL, "" for an empty file; `databasePath` names
// the file in the refusal.
FileSiteVerdict JudgeFileSite(const std::string& storedUrl, const std::string& articleBaseUrl,
                              const std::string& databasePath);

// The URL of the file's highest row, "" when it has none. False with the
// error text when a query failed.
bool ReadFileSiteUrl(TDatabase& db, std::string& url, std::string& error);

}  // namespace velt
