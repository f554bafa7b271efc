// The download status report (the Status button).
//
// Five figures from one state of the table: all rows, existing articles
// (200), absent ones (302), and the lowest and highest existing article
// numbers, each with the error text of its query (empty on success). A
// failed query leaves -1 (counts) or empty text (numbers) and does not
// stop the others. The report is seven lines, each ended by CR LF; the
// window shows it in an information box after DatabaseLock has been
// released, so the crawl goes on while the box is open.
//
// Main thread only.
#pragma once

#include <cstdint>
#include <string>

namespace velt {

struct StatusFigures {
  std::int64_t total = -1;
  std::int64_t existing = -1;
  std::int64_t absent = -1;
  std::string lowest;
  std::string highest;
  std::string totalError, existingError, absentError, lowestError, highestError;
};

// Runs the five queries under one hold of DatabaseLock.
StatusFigures QueryStatusFigures();

std::string FormatStatusReport(const StatusFigures& figures);

}  // namespace velt
