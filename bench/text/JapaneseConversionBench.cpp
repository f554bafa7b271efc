// Throughput of detection and conversion to Shift_JIS on 10 MB of
// generated Japanese page text, each beside iconv converting the same
// bytes in the same run. Ratios above 1 mean faster than iconv.
#include <iconv.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "text/jconvert.h"

namespace {

constexpr std::size_t kTextSize = 10 * 1000 * 1000;

// Pieces of article text; assembled at random into paragraphs.
const char* const kPieces[] = {
    "この資料では、", "システムの再起動後に", "エラー メッセージが表示される", "問題について説明します。",
    "対象製品: ", "すべてのバージョン", "原因", "解決方法", "回避策として、", "レジストリを変更し",
    "コンピュータを再起動してください。", "詳細については、", "関連資料を参照してください。",
    "ネットワーク接続", "ファイル共有", "印刷できない", "日本語入力", "文字化けが発生します。",
    "Windows ", "Office ", "Service Pack 2 ", "KB123456 ", "HKEY_LOCAL_MACHINE ", "(x86) ",
};

std::string GenerateUtf8Page(std::size_t approximateBytes) {
  std::mt19937 random(20240601);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(kPieces) - 1);
  std::string page = "<html><head><title>技術資料</title></head><body>\r\n";
  while (page.size() < approximateBytes) {
    page += "<p>";
    for (int i = 0; i < 12; ++i) page += kPieces[pick(random)];
    page += "</p>\r\n";
  }
  return page + "</body></html>\r\n";
}

std::string Iconv(iconv_t cd, const std::string& in) {
  std::string out(in.size() * 2 + 16, '\0');
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* src = const_cast<char*>(in.data());
  std::size_t srcLeft = in.size();
  char* dst = out.data();
  std::size_t dstLeft = out.size();
  iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv(cd, nullptr, nullptr, &dst, &dstLeft);
  out.resize(out.size() - dstLeft);
  return out;
}

std::string IconvOnce(const char* to, const char* from, const std::string& in) {
  iconv_t cd = iconv_open(to, from);
  std::string out = Iconv(cd, in);
  iconv_close(cd);
  return out;
}

// Best MB/s of several runs of `work` over `bytes` input bytes.
double MegabytesPerSecond(std::size_t bytes, const std::function<std::size_t()>& work) {
  double best = 0;
  std::size_t sink = 0;
  for (int run = 0; run < 5; ++run) {
    const auto start = std::chrono::steady_clock::now();
    sink += work();
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    best = std::max(best, bytes / 1e6 / seconds.count());
  }
  if (sink == 0) std::puts("");  // keeps the work from being optimised away
  return best;
}

void Report(const char* name, const std::string& input, const std::function<std::size_t()>& ours,
            const char* iconvFrom) {
  iconv_t cd = iconv_open("SHIFT_JIS", iconvFrom);
  const double ourRate = MegabytesPerSecond(input.size(), ours);
  const double iconvRate = MegabytesPerSecond(input.size(), [&] { return Iconv(cd, input).size(); });
  iconv_close(cd);
  std::printf("%-34s %9.1f MB/s   iconv %s->SHIFT_JIS %7.1f MB/s   ratio %6.2f\n", name, ourRate, iconvFrom,
              iconvRate, ourRate / iconvRate);
}

}  // namespace

int main() {
  const std::string utf8 = GenerateUtf8Page(kTextSize * 3 / 2);  // ~10 MB once in a two-byte encoding
  const std::string euc = IconvOnce("EUC-JP", "UTF-8", utf8);
  const std::string jis = IconvOnce("ISO-2022-JP", "UTF-8", utf8);
  const std::string sjis = IconvOnce("SHIFT_JIS", "UTF-8", utf8);
  if (velt::EucToShiftJis(euc) != sjis || velt::JisToShiftJis(jis) != sjis) {
    std::puts("conversion results differ from iconv; figures would be meaningless");
    return 1;
  }
  // The detector stops at the first telling byte; text that stays
  // undecided to its end (hiragana only) makes it read everything.
  std::string undecided;
  while (undecided.size() < kTextSize) undecided += IconvOnce("EUC-JP", "UTF-8", "これはさくらのはなです\r\n");

  std::printf("input: EUC-JP %zu bytes, JIS %zu bytes, undecided %zu bytes\n", euc.size(), jis.size(),
              undecided.size());
  Report("DetectJapaneseCode (undecided)", undecided,
         [&] { return std::size_t(velt::DetectJapaneseCode(undecided)); }, "EUC-JP");
  Report("EucToShiftJis", euc, [&] { return velt::EucToShiftJis(euc).size(); }, "EUC-JP");
  Report("JisToShiftJis", jis, [&] { return velt::JisToShiftJis(jis).size(); }, "ISO-2022-JP");
  Report("ToShiftJis (EUC-JP page)", euc, [&] { return velt::ToShiftJis(euc, velt::CodeShiftJis).size(); },
         "EUC-JP");
  Report("ToShiftJis (JIS page)", jis, [&] { return velt::ToShiftJis(jis, velt::CodeShiftJis).size(); },
         "ISO-2022-JP");
  return 0;
}
