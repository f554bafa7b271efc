#include "app/ArticleSearch.h"

#include <QPlainTextEdit>

#include "app/BusyCursor.h"
#include "session/ArticleListing.h"
#include "store/DatabaseIO.h"

namespace velt {
namespace {

// Keeps a widget from redrawing until the scope ends.
class UpdatesSuspended {
 public:
  explicit UpdatesSuspended(QWidget& widget) : widget_(widget) { widget_.setUpdatesEnabled(false); }
  ~UpdatesSuspended() { widget_.setUpdatesEnabled(true); }

 private:
  QWidget& widget_;
};

}  // namespace

void RunArticleSearch(const QString& input, QPlainTextEdit& memResult, QPlainTextEdit& memErr,
                      const std::function<bool()>& escPressed) {
  BusyCursor busy;
  CriticalSectionGuard hold(DatabaseLock);
  UpdatesSuspended frozen(memResult);
  const ArticleListing listing = ListArticles(input, escPressed);
  if (!listing.ok) {
    memErr.setPlainText(listing.error);
    return;
  }
  memErr.setPlainText(QString::fromStdString(listing.sql) + QStringLiteral("\nESCキーで中断できます。"));
  memResult.setPlainText(listing.lines.join(QLatin1Char('\n')));
}

}  // namespace velt
