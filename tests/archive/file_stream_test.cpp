#include <gtest/gtest.h>

#include "archive/file_stream.h"
#include "common/test_support.h"
#include "support/exceptions.h"

namespace quenmar {
namespace {

using testing::ReadFile;
using testing::T;
using testing::TempDir;

std::string Pattern(size_t size) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) s[i] = static_cast<char>('a' + i % 23);
  return s;
}

// The buffered file must hold exactly what an unbuffered one holds after the same
// writes, seeks and patches, and read back what was written.
TEST(BufferedFileStream, WritesSeeksAndPatchesLikeAPlainFile) {
  TempDir dir;
  const std::string big = Pattern(200000);
  for (const bool buffered : {false, true}) {
    const std::string path = dir / (buffered ? "buffered" : "plain");
    {
      TFileStream stream(T(path), TFileMode::kCreate, buffered);
      stream.WriteBuffer("header..", 8);
      stream.WriteBuffer(big.data(), 70000);           // larger than the buffer
      stream.WriteBuffer(big.data() + 70000, 100);     // small again
      stream.SetPosition(4);
      stream.WriteBuffer("HEAD", 4);                   // patch far behind
      stream.SetPosition(70108);
      stream.WriteBuffer("tail", 4);
      stream.SetPosition(2);
      char two[2];
      ASSERT_EQ(stream.Read(two, 2), 2);               // a read sees what was written
      EXPECT_EQ(std::string(two, 2), "ad");
      EXPECT_EQ(stream.Size(), 70112);
      stream.Finish();
      ASSERT_TRUE(stream.Truncate(70110));
    }
    const std::string bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), 70110u);
    EXPECT_EQ(bytes.substr(0, 8), "headHEAD");
    EXPECT_EQ(bytes.substr(8, 70000), big.substr(0, 70000));
    EXPECT_EQ(bytes.substr(70108, 2), "ta");
  }
}

TEST(BufferedFileStream, ReadsAheadAndSeeksWithinWhatItHolds) {
  TempDir dir;
  const std::string data = Pattern(300000);
  testing::WriteFile(dir / "data", data);
  TFileStream stream(T(dir / "data"), TFileMode::kOpenRead, true);
  EXPECT_EQ(stream.Size(), 300000);
  std::string got(30, '\0');
  for (const int64_t at : {int64_t{0}, int64_t{65530}, int64_t{10}, int64_t{299990}, int64_t{131072}}) {
    stream.SetPosition(at);
    const int64_t n = stream.Read(got.data(), 30);
    EXPECT_EQ(n, std::min<int64_t>(30, 300000 - at)) << at;
    EXPECT_EQ(got.substr(0, static_cast<size_t>(n)), data.substr(static_cast<size_t>(at), static_cast<size_t>(n))) << at;
  }
  std::string large(100000, '\0');
  stream.SetPosition(5);
  ASSERT_EQ(stream.Read(large.data(), 100000), 100000);
  EXPECT_EQ(large, data.substr(5, 100000));
  EXPECT_EQ(stream.Position(), 100005);
}

}  // namespace
}  // namespace quenmar
