// The search of the stored articles without a window.
//
// Runs the statement built from the search terms (SearchTerms.h) over the
// view of existing articles. It gives the lines that the Search tab's
// result memo shows: the hit count between two lines of hyphens, then each
// hit's non-empty values, one per line, followed by an empty line; or the
// error text when the statement cannot be run or a row cannot be read.
//
// `escPressed` is asked once per row; when it answers true the listing
// stops after that row and a notice stands above the hits. It may let the
// window system deliver input but must start nothing that uses the
// database. The caller holds DatabaseLock for the whole listing, so the
// crawl waits until the last line is read.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <string>

namespace velt {

struct ArticleListing {
  std::string sql;
  bool ok = false;
  QString error;      // when not ok
  QStringList lines;  // when ok
};

ArticleListing ListArticles(const QString& input, const std::function<bool()>& escPressed);

}  // namespace velt
