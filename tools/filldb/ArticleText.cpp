#include "tools/filldb/ArticleText.h"

#include <cstdio>

namespace velt::filldb {

namespace {

// Word pieces. No katakana piece holds "ボ", so the rare search's first
// word never turns up by chance.
const std::vector<std::string> kCommonWords = {
    "レジストリ", "ファイル",   "サーバー", "設定",       "接続",         "エラー",     "メッセージ",
    "インストール", "更新",     "ネットワーク", "データベース", "プログラム", "アプリケーション", "ドライバ",
    "ユーザー", "パスワード",   "セキュリティ", "メール",   "印刷",         "表示",       "起動",
    "終了",     "ダウンロード", "修正プログラム", "問題",   "現象",         "原因",       "対処方法",
    "詳細",     "状況",         "回避策",   "構成",       "管理者",       "アカウント", "ドメイン"};
const std::vector<std::string> kKana = {
    "ア", "イ", "ウ", "エ", "オ", "カ", "キ", "ケ", "コ", "サ", "シ", "ス", "セ", "ソ", "タ", "チ", "ツ",
    "テ", "ト", "ナ", "ニ", "ネ", "ノ", "ハ", "ヒ", "フ", "ヘ", "ホ", "マ", "ミ", "ム", "メ", "モ", "ヤ",
    "ユ", "ヨ", "ラ", "リ", "ル", "レ", "ロ", "ワ", "ン", "ガ", "ギ", "グ", "ゲ", "ゴ", "ザ", "ジ", "ズ",
    "ゼ", "ダ", "デ", "ド", "バ", "ビ", "ブ", "ベ", "パ", "ピ", "プ", "ペ", "ポ", "ー"};
const std::vector<std::string> kKanji = {
    "日", "本", "語", "文", "書", "番", "号", "題", "説", "明", "検", "索", "記", "事", "情", "報", "機",
    "能", "画", "面", "操", "作", "手", "順", "方", "法", "場", "合", "時", "間", "期", "限", "容", "量",
    "不", "足", "正", "常", "異", "動", "作", "成", "削", "除", "追", "加", "変", "換", "保", "存", "読",
    "込", "送", "信", "受", "実", "行", "停", "止", "開", "始", "完", "了", "確", "認", "選", "択", "入",
    "力", "出", "既", "定", "値", "無", "効", "有", "効", "制", "御", "環", "境", "共", "有", "権"};
const std::vector<std::string> kParticles = {"の", "を", "に", "は", "が", "で", "と", "から", "について",
                                             "する", "した", "される", "できない", "ます"};
const std::vector<std::string> kTags = {"kbhowto", "kbinfo", "kbbug", "kbfix", "kbenv", "kbsetup",
                                        "kbnetwork", "kbtshoot", "kbui", "kbdatabase"};

constexpr char kBaseUrl[] = "http://localhost/default.aspx?scid=kb;ja;";

std::size_t CountChars(const std::string& utf8) {
  std::size_t count = 0;
  for (unsigned char c : utf8) count += (c & 0xC0) != 0x80 ? 1 : 0;
  return count;
}

std::string Stamp(int kbid, int seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "202401%02d%02d%02d%02d", 1 + kbid % 28, (kbid / 28) % 24, (kbid / 7) % 60,
                seconds % 60);
  return text;
}

}  // namespace

const PlantedSearch& RareSearch() {
  static const PlantedSearch search{{"%ボルテクス%", "%転送キュー%"}, 36000, 17, "ボルテクス", "転送キュー", 1000};
  return search;
}

const PlantedSearch& CommonSearch() {
  static const PlantedSearch search{{"%クォンタム%", "%同期%"}, 70, 5, "クォンタム", "同期", 10000};
  return search;
}

std::string ArticleGenerator::Word() {
  const std::uint32_t kind = Pick(4);
  if (kind < 2) return kCommonWords[Pick(kCommonWords.size())];
  std::string word;
  if (kind == 2) {
    for (std::uint32_t n = 3 + Pick(4); n > 0; --n) word += kKana[Pick(kKana.size())];
  } else {
    for (std::uint32_t n = 2 + Pick(2); n > 0; --n) word += kKanji[Pick(kKanji.size())];
  }
  return word;
}

std::string ArticleGenerator::Sentence(std::size_t minChars) {
  std::string text;
  while (CountChars(text) < minChars) {
    text += Word() + kParticles[Pick(kParticles.size())];
    if (Pick(8) == 0) text += "。";
  }
  return text + "。";
}

std::string ArticleGenerator::Keywords() {
  std::string text;
  for (std::uint32_t n = 3 + Pick(3); n > 0; --n) text += std::string(kTags[Pick(kTags.size())]) + " ";
  for (std::uint32_t n = 8 + Pick(8); n > 0; --n) text += Word() + ";";
  return text;
}

ArticleRow ArticleGenerator::Next() {
  ArticleRow row;
  const int kbid = next_++;
  row.kbid = std::to_string(kbid);
  row.url = kBaseUrl + row.kbid;
  row.getBegin = Stamp(kbid, 0);
  row.getEnd = Stamp(kbid, 1);
  const std::uint32_t roll = Pick(100);
  if (roll >= 80) {
    static const int kOtherCodes[] = {404, 500, 403};
    row.resCode = roll < 95 ? 302 : kOtherCodes[Pick(3)];
    return row;  // the texts stay empty, as a worker stores them
  }
  row.resCode = 200;
  row.title = Sentence(18 + Pick(20));
  row.description = Sentence(200 + Pick(100));
  row.keywords = Keywords();
  row.kbParents = std::to_string(100000 + Pick(900000)) + ";" + std::to_string(100000 + Pick(900000));
  const int index = existing_++;
  for (const PlantedSearch* search : {&RareSearch(), &CommonSearch()}) {
    int& hits = search == &RareSearch() ? rareHits_ : commonHits_;
    if (index % search->interval != search->offset || hits == search->limit) continue;
    row.title = search->first + "の" + row.title;
    row.description += search->second + "を確認します。";
    ++hits;
  }
  return row;
}

}  // namespace velt::filldb
