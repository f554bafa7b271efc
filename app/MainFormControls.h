// The controls of the main window, created with their names, captions,
// places and fixed properties.
//
// Every control's objectName is its name in the window's design
// (Panel1, BtnStatus, ..., MemLog), so tests and tools can find them with
// findChild. The form owns them as Qt children; this struct only points at
// them. Main thread only.
#pragma once

class QCheckBox;
class QLabel;
class QSpinBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTabWidget;
class QWidget;

namespace velt {

class TPaintBox;
class TUpDown;

struct MainFormControls {
  QWidget* Panel1;
  QPushButton* BtnStatus;
  QPushButton* BtnVersion;
  TPaintBox* AfterShowTrigger;
  QTabWidget* PageControl1;
  QWidget* TabSheet1;
  QWidget* Panel3;
  QLabel* Label2;
  QLineEdit* EditWord;
  QPushButton* BtnSearch;
  QPlainTextEdit* MemResult;
  QSplitter* Splitter1;
  QPlainTextEdit* MemErr;
  QWidget* TabSheet2;
  QWidget* Panel2;
  QLabel* Label1;
  QLabel* Label3;
  QLineEdit* EditThreadCount;
  TUpDown* UpdnThreadCount;
  QCheckBox* ChkRetry302;
  QCheckBox* ChkRefresh;
  QSpinBox* SpinRefreshDays;
  QLabel* LblRefreshDays;
  QLabel* LblProgress;
  QListWidget* LboxThreads;
  QWidget* TabSheet3;
  QPlainTextEdit* MemLog;
};

// Creates every control on the form and lays them out.
MainFormControls BuildMainFormControls(QWidget& form);

}  // namespace velt
