#include "session/ConsoleReports.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "session/ArticleListing.h"
#include "session/IndexDatabase.h"
#include "session/StatusReport.h"
#include "store/DatabaseIO.h"

namespace velt {
namespace {

// The session for one report; closed without compaction at the end.
class ReadSession {
 public:
  explicit ReadSession(const std::string& path) {
    if (!OpenIndexDatabaseToRead(path, error_)) std::fprintf(stderr, "%s\n", error_.c_str());
  }
  ~ReadSession() { Database.reset(); }
  bool Ok() const { return error_.empty(); }

 private:
  std::string error_;
};

// The report's exit code once its lines are out: 1 when they could not all
// be written (a closed pipe, a full disk), which nothing else would show.
// A reader that has gone (`| head`) wanted no more: that needs no message,
// as with every command-line tool.
int Delivered(int code) {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return code;
  if (errno != EPIPE) std::fprintf(stderr, "Could not write the report: %s\n", std::strerror(errno));
  return 1;
}

}  // namespace

int PrintSearch(const std::string& terms, const std::string& databasePath, HitFormat format) {
  ReadSession session(databasePath);
  if (!session.Ok()) return 1;
  ArticleListing listing;
  {
    CriticalSectionGuard hold(DatabaseLock);
    listing = ListArticles(QString::fromStdString(terms), [] { return false; });
  }
  if (!listing.ok) {
    std::fprintf(stderr, "%s\n", listing.error.toStdString().c_str());
    return 1;
  }
  errno = 0;
  if (format != HitFormat::Text) {
    const std::string table = FormatHits(listing.hits, format);
    std::fwrite(table.data(), 1, table.size(), stdout);
  } else {
    for (const QString& line : listing.lines) std::printf("%s\n", line.toStdString().c_str());
  }
  return Delivered(0);
}

int PrintStatus(const std::string& databasePath) {
  ReadSession session(databasePath);
  if (!session.Ok()) return 1;
  const StatusFigures figures = QueryStatusFigures();
  std::string report = FormatStatusReport(figures);
  std::erase(report, '\r');  // the box's CR LF line ends, as a terminal's
  errno = 0;
  std::fputs(report.c_str(), stdout);
  const bool allAnswered = figures.totalError.empty() && figures.existingError.empty() &&
                           figures.absentError.empty() && figures.lowestError.empty() &&
                           figures.highestError.empty();
  return Delivered(allAnswered ? 0 : 1);
}

}  // namespace velt
