#include "tools/kbsite/SiteModel.h"

#include <array>
#include <span>
#include <string_view>

namespace velt::kbsite {
namespace {

// A small deterministic generator; each article draws from its own stream.
class Draw {
 public:
  Draw(std::uint32_t seed, int number)
      : state_((static_cast<std::uint64_t>(seed) << 32) ^ static_cast<std::uint64_t>(number)) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  int Below(int bound) { return static_cast<int>(Next() % static_cast<std::uint64_t>(bound)); }
  bool OneIn(int n) { return Below(n) == 0; }
  std::string_view Pick(std::span<const std::string_view> pool) {
    return pool[static_cast<std::size_t>(Below(static_cast<int>(pool.size())))];
  }

 private:
  std::uint64_t state_;
};

// Common JIS X 0208 words: every one survives Shift_JIS, EUC-JP and
// ISO-2022-JP unchanged.
constexpr std::array<std::string_view, 24> kWords = {
    "サーバー", "設定", "エラー", "メッセージ", "表示", "方法", "場合", "発生",
    "問題", "修正", "情報", "接続", "ファイル", "印刷", "起動", "更新",
    "削除", "日本語", "文字化け", "データベース", "ネットワーク", "管理者", "手順", "原因"};
constexpr std::array<std::string_view, 8> kAsciiWords = {
    "Velt", "Server", "Driver", "Update", "API", "SQL", "HTTP", "Setup"};
constexpr std::array<std::string_view, 6> kHalfWidthWords = {
    "ｻｰﾊﾞｰ", "ﾌｧｲﾙ", "ﾃﾞｰﾀ", "ｴﾗｰ", "ﾊﾟｽﾜｰﾄﾞ", "ｶﾞｲﾄﾞ"};
// Characters that code page 932 lacks; only UTF-8 pages carry them.
constexpr std::array<std::string_view, 4> kForeignWords = {"café", "한글", "€100", "Grüße"};
constexpr std::array<std::string_view, 4> kEndings = {"について", "の解決方法", "が発生する", "を行う手順"};

struct CharsetChoice {
  PageEncoding encoding;
  std::string_view label;
};
constexpr std::array<CharsetChoice, 16> kCharsets = {{
    {PageEncoding::ShiftJis, "Shift_JIS"}, {PageEncoding::ShiftJis, "shift_jis"},
    {PageEncoding::ShiftJis, "SHIFT_JIS"}, {PageEncoding::ShiftJis, "sHiFt_JiS"},
    {PageEncoding::EucJp, "EUC-JP"},       {PageEncoding::EucJp, "euc-jp"},
    {PageEncoding::EucJp, "Euc-Jp"},       {PageEncoding::Iso2022Jp, "ISO-2022-JP"},
    {PageEncoding::Iso2022Jp, "iso-2022-jp"}, {PageEncoding::Utf8, "UTF-8"},
    {PageEncoding::Utf8, "utf-8"},         {PageEncoding::Utf8, "Utf-8"},
    {PageEncoding::Utf8, "uTF-8"},         {PageEncoding::ShiftJis, ""},
    {PageEncoding::Iso2022Jp, ""},         {PageEncoding::Iso2022Jp, ""},
}};

int StatusFor(Draw& draw) {
  const int roll = draw.Below(100);
  if (roll < 80) return 200;
  if (roll < 94) return 302;
  if (roll < 97) return 404;
  return 500;
}

std::string Phrase(Draw& draw, const Article& article) {
  const bool halfWidthAllowed =
      article.encoding != PageEncoding::Iso2022Jp && !article.charset.empty();
  std::string text(draw.Pick(kWords));
  if (halfWidthAllowed && draw.OneIn(4)) {
    text += draw.Pick(kHalfWidthWords);
  } else if (article.encoding == PageEncoding::Utf8 && draw.OneIn(3)) {
    text += " ";
    text += draw.Pick(kForeignWords);
  } else {
    text += draw.Pick(kWords);
  }
  return text;
}

std::string TitleFor(Draw& draw, const Article& article) {
  std::string title = "[" + std::to_string(article.number) + "] ";
  if (draw.OneIn(5)) {
    title += "\"" + std::string(draw.Pick(kAsciiWords)) + "\" ";
  } else {
    title += std::string(draw.Pick(kAsciiWords)) + " ";
  }
  title += Phrase(draw, article);
  if (draw.OneIn(5)) title += " & " + std::string(draw.Pick(kWords));
  title += draw.Pick(kEndings);
  return title;
}

}  // namespace

const char* EncodingName(PageEncoding encoding) {
  switch (encoding) {
    case PageEncoding::ShiftJis: return "Shift_JIS";
    case PageEncoding::EucJp: return "EUC-JP";
    case PageEncoding::Iso2022Jp: return "ISO-2022-JP";
    case PageEncoding::Utf8: return "UTF-8";
  }
  return "";
}

Article SiteModel::ArticleFor(int number) const {
  Article article;
  article.number = number;
  if (number < kFirstArticle || number > kLastArticle) {
    article.status = 404;
    return article;
  }
  Draw draw(seed_, number);
  article.status = StatusFor(draw);
  if (article.status != 200) return article;

  const CharsetChoice& choice = kCharsets[static_cast<std::size_t>(draw.Below(kCharsets.size()))];
  article.encoding = choice.encoding;
  article.charset = std::string(choice.label);
  article.charsetInHeader = !article.charset.empty() && !draw.OneIn(4);
  article.titleSplit = draw.OneIn(6);
  article.title = TitleFor(draw, article);
  article.description = Phrase(draw, article) + "の" + Phrase(draw, article) +
                        std::string(draw.Pick(kEndings)) + "。";
  article.keywords = "kbid" + std::to_string(number) + "," + std::string(draw.Pick(kAsciiWords)) +
                     "," + std::string(draw.Pick(kWords));
  article.kbParents = std::to_string(1000 + number % 97) + "," + std::to_string(2000 + draw.Below(50));
  return article;
}

}  // namespace velt::kbsite
