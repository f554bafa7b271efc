#include "app/WorkerList.h"

#include <QListWidget>
#include <QPainter>

namespace velt {
namespace {

constexpr int kWorkerRole = Qt::UserRole;

}  // namespace

void WorkerRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
  const bool selected = option.state & QStyle::State_Selected;
  painter->save();
  painter->fillRect(option.rect, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
  painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
  const QRect textRect = option.rect.adjusted(2, 0, 0, 0);
  painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                    index.data(Qt::DisplayRole).toString());
  painter->restore();
}

QSize WorkerRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  return {QStyledItemDelegate::sizeHint(option, index).width(), kRowHeight};
}

WorkerList::WorkerList(QListWidget& list) : list_(list) {
  list_.setItemDelegate(new WorkerRowDelegate(&list_));
  list_.setUniformItemSizes(true);
}

void WorkerList::Add(const std::string& url, const void* worker) {
  auto* item = new QListWidgetItem(QString::fromStdString(url));
  item->setData(kWorkerRole, QVariant::fromValue(reinterpret_cast<quintptr>(worker)));
  list_.addItem(item);
}

void WorkerList::Remove(const void* worker) {
  const auto key = reinterpret_cast<quintptr>(worker);
  for (int row = 0; row < list_.count(); ++row) {
    if (list_.item(row)->data(kWorkerRole).value<quintptr>() == key) {
      delete list_.takeItem(row);
      return;
    }
  }
}

int WorkerList::Count() const { return list_.count(); }

}  // namespace velt
