#include "tests/app/CrawlingWindow.h"

#include <QToolButton>
#include <thread>

#include "app/UpDown.h"

namespace velt::test {

ResCodes ReadResCodes(TDatabase& database) {
  ResCodes rows;
  Recordset rs;
  std::string error;
  EXPECT_TRUE(database.OpenQuery("SELECT KBID,RESCODE FROM VELTINDEX", rs, error)) << error;
  if (!rs.IsAssigned()) return rows;
  for (; !database.Eof(rs); database.Next(rs)) {
    const Variant code = database.FieldByName(rs, "RESCODE");
    rows[database.FieldByName(rs, "KBID").AsText()] =
        code.IsNull() ? std::nullopt : std::optional<long long>(code.AsInteger());
  }
  database.CloseQuery(rs);
  return rows;
}

int ArticleNumber(const std::string& urlOrKbid) { return std::stoi(urlOrKbid.substr(urlOrKbid.size() - 6)); }

bool ServeEventsUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

void ServeEventsFor(std::chrono::milliseconds time) {
  ServeEventsUntil([] { return false; }, time);
}

WorkerListWatch::WorkerListWatch(QListWidget& list) {
  QAbstractItemModel* model = list.model();
  connections_.push_back(
      QObject::connect(model, &QAbstractItemModel::rowsInserted, [this, &list](const QModelIndex&, int first, int last) {
        for (int row = first; row <= last; ++row) added_.push_back(list.item(row)->text().toStdString());
        mostLines_ = std::max(mostLines_, list.count());
        if (list.count() > limit_) overLimit_.push_back(list.count());
      }));
  connections_.push_back(QObject::connect(model, &QAbstractItemModel::rowsAboutToBeRemoved,
                                          [this](const QModelIndex&, int first, int last) {
                                            removed_ += last - first + 1;
                                          }));
}

WorkerListWatch::~WorkerListWatch() {
  // The list may be gone with its window; a dead connection disconnects
  // as a no-op.
  for (const auto& connection : connections_) QObject::disconnect(connection);
}

void CrawlingWindow::SetUp() {
  StartedWindow::SetUp();
  watch_ = std::make_unique<WorkerListWatch>(Control<QListWidget>("LboxThreads"));
}

void CrawlingWindow::TearDown() {
  if (form_) CloseWindow();
  watch_.reset();
  site_.reset();
}

void CrawlingWindow::StartSite(std::chrono::milliseconds latency) {
  site_ = std::make_unique<kbsite::SiteProcess>(
      std::vector<std::string>{"--latency-ms", std::to_string(latency.count())});
}

void CrawlingWindow::SetThreadCount(int position) {
  auto& updown = Control<TUpDown>("UpdnThreadCount");
  QToolButton* up = nullptr;
  QToolButton* down = nullptr;
  for (QToolButton* button : updown.findChildren<QToolButton*>()) {
    (button->arrowType() == Qt::UpArrow ? up : down) = button;
  }
  ASSERT_TRUE(up && down);
  for (int clicks = 0; clicks < 31 && updown.Position() != position; ++clicks) {
    (updown.Position() < position ? up : down)->click();
  }
  ASSERT_EQ(updown.Position(), position);
}

ResCodes CrawlingWindow::WindowRows() {
  CriticalSectionGuard hold(DatabaseLock);
  return ReadResCodes(*Database);
}

void CrawlingWindow::CloseWindow() {
  form_->close();
  form_.reset();
}

}  // namespace velt::test
