// The search as the user sees it: what the two memos show after a search
// with hits, without hits, with a rejected pattern and after Escape.
#include <gmock/gmock.h>

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>

#include "app/ArticleSearch.h"
#include "tests/app/GuiTestSupport.h"

namespace velt::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::SizeIs;

const std::string kHyphens(50, '-');
const std::string kUrl = "http://kb.example.test/default.aspx?scid=kb;ja;";

class ArticleSearchTest : public StartedWindow {
 protected:
  void SetUp() override {
    StartedWindow::SetUp();
    Exec("INSERT INTO VELTINDEX(KBID,URL,RESCODE,TITLE,DESCRIPTION,KEYWORDS) VALUES(\"100001\",\"" + kUrl +
         "100001\",200,\"レジストリの編集\",NULL,\"reg\")");
    Exec("INSERT INTO VELTINDEX(KBID,URL,RESCODE,TITLE,DESCRIPTION,KEYWORDS) VALUES(\"100002\",\"" + kUrl +
         "100002\",200,\"別の記事\",\"レジストリ\",\"\")");
    Exec("INSERT INTO VELTINDEX(KBID,URL,RESCODE,TITLE) VALUES(\"100003\",\"" + kUrl + "100003\",404,\"レジストリ\")");
    Exec("INSERT INTO VELTINDEX(KBID,URL,RESCODE,TITLE) VALUES(\"100004\",\"" + kUrl + "100004\",200,\"関係なし\")");
  }

  void Search(const char* input) {
    Control<QLineEdit>("EditWord").setText(QString::fromUtf8(input));
    Control<QPushButton>("BtnSearch").click();
  }

  std::vector<std::string> Result() { return MemoLines(Control<QPlainTextEdit>("MemResult")); }
  std::vector<std::string> Err() { return MemoLines(Control<QPlainTextEdit>("MemErr")); }

  void PressEscapeIn(QWidget& widget, bool release) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
    if (!release) return;
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&widget, &up);
  }

  const std::vector<std::string> firstHit_ = {"100001", kUrl + "100001", "レジストリの編集", "reg", ""};
  const std::vector<std::string> secondHit_ = {"100002", kUrl + "100002", "別の記事", "レジストリ", ""};
};

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST_F(ArticleSearchTest, HitsThenRejectedPatternKeepsThemThenNoHitClearsThem) {
  Search("%レジストリ%");
  const std::vector<std::string> hits =
      Concat({{kHyphens, "[2 件] ヒットしました。", kHyphens}, firstHit_, secondHit_});
  EXPECT_THAT(Result(), ElementsAreArray(hits));
  EXPECT_THAT(Err(), ElementsAre("SELECT KBID,URL,TITLE,DESCRIPTION,KEYWORDS FROM VELTINDEXV WHERE "
                                 "(LEFT(KBID&URL&TITLE&DESCRIPTION&KEYWORDS,5000) LIKE \"%レジストリ%\")",
                                 "ESCキーで中断できます。"));

  Search("[abc");
  EXPECT_THAT(Result(), ElementsAreArray(hits));
  ASSERT_THAT(Err(), SizeIs(1));
  EXPECT_THAT(Err()[0], ::testing::Not(::testing::IsEmpty()));
  EXPECT_THAT(Err()[0], ::testing::Not(::testing::HasSubstr("ESCキー")));

  Search("%存在しない%");
  EXPECT_THAT(Result(), ElementsAre(kHyphens, "[0 件] ヒットしました。", kHyphens));
  EXPECT_THAT(Err(), SizeIs(2));
}

TEST_F(ArticleSearchTest, APressAndReleaseBeforeTheSearchDoNotStopIt) {
  PressEscapeIn(Control<QLineEdit>("EditWord"), true);
  Search("%レジストリ%");
  EXPECT_THAT(Result(), SizeIs(3 + firstHit_.size() + secondHit_.size()));
}

