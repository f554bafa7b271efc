// The search of the stored articles (the Search button).
//
// Lists the articles that the terms find (session/ArticleListing.h) while
// holding DatabaseLock for the whole search, so the crawl waits until the
// last line is written. `memErr` gets the statement and the Escape notice,
// or only the error text when the statement cannot be run or a row cannot
// be read; `memResult` then keeps its previous text. Otherwise `memResult`
// gets the listing's lines; it is not redrawn until the end.
//
// `escPressed` is asked once per row (see ListArticles). Main thread only.
#pragma once

#include <QString>
#include <functional>

class QPlainTextEdit;

namespace velt {

void RunArticleSearch(const QString& input, QPlainTextEdit& memResult, QPlainTextEdit& memErr,
                      const std::function<bool()>& escPressed);

}  // namespace velt
