#include "store/provider/BackgroundCheckpoint.h"

#include <sqlite3.h>

namespace velt::provider {

BackgroundCheckpoint::BackgroundCheckpoint(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {
  thread_ = std::thread([this] { Run(); });
  // Replaces the engine's own checkpoint after commits.
  sqlite3_wal_hook(db_, &BackgroundCheckpoint::AfterCommit, this);
}

BackgroundCheckpoint::~BackgroundCheckpoint() {
  sqlite3_wal_hook(db_, nullptr, nullptr);
  {
    std::lock_guard hold(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

int BackgroundCheckpoint::AfterCommit(void* self, sqlite3* db, const char* schema, int frames) {
  auto& checkpoint = *static_cast<BackgroundCheckpoint*>(self);
  if (frames >= kInlineCheckpointFrames) {
    // As the engine's own: a failure here must not fail the commit.
    sqlite3_wal_checkpoint_v2(db, schema, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    return SQLITE_OK;
  }
  // The log keeps its frames until a writer starts it afresh; the thread
  // is woken once per kCheckpointFrames added, not after every commit.
  if (frames < checkpoint.framesAtRequest_) checkpoint.framesAtRequest_ = 0;
  if (frames >= checkpoint.framesAtRequest_ + kCheckpointFrames) {
    checkpoint.framesAtRequest_ = frames;
    {
      std::lock_guard hold(checkpoint.mutex_);
      checkpoint.requested_ = true;
    }
    checkpoint.wake_.notify_one();
  }
  return SQLITE_OK;
}

void BackgroundCheckpoint::Run() {
  sqlite3* own = nullptr;
  std::unique_lock hold(mutex_);
  for (;;) {
    wake_.wait(hold, [&] { return requested_ || stopping_; });
    if (stopping_) break;
    requested_ = false;
    hold.unlock();
    CheckpointOnce(own);
    hold.lock();
  }
  sqlite3_close_v2(own);
}

void BackgroundCheckpoint::CheckpointOnce(sqlite3*& own) {
  if (!own) {
    if (sqlite3_open_v2(path_.c_str(), &own, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
      sqlite3_close_v2(own);
      own = nullptr;
      return;  // the commits' own checkpoint at the bound takes over
    }
    // A checkpoint needs the connection to have seen the log: one read
    // opens it.
    sqlite3_exec(own, "PRAGMA schema_version", nullptr, nullptr, nullptr);
  }
  sqlite3_wal_checkpoint_v2(own, "main", SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
}

}  // namespace velt::provider
