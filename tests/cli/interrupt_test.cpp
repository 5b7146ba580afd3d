// quenmar-convert interrupted as a user interrupts it: Ctrl+C (SIGINT), a
// termination request (SIGTERM) and a closed terminal (SIGHUP), early, mid-way and
// near the end of a run; and killed outright (SIGKILL), whose leftovers the next
// run removes.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>
#include <thread>

#include "archive/zip_file.h"
#include "cli/cli_app.h"
#include "support/platform/interrupts.h"
#include "common/test_support.h"

extern char** environ;

namespace quenmar {
namespace {

using testing::ReadFile;
using testing::T;
using testing::TempDir;
using testing::WriteFile;
namespace fs = std::filesystem;

const std::string kConvert = QUENMAR_CONVERT_EXE;

// An archive whose conversion takes a few seconds: 24 stored entries of 2 MiB of
// call records.
void MakeLargeArchive(const std::string& path) {
  TZipFile zip;
  zip.Open(T(path), zmWrite);
  uint32_t x = 1;
  for (int i = 0; i < 24; ++i) {
    std::string data;
    data.reserve(2 << 20);
    while (data.size() < (2u << 20)) {
      x = x * 1103515245u + 12345u;
      data += std::to_string(x % 1000000007u) + ";+420" + std::to_string(x >> 7) + ";" + std::to_string(x % 3600) + "\n";
    }
    data.resize(2u << 20);
    zip.Add(data, T("2018-10-" + std::to_string(10 + i % 18) + "-a-b-" + std::to_string(i) + ".csv"), 0);
  }
  zip.Close();
}

// quenmar-convert on Archive, its standard output and error going to files.
pid_t Start(const std::string& folder, const std::string& archive) {
  const std::string command = "exec " + kConvert + " -q " + archive + " >" + folder + "/out.txt 2>" + folder + "/err.txt";
  const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) return -1;
  return pid;
}

// The private folder of a run in Folder, once there is one.
std::string PrivateFolder(const std::string& folder) {
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().filename().string().rfind(".quenmar-", 0) == 0) return entry.path().string();
  }
  return std::string();
}

