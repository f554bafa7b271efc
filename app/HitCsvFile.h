// "Save all hits as CSV": asks for a file name, then writes the hits there
// as CSV (HitExport.h). The file is written whole or not at all (a
// temporary file renamed into place), from the hits kept in memory, so no
// database lock is held and the crawl goes on meanwhile. A failed write
// says why in a message box; cancelling the dialog writes nothing.
//
// Main thread only.
#pragma once

#include <vector>

#include "session/SearchHits.h"

class QWidget;

namespace velt {

void SaveHitsAsCsv(QWidget& parent, const std::vector<ArticleHit>& hits);

}  // namespace velt
