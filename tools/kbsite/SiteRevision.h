// The sample site as it stands after a second visit: some articles
// revised, some withdrawn, some new in numbers that were absent. Revision
// 1 is the model as it is; revision 2 changes, for the same seed:
//   - an article (200) whose number ends in 3: its title is revised;
//   - an article (200) whose number is 7 modulo 25: withdrawn, answering
//     302 when the number is 7 modulo 50, else 404;
//   - an absent number (302) that is 1 modulo 4: a new article, when the
//     model of the next seed has one there.
// Numbers that did not change between the revisions are the site's
// unmodified pages: a request with If-Modified-Since gets 304 for them.
// Pure: safe from any thread.
#pragma once

#include "tools/kbsite/SiteModel.h"

namespace velt::kbsite {

Article RevisedArticle(const SiteModel& model, int number, int revision);

// Whether the article differs from revision 1's.
bool ChangedInRevision(const SiteModel& model, int number, int revision);

}  // namespace velt::kbsite
