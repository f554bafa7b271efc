#include "about/SystemStatus.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <ctime>

#include "about/TextFile.h"

namespace velt {
namespace {

TEST(SystemStatusTest, NineLinesInTheirFormatsAndOrder) {
  SystemStatus s;
  s.availablePhysical = 512 * 1024;
  s.totalPhysical = 2048 * 1024;
  s.availablePageFile = 1024;
  s.totalPageFile = 2048;
  s.availableVirtual = 3072;
  s.totalVirtual = 4096;
  s.workingSet = 5 * 1024;
  s.peakWorkingSet = 6 * 1024;
  s.pageFaults = 1234567;
  s.pagefileUsage = 7 * 1024;
  s.peakPagefileUsage = 8 * 1024;
  s.peakPagedPool = 9 * 1024;
  s.nonPagedPool = 10 * 1024;
  s.kernelSeconds = 59;
  s.userSeconds = 3725;
  s.ageSeconds = 90000;
  const auto lines = StatusLines(s);
  EXPECT_EQ(lines[0], "Free Physical Memory:512 KB; Total:2,048 KB");
  EXPECT_EQ(lines[1], "Free Paging File:1 KB; Total:2 KB");
  EXPECT_EQ(lines[2], "Free Virtual Memory:3 KB; Total:4 KB");
  EXPECT_EQ(lines[3], "Memory Usage:5 KB; Peak:6 KB");
  EXPECT_EQ(lines[4], "Page Fault:1,234,567");
  EXPECT_EQ(lines[5], "Pagefile Usage:7 KB; Peak:8 KB");
  EXPECT_EQ(lines[6], "Paged Pool Usage:0 KB; Peak:9 KB");
  EXPECT_EQ(lines[7], "NonPaged Pool Usage:10 KB; Peak:0 KB");
  EXPECT_EQ(lines[8], "Kernel:0:00:59; User:1:02:05; Process:25:00:00");
}

TEST(SystemStatusTest, MemoryFiguresFromProcTexts) {
  const std::string meminfo =
      "MemTotal:        8000 kB\nMemFree:         1000 kB\nMemAvailable:    3000 kB\n"
      "SwapCached:        11 kB\nSwapTotal:       4000 kB\nSwapFree:        3500 kB\n"
      "SReclaimable:     150 kB\nSUnreclaim:        40 kB\n"
      "CommitLimit:    10000 kB\nCommitted_AS:    2500 kB\n";
  const std::string status =
      "Name:\tabout\nVmPeak:\t  900 kB\nVmSize:\t  800 kB\nVmHWM:\t 70 kB\nVmRSS:\t 60 kB\n"
      "VmData:\t 300 kB\nVmStk:\t 20 kB\nVmExe:\t 5 kB\n";
  const SystemStatus s = MemoryFiguresFrom(meminfo, status);
  EXPECT_EQ(s.totalPhysical, 8000u * 1024);
  EXPECT_EQ(s.availablePhysical, 3000u * 1024);
  EXPECT_EQ(s.totalPageFile, 4000u * 1024);
  EXPECT_EQ(s.availablePageFile, 3500u * 1024);
  EXPECT_EQ(s.totalVirtual, 10000u * 1024);
  EXPECT_EQ(s.availableVirtual, 7500u * 1024);
  EXPECT_EQ(s.workingSet, 60u * 1024);
  EXPECT_EQ(s.peakWorkingSet, 70u * 1024);
  EXPECT_EQ(s.pagefileUsage, 320u * 1024);
  EXPECT_EQ(s.pagedPool, 150u * 1024);
  EXPECT_EQ(s.nonPagedPool, 40u * 1024);
}

TEST(SystemStatusTest, MissingFiguresFallBackOrStayZero) {
  // Without MemAvailable the free memory stands in; a name that only ends
  // like a field ("XMemTotal") is not that field; more committed than the
  // limit (overcommit) leaves nothing available.
  const SystemStatus s = MemoryFiguresFrom("XMemTotal: 5 kB\nMemFree: 1000 kB\n", "VmRSS: junk\n");
  EXPECT_EQ(s.availablePhysical, 1000u * 1024);
  EXPECT_EQ(s.totalPhysical, 0u);
  EXPECT_EQ(s.workingSet, 0u);
  EXPECT_EQ(MemoryFiguresFrom("CommitLimit: 1 kB\nCommitted_AS: 2 kB\n", "").availableVirtual, 0u);
}

TEST(SystemStatusTest, ProcessStartFromStatLine) {
  std::string stat = "1234 (a) (b c) S";
  for (int field = 4; field <= 21; ++field) stat += " " + std::to_string(field);
  EXPECT_DOUBLE_EQ(ProcessStartSeconds(stat + " 250 99 7", 100), 2.5);
  EXPECT_LT(ProcessStartSeconds(stat, 100), 0);
  EXPECT_LT(ProcessStartSeconds("no parenthesis", 100), 0);
  EXPECT_LT(ProcessStartSeconds(stat + " 250", 0), 0);
}

TEST(SystemStatusTest, ThisProcessHasPlausibleFigures) {
  const SystemStatus s = ReadSystemStatus();
  EXPECT_GT(s.totalPhysical, 0u);
  EXPECT_LE(s.availablePhysical, s.totalPhysical);
  EXPECT_GT(s.workingSet, 0u);
  EXPECT_GE(s.peakWorkingSet, s.workingSet);
  EXPECT_GT(s.pageFaults, 0u);
  EXPECT_GT(s.totalVirtual, 0u);
  EXPECT_GT(s.pagefileUsage, 0u);
  EXPECT_GE(s.peakPagefileUsage, s.pagefileUsage);
  EXPECT_GE(s.ageSeconds, 0);
  EXPECT_LT(s.ageSeconds, 3600);
  const double started = ProcessStartSeconds(ReadTextFile("/proc/self/stat"), sysconf(_SC_CLK_TCK));
  struct timespec sinceBoot {};
  clock_gettime(CLOCK_BOOTTIME, &sinceBoot);
  EXPECT_GT(started, 0);
  EXPECT_LE(started, static_cast<double>(sinceBoot.tv_sec) + 1);
  EXPECT_GT(started, static_cast<double>(sinceBoot.tv_sec) - 3600);
}

}  // namespace
}  // namespace velt
