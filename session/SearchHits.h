// The hits of one search as values, and the lines of the result memo that
// show them.
//
// A hit keeps its five columns as read (UTF-8, null as empty) so the
// window can open, copy and save them without parsing the memo's text
// back. ListingLines writes the memo's lines exactly as the search always
// has: the hit count between two lines of 50 hyphens, the notice and an
// empty line after a search broken off by Escape, then each hit's
// non-empty values, one per line, each hit followed by an empty line.
// Beside the lines it records which memo lines (text blocks, counted as
// the memo counts them: a value holding line breaks spans several) show
// each hit; the header, the notice and the empty line after a hit belong
// to no hit.
//
// Pure functions; safe on any thread.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <string>
#include <vector>

namespace velt {

struct ArticleHit {
  std::string kbid, url, title, description, keywords;

  // The columns in the order the search lists and exports them.
  static constexpr std::array<const char*, 5> ColumnNames = {"KBID", "URL", "TITLE", "DESCRIPTION", "KEYWORDS"};
  std::array<const std::string*, 5> Columns() const { return {&kbid, &url, &title, &description, &keywords}; }
  std::array<std::string*, 5> Columns() { return {&kbid, &url, &title, &description, &keywords}; }
};

// The memo lines [first, first + count) of one hit.
struct HitLines {
  int first = 0;
  int count = 0;
};

struct HitListing {
  QStringList lines;
  std::vector<HitLines> hitLines;  // one per hit, in the hits' order
};

// The lines that show one hit: its non-empty values in column order.
QStringList ShownValues(const ArticleHit& hit);

HitListing ListingLines(const std::vector<ArticleHit>& hits, bool brokenOff);

// The index of the hit that memo line `line` shows, or -1.
int HitAtLine(const std::vector<HitLines>& hitLines, int line);

}  // namespace velt
