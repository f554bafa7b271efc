#include "platform/PathParts.h"
#include "store/DatabaseIO.h"

#include "platform/Error.h"
#include "store/FolderLock.h"
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
// Giving back free pages in place writes about as many pages as are free,
// twice (log and file); a copy writes every page that is not free, once.
// Below a third of the pages free, giving back in place is the cheaper.
constexpr long long kCopyWhenFreeShareAbove = 3;

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
  return OpenBesideCompactions(user, password, dataSource, true, error);
}

bool TDatabaseJet::OpenBesideCompactions(const std::string& user, const std::string& password,
                                         const std::string& path, bool createMissing, std::string& error) {
  FolderLock folder(FolderOf(path), FolderLock::Mode::Shared, kFolderLockWait);
  // Without a lock of the folder at all (a folder that cannot be read or
  // locked) no compaction can run there either, so opening stays safe.
  if (!folder.Held() && folder.Busy()) {
    error = folder.Error();
    return false;
  }
  return OpenSession(user, password, path, createMissing && !fileSystem_.Exists(path), error);
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
  {
    FolderLock folder(FolderOf(path), FolderLock::Mode::Exclusive, kFolderLockWait);
    if (folder.Held()) {
      const bool compacted = CompactAlone(user, password, targetPassword, path, error);
      // Reopened before the folder is free again, so no other compaction
      // comes between. Never create a file here: an empty database in
      // place of a lost one would hide the loss.
      return OpenSession(user, compacted ? targetPassword : password, path, false, error);
    }
    error = folder.Error();
  }
  return OpenBesideCompactions(user, password, path, false, error);
}

bool TDatabaseJet::CompactAlone(const std::string& user, const std::string& password,
                                const std::string& targetPassword, const std::string& path, std::string& error) {
  bool replaced = false;
  try {
    auto engine = provider::Engine::Open(BuildConnectionString(user, password, path));
    if (!engine) {
      error = "The database file '" + path + "' is still in use; it was not compacted.";
      return false;
    }
    const provider::FreeSpace space = engine->Space();
    if (space.freePages == 0 ||
        (space.reclaimsInPlace && space.freePages * kCopyWhenFreeShareAbove < space.pages)) {
      if (space.freePages > 0) engine->ReclaimFreePages();
      if (targetPassword != password) engine->SetPassword(targetPassword);
      return true;
    }
    // The engine keeps the file to itself until the copy is in its place.
    replaced = ReplaceWithCopy(*engine, user, targetPassword, path, error);
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
  if (!replaced) return false;
  // Side files of the file that was renamed over belong to it and must not
  // be taken for the new one's (the engine leaves them alone once the file
  // has moved). No one else has opened the new one yet: the folder is held.
  std::string stepError;
  for (const char* suffix : {"-wal", "-shm", "-journal"}) {
    if (fileSystem_.Exists(path + suffix) && !fileSystem_.Remove(path + suffix, stepError)) error = stepError;
  }
  return true;
}

bool TDatabaseJet::ReplaceWithCopy(provider::Engine& engine, const std::string& user,
                                   const std::string& targetPassword, const std::string& path,
                                   std::string& error) {
  const std::string tempPath = fileSystem_.CreateUniqueFile(FolderOf(path), kTempFilePrefix);
  if (tempPath.empty()) {
    error = "Could not create a temporary file beside '" + path + "'.";
    return false;
  }
  std::string stepError;
  bool replaced = false;
  if (!fileSystem_.Remove(tempPath, stepError)) {
    error = stepError;
  } else {
    try {
      engine.WriteCompactedCopy(BuildConnectionString(user, targetPassword, tempPath));
      replaced = fileSystem_.Rename(tempPath, path, stepError);
      if (!replaced) error = stepError;
    } catch (const std::exception& e) {
      error = e.what();
    }
  }
  // The copy is written with a rollback journal; a failed write can leave
  // that journal behind even when the copy itself is gone.
  for (const std::string& leftover : {tempPath, tempPath + "-journal"}) {
    if (fileSystem_.Exists(leftover)) fileSystem_.Remove(leftover, stepError);
  }
  return replaced;
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
