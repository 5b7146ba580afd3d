// The platform layer where Windows has traps of its own. Runs in the Windows build.
#ifdef _WIN32
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>

#include "common/test_support.h"
#include "support/platform/faults.h"
#include "support/platform/file_info.h"
#include "support/platform/files.h"
#include "support/platform/folder.h"
#include "support/platform/folders.h"
#include "support/platform/web_mark.h"
#include "support/platform/win32/native.h"

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

// Paths on another machine, told from the text and the drive's kind alone: the
// window does not probe them at each keystroke.
TEST(WindowsPlatform, NetworkPathsAreToldWithoutAskingTheNetwork) {
  const struct {
    const char16_t* path;
    bool network;
  } cases[] = {{u"\\\\server.invalid\\share\\a.zip", true},
               {u"//server.invalid/share/a.zip", true},
               {u"\\\\?\\UNC\\server.invalid\\share\\a.zip", true},
               {u"\\\\?\\C:\\a.zip", false},
               {u"\\\\.\\C:\\a.zip", false},
               {u"C:\\a.zip", false},
               {u"a.zip", false},
               {u"", false}};
  for (const auto& one : cases) EXPECT_EQ(platform::IsNetworkPath(one.path), one.network) << testing::U(one.path);
}

// A scanner, the indexer or a sync client holds a file a moment after it was
// closed: a rename or a delete refused with 32 or 5 is tried again, and a refusal
// that stands is told by what stands in the way.
TEST(WindowsPlatform, BusyRefusalsAreRetriedAndWhatStandsIsNamed) {
  platform::win32::SetShortRetryWaitsForTests(true);
  TempDir dir;
  for (const int code : {ERROR_SHARING_VIOLATION, ERROR_ACCESS_DENIED}) {
    WriteFile(dir / "a.tmp", "new");
    WriteFile(dir / "b.zip", "old");
    {
      platform::faults::FaultPlan once(platform::faults::Call::kMove, 1, code);
      EXPECT_TRUE(platform::MoveIntoPlace(T(dir / "a.tmp"), T(dir / "b.zip")).Ok()) << code;
      EXPECT_EQ(once.Calls(platform::faults::Call::kMove), 2);
    }
    EXPECT_EQ(testing::ReadFile(dir / "b.zip"), "new");
    {
      platform::faults::FaultPlan once(platform::faults::Call::kRemove, 1, code);
      EXPECT_TRUE(platform::RemoveFile(T(dir / "b.zip")).Ok()) << code;
    }
    EXPECT_FALSE(testing::Exists(dir / "b.zip"));
  }
  // Other failures are not retried.
  WriteFile(dir / "a.tmp", "new");
  {
    platform::faults::FaultPlan once(platform::faults::Call::kMove, 1, ERROR_DISK_FULL);
    EXPECT_EQ(platform::MoveIntoPlace(T(dir / "a.tmp"), T(dir / "b.zip")).code, platform::IoCode::kDiskFull);
    EXPECT_EQ(once.Calls(platform::faults::Call::kMove), 1);
  }
  // A refusal that stands (eight tries): a sharing violation as it is; a denied
  // access told by the earlier output, read-only or held open by another program.
  const struct {
    int code;
    uint32_t attributes;
    platform::IoCode told;
  } standing[] = {{ERROR_SHARING_VIOLATION, 0, platform::IoCode::kSharingViolation},
                  {ERROR_ACCESS_DENIED, platform::kAttrReadOnly, platform::IoCode::kFileReadOnly},
                  {ERROR_ACCESS_DENIED, 0, platform::IoCode::kSharingViolation}};
  for (const auto& one : standing) {
    WriteFile(dir / "b.zip", "old");
    ASSERT_TRUE(platform::SetAttributes(T(dir / "b.zip"), one.attributes).Ok());
    platform::faults::FaultPlan always(platform::faults::Call::kMove, 1, one.code, 100);
    const platform::IoStatus refused = platform::MoveIntoPlace(T(dir / "a.tmp"), T(dir / "b.zip"));
    EXPECT_EQ(refused.code, one.told) << one.code << " " << testing::U(refused.reason);
    EXPECT_EQ(always.Calls(platform::faults::Call::kMove), 8);
    EXPECT_EQ(testing::ReadFile(dir / "b.zip"), "old");
    ASSERT_TRUE(platform::SetAttributes(T(dir / "b.zip"), 0).Ok());
  }
  platform::win32::SetShortRetryWaitsForTests(false);
}

// The private folder is hidden and kept out of the search index (Wine keeps the
// first of the two only).
TEST(WindowsPlatform, ThePrivateFolderIsHiddenAndNotIndexed) {
  TempDir dir;
  platform::IoStatus status;
  platform::Folder parent = platform::Folder::Open(T(dir.path()), status);
  ASSERT_TRUE(status.Ok());
  Text name;
  platform::Folder made = parent.CreatePrivateFolder(u".quenmar-", name, status);
  ASSERT_TRUE(status.Ok()) << testing::U(status.reason);
  const DWORD attributes = ::GetFileAttributesW(reinterpret_cast<const wchar_t*>((T(dir.path()) + u"\\" + name).c_str()));
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
  if (!(attributes & FILE_ATTRIBUTE_NOT_CONTENT_INDEXED)) GTEST_SKIP() << "the indexing bit is not kept here (Wine)";
}

