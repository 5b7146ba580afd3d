// An archive from the internet gives an output marked as such: the input's mark
// of the web, byte for byte, is on the output before the output takes its name,
// and a mark that cannot be written fails the run instead of leaving an unmarked
// output. The marks are kept by the platform layer's stand-in here; the streams
// themselves are the Windows suite's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/fake_window.h"
#include "common/test_support.h"
#include "common/zip_builder.h"
#include "conversion/convert_archive.h"
#include "support/platform/io_code.h"
#include "support/platform/web_mark.h"

namespace quenmar {
namespace {

using testing::BuiltArchive;
using testing::BuiltEntry;
using testing::Exists;
using testing::FakeWindow;
using testing::ReadFile;
using testing::Snapshot;
using testing::T;
using testing::TempDir;
using testing::U;
using testing::WriteFile;

constexpr char kMark[] =
    "[ZoneTransfer]\r\nZoneId=3\r\nReferrerUrl=https://example.cz/exporty\r\n"
    "HostUrl=https://example.cz/exporty/2018-10.zip?\xc5\x99\r\n";
constexpr char kEarlier[] = "an earlier output";

class WebMark : public ::testing::Test {
 protected:
  void SetUp() override {
    BuiltArchive archive;
    archive.entries.push_back(BuiltEntry("2018-10-15-abc-def-ghi.csv", "a;b;c\n1;2;3\n", 8));
    WriteFile(Input(), archive.Bytes());
    WriteFile(Output(), kEarlier);
    marks_.onWrite = [this](const Text& path) {
      // What is marked then: the finished output, in the private folder, while
      // the earlier output still stands.
      written_.push_back({U(path), ReadFile(U(path)), ReadFile(Output())});
    };
  }
  std::string Input() const { return dir_ / "exports.zip"; }
  std::string Output() const { return dir_ / "expo-rts.zip"; }
  bool Run(Text& status) {
    FakeWindow window(T(Input()));
    const bool converted = ConvertArchive(window, 1);
    status = window.status;
    return converted;
  }

  struct Written {
    std::string path, file, output;
  };
  TempDir dir_;
  platform::WebMarkStandIn marks_;
  std::vector<Written> written_;
};

TEST_F(WebMark, TheInputsMarkIsOnTheOutputBeforeItTakesItsName) {
  marks_.marks[T(Input())] = kMark;
  Text status;
  ASSERT_TRUE(Run(status)) << U(status);

  ASSERT_EQ(written_.size(), 1u);
  const std::string folder = (dir_ / ".quenmar-");
  EXPECT_EQ(written_[0].path.rfind(folder, 0), 0u) << written_[0].path;
  EXPECT_EQ(written_[0].path.size(), folder.size() + 16 + 1 + 7) << written_[0].path;
  EXPECT_EQ(written_[0].path.substr(folder.size() + 17), "out.zip");
  EXPECT_FALSE(Exists(written_[0].path));
  EXPECT_EQ(written_[0].file, ReadFile(Output()));
  EXPECT_EQ(written_[0].output, kEarlier);
  EXPECT_EQ(marks_.marks[T(written_[0].path)], kMark);
}

TEST_F(WebMark, AnUnmarkedInputGivesAnUnmarkedOutput) {
  Text status;
  ASSERT_TRUE(Run(status)) << U(status);
  EXPECT_TRUE(written_.empty());
  EXPECT_NE(ReadFile(Output()), kEarlier);
}

TEST_F(WebMark, AMarkThatCannotBeWrittenFailsTheRunAndTheNextRunSucceeds) {
  marks_.marks[T(Input())] = kMark;
  marks_.refusal = {platform::IoCode::kDiskFull, u"There is not enough space on the disk."};
  const auto before = Snapshot(dir_.path());
  Text status;
  EXPECT_FALSE(Run(status));
  EXPECT_EQ(U(status).rfind("Konverze selhala", 0), 0u) << U(status);
  EXPECT_NE(U(status).find("out.zip:Zone.Identifier"), std::string::npos) << U(status);
  EXPECT_NE(status.find(u"There is not enough space on the disk."), Text::npos) << U(status);
  EXPECT_EQ(Snapshot(dir_.path()), before) << "the earlier output is kept and nothing is left beside it";

  marks_.refusal = {};
  ASSERT_TRUE(Run(status)) << U(status);
  ASSERT_EQ(written_.size(), 2u);
  EXPECT_EQ(marks_.marks[T(written_[1].path)], kMark);
  EXPECT_NE(ReadFile(Output()), kEarlier);
}

}  // namespace
}  // namespace quenmar
