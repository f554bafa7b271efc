// The file services that compaction needs, behind an interface so that
// tests can make any step fail.
//
// Every call reports failure through its result and fills `error` with the
// system's message. DefaultFileSystem() is the real file system; it is
// stateless and safe from any thread.
#pragma once

#include <string>

namespace velt {

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual bool Exists(const std::string& path) = 0;
  // A new, empty file in `folder` (as FolderOf gives it) named prefix (first three characters),
  // a hexadecimal number and ".tmp"; returns its full path or "".
  virtual std::string CreateUniqueFile(const std::string& folder, const std::string& prefix) = 0;
  virtual bool Remove(const std::string& path, std::string& error) = 0;
  // Replaces `to` atomically when it exists.
  virtual bool Rename(const std::string& from, const std::string& to, std::string& error) = 0;
};

FileSystem& DefaultFileSystem();

}  // namespace velt
