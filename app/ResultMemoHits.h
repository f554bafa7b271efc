// What the user can do with the hits listed in the result memo: a
// double-click on a line of a hit, or Enter with the cursor on one, opens
// the hit's URL through the URL handler; the memo's context menu opens the
// hit under the mouse, copies its URL or all its lines, saves all hits as
// CSV (HitCsvFile.h), and copies the selection or selects all.
//
// It keeps the hits of the last search that listed any, as values beside
// the memo, and never changes the memo's text; the memo stays read-only,
// its cursor movable with the keys. A line outside every hit (the header,
// the notice after Escape, the empty line after a hit) opens nothing. Only
// http and https URLs are handed on: a file edited by other tools could
// hold any text in its URL column. Main thread only.
#pragma once

#include <QObject>
#include <vector>

#include "session/SearchHits.h"

class QPlainTextEdit;
class QPoint;

namespace velt {

class UrlHandler;

class ResultMemoHits : public QObject {
 public:
  explicit ResultMemoHits(QPlainTextEdit& memo);
  ~ResultMemoHits() override;

  // The hits that the memo now shows and which lines show each.
  void Keep(std::vector<ArticleHit> hits, std::vector<HitLines> hitLines);
  void UseUrlHandler(UrlHandler& handler) { urlHandler_ = &handler; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The hit shown on a line of the memo, or null.
  const ArticleHit* HitAt(int line) const;
  void OpenArticle(const ArticleHit& hit);
  void ShowMenu(const QPoint& globalPos, int line);

  QPlainTextEdit& memo_;
  UrlHandler* urlHandler_;
  std::vector<ArticleHit> hits_;
  std::vector<HitLines> hitLines_;
};

}  // namespace velt
