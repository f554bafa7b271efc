#include "store/DatabaseIO.h"

#include "platform/Error.h"
#include "store/FormatText.h"

#include "store/provider/Catalog.h"
#include "store/provider/DataTypes.h"
#include "store/provider/Connection.h"
#include "store/provider/Engine.h"
#include "store/provider/SearchIndex.h"

namespace velt {

namespace {

constexpr char kConnectionFormat[] =
    "Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password=%s;Data Source=%s";
constexpr char kTempFilePrefix[] = "!mdb";

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

TDatabaseJet::TDatabaseJet(FileSystem& fileSystem) : fileSystem_(fileSystem) {}

TDatabaseJet::~TDatabaseJet() = default;

std::string TDatabaseJet::BuildConnectionString(const std::string& /*user*/, const std::string& password,
                                                const std::string& dataSource) const {
  return FillFormat(kConnectionFormat, {password, dataSource});
}

bool TDatabaseJet::Open(const std::string& user, const std::string& password, const std::string& dataSource,
                        std::string& error) {
  Close();
  return OpenSession(user, password, dataSource, !fileSystem_.Exists(dataSource), error);
}

bool TDatabaseJet::Compact(std::string& error) { return Compact(Password, error); }

bool TDatabaseJet::Compact(const std::string& newPassword, std::string& error) {
  const std::string user = UserName;
  const std::string password = Password;
  const std::string path = DataSource;
  const std::string targetPassword = newPassword;  // may alias Password, which Close clears
  Close();
  if (path.empty()) {
    error = "The database is not open; there is nothing to compact.";
    return false;
  }

  bool compacted = false;
  const std::string tempPath = fileSystem_.CreateUniqueFile(FolderOf(path), kTempFilePrefix);
  std::string stepError;
  if (tempPath.empty()) {
    error = "Could not create a temporary file beside '" + path + "'.";
  } else if (!fileSystem_.Remove(tempPath, stepError)) {
    error = stepError;
  } else {
    try {
      provider::Engine().CompactDatabase(BuildConnectionString(user, password, path),
                                         BuildConnectionString(user, targetPassword, tempPath));
      // With the file closed everywhere its write-ahead log is gone; a log
      // left behind belongs to another user of the file and would not match
      // the copy.
      if (fileSystem_.Exists(path + "-wal")) {
        error = "The database file '" + path + "' is still in use; it was not compacted.";
      } else if (!fileSystem_.Rename(tempPath, path, stepError)) {
        error = stepError;
      } else {
        compacted = true;
      }
    } catch (const std::exception& e) {
      error = e.what();
    }
    // The copy is written with a rollback journal; a failed write can leave
    // that journal behind even when the copy itself is gone.
    for (const std::string& leftover : {tempPath, tempPath + "-journal"}) {
      if (fileSystem_.Exists(leftover)) fileSystem_.Remove(leftover, stepError);
    }
  }
  // Never create a file here: an empty database in place of a lost one
  // would hide the loss.
  return OpenSession(user, compacted ? targetPassword : password, path, false, error);
}

bool TDatabaseJet::IsTextColumn(const provider::Column& column) {
  return provider::IsTextDataType(column.Type());
}

bool TDatabaseJet::AllowZeroLength(const std::string& tableName, std::string& error) {
  if (!Catalog) throw Error("The catalog is not connected to a database.");
  std::vector<provider::Column> columns = Catalog->TableByName(tableName).Columns();
  try {
    for (provider::Column& column : columns) {
      if (IsTextColumn(column) && column.GetProperty(provider::NullableProperty) == Variant(true))
        column.SetProperty(provider::AllowZeroLengthProperty, Variant(true));
    }
    return true;
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
}

bool TDatabaseJet::EnsureSearchIndex(const provider::SearchIndexDefinition& definition, long long& filled,
                                     std::string& error) {
  try {
    if (!Connection) throw Error("The connection is closed.");
    filled = provider::EnsureSearchIndex(Connection->Handle(), definition);
    return true;
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
}

}  // namespace velt
