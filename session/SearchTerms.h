// The search terms typed into the search box.
//
// Full-width spaces, blanks, commas and control characters all separate
// terms; a run of them counts once. A term that begins with a double quote
// runs to the closing quote and may hold separators (a doubled quote
// inside stands for one); one whose quote never closes takes the rest of
// the text. Each term is trimmed of blanks and control characters (so a
// comma at either end of a quoted term goes, one inside stays), empty
// terms are dropped, and the rest are sorted by their case-folded
// characters (Unicode case folding, whatever the locale), a term equal to
// an earlier one apart from letter case being dropped. Width and kana type
// count: "XP" and "ｘｐ" are two terms, "ＸＰ" and "ｘｐ" one.
//
// Pure function; safe on any thread.
#pragma once

#include <QString>
#include <string>
#include <vector>

namespace velt {

std::vector<std::string> ParseSearchTerms(const QString& input);

}  // namespace velt
