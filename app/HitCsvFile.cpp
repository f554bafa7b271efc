#include "app/HitCsvFile.h"

#include <QDir>
#include <QFileDialog>
#include <QSaveFile>

#include "about/MessageBox.h"
#include "session/HitExport.h"

namespace velt {
namespace {

// False with the reason in `error`.
bool WriteWhole(const QString& path, const std::string& bytes, QString& error) {
  QSaveFile file(path);
  const bool written = file.open(QIODevice::WriteOnly) &&
                       file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size()) &&
                       file.commit();
  if (!written) error = file.errorString();
  return written;
}

}  // namespace

void SaveHitsAsCsv(QWidget& parent, const std::vector<ArticleHit>& hits) {
  const QString path =
      QFileDialog::getSaveFileName(&parent, QStringLiteral("すべてのヒットをCSVで保存"),
                                   QDir::home().filePath(QStringLiteral("検索結果.csv")), QStringLiteral("CSV (*.csv)"));
  if (path.isEmpty()) return;
  QString error;
  if (!WriteWhole(path, FormatHits(hits, HitFormat::Csv), error)) {
    ShowMessageBox(QStringLiteral("CSVファイルを保存できませんでした。\n%1\n%2").arg(path, error).toStdString(), MbIconStop);
  }
}

}  // namespace velt
