// The list of running download workers (LboxThreads).
//
// One line per worker: its URL as text and the worker itself as the
// item's attached object. Lines are added and removed only by the
// workers' main-thread steps; the count is the number of running workers.
// Rows are 16 pixels high and show their text as is ("&" included).
// Main thread only.
#pragma once

#include <QStyledItemDelegate>
#include <string>

class QListWidget;

namespace velt {

// Draws one fixed-height row: the background (highlight when selected)
// and the text on one line, vertically centred, 2 pixels from the left.
class WorkerRowDelegate : public QStyledItemDelegate {
 public:
  static constexpr int kRowHeight = 16;
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

class WorkerList {
 public:
  // Installs the row delegate on the list.
  explicit WorkerList(QListWidget& list);

  void Add(const std::string& url, const void* worker);
  // Removes the first line attached to the worker; no line, no change.
  void Remove(const void* worker);
  int Count() const;

 private:
  QListWidget& list_;
};

}  // namespace velt
