// The memory and process figures of the About window and their nine lines.
//
// ReadSystemStatus takes this platform's figures (MemoryFiguresFrom says
// which stands for which line), the process's page faults, kernel and user
// time and its age in whole seconds. A figure that cannot be read is zero.
//
// StatusLines formats them into the nine label texts, in the window's order
// (physical, paging file, virtual, memory usage, page faults, pagefile
// usage, paged pool, non-paged pool, process times).
//
// Pure functions apart from ReadSystemStatus, which reads files of the own
// process and keeps the peaks it has seen; all are safe on any thread.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace velt {

struct SystemStatus {
  uint64_t availablePhysical = 0;
  uint64_t totalPhysical = 0;
  uint64_t availablePageFile = 0;
  uint64_t totalPageFile = 0;
  uint64_t availableVirtual = 0;
  uint64_t totalVirtual = 0;
  uint64_t workingSet = 0;
  uint64_t peakWorkingSet = 0;
  uint64_t pageFaults = 0;
  uint64_t pagefileUsage = 0;
  uint64_t peakPagefileUsage = 0;
  uint64_t pagedPool = 0;
  uint64_t peakPagedPool = 0;
  uint64_t nonPagedPool = 0;
  uint64_t peakNonPagedPool = 0;
  int64_t kernelSeconds = 0;
  int64_t userSeconds = 0;
  int64_t ageSeconds = 0;
};

constexpr size_t kStatusLineCount = 9;

std::array<std::string, kStatusLineCount> StatusLines(const SystemStatus& status);

SystemStatus ReadSystemStatus();

// The memory figures from the texts of /proc/meminfo and /proc/self/status;
// the process times and the peaks below stay zero.
SystemStatus MemoryFiguresFrom(const std::string& meminfo, const std::string& selfStatus);

// The highest values seen of the figures that this platform keeps no peak
// of: pagefile usage and the two pools.
struct ObservedPeaks {
  uint64_t pagefileUsage = 0;
  uint64_t pagedPool = 0;
  uint64_t nonPagedPool = 0;
};

// Raises the peaks to the status's figures and sets the status's peaks.
void ObservePeaks(SystemStatus& status, ObservedPeaks& peaks);

// Seconds after boot at which the process started, from the text of
// /proc/self/stat; negative when the text cannot be read.
double ProcessStartSeconds(const std::string& selfStat, long ticksPerSecond);

}  // namespace velt
