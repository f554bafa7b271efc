// The store's share of three user-visible operations, done the way the
// program does them on the session `Database` (under DatabaseLock):
// the dispatcher's pass, the search and the status report.
#pragma once

#include <QString>
#include <string>

#include "store/DatabaseIO.h"

namespace velt::scale {

// One pass of the dispatcher with the retry box checked: the three
// choosing queries (all three are sent, whatever they find) and the claim
// of the lowest 302 row (DELETE + INSERT). Afterwards, untimed, the row is
// given its 302 back, as its worker would, so passes can repeat. Returns
// seconds per pass.
double DispatcherPassSeconds(TDatabase& db, int passes);

// The search as the Search button runs it, up to the display: the
// statement built from the input, opened on the session and every field
// of every row read. Returns the hit count.
int RunStoreSearch(const QString& input);

// A crawl's session on a finished file: `count` articles, spread evenly
// over the first `rows` numbers, fetched again: each claimed (DELETE +
// INSERT) and written back with new texts (UPDATE), as the crawler does.
void RefetchArticles(TDatabase& db, int count, int rows);

// The statement that RunStoreSearch sends.
std::string SearchStatement(const QString& input);

}  // namespace velt::scale
