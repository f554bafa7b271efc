#include "session/ConsoleReports.h"

#include <cstdio>

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

}  // namespace

int PrintSearch(const std::string& terms, const std::string& databasePath) {
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
  for (const QString& line : listing.lines) std::printf("%s\n", line.toStdString().c_str());
  return 0;
}

int PrintStatus(const std::string& databasePath) {
  ReadSession session(databasePath);
  if (!session.Ok()) return 1;
  const StatusFigures figures = QueryStatusFigures();
  std::string report = FormatStatusReport(figures);
  std::erase(report, '\r');  // the box's CR LF line ends, as a terminal's
  std::fputs(report.c_str(), stdout);
  const bool allAnswered = figures.totalError.empty() && figures.existingError.empty() &&
                           figures.absentError.empty() && figures.lowestError.empty() &&
                           figures.highestError.empty();
  return allAnswered ? 0 : 1;
}

}  // namespace velt
