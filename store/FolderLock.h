// A lock between processes on the folder that holds a database file.
//
// Compaction replaces the file by renaming a copy over it. A process that
// opened the file just before the rename would go on using the old file
// while everyone else uses the new one, and the engine's side files
// (named after the path, not the file) would then mix the two. So the
// program opens a database only while it holds its folder's lock shared,
// and compacts only while it holds it exclusively: an opener waits until
// the copy is in place, and a compaction waits until every opener is
// through. The lock guards opening, not use: an open session keeps the
// engine's own lock on the file, which is what a compaction finds when it
// asks for the file alone (Connection::OpenExclusive).
//
// Each FolderLock is its own holder, also against others in this process.
// The lock goes with the object. Not thread-safe; any thread.
#pragma once

#include <chrono>
#include <string>

namespace velt {

class FolderLock {
 public:
  enum class Mode { Shared, Exclusive };

  // Waits up to `wait` for the lock on `folder` ("" is the current folder).
  FolderLock(const std::string& folder, Mode mode, std::chrono::milliseconds wait);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  bool Held() const { return held_; }
  // Not held because another holder kept it for the whole wait (rather
  // than because the folder cannot be opened or locked at all).
  bool Busy() const { return busy_; }
  // Why the lock is not held.
  const std::string& Error() const { return error_; }

 private:
  int fd_ = -1;
  bool held_ = false;
  bool busy_ = false;
  std::string error_;
};

// The time a process waits for another's open or compaction.
inline constexpr std::chrono::milliseconds kFolderLockWait{10000};

}  // namespace velt
