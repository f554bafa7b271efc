#include "tools/kbsite/SiteRevision.h"

namespace velt::kbsite {

Article RevisedArticle(const SiteModel& model, int number, int revision) {
  Article article = model.ArticleFor(number);
  if (revision < 2) return article;
  if (article.status == 200 && number % 10 == 3) {
    article.title += " (改訂)";
  } else if (article.status == 200 && number % 25 == 7) {
    article = Article{};
    article.number = number;
    article.status = number % 50 == 7 ? 302 : 404;
  } else if (article.status == 302 && number % 4 == 1) {
    const Article added = SiteModel(model.seed() + 1).ArticleFor(number);
    if (added.status == 200) article = added;
  }
  return article;
}

bool ChangedInRevision(const SiteModel& model, int number, int revision) {
  const Article first = model.ArticleFor(number);
  const Article now = RevisedArticle(model, number, revision);
  return first.status != now.status || first.title != now.title;
}

}  // namespace velt::kbsite
