// The close gives back what deleted rows held in the search index too: a
// file of which nearly every row was deleted comes out of its compaction
// about as small as a file that only ever held the rows that remain.
#include <gtest/gtest.h>

#include <filesystem>

#include "store/DatabaseIO.h"
#include "tests/faults/DatabaseFile.h"

namespace velt::faults {
namespace {

namespace fs = std::filesystem;

// The file's size after the program's close, with all but `keep` rows
// deleted by the session first.
std::uintmax_t SizeAfterClose(const fs::path& file, int rows, int keep) {
  MakeFilledDatabase(file, rows, 500, rows + 1);
  TDatabaseJet session;
  std::string error;
  EXPECT_TRUE(session.Open("", "", file.string(), error)) << error;
  EXPECT_TRUE(session.ExecSQL("DELETE FROM VELTINDEX WHERE KBID >= \"" + std::to_string(100000 + keep) + "\"", error))
      << error;
  EXPECT_TRUE(session.Compact(error)) << error;
  EXPECT_EQ(error, "");
  session.Close();
  return fs::file_size(file);
}

TEST(DeletedRows, TheCloseShrinksTheFileToAboutTheSizeOfWhatRemains) {
  const fs::path folder = MakeTempFolder("deleted");
  const std::uintmax_t remaining = SizeAfterClose(folder / "one.mdb", 1, 1);
  const std::uintmax_t shrunk = SizeAfterClose(folder / "many.mdb", 4001, 1);
  EXPECT_LT(shrunk, 2 * remaining) << "a file of one row left from 4,001, against one of one row";
  EXPECT_EQ(ContentSummary(folder / "many.mdb"), ContentSummary(folder / "one.mdb"));
  fs::remove_all(folder);
}

}  // namespace
}  // namespace velt::faults