TEST_F(ArticleSearchTest, EscapeHeldDownStopsEverySearchUntilReleased) {
  PressEscapeIn(Control<QLineEdit>("EditWord"), false);
  Search("%レジストリ%");
  Search("%レジストリ%");
  EXPECT_THAT(Result(), SizeIs(5 + firstHit_.size()));
  QKeyEvent up(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(&Control<QLineEdit>("EditWord"), &up);
  Search("%レジストリ%");
  EXPECT_THAT(Result(), SizeIs(3 + firstHit_.size() + secondHit_.size()));
}

TEST_F(ArticleSearchTest, EscapeInAnotherWindowDoesNotCount) {
  QWidget other;
  PressEscapeIn(other, true);
  Search("%レジストリ%");
  EXPECT_THAT(Result(), SizeIs(3 + firstHit_.size() + secondHit_.size()));
}

TEST_F(ArticleSearchTest, EscapeDuringTheListingStopsAfterTheCurrentRow) {
  Exec("INSERT INTO VELTINDEX(KBID,URL,RESCODE,TITLE) VALUES(\"100005\",\"" + kUrl + "100005\",200,\"レジストリ\")");
  int asked = 0;
  RunArticleSearch("%レジストリ%", Control<QPlainTextEdit>("MemResult"), Control<QPlainTextEdit>("MemErr"),
                   [&asked] { return ++asked == 2; });
  EXPECT_EQ(asked, 2);
  EXPECT_THAT(Result(), ElementsAreArray(Concat(
                            {{kHyphens, "[2 件] ヒットしました。", kHyphens, "※中断しました", ""}, firstHit_, secondHit_})));
}

// Input queued behind the click reaches the window only during the
// search, as a press made while it runs would on any window system.
TEST_F(ArticleSearchTest, APressDuringTheSearchStopsItOnceAndNothingElseStartsInside) {
  auto& button = Control<QPushButton>("BtnSearch");
  int clicks = 0;
  QObject::connect(&button, &QPushButton::clicked, [&clicks] { ++clicks; });
  QWidget& box = Control<QLineEdit>("EditWord");
  QCoreApplication::postEvent(&box, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
  QCoreApplication::postEvent(&box, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier));
  const QPointF centre = QRectF(button.rect()).center();
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
    QCoreApplication::postEvent(&button, new QMouseEvent(type, centre, button.mapToGlobal(centre), Qt::LeftButton,
                                                         Qt::LeftButton, Qt::NoModifier));
  Search("%レジストリ%");
  EXPECT_THAT(Result(), SizeIs(5 + firstHit_.size()));
  EXPECT_EQ(clicks, 1);

  Search("%レジストリ%");
  EXPECT_THAT(Result(), SizeIs(3 + firstHit_.size() + secondHit_.size()));
}

// Closing the window during a search stops it as Escape does; the window
// closes once the search has ended.
TEST_F(ArticleSearchTest, ClosingTheWindowStopsTheSearchThenCloses) {
  QCoreApplication::postEvent(form_.get(), new QCloseEvent);
  Search("%レジストリ%");
  EXPECT_THAT(Result(), SizeIs(5 + firstHit_.size()));
  EXPECT_FALSE(form_->isVisible());
}

// The statement shown is the same whatever the user's locale.
TEST_F(ArticleSearchTest, AJapaneseLocaleRunsTheSameStatementAsC) {
  const char* input = "ﾃﾞｨｽｸ ディスク ＸＰ xp でぃすく XP";
  std::vector<std::vector<std::string>> shown;
  for (const char* locale : {"ja_JP", "C"}) {
    QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
    Search(input);
    shown.push_back(Err());
  }
  QLocale::setDefault(QLocale::system());
  EXPECT_EQ(shown[0], shown[1]);
  EXPECT_THAT(shown[1], SizeIs(2));
}

TEST_F(ArticleSearchTest, EnterInTheSearchBoxStartsNothing) {
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(&Control<QLineEdit>("EditWord"), &enter);
  QApplication::processEvents();
  EXPECT_TRUE(Control<QPlainTextEdit>("MemErr").toPlainText().isEmpty());
  EXPECT_TRUE(Control<QPlainTextEdit>("MemResult").toPlainText().isEmpty());
}

}  // namespace
}  // namespace velt::test