// Waits until the run's temporary output holds at least Bytes (0: until the private
// folder exists); false when the run ended first.
bool WaitFor(pid_t pid, const std::string& folder, uintmax_t bytes) {
  for (;;) {
    if (waitpid(pid, nullptr, WNOHANG) != 0) return false;
    const std::string scratch = PrivateFolder(folder);
    std::error_code error;
    const uintmax_t written = scratch.empty() ? 0 : fs::file_size(scratch + "/out.zip", error);
    // (file_size gives -1 with an error: no output yet counts as none written.)
    if (!scratch.empty() && (bytes == 0 || (!error && written >= bytes))) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

int ExitStatus(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
}

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

TEST(Interrupts, EachSignalAtEachPointLeavesTheFolderAsItWas) {
  TempDir dir;
  MakeLargeArchive(dir / "exports.zip");
  // The size of a whole output, for the points at which to interrupt.
  ASSERT_EQ(testing::RunCommand(kConvert + " -q " + dir / "exports.zip"), 0);
  const uintmax_t whole = fs::file_size(dir / "expo-rts.zip");
  WriteFile(dir / "expo-rts.zip", "an earlier output");
  const std::set<std::string> expected = {"exports.zip", "expo-rts.zip", "out.txt", "err.txt"};

  struct Point { const char* name; uintmax_t bytes; };
  const Point points[] = {{"first entry", 0}, {"mid-way", whole / 2}, {"near the end", whole - whole / 20}};
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    for (const Point& point : points) {
      SCOPED_TRACE(std::string(strsignal(signal)) + ", " + point.name);
      // On a loaded machine the last few blocks can pass between two looks at
      // the output: such a run is done, not interrupted, and is tried again.
      pid_t pid = -1;
      for (int attempt = 0; attempt < 5 && pid <= 0; ++attempt) {
        pid = Start(dir.path(), dir / "exports.zip");
        ASSERT_GT(pid, 0);
        if (!WaitFor(pid, dir.path(), point.bytes)) {
          pid = -1;
          WriteFile(dir / "expo-rts.zip", "an earlier output");
        }
      }
      if (pid <= 0) {
        ADD_FAILURE() << "the run ended before it could be interrupted, five times";
        continue;
      }
      ASSERT_EQ(kill(pid, signal), 0);
      // A second one, impatient, while the run cleans up: it changes nothing.
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      (void)kill(pid, signal);
      EXPECT_EQ(ExitStatus(pid), 128 + signal);
      EXPECT_EQ(ReadFile(dir / "err.txt"), "Konverze přerušena\n");
      EXPECT_EQ(Names(dir.path()), expected);
      EXPECT_EQ(ReadFile(dir / "expo-rts.zip"), "an earlier output");
    }
  }
}

TEST(Interrupts, AKilledRunsLeftoversGoWithTheNextRun) {
  TempDir dir;
  MakeLargeArchive(dir / "exports.zip");
  const pid_t pid = Start(dir.path(), dir / "exports.zip");
  ASSERT_GT(pid, 0);
  ASSERT_TRUE(WaitFor(pid, dir.path(), 1));
  ASSERT_EQ(kill(pid, SIGKILL), 0);
  EXPECT_EQ(ExitStatus(pid), 1000 + SIGKILL);
  const std::string leftover = PrivateFolder(dir.path());
  ASSERT_FALSE(leftover.empty());
  {
    TZipFile small;
    small.Open(T(dir / "small.zip"), zmWrite);
    small.Add(TBytes("x"), u"2018-10-15-a-b.csv");
    small.Close();
  }
  // The next run in the folder removes it.
  ASSERT_EQ(testing::RunCommand(kConvert + " -q " + dir / "small.zip"), 0);
  EXPECT_FALSE(fs::exists(leftover));

  // A run still going keeps its folder while another run starts beside it.
  const pid_t going = Start(dir.path(), dir / "exports.zip");
  ASSERT_GT(going, 0);
  ASSERT_TRUE(WaitFor(going, dir.path(), 1));
  const std::string goingFolder = PrivateFolder(dir.path());
  ASSERT_EQ(testing::RunCommand(kConvert + " -q " + dir / "small.zip"), 0);
  EXPECT_TRUE(fs::exists(goingFolder)) << "a run still going lost its folder";
  EXPECT_EQ(ExitStatus(going), 0);
  EXPECT_EQ(Names(dir.path()),
            (std::set<std::string>{"exports.zip", "expo-rts.zip", "small.zip", "smal-l.zip", "out.txt", "err.txt"}));
}


// An interrupt that arrives once the output is in place finds the work done: the
// success is reported and the exit status is 0, not that of an interrupted run.
// The signal is sent the moment the output appears, so it lands while the run is
// still saying what it did.
TEST(Interrupts, OneAfterTheOutputIsInPlaceLeavesTheWorkDone) {
  TempDir dir;
  MakeLargeArchive(dir / "exports.zip");
  platform::InstallInterruptHandlers();
  std::atomic<bool> stop{false};
  std::thread watcher([&] {
    const std::string output = dir / "expo-rts.zip";
    while (!stop && !fs::exists(output)) std::this_thread::yield();
    if (!stop) kill(getpid(), SIGINT);
  });
  std::ostringstream out, err;
  const int status = RunCli({dir / "exports.zip"}, CliStreams{out, err});
  // The signal may also come after the return: give it the time to be sure.
  for (int i = 0; i < 100 && platform::PendingInterrupt() == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  stop = true;
  watcher.join();
  EXPECT_EQ(platform::PendingInterrupt(), SIGINT);
  EXPECT_EQ(status, 0) << err.str();
  EXPECT_EQ(out.str(), "Soubor byl konvertov\xC3\xA1n do: " + dir / "expo-rts.zip" + "\n");
  TZipFile converted;
  converted.Open(T(dir / "expo-rts.zip"), zmRead);
  EXPECT_EQ(converted.FileCount(), 24);
}

}  // namespace
}  // namespace quenmar
#endif
