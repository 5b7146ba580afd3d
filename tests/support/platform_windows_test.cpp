// The platform layer where Windows has traps of its own. Runs in the Windows build.
#ifdef _WIN32
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>

#include "common/test_support.h"
#include "support/platform/file_info.h"
#include "support/platform/folders.h"

namespace quenmar {
namespace {

using testing::T;
using testing::TempDir;
using testing::WriteFile;

// The local hour of a moment given in UTC.
int LocalHourOf(int year, int month, int day, int hour) {
  std::tm utc{};
  utc.tm_year = year - 1900;
  utc.tm_mon = month - 1;
  utc.tm_mday = day;
  utc.tm_hour = hour;
  return testing::LocalTime(_mkgmtime(&utc)).tm_hour;
}

// A summer time set in winter: converted by the rules of its own date, not by
// today's offset (which gave 13:00 for a July 12:00 UTC in Prague).
TEST(WindowsPlatform, TimesFollowTheRulesOfTheirOwnDate) {
  if (LocalHourOf(2018, 1, 15, 12) != 13 || LocalHourOf(2018, 7, 15, 12) != 14) {
    GTEST_SKIP() << "needs Central European time (TZ=Europe/Prague under Wine)";
  }
  TempDir dir;
  WriteFile(dir / "summer.txt", "x");
  ASSERT_TRUE(platform::SetFileTimes(T(dir / "summer.txt"), {2018, 7, 15, 14, 0, 0}).Ok());
  const auto written = std::filesystem::last_write_time(std::filesystem::path(T(dir / "summer.txt")));
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
      std::chrono::file_clock::to_sys(written).time_since_epoch());
  EXPECT_EQ(seconds.count(), 1531656000);  // 2018-07-15 12:00:00 UTC
}

// The directory search also matches short 8.3 names ("x.zipx" through "X~1.ZIP"); a
// proposal must match by its long name.
TEST(WindowsPlatform, TheSearchMatchesLongNamesOnly) {
  TempDir dir;
  WriteFile(dir / "x.zipx", "not an archive");
  EXPECT_FALSE(platform::FindFirstMatch(T(dir.path()), u"*.ZIP").has_value());
  WriteFile(dir / "real.zip", "an archive");
  EXPECT_EQ(platform::FindFirstMatch(T(dir.path()), u"*.ZIP"), Text(u"real.zip"));
}

}  // namespace
}  // namespace quenmar
#endif
