// Copies a WAL file's log back into the database on a thread of its own.
//
// The engine's own checkpoint runs inside the commit that fills the log
// past its threshold, copying pages and syncing the file twice while the
// writer, and with it the program's database lock, waits. This one takes
// the connection's checkpoints over: a commit that fills the log past
// kCheckpointFrames only wakes the thread, which checkpoints through a
// second connection of its own (passive: it never waits for, nor holds
// back, the writer or any reader). The log starts afresh only when a
// writer finds it wholly copied, which a steady stream of commits never
// lets the thread achieve; so once the log holds kInlineCheckpointFrames
// (about 32 MB) the commit checkpoints itself as the engine would, copying
// only what the thread has not yet copied. The log stays bounded, and a
// failed checkpoint loses nothing: its frames stay in the log until a
// later one copies them.
//
// Thread safety: made and destroyed by the connection's owner, while no
// statement of the connection runs; destruction waits for a checkpoint
// under way and must come before the watched connection closes, so that
// the last connection to close still removes the log.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

struct sqlite3;

namespace velt::provider {

class BackgroundCheckpoint {
 public:
  static constexpr int kCheckpointFrames = 1000;
  static constexpr int kInlineCheckpointFrames = 8 * kCheckpointFrames;

  // `db` is open on the WAL-mode file at `path`.
  BackgroundCheckpoint(sqlite3* db, std::string path);
  ~BackgroundCheckpoint();
  BackgroundCheckpoint(const BackgroundCheckpoint&) = delete;
  BackgroundCheckpoint& operator=(const BackgroundCheckpoint&) = delete;

 private:
  static int AfterCommit(void* self, sqlite3* db, const char* schema, int frames);
  void Run();
  void CheckpointOnce(sqlite3*& own);

  sqlite3* const db_;
  int framesAtRequest_ = 0;  // committing thread only
  const std::string path_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool requested_ = false;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace velt::provider
