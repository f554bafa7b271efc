#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "platform/PathParts.h"
#include "store/DatabaseIO.h"
#include "store/FolderLock.h"
#include "store/provider/FileMeta.h"

namespace velt {

namespace {

namespace fs = std::filesystem;

constexpr char kJournalSuffix[] = "-journal";
constexpr unsigned char kJournalMagic[] = {0xd9, 0xd5, 0x05, 0xf9, 0x20, 0xa1, 0x63, 0xd7};

// A name as FileSystem::CreateUniqueFile makes them for the prefix "!mdb":
// "!md", one to four upper-case hexadecimal digits, ".tmp".
bool IsCopyName(std::string_view name) {
  if (!name.starts_with("!md") || !name.ends_with(".tmp")) return false;
  const std::string_view number = name.substr(3, name.size() - 7);
  return !number.empty() && number.size() <= 4 &&
         number.find_first_not_of("0123456789ABCDEF") == std::string_view::npos;
}

// The first bytes of a file; fewer when it is shorter.
std::string Head(const fs::path& file, std::size_t bytes) {
  std::ifstream in(file, std::ios::binary);
  std::string head(bytes, '\0');
  in.read(head.data(), static_cast<std::streamsize>(bytes));
  head.resize(static_cast<std::size_t>(in.gcount()));
  return head;
}

bool AllZero(const std::string& bytes) {
  return bytes.find_first_not_of('\0') == std::string::npos;
}

bool IsJournalHeader(const std::string& head) {
  return head.size() >= sizeof kJournalMagic && std::memcmp(head.data(), kJournalMagic, sizeof kJournalMagic) == 0;
}

// The engine writes a copy in one transaction, and the journal it makes
// first records how many pages the file had before: none, for a copy. A
// copy killed midway lies with that journal beside it; rolling it back
// would leave nothing.
bool IsCopyBeingWritten(const fs::path& file) {
  constexpr std::size_t kInitialPagesAt = 16;
  const std::string head = Head(file.string() + kJournalSuffix, kInitialPagesAt + 4);
  return head.size() == kInitialPagesAt + 4 && IsJournalHeader(head) && AllZero(head.substr(kInitialPagesAt));
}

// A copy cut short may have no header yet (its first page changes with
// every page added and is written late); a whole one is a database of
// ours.
bool IsCompactionCopy(const fs::path& file) {
  const std::string head = Head(file, 100);
  return head.empty() || (head.size() == 100 && AllZero(head)) || IsCopyBeingWritten(file) ||
         provider::HoldsProviderBookkeeping(file.string());
}

// The engine's rollback journal of such a copy: its header, or nothing yet.
bool IsCopyJournal(const fs::path& file) {
  const std::string head = Head(file, sizeof kJournalMagic);
  return AllZero(head) || IsJournalHeader(head);
}

}  // namespace

bool RemoveCompactionLeftovers(const std::string& databasePath, std::string& error) {
  const std::string folderName = FolderOf(databasePath);
  std::error_code failure, ignored;
  if (!fs::is_directory(folderName, ignored)) return true;  // nothing can be left there
  FolderLock folder(folderName, FolderLock::Mode::Shared, kFolderLockWait);
  if (!folder.Held()) {
    error = folder.Error();
    return false;
  }
  std::vector<fs::path> copies, journals;  // copies of ours; journals by name
  for (const fs::directory_entry& entry : fs::directory_iterator(folderName, failure)) {
    if (!entry.is_regular_file(ignored)) continue;
    const std::string name = entry.path().filename().string();
    if (IsCopyName(name)) {
      if (IsCompactionCopy(entry.path())) copies.push_back(entry.path());
    } else if (name.ends_with(kJournalSuffix) &&
               IsCopyName(std::string_view(name).substr(0, name.size() - std::strlen(kJournalSuffix)))) {
      journals.push_back(entry.path());
    }
  }
  if (failure) {
    error = "Could not read the folder '" + folderName + "': " + failure.message();
    return false;
  }
  // A journal goes with its copy, or alone when the copy is gone; the
  // journal of someone else's file stays.
  std::vector<fs::path> leftovers = copies;
  for (const fs::path& journal : journals) {
    const std::string name = journal.string();
    const fs::path copy = name.substr(0, name.size() - std::strlen(kJournalSuffix));
    const bool copyIsOurs = std::find(copies.begin(), copies.end(), copy) != copies.end();
    if ((copyIsOurs || !fs::exists(copy, ignored)) && IsCopyJournal(journal)) leftovers.push_back(journal);
  }
  for (const fs::path& leftover : leftovers) {
    if (!fs::remove(leftover, failure) && failure) {
      error = "Could not delete '" + leftover.string() + "': " + failure.message();
      return false;
    }
  }
  return true;
}

}  // namespace velt