// A tree whose deepest paths are longer than the plain form allows, under a root
// whose own path is short: every path in it is reached in the long form.
TEST(WindowsPlatform, TheTreeRemovalReachesPathsLongerThanThePlainForm) {
  TempDir dir;
  const std::string root = dir / "tree";
  std::string deep = root;
  for (int level = 0; level < 6; ++level) deep += "\\" + std::string(60, static_cast<char>('a' + level));
  ASSERT_GT(deep.size(), 300u);
  ASSERT_TRUE(platform::CreateFolders(T(deep)).Ok());
  platform::IoStatus status;
  platform::File file =
      platform::File::Open(T(deep + "\\entry.csv"), platform::FileAccess::kCreate, platform::FileShare::kExclusive, status);
  ASSERT_TRUE(status.Ok()) << testing::U(status.reason);
  ASSERT_TRUE(file.Close().Ok());
  EXPECT_TRUE(platform::RemoveTree(T(root)));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(root)));
}

// The mark of the web is the file's "Zone.Identifier" stream, read byte for
// byte, or the internet zone when it is too long to be a browser's. Wine keeps a
// stream as a file of that name beside the file and its volumes say they keep
// none: the mark is read there, and written only where the volume keeps streams.
TEST(WindowsPlatform, TheMarkOfTheWebIsTheZoneIdentifierStream) {
  TempDir dir;
  const std::string mark = "[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=https://example.cz/a.zip\r\n";
  WriteFile(dir / "marked.zip", "zip");
  WriteFile(dir / "marked.zip:Zone.Identifier", mark);
  WriteFile(dir / "long.zip", "zip");
  WriteFile(dir / "long.zip:Zone.Identifier", std::string(platform::kLongestWebMark + 1, 'x'));
  WriteFile(dir / "plain.zip", "zip");
  EXPECT_EQ(platform::ReadWebMark(T(dir / "marked.zip")), mark);
  EXPECT_EQ(platform::ReadWebMark(T(dir / "long.zip")), std::string(platform::kInternetZoneMark));
  EXPECT_EQ(platform::ReadWebMark(T(dir / "plain.zip")), std::nullopt);
  // A relative name of one letter is the file, not drive M.
  WriteFile(dir / "m", "zip");
  WriteFile(dir / "m:Zone.Identifier", mark);
  const std::filesystem::path was = std::filesystem::current_path();
  std::filesystem::current_path(std::filesystem::path(T(dir.path())));
  EXPECT_EQ(platform::ReadWebMark(u"m"), mark);
  std::filesystem::current_path(was);

  platform::IoStatus status;
  const platform::Folder folder = platform::Folder::Open(T(dir.path()), status);
  ASSERT_TRUE(status.Ok());
  EXPECT_FALSE(folder.WriteWebMark(u"plain.zip:x", mark).Ok());
  EXPECT_FALSE(folder.WriteWebMark(u"..\\plain.zip", mark).Ok());
  const auto before = testing::Snapshot(dir.path());
  ASSERT_TRUE(folder.WriteWebMark(u"plain.zip", mark).Ok());
  DWORD flags = 0;
  const HANDLE probe = ::CreateFileW(reinterpret_cast<const wchar_t*>(T(dir.path()).c_str()), 0, 7, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  ASSERT_TRUE(::GetVolumeInformationByHandleW(probe, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0));
  ::CloseHandle(probe);
  if (flags & FILE_NAMED_STREAMS) {
    EXPECT_EQ(platform::ReadWebMark(T(dir / "plain.zip")), mark);
  } else {
    EXPECT_EQ(testing::Snapshot(dir.path()), before) << "nothing written where no stream is kept";
  }
}

// Written where streams are kept (assumed so under Wine), a mark is read back as
// it was given, or as the internet zone when it is too long; a file just closed
// that a scanner still holds is tried again; a failure that stands is told.
TEST(WindowsPlatform, AMarkOfTheWebIsWrittenThroughABusyMomentOrFailsWithTheReason) {
  using platform::faults::Call;
  using platform::faults::FaultPlan;
  platform::win32::AssumeNamedStreamsForTests(true);
  platform::win32::SetShortRetryWaitsForTests(true);
  TempDir dir;
  const std::string mark = "[ZoneTransfer]\r\nZoneId=3\r\n";
  for (const char* name : {"busy.zip", "long.zip", "held.zip", "full.zip"}) WriteFile(dir / name, "zip");
  platform::IoStatus status;
  const platform::Folder folder = platform::Folder::Open(T(dir.path()), status);
  ASSERT_TRUE(status.Ok());
  {
    const FaultPlan busy(Call::kOpen, 1, ERROR_SHARING_VIOLATION, 3);
    EXPECT_TRUE(folder.WriteWebMark(u"busy.zip", mark).Ok());
    EXPECT_EQ(busy.Calls(Call::kOpen), 4);
  }
  EXPECT_EQ(platform::ReadWebMark(T(dir / "busy.zip")), mark);
  EXPECT_TRUE(folder.WriteWebMark(u"long.zip", std::string(platform::kLongestWebMark + 1, 'x')).Ok());
  EXPECT_EQ(platform::ReadWebMark(T(dir / "long.zip")), std::string(platform::kInternetZoneMark));
  {
    const FaultPlan held(Call::kOpen, 1, ERROR_SHARING_VIOLATION, 100);
    EXPECT_EQ(folder.WriteWebMark(u"held.zip", mark).code, platform::IoCode::kSharingViolation);
    EXPECT_EQ(held.Calls(Call::kOpen), 8);
  }
  {
    const FaultPlan full(Call::kWrite, 1, ERROR_DISK_FULL);
    EXPECT_EQ(folder.WriteWebMark(u"full.zip", mark).code, platform::IoCode::kDiskFull);
  }
  platform::win32::SetShortRetryWaitsForTests(false);
  platform::win32::AssumeNamedStreamsForTests(false);
}

}  // namespace
}  // namespace quenmar
#endif
