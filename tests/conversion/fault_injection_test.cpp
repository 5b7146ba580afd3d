// Every call of the platform layer that a conversion makes, failed in turn: for
// each kind of call, each error of the platform's own and one job and two, the
// run is repeated once for every call of that kind it makes, the Nth failing.
// Each run either succeeds with the output a run without faults gives, byte for
// byte (names, data, times and attributes of the entries), or fails with a
// message that keeps the system's reason, leaves nothing beside the archive and
// keeps the earlier output as it was. Runs follow each other in one process, so
// every failure is also followed by runs that must come out whole.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>

#include "common/fake_window.h"
#include "common/test_support.h"
#include "common/zip_builder.h"
#include "conversion/convert_archive.h"
#include "support/platform/faults.h"

namespace quenmar {
namespace {

using platform::faults::Call;
using platform::faults::FaultPlan;
using platform::faults::kCallKinds;
using testing::BuiltArchive;
using testing::BuiltEntry;
using testing::FakeWindow;
using testing::ReadFile;
using testing::Snapshot;
using testing::T;
using testing::TempDir;
using testing::U;
using testing::WriteFile;

constexpr char kEarlierOutput[] = "an earlier output";

// Small, but taking every path of the run: an entry large enough for a worker
// with two jobs, an empty one, and a read-only one, whose scratch file is given
// up for a new one.
std::string SmallArchive() {
  std::string noise;
  uint32_t seed = 7;
  for (int i = 0; i < 40000; ++i) {
    seed = seed * 1103515245u + 12345u;
    noise += static_cast<char>('a' + (seed >> 16) % 7);
  }
  BuiltArchive archive;
  archive.entries.push_back(BuiltEntry("2018-10-15-abc-def-ghi.csv", noise, 8));
  archive.entries.push_back(BuiltEntry("2018-10-01-abc-abc-ghi.csv", "", 0));
  BuiltEntry readOnly("2019-01-01-P1-P1-X.txt", "read only", 8);
  readOnly.externalAttributes = 0x21;
  readOnly.dosDateTime = 0x4E215A6B;
  archive.entries.push_back(readOnly);
  archive.entries.push_back(BuiltEntry("2018-10-16-abc-def-ghi.csv", "last", 8));
  return archive.Bytes();
}

// The names beside the archive, one a line, each file told as the output, the
// earlier output, the input or other bytes: a failed comparison stays readable.
std::string Beside(const std::string& dir, const std::string& output, const std::string& input) {
  std::string listing;
  for (const auto& [name, bytes] : Snapshot(dir)) {
    listing += name + (bytes == output           ? " (the output)"
                       : bytes == kEarlierOutput ? " (the earlier output)"
                       : bytes == input          ? " (the input)"
                                                 : " (" + std::to_string(bytes.size()) + " other bytes)");
    listing += "\n";
  }
  return listing;
}

std::string WithoutPrivateFolders(const std::string& listing) {
  std::string kept;
  size_t start = 0;
  for (size_t end; (end = listing.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = listing.substr(start, end + 1 - start);
    if (line.rfind(".quenmar-", 0) != 0) kept += line;
  }
  return kept;
}

struct Tally {
  int64_t calls[3] = {};   // of the kind, in a run without faults, by jobs
  int64_t failed = 0;      // runs in which the call failed
  int64_t whole = 0;       // of those, runs that still wrote the whole output
  int64_t leftFolder = 0;  // runs that left their private folder to the next
};

class FaultInjection : public ::testing::Test {
 protected:
  void SetUp() override { WriteFile(Input(), SmallArchive()); }
  std::string Input() const { return dir_ / "exports.zip"; }
  std::string Output() const { return dir_ / "expo-rts.zip"; }

  // Converts with the earlier output in place; true when the run succeeded.
  // Unless told to Keep them, what an earlier case left wrongly is cleared first:
  // it was reported there, and is not to be reported again for every later case.
  bool Run(int jobs, Text& status, bool keep = false) {
    WriteFile(Output(), kEarlierOutput);
    if (!keep) {
      for (const auto& [name, bytes] : Snapshot(dir_.path())) {
        const std::string path = dir_ / name;
        std::error_code ignored;
        if (path != Input() && path != Output()) std::filesystem::remove_all(T(path), ignored);
      }
    }
    FakeWindow window(T(Input()));
    const bool converted = ConvertArchive(window, jobs);
    status = window.status;
    return converted;
  }

  TempDir dir_;
};

TEST_F(FaultInjection, EveryFailedCallFailsTheRunCleanlyOrLeavesItWhole) {
  Text status;
  // The calls of a run are counted, not assumed: one job and two differ in them.
  std::map<int, std::map<int, int64_t>> counted;  // by jobs, by kind
  std::string output;
  for (const int jobs : {1, 2}) {
    const FaultPlan counting;
    ASSERT_TRUE(Run(jobs, status)) << U(status);
    for (int kind = 0; kind < kCallKinds; ++kind) counted[jobs][kind] = counting.Calls(Call(kind));
    if (jobs == 1) output = ReadFile(Output());
    ASSERT_EQ(ReadFile(Output()), output);
  }
  const std::string input = ReadFile(Input());
  auto beside = [&] { return Beside(dir_.path(), output, input); };
  const std::string whole = beside();
  WriteFile(Output(), kEarlierOutput);
  const std::string untouched = beside();

  std::map<std::string, Tally> tallies;
  for (const platform::faults::NativeError& error : platform::faults::SampleErrors()) {
    for (int kind = 0; kind < kCallKinds; ++kind) {
      Tally& tally = tallies[platform::faults::NameOf(Call(kind))];
      tally.calls[1] = counted[1][kind];
      tally.calls[2] = counted[2][kind];
      for (const int jobs : {1, 2}) {
        for (int64_t nth = 1; nth <= counted[jobs][kind]; ++nth) {
          SCOPED_TRACE(std::string(platform::faults::NameOf(Call(kind))) + " #" + std::to_string(nth) + " with " +
                       error.name + ", jobs " + std::to_string(jobs));
          bool converted = false;
          {
            const FaultPlan plan(Call(kind), nth, error.code);
            converted = Run(jobs, status);
            // Threads may share the calls out otherwise from run to run.
            if (!plan.Fired()) continue;
          }
          ++tally.failed;
          if (converted) {
            ++tally.whole;
          } else {
            EXPECT_EQ(U(status).rfind("Konverze selhala", 0), 0u) << U(status);
            EXPECT_NE(status.find(error.reason), Text::npos) << U(status);
          }
          const std::string& expected = converted ? whole : untouched;
          const std::string now = beside();
          if (now != expected && Call(kind) == Call::kRemove) {
            // A private folder the system would not let the run remove is the
            // next run's to clear, as after a run that was killed.
            ++tally.leftFolder;
            EXPECT_EQ(WithoutPrivateFolders(now), expected);
            ASSERT_TRUE(Run(jobs, status, /*keep=*/true)) << U(status);
            EXPECT_EQ(beside(), whole) << "left for good";
          } else {
            EXPECT_EQ(now, expected);
          }
        }
      }
    }
  }
  int64_t failed = 0;
  for (const auto& [kind, tally] : tallies) {
    failed += tally.failed;
    std::cout << "[ faults   ] " << kind << ": " << tally.calls[1] << " calls a run (" << tally.calls[2]
              << " with two jobs), " << tally.failed << " failed; "
              << tally.whole << " runs whole, " << tally.failed - tally.whole << " failed cleanly, "
              << tally.leftFolder << " left the private folder to the next run\n";
  }
  std::cout << "[ faults   ] " << failed << " calls failed in all\n";
  EXPECT_GT(failed, 0);
}

}  // namespace
}  // namespace quenmar
