#include "app/ResultMemoHits.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QUrl>
#include <optional>

#include "about/MessageBox.h"
#include "app/HitCsvFile.h"
#include "app/UrlHandler.h"

namespace velt {
namespace {

bool IsWebAddress(const std::string& url) {
  const QUrl parsed(QString::fromStdString(url), QUrl::StrictMode);
  return parsed.isValid() && (parsed.scheme() == QLatin1String("http") || parsed.scheme() == QLatin1String("https"));
}

}  // namespace

ResultMemoHits::ResultMemoHits(QPlainTextEdit& memo)
    : memo_(memo), urlHandler_(&DesktopUrlHandler()) {
  // Enter opens the line under the cursor, so the keys must move it.
  memo_.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  memo_.installEventFilter(this);
  memo_.viewport()->installEventFilter(this);
}

ResultMemoHits::~ResultMemoHits() = default;

void ResultMemoHits::Keep(std::vector<ArticleHit> hits, std::vector<HitLines> hitLines) {
  hits_ = std::move(hits);
  hitLines_ = std::move(hitLines);
}

const ArticleHit* ResultMemoHits::HitAt(int line) const {
  const int index = HitAtLine(hitLines_, line);
  return index < 0 ? nullptr : &hits_[static_cast<size_t>(index)];
}

bool ResultMemoHits::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonDblClick: {
      const auto* click = static_cast<QMouseEvent*>(event);
      if (watched != memo_.viewport() || click->button() != Qt::LeftButton) break;
      const ArticleHit* hit = HitAt(memo_.cursorForPosition(click->position().toPoint()).blockNumber());
      if (!hit) break;
      OpenArticle(*hit);
      return true;
    }
    case QEvent::KeyPress: {
      const int key = static_cast<QKeyEvent*>(event)->key();
      const ArticleHit* hit = HitAt(memo_.textCursor().blockNumber());
      if ((key != Qt::Key_Return && key != Qt::Key_Enter) || !hit) break;
      OpenArticle(*hit);
      return true;
    }
    case QEvent::ContextMenu: {
      const auto* request = static_cast<QContextMenuEvent*>(event);
      const bool byMouse = request->reason() == QContextMenuEvent::Mouse && watched == memo_.viewport();
      const QTextCursor at = byMouse ? memo_.cursorForPosition(request->pos()) : memo_.textCursor();
      ShowMenu(request->globalPos(), at.blockNumber());
      return true;
    }
    default:
      break;
  }
  return false;
}

void ResultMemoHits::OpenArticle(const ArticleHit& hit) {
  if (!IsWebAddress(hit.url)) {
    ShowMessageBox("この記事のURLは開けません。\n" + hit.url, MbIconStop);
  } else if (!urlHandler_->Open(hit.url)) {
    ShowMessageBox("ブラウザで記事を開けませんでした。\n" + hit.url, MbIconStop);
  }
}

void ResultMemoHits::ShowMenu(const QPoint& globalPos, int line) {
  // Copies: the menu runs the event loop, and the window's hits with it.
  const ArticleHit* shown = HitAt(line);
  const std::optional<ArticleHit> hit = shown ? std::optional(*shown) : std::nullopt;
  const std::vector<ArticleHit> hits = hits_;
  QMenu menu(&memo_);
  QAction* open = menu.addAction(QStringLiteral("記事を開く(&O)"));
  QAction* copyUrl = menu.addAction(QStringLiteral("URLをコピー(&U)"));
  QAction* copyHit = menu.addAction(QStringLiteral("ヒットをコピー(&H)"));
  for (QAction* action : {open, copyUrl, copyHit}) action->setEnabled(hit.has_value());
  menu.addSeparator();
  QAction* save = menu.addAction(QStringLiteral("すべてのヒットをCSVで保存(&S)..."));
  save->setEnabled(!hits.empty());
  menu.addSeparator();
  QAction* copy = menu.addAction(QStringLiteral("コピー(&C)"));
  copy->setShortcut(QKeySequence::Copy);
  copy->setEnabled(memo_.textCursor().hasSelection());
  QAction* selectAll = menu.addAction(QStringLiteral("すべて選択(&A)"));
  selectAll->setShortcut(QKeySequence::SelectAll);

  QAction* chosen = menu.exec(globalPos);
  if (chosen == open) {
    OpenArticle(*hit);
  } else if (chosen == copyUrl) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(hit->url));
  } else if (chosen == copyHit) {
    QGuiApplication::clipboard()->setText(ShownValues(*hit).join(QLatin1Char('\n')));
  } else if (chosen == save) {
    SaveHitsAsCsv(*memo_.window(), hits);
  } else if (chosen == copy) {
    memo_.copy();
  } else if (chosen == selectAll) {
    memo_.selectAll();
  }
}

}  // namespace velt
