#include "about/SystemStatus.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <limits>
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

// The user address space of a process of this architecture.
uint64_t ArchitectureAddressSpace() {
#if defined(__x86_64__)
  return uint64_t{1} << 47;
#elif defined(__aarch64__) || (defined(__riscv) && __riscv_xlen == 64)
  return uint64_t{1} << 48;
#elif defined(__i386__) || defined(__arm__)
  return uint64_t{3} << 30;
#else
  return 0;
#endif
}

uint64_t AddressSpace() {
  struct rlimit limit {};
  if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) return limit.rlim_cur;
  return ArchitectureAddressSpace();
}

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

SystemStatus MemoryFiguresFrom(const std::string& meminfo, const std::string& selfStatus, uint64_t addressSpace) {
  SystemStatus s;
  s.totalPhysical = Field(meminfo, "MemTotal");
  // Older kernels lack MemAvailable; free memory is the nearest figure.
  s.availablePhysical = KilobyteField(meminfo, "MemAvailable").value_or(Field(meminfo, "MemFree"));
  s.totalPageFile = Field(meminfo, "SwapTotal");
  s.availablePageFile = Field(meminfo, "SwapFree");
  s.workingSet = Field(selfStatus, "VmRSS");
  s.peakWorkingSet = Field(selfStatus, "VmHWM");
  s.pagefileUsage = Field(selfStatus, "VmSize");
  s.peakPagefileUsage = Field(selfStatus, "VmPeak");
  s.totalVirtual = addressSpace;
  s.availableVirtual = addressSpace > s.pagefileUsage ? addressSpace - s.pagefileUsage : 0;
  return s;
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
  SystemStatus s = MemoryFiguresFrom(ReadTextFile("/proc/meminfo"), ReadTextFile("/proc/self/status"), AddressSpace());
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
