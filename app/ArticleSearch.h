// The search of the stored articles (the Search button).
//
// Runs the statement built from the search terms (SearchTerms.h) over the
// view of existing articles while holding DatabaseLock for the whole
// search, so the crawl waits until the last line is written. `memErr`
// gets the statement and the Escape notice, or only the error text when
// the statement cannot be run or a row cannot be read; `memResult` then
// keeps its previous text. Otherwise `memResult` gets the hit count
// between two lines of hyphens, then each hit's non-empty values, one per
// line, followed by an empty line.
//
// `escPressed` is asked once per row; when it answers true the listing
// stops after that row and a notice stands above the hits. It may let the
// window system deliver input (app/EscapeKey.h) but must start nothing
// that uses the database. `memResult` is not redrawn until the end.
//
// ListArticles is the same search without a window, for a caller that
// holds DatabaseLock: it gives the lines `memResult` would show, or the
// error text; with the lines come the hits as values and which lines show
// which hit (SearchHits.h). RunArticleSearch returns the listing it showed
// or the error it reported. It is for the main thread only.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "app/SearchHits.h"

class QPlainTextEdit;

namespace velt {

struct ArticleListing {
  std::string sql;
  bool ok = false;
  QString error;      // when not ok
  QStringList lines;  // when ok
  std::vector<ArticleHit> hits;
  std::vector<HitLines> hitLines;  // of `lines`, one per hit
};

ArticleListing ListArticles(const QString& input, const std::function<bool()>& escPressed);

ArticleListing RunArticleSearch(const QString& input, QPlainTextEdit& memResult, QPlainTextEdit& memErr,
                      const std::function<bool()>& escPressed);

}  // namespace velt
