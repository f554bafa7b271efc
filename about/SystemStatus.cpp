#include "about/SystemStatus.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <limits>
#include <mutex>
#include <optional>
#include <sstream>

#include "about/StatusFormat.h"
#include "about/TextFile.h"

namespace velt {
namespace {

// "<key>:   <n> kB" at the start of a line of a /proc text, in bytes.
std::optional<uint64_t> KilobyteField(const std::string& text, const std::string& key) {
  const std::string label = key + ":";
  size_t at = text.find(label);
  while (at != std::string::npos && at != 0 && text[at - 1] != '\n') at = text.find(label, at + 1);
  unsigned long long kilobytes = 0;
  if (at == std::string::npos || std::sscanf(text.c_str() + at + label.size(), "%llu", &kilobytes) != 1) {
    return std::nullopt;
  }
  return static_cast<uint64_t>(kilobytes) * 1024;
}

uint64_t Field(const std::string& text, const std::string& key) { return KilobyteField(text, key).value_or(0); }

uint64_t AtMost(uint64_t limit, uint64_t used) { return limit > used ? limit - used : 0; }

std::string Pair(const char* format, uint64_t first, uint64_t second, int unit) {
  std::string line = format;
  line.replace(line.find("%s"), 2, FormatByteCount(unit, static_cast<int64_t>(first)));
  line.replace(line.find("%s"), 2, FormatByteCount(unit, static_cast<int64_t>(second)));
  return line;
}

int32_t Seconds(int64_t seconds) {
  if (seconds < 0) return 0;
  return seconds > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                       : static_cast<int32_t>(seconds);
}

}  // namespace

std::array<std::string, kStatusLineCount> StatusLines(const SystemStatus& s) {
  return {
      Pair("Free Physical Memory:%s; Total:%s", s.availablePhysical, s.totalPhysical, ByteUnitKilobytes),
      Pair("Free Paging File:%s; Total:%s", s.availablePageFile, s.totalPageFile, ByteUnitKilobytes),
      Pair("Free Virtual Memory:%s; Total:%s", s.availableVirtual, s.totalVirtual, ByteUnitKilobytes),
      Pair("Memory Usage:%s; Peak:%s", s.workingSet, s.peakWorkingSet, ByteUnitKilobytes),
      "Page Fault:" + FormatByteCount(ByteUnitCount, static_cast<int64_t>(s.pageFaults)),
      Pair("Pagefile Usage:%s; Peak:%s", s.pagefileUsage, s.peakPagefileUsage, ByteUnitKilobytes),
      Pair("Paged Pool Usage:%s; Peak:%s", s.pagedPool, s.peakPagedPool, ByteUnitKilobytes),
      Pair("NonPaged Pool Usage:%s; Peak:%s", s.nonPagedPool, s.peakNonPagedPool, ByteUnitKilobytes),
      "Kernel:" + FormatDuration(Seconds(s.kernelSeconds)) + "; User:" + FormatDuration(Seconds(s.userSeconds)) +
          "; Process:" + FormatDuration(Seconds(s.ageSeconds)),
  };
}

SystemStatus MemoryFiguresFrom(const std::string& meminfo, const std::string& selfStatus) {
  // Which figure of this system stands for which line of the window:
  //   physical memory   MemAvailable (older kernels lack it: MemFree) and
  //                     MemTotal
  //   paging file       SwapFree and SwapTotal
  //   virtual memory    the commit limit, CommitLimit, less what is
  //                     committed, Committed_AS: what the system will still
  //                     promise to its processes
  //   memory usage      the resident set, VmRSS, and its peak VmHWM
  //   pagefile usage    the process's private committed memory: its
  //                     private writable mappings, VmData, and its stack,
  //                     VmStk
  //   paged pool        the kernel's reclaimable slab memory, SReclaimable
  //   non-paged pool    its unreclaimable slab memory, SUnreclaim
  // The last three keep no peak of their own: ObservePeaks gives them one.
  SystemStatus s;
  s.totalPhysical = Field(meminfo, "MemTotal");
  s.availablePhysical = KilobyteField(meminfo, "MemAvailable").value_or(Field(meminfo, "MemFree"));
  s.totalPageFile = Field(meminfo, "SwapTotal");
  s.availablePageFile = Field(meminfo, "SwapFree");
  s.totalVirtual = Field(meminfo, "CommitLimit");
  s.availableVirtual = AtMost(s.totalVirtual, Field(meminfo, "Committed_AS"));
  s.workingSet = Field(selfStatus, "VmRSS");
  s.peakWorkingSet = Field(selfStatus, "VmHWM");
  s.pagefileUsage = Field(selfStatus, "VmData") + Field(selfStatus, "VmStk");
  s.pagedPool = Field(meminfo, "SReclaimable");
  s.nonPagedPool = Field(meminfo, "SUnreclaim");
  return s;
}

void ObservePeaks(SystemStatus& status, ObservedPeaks& peaks) {
  peaks.pagefileUsage = std::max(peaks.pagefileUsage, status.pagefileUsage);
  peaks.pagedPool = std::max(peaks.pagedPool, status.pagedPool);
  peaks.nonPagedPool = std::max(peaks.nonPagedPool, status.nonPagedPool);
  status.peakPagefileUsage = peaks.pagefileUsage;
  status.peakPagedPool = peaks.pagedPool;
  status.peakNonPagedPool = peaks.nonPagedPool;
}

double ProcessStartSeconds(const std::string& selfStat, long ticksPerSecond) {
  // The command name in parentheses may hold blanks and parentheses itself;
  // the fields after the last ")" start with the state (field 3), so the
  // start time (field 22) follows 19 of them.
  const size_t close = selfStat.rfind(')');
  if (close == std::string::npos || ticksPerSecond <= 0) return -1;
  std::istringstream fields(selfStat.substr(close + 1));
  std::string field;
  for (int i = 0; i < 19 && fields >> field; ++i) {
  }
  unsigned long long ticks = 0;
  if (!(fields >> ticks)) return -1;
  return static_cast<double>(ticks) / static_cast<double>(ticksPerSecond);
}

SystemStatus ReadSystemStatus() {
  SystemStatus s = MemoryFiguresFrom(ReadTextFile("/proc/meminfo"), ReadTextFile("/proc/self/status"));
  {
    static std::mutex guard;
    static ObservedPeaks peaks;
    std::lock_guard<std::mutex> hold(guard);
    ObservePeaks(s, peaks);
  }
  struct rusage usage {};
  if (getrusage(RUSAGE_SELF, &usage) == 0) {
    s.pageFaults = static_cast<uint64_t>(usage.ru_minflt) + static_cast<uint64_t>(usage.ru_majflt);
    s.kernelSeconds = usage.ru_stime.tv_sec;
    s.userSeconds = usage.ru_utime.tv_sec;
  }
  const double started = ProcessStartSeconds(ReadTextFile("/proc/self/stat"), sysconf(_SC_CLK_TCK));
  struct timespec sinceBoot {};
  if (started >= 0 && clock_gettime(CLOCK_BOOTTIME, &sinceBoot) == 0) {
    const double age = static_cast<double>(sinceBoot.tv_sec) + static_cast<double>(sinceBoot.tv_nsec) / 1e9 - started;
    s.ageSeconds = age > 0 ? static_cast<int64_t>(age) : 0;
  }
  return s;
}

}  // namespace velt
