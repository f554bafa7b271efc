// The hits of a search as a table for other programs: CSV, TSV or JSON,
// each with the columns KBID, URL, TITLE, DESCRIPTION and KEYWORDS and one
// record per hit in the listed order. All three are UTF-8.
//
// - CSV as RFC 4180 has it: a header row, CR LF after every row, a field
//   holding a comma, a double quote, CR or LF enclosed in double quotes
//   with inner double quotes doubled. It starts with the UTF-8 byte-order
//   mark, without which a spreadsheet takes the file for the local code
//   page and garbles the Japanese text.
// - TSV: the same with a tab between the fields, LF after every row and no
//   byte-order mark; a field holding a tab, a double quote, CR or LF is
//   quoted as in CSV (the tab dialect that spreadsheets and Python's csv
//   module read).
// - In CSV and TSV a field that begins with "=", "+", "-", "@", a tab or a
//   carriage return gets a leading "'", so that a spreadsheet shows a
//   crawled title as text instead of running it as a formula.
// - JSON: an array of objects, one per hit, the columns as string members
//   in the order above, one object per line, every value exact.
//
// Pure functions; safe on any thread.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "session/SearchHits.h"

namespace velt {

enum class HitFormat { Text, Csv, Tsv, Json };

// The format of a name: "text", "csv", "tsv" or "json".
std::optional<HitFormat> HitFormatNamed(const std::string& name);

// The hits in CSV, TSV or JSON (not Text, which is the memo's lines).
std::string FormatHits(const std::vector<ArticleHit>& hits, HitFormat format);

}  // namespace velt
