#include "session/StatusReport.h"

#include <exception>

#include "store/DatabaseIO.h"
#include "store/IndexTable.h"

namespace velt {
namespace {

// The first field of the query's row, or false with the error text.
bool QueryFirstField(const char* sql, Variant& value, std::string& error) {
  Recordset rs;
  if (!Database->OpenQuery(sql, rs, error)) return false;
  try {
    value = Database->FieldByIndex(rs, 0);
    Database->CloseQuery(rs);
    return true;
  } catch (const std::exception& e) {  // an unreadable row counts as a failed query
    error = e.what();
    return false;
  }
}

void QueryCount(const char* sql, std::int64_t& count, std::string& error) {
  Variant value;
  if (!QueryFirstField(sql, value, error)) return;
  try {
    count = NullTo(value, 0).AsInteger();
  } catch (const std::exception& e) {
    error = e.what();
  }
}

void QueryNumber(const char* sql, std::string& number, std::string& error) {
  Variant value;
  if (QueryFirstField(sql, value, error)) number = NullTo(value, std::string()).AsText();
}

std::string CountLine(const char* label, std::int64_t count, const std::string& error) {
  return std::string("　　　[") + label + "]　" + std::to_string(count) + " 件　" + error;
}

std::string NumberLine(const char* label, const std::string& number, const std::string& error) {
  return std::string("　　　[") + label + "]　" + number + "　" + error;
}

}  // namespace

StatusFigures QueryStatusFigures() {
  StatusFigures f;
  CriticalSectionGuard hold(DatabaseLock);
  QueryCount(SqlCountAll, f.total, f.totalError);
  QueryCount(SqlCountExisting, f.existing, f.existingError);
  QueryCount(SqlCountRedirected, f.absent, f.absentError);
  QueryNumber(SqlMinExistingKbid, f.lowest, f.lowestError);
  QueryNumber(SqlMaxExistingKbid, f.highest, f.highestError);
  return f;
}

std::string FormatStatusReport(const StatusFigures& f) {
  const std::string lines[] = {
      "－－－　ダウンロード状況　－－－",
      "",
      CountLine("全体件数", f.total, f.totalError),
      CountLine("存在件数", f.existing, f.existingError),
      CountLine("不在件数", f.absent, f.absentError),
      NumberLine("最小番号", f.lowest, f.lowestError),
      NumberLine("最大番号", f.highest, f.highestError),
  };
  std::string report;
  for (const std::string& line : lines) report += line + "\r\n";
  return report;
}

}  // namespace velt
