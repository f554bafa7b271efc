#include "store/DatabaseIO.h"

namespace velt {

CriticalSection DatabaseLock;
std::unique_ptr<TDatabaseJet> Database;

std::string SqlQuote(std::string_view text) {
  std::string quoted = "\"";
  for (char c : text) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  quoted += '"';
  return quoted;
}

Variant NullTo(const Variant& value, const Variant& def) { return value.IsNull() ? def : value; }

std::string MakeTempFileName(const std::string& folder) {
  return DefaultFileSystem().CreateUniqueFile(folder, "!mdb");
}

}  // namespace velt
