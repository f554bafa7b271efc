#include "app/MainFormControls.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/PaintBox.h"
#include "app/UpDown.h"
#include "session/CommandLine.h"  // kMaxRefreshDays

namespace velt {
namespace {

template <typename T, typename... Args>
T* Named(const char* name, Args&&... args) {
  T* widget = new T(std::forward<Args>(args)...);
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

// A borderless strip of fixed height whose children sit where they are put.
QFrame* Panel(const char* name, QWidget* parent, int height) {
  auto* panel = Named<QFrame>(name, parent);
  panel->setFrameShape(QFrame::NoFrame);
  panel->setFixedHeight(height);
  return panel;
}

QPushButton* Button(const char* name, const char* caption, QWidget* parent, int x, int y) {
  auto* button = Named<QPushButton>(name, QString::fromUtf8(caption), parent);
  button->setGeometry(x, y, 75, 25);
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

QLabel* Label(const char* name, const char* caption, QWidget* parent, int x, int y) {
  auto* label = Named<QLabel>(name, QString::fromUtf8(caption), parent);
  label->move(x, y);
  return label;
}

QPlainTextEdit* Memo(const char* name, QWidget* parent) {
  auto* memo = Named<QPlainTextEdit>(name, parent);
  memo->setReadOnly(true);
  return memo;
}

// Log-style memo: both scroll bars and long lines kept whole.
QPlainTextEdit* WideMemo(const char* name, QWidget* parent) {
  QPlainTextEdit* memo = Memo(name, parent);
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  return memo;
}

// A tab page whose controls stack from the top without gaps.
QVBoxLayout* TabPage(const char* name, QWidget*& page) {
  page = Named<QWidget>(name);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  return layout;
}

void BuildTopStrip(QWidget& form, QVBoxLayout& layout, MainFormControls& c) {
  c.Panel1 = Panel("Panel1", &form, 41);
  c.BtnStatus = Button("BtnStatus", "Status", c.Panel1, 8, 8);
  c.BtnVersion = Button("BtnVersion", "Version", c.Panel1, 88, 8);
  // Kept on purpose: the first paint of this small box, not a timer or the
  // show event, starts the start-up sequence, so it runs once the window
  // is really on screen.
  c.AfterShowTrigger = Named<TPaintBox>("AfterShowTrigger", c.Panel1);
  c.AfterShowTrigger->setGeometry(168, 8, 25, 25);
  layout.addWidget(c.Panel1);
}

void BuildSearchTab(MainFormControls& c) {
  QVBoxLayout* tabLayout = TabPage("TabSheet1", c.TabSheet1);

  c.Panel3 = Panel("Panel3", c.TabSheet1, 57);
  // The edit box grows with the window and the button keeps to the right edge.
  auto* entry = new QGridLayout(c.Panel3);
  entry->setContentsMargins(8, 8, 13, 8);
  entry->setHorizontalSpacing(15);
  entry->setVerticalSpacing(0);
  c.Label2 = Label("Label2", "文書番号,タイトル,説明,キーワードをLIKE検索(ワイルドカードは %)", c.Panel3, 8, 8);
  c.EditWord = Named<QLineEdit>("EditWord", QStringLiteral("%レジストリ%"), c.Panel3);
  c.EditWord->setMinimumWidth(100);
  c.BtnSearch = Button("BtnSearch", "Search", c.Panel3, 386, 24);
  c.BtnSearch->setFixedSize(75, 25);
  entry->addWidget(c.Label2, 0, 0, 1, 2);
  entry->addWidget(c.EditWord, 1, 0);
  entry->addWidget(c.BtnSearch, 1, 1);
  tabLayout->addWidget(c.Panel3);

  c.Splitter1 = Named<QSplitter>("Splitter1", Qt::Vertical, c.TabSheet1);
  c.Splitter1->setHandleWidth(5);
  c.Splitter1->setChildrenCollapsible(false);
  c.MemResult = Memo("MemResult", c.Splitter1);
  c.MemResult->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  c.MemErr = WideMemo("MemErr", c.Splitter1);
  c.MemErr->setMinimumHeight(20);
  c.Splitter1->addWidget(c.MemResult);
  c.Splitter1->addWidget(c.MemErr);
  c.Splitter1->setStretchFactor(0, 1);
  c.Splitter1->setStretchFactor(1, 0);
  c.Splitter1->setSizes({200, 89});
  tabLayout->addWidget(c.Splitter1, 1);
}

void BuildDownloaderTab(MainFormControls& c) {
  QVBoxLayout* tabLayout = TabPage("TabSheet2", c.TabSheet2);

  c.Panel2 = Panel("Panel2", c.TabSheet2, 49);
  c.Label1 = Label("Label1", "最大同時接続数", c.Panel2, 8, 8);
  c.Label3 = Label("Label3", "(0にすると停止)", c.Panel2, 8, 24);
  c.EditThreadCount = Named<QLineEdit>("EditThreadCount", c.Panel2);
  c.EditThreadCount->setGeometry(120, 8, 41, 21);
  c.EditThreadCount->setReadOnly(true);
  c.EditThreadCount->setMaxLength(2);
  c.EditThreadCount->setAttribute(Qt::WA_InputMethodEnabled, false);
  c.UpdnThreadCount = Named<TUpDown>("UpdnThreadCount", 0, 30, c.Panel2);
  c.UpdnThreadCount->setGeometry(161, 8, 16, 21);
  c.UpdnThreadCount->SetBuddy(c.EditThreadCount);
  c.ChkRetry302 = Named<QCheckBox>("ChkRetry302", QStringLiteral("302なページをリトライ"), c.Panel2);
  c.ChkRetry302->move(200, 8);
  c.ChkRetry302->setChecked(false);
  // Off by default, as every crawl control: a refresh fetches stored
  // articles again.
  c.ChkRefresh = Named<QCheckBox>("ChkRefresh", QStringLiteral("保存済みのページを更新確認"), c.Panel2);
  c.ChkRefresh->move(200, 27);
  c.ChkRefresh->setChecked(false);
  c.SpinRefreshDays = Named<QSpinBox>("SpinRefreshDays", c.Panel2);
  c.SpinRefreshDays->setRange(0, kMaxRefreshDays);
  c.SpinRefreshDays->setGeometry(385, 26, 56, 21);
  c.LblRefreshDays = Label("LblRefreshDays", "日前より古い", c.Panel2, 444, 29);
  tabLayout->addWidget(c.Panel2);

  // The crawl's progress, refreshed articles included, every few seconds.
  c.LblProgress = Named<QLabel>("LblProgress", QString(), c.TabSheet2);
  c.LblProgress->setWordWrap(true);
  tabLayout->addWidget(c.LblProgress);

  c.LboxThreads = Named<QListWidget>("LboxThreads", c.TabSheet2);
  c.LboxThreads->setAttribute(Qt::WA_InputMethodEnabled, false);
  tabLayout->addWidget(c.LboxThreads, 1);
}

void BuildMessagesTab(MainFormControls& c) {
  QVBoxLayout* tabLayout = TabPage("TabSheet3", c.TabSheet3);
  c.MemLog = WideMemo("MemLog", c.TabSheet3);
  c.MemLog->setAttribute(Qt::WA_InputMethodEnabled, false);
  QPalette palette = c.MemLog->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Window));
  c.MemLog->setPalette(palette);
  tabLayout->addWidget(c.MemLog);
}

}  // namespace

MainFormControls BuildMainFormControls(QWidget& form) {
  MainFormControls c{};
  auto* layout = new QVBoxLayout(&form);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  BuildTopStrip(form, *layout, c);

  c.PageControl1 = Named<QTabWidget>("PageControl1", &form);
  BuildSearchTab(c);
  BuildDownloaderTab(c);
  BuildMessagesTab(c);
  c.PageControl1->addTab(c.TabSheet1, QStringLiteral("検索"));
  c.PageControl1->addTab(c.TabSheet2, QStringLiteral("ダウンローダ"));
  c.PageControl1->addTab(c.TabSheet3, QStringLiteral("メッセージ"));
  c.PageControl1->setCurrentIndex(0);
  layout->addWidget(c.PageControl1, 1);
  return c;
}

}  // namespace velt
