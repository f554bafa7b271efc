#include "about/StatusFormat.h"

#include <gtest/gtest.h>

#include <QLocale>

namespace velt {
namespace {

TEST(StatusFormatTest, ByteCountsInEachUnit) {
  EXPECT_EQ(FormatByteCount(0, 0), "0");
  EXPECT_EQ(FormatByteCount(0, 1234567), "1,234,567");
  EXPECT_EQ(FormatByteCount(1, 999), "999 B");
  EXPECT_EQ(FormatByteCount(1, 1000), "1,000 B");
  EXPECT_EQ(FormatByteCount(2, 1048576), "1,024 KB");
  EXPECT_EQ(FormatByteCount(2, 0), "0 KB");
  EXPECT_EQ(FormatByteCount(3, 1048576), "1.00 MB");
  EXPECT_EQ(FormatByteCount(7, 1048576), "1.00 MB");
  // Values beyond 32 bits keep every digit.
  EXPECT_EQ(FormatByteCount(2, int64_t{1} << 47), "137,438,953,472 KB");
}

TEST(StatusFormatTest, RoundsToWholesAndHundredths) {
  EXPECT_EQ(FormatByteCount(2, 1535), "1 KB");
  EXPECT_EQ(FormatByteCount(2, 1537), "2 KB");
  EXPECT_EQ(FormatByteCount(3, 1048576 + 10486), "1.01 MB");
  EXPECT_EQ(FormatByteCount(3, 1048576 * 999 + 1048000), "1,000.00 MB");
}

TEST(StatusFormatTest, NegativeValuesKeepTheirSignUnlessTheyRoundToZero) {
  EXPECT_EQ(FormatByteCount(0, -1234), "-1,234");
  EXPECT_EQ(FormatByteCount(2, -2048), "-2 KB");
  EXPECT_EQ(FormatByteCount(2, -100), "0 KB");
}

TEST(StatusFormatTest, UsesTheUsersSeparators) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(FormatByteCount(0, 1234567), "1.234.567");
  EXPECT_EQ(FormatByteCount(3, 1048576 * 1234 + 1048576 / 4), "1.234,25 MB");
  QLocale::setDefault(QLocale::c());
}

TEST(StatusFormatTest, DurationsAsHoursMinutesSeconds) {
  EXPECT_EQ(FormatDuration(3725), "1:02:05");
  EXPECT_EQ(FormatDuration(90000), "25:00:00");
  EXPECT_EQ(FormatDuration(59), "0:00:59");
  EXPECT_EQ(FormatDuration(3600 * 100 + 60), "100:01:00");
}

}  // namespace
}  // namespace velt
