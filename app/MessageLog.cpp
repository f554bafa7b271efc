#include "app/MessageLog.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <memory>

#include "about/MessageBox.h"
#include "app/FatalStop.h"
#include "app/BusyCursor.h"
#include "session/LogLine.h"

namespace velt {

QStringList PresetLogLines() {
  return {
      QStringLiteral("Microsoft Access のヘルプ"),
      QStringLiteral("「値を検索するためのワイルドカード文字の使用について」より"),
      QString(),
      QStringLiteral("* : 任意の数の文字と一致。(wh* => what,white,why,...)"),
      QStringLiteral("※ADOで接続する場合は % らしい。"),
      QStringLiteral("? : 任意の 1 文字と一致。(B?ll => ball,bell,bill,...)"),
      QStringLiteral("[ ] : 角かっこ内の任意の 1 文字と一致。(B[ae]ll => ○ ball,bell × bill)"),
      QStringLiteral("! : 角かっこ内の文字以外と一致。(b[!ae]ll => ○ bill,bull × bell)"),
      QStringLiteral("- : 範囲内の任意の文字と一致(昇順指定)。(b[a-c]d => bad,bbd,bcd)"),
      QStringLiteral("# : 任意の数字と一致。(1#3 => 103,113,123,...)"),
      QStringLiteral("ワイルドカード文字自体を検索"),
      QStringLiteral("・アスタリスク (*) => [*]"),
      QStringLiteral("・疑問符 (?) => [?]"),
      QStringLiteral("・シャープ記号 (#) => [#]"),
      QStringLiteral("・開き角かっこ ([) => [[]"),
      QStringLiteral("・ハイフン (-) => [-]"),
      QStringLiteral("・角かっこ ([]) => [[]]"),
      QString(57, QLatin1Char('=')),
  };
}

MessageLog::MessageLog(QPlainTextEdit& memo) : memo_(memo) {
  memo_.setPlainText(PresetLogLines().join('\n'));
  // The first showing brings the text cursor into view: it waits at the
  // start of the last line, where the reader starts. At the line's end it
  // would scroll the view sideways, past every line's mark and time.
  memo_.moveCursor(QTextCursor::End);
  memo_.moveCursor(QTextCursor::StartOfBlock);
  // The reader follows the log while at its end; once scrolled up, they
  // stay where they read. New lines and a first layout of the hidden tab
  // both show as a change of the bar's range, which comes before the bar's
  // value is bounded to it.
  QScrollBar* bar = memo_.verticalScrollBar();
  auto following = std::make_shared<bool>(true);
  QObject::connect(bar, &QScrollBar::valueChanged, &memo_,
                   [bar, following](int value) { *following = value == bar->maximum(); });
  QObject::connect(bar, &QScrollBar::rangeChanged, &memo_, [bar, following](int, int maximum) {
    if (*following) bar->setValue(maximum);
  });
}

MessageLog::~MessageLog() = default;

void MessageLog::WriteLog(const std::string& text, int level) {
  const std::string line = StampLogLine(text, level);
  // Written through the document rather than appendPlainText, which would
  // also bring the text cursor into view at the next showing of a hidden
  // tab and so move a reader who had scrolled up.
  QTextCursor end(memo_.document());
  end.movePosition(QTextCursor::End);
  end.insertBlock();
  end.insertText(QString::fromStdString(line));
}

void MessageLog::FatalStop() { velt::FatalStop(); }

void MessageLog::Refuse(const std::string& reason) {
  WriteLog(reason, 1);
  ShowMessageBox(reason, MbIconStop);
}

void MessageLog::ProxyRefused(const std::string& why) {
  ShowMessageBox("環境変数で指定されたプロキシを使用できないため、ダウンロードを開始しません。\n" + why, MbIconStop);
}

void MessageLog::ShowBusy(bool busy) {
  if (busy) {
    busy_ = std::make_unique<BusyCursor>();
  } else {
    busy_.reset();
  }
}

}  // namespace velt
