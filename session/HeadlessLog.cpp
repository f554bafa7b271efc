#include "session/HeadlessLog.h"

#include <cstdio>

#include "session/LogLine.h"

namespace velt {

void HeadlessLog::WriteLog(const std::string& text, int level) {
  std::printf("%s\n", StampLogLine(text, level).c_str());
  std::fflush(stdout);
}

void HeadlessLog::FatalStop() { std::fprintf(stderr, "%s\n", FatalStopText); }

void HeadlessLog::Refuse(const std::string& reason) { std::fprintf(stderr, "%s\n", reason.c_str()); }

}  // namespace velt
