// The sample knowledge base: what the site answers for each article number.
//
// Every value is a pure function of the seed and the article number, so a
// test can compute what the site served without reading its output. Most
// numbers exist (200); some are absent (302); a few answer 404 or 500.
// Existing articles come in Shift_JIS, EUC-JP, ISO-2022-JP or UTF-8, with
// the charset written in varying letter case, in the header or only in a
// meta tag, or not declared at all.
//
// The four texts are UTF-8 and are exactly what an analyser that joins
// lines and converts the page to code page 932 should find: a title split
// over two lines in the page is given here joined. UTF-8 pages may hold
// characters that code page 932 lacks; pages in the other encodings hold
// only characters it has, and ISO-2022-JP and undeclared pages hold no
// half-width katakana. Texts are empty for answers other than 200.
//
// Pure functions and immutable objects: safe from any thread.
#pragma once

#include <cstdint>
#include <string>

namespace velt::kbsite {

inline constexpr int kFirstArticle = 100000;
inline constexpr int kLastArticle = 999999;

enum class PageEncoding { ShiftJis, EucJp, Iso2022Jp, Utf8 };

struct Article {
  int number = 0;
  int status = 0;  // 200, 302, 404 or 500
  PageEncoding encoding = PageEncoding::ShiftJis;
  std::string charset;     // as the page declares it; empty when it declares none
  bool charsetInHeader = false;  // otherwise only in a meta tag of the page
  bool titleSplit = false;       // the page breaks the title over two lines
  std::string title;
  std::string description;
  std::string keywords;
  std::string kbParents;
};

class SiteModel {
 public:
  explicit SiteModel(std::uint32_t seed) : seed_(seed) {}
  std::uint32_t seed() const { return seed_; }

  // Numbers outside kFirstArticle..kLastArticle answer 404.
  Article ArticleFor(int number) const;

 private:
  std::uint32_t seed_;
};

const char* EncodingName(PageEncoding encoding);

}  // namespace velt::kbsite
