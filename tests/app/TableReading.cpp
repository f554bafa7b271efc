#include "tests/app/TableReading.h"

#include <gmock/gmock.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

namespace velt::test {
namespace {

// Reads standard input in the format named by the argument and prints the
// rows as a JSON array of arrays of strings.
constexpr char kReader[] = R"(
import csv, io, json, sys
data = sys.stdin.buffer.read().decode('utf-8')
form = sys.argv[1]
if form == 'json':
    objects = json.loads(data)
    keys = list(objects[0].keys()) if objects else []
    assert all(list(o.keys()) == keys for o in objects), 'the objects differ in their keys'
    rows = [keys] + [[o[k] for k in keys] for o in objects]
else:
    if form == 'csv':
        assert data.startswith('\ufeff'), 'no byte-order mark'
        data = data[1:]
    rows = list(csv.reader(io.StringIO(data, newline=''), dialect='excel' if form == 'csv' else 'excel-tab',
                           strict=True))
print(json.dumps(rows))
)";

}  // namespace

Table ReadTable(const QByteArray& bytes, const char* format) {
  QProcess python;
  python.start(VELT_PYTHON, {"-c", kReader, format});
  python.write(bytes);
  python.closeWriteChannel();
  EXPECT_TRUE(python.waitForFinished(30000));
  EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
  Table rows;
  for (const QJsonValue& row : QJsonDocument::fromJson(python.readAllStandardOutput()).array()) {
    std::vector<std::string>& cells = rows.emplace_back();
    for (const QJsonValue& cell : row.toArray()) cells.push_back(cell.toString().toStdString());
  }
  return rows;
}

}  // namespace velt::test
