// File-level work on a database file that one connection holds alone.
//
// Engine::Open takes the file for the engine alone (Connection::
// OpenExclusive, with the password checked) or gives nothing when another
// connection holds it. From then until the Engine is destroyed no other
// connection can read, write or newly open the file, so the free-page
// figures stay true and a copy stays the file's latest state.
//
// ReclaimFreePages returns every free page to the file system in place,
// moving pages from the end of the file into the gaps; it needs a file
// that was made to allow it (ReclaimsInPlace) and costs about what the
// free pages weigh, not the file's size. It commits as a whole or not at
// all. WriteCompactedCopy writes a compacted copy into the destination
// path, which must not exist or be an empty file, with the destination
// text's password; the copy reclaims in place from then on and is on disk
// when the call returns. Both keep every row's rowid. SetPassword changes
// the file's password in place.
// Every call raises velt::Error. One thread at a time.
#pragma once

#include <memory>
#include <string>

namespace velt::provider {

class Connection;

struct FreeSpace {
  long long pages = 0;      // pages of the file
  long long freePages = 0;  // of those, pages that hold nothing
  bool reclaimsInPlace = false;
};

class Engine {
 public:
  static std::unique_ptr<Engine> Open(const std::string& connectionText);
  ~Engine();

  // Merges the search indexes that are mostly dead entries (SearchIndex.h),
  // so that Space counts what they held as free.
  void MergeMostlyDeadSearchIndexes();
  FreeSpace Space() const;
  void ReclaimFreePages();
  void WriteCompactedCopy(const std::string& destinationConnectionText);
  void SetPassword(const std::string& password);

 private:
  explicit Engine(std::shared_ptr<Connection> connection);
  std::shared_ptr<Connection> connection_;
};

}  // namespace velt::provider
