// The run in a folder that another user may write to, with that user attacking
// it: the private folder exchanged for one of links, replaced by a link, and a
// leftover folder whose subfolder turns into a link while it is cleared. The
// attacker runs as another uid (setpriv), so these tests need root and skip
// without it. Each attack goes on through many runs; none may touch a file of the
// user's outside the run's own, and every run either converts or says it failed.
#if !defined(_WIN32)

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "common/fake_window.h"
#include "common/test_support.h"
#include "common/zip_builder.h"
#include "conversion/convert_archive.h"

namespace quenmar {
namespace {

using testing::BuiltArchive;
using testing::BuiltEntry;
using testing::FakeWindow;
using testing::Snapshot;
using testing::T;
using testing::TempDir;
using testing::U;
using testing::WriteFile;

constexpr int kRuns = 150;

class Attacker {
 public:
  Attacker(const std::string& mode, const std::string& dir, const std::string& target) {
    pid_ = fork();
    if (pid_ == 0) {
      execl("/usr/bin/setpriv", "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", QUENMAR_ATTACKER,
            mode.c_str(), dir.c_str(), target.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    usleep(100000);  // settled in its loop
  }
  ~Attacker() {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }

 private:
  pid_t pid_ = -1;
};

class SharedFolder : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    if (geteuid() != 0 || access("/usr/bin/setpriv", X_OK) != 0) GTEST_SKIP() << "needs root and setpriv";
    chmod(root_.path().c_str(), 0755);
    // The user's own files, where the attacker can neither read nor write.
    ASSERT_EQ(testing::MakeFolder(root_ / "private"), 0);
    chmod((root_ / "private").c_str(), 0700);
    WriteFile(root_ / "private/victim.txt", "the user's own words");
    for (int i = 0; i < 50; ++i) WriteFile(root_ / ("private/f" + std::to_string(i)), "kept " + std::to_string(i));
    ASSERT_EQ(testing::MakeFolder(root_ / "shared"), 0);
    BuiltArchive archive;
    for (int i = 1; i <= 6; ++i) {
      archive.entries.push_back(BuiltEntry("2018-10-1" + std::to_string(i) + "-abc-def-ghi.csv",
                                           std::string(40000 * i, static_cast<char>('a' + i)), 8));
    }
    WriteFile(root_ / "shared/exports.zip", archive.Bytes());
  }

  TempDir root_;
};

TEST_P(SharedFolder, AnotherUserCannotTurnTheRunAgainstItsUser) {
  const std::string mode = GetParam();
  // No sticky bit: everyone may rename and remove anything here.
  chmod((root_ / "shared").c_str(), mode == std::string("leftover") ? 01777 : 0777);
  const auto before = Snapshot(root_ / "private");
  const std::string target = root_ / (mode == std::string("exchange") ? "private/victim.txt" : "private");
  Attacker attacker(mode, root_ / "shared", target);
  int converted = 0;
  for (int run = 0; run < kRuns; ++run) {
    FakeWindow window(T(root_ / "shared/exports.zip"));
    const bool ok = ConvertArchive(window, run % 2 + 1);
    converted += ok;
    if (ok) {
      struct stat st;
      ASSERT_EQ(lstat((root_ / "shared/expo-rts.zip").c_str(), &st), 0);
      ASSERT_TRUE(S_ISREG(st.st_mode)) << "run " << run << ": the output is not a file of its own";
      EXPECT_EQ(testing::RunCommand("unzip -tqq '" + root_ / "shared/expo-rts.zip" + "'"), 0) << "run " << run;
    } else {
      EXPECT_NE(U(window.status).find("Konverze selhala"), std::string::npos) << U(window.status);
    }
    ASSERT_EQ(Snapshot(root_ / "private"), before) << "run " << run << " touched the user's files";
  }
  RecordProperty("converted", converted);
}

INSTANTIATE_TEST_SUITE_P(Attacks, SharedFolder, ::testing::Values("exchange", "symlink", "leftover"));

}  // namespace
}  // namespace quenmar

#endif
