// The libdeflate codec for whole entries: one codec, reused, refuses whatever is
// not exactly what the records say and is as good as new for the next entry.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "archive/whole_entry.h"
#include "common/zip_builder.h"

namespace quenmar {
namespace {

std::string Inflate(std::string_view deflated, size_t size) {
  std::string out(size, '\0');
  z_stream z{};
  inflateInit2(&z, -15);
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(deflated.data()));
  z.avail_in = static_cast<uInt>(deflated.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int result = inflate(&z, Z_FINISH);
  inflateEnd(&z);
  EXPECT_EQ(result, Z_STREAM_END);
  EXPECT_EQ(z.avail_out, 0u);
  return out;
}

std::string Text(size_t size, uint64_t seed) {
  std::string data;
  while (data.size() < size) data += std::to_string(seed++ * 7919 % 100003) + ";";
  data.resize(size);
  return data;
}

TEST(WholeEntryCodec, RefusesDamageAndThenWorksAsNew) {
  const std::string data = Text(300000, 1);
  const std::string deflated = testing::RawDeflate(data);
  const uint32_t crc = testing::Crc32Of(data);
  std::string invalid = deflated;
  invalid[0] = '\xFF';
  struct Case {
    const char* what;
    uint16_t method;
    std::string stored;
    uint32_t size, crc;
  };
  const Case refused[] = {
      {"another CRC-32", 8, deflated, 300000, crc ^ 1},
      {"an invalid block type", 8, invalid, 300000, crc},
      {"cut short", 8, deflated.substr(0, deflated.size() / 2), 300000, crc},
      {"fewer bytes than declared", 8, deflated, 300001, crc},
      {"more bytes than declared", 8, deflated, 299999, crc},
      {"no data at all", 8, "", 300000, crc},
      {"stored, another CRC-32", 0, data, 300000, crc ^ 1},
      {"stored, cut short", 0, data.substr(1), 300000, crc},
  };
  TWholeEntryCodec codec;
  for (const Case& c : refused) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(codec.Recompress(c.method, c.stored, c.size, c.crc).has_value());
    // Right after the failure, on the same codec: a smaller entry, then a larger
    // one than before, each whole and right.
    for (const size_t size : {size_t{120}, size_t{1} << 20}) {
      const std::string good = Text(size, size);
      const auto again = codec.Recompress(8, testing::RawDeflate(good), static_cast<uint32_t>(size), testing::Crc32Of(good));
      ASSERT_TRUE(again.has_value());
      EXPECT_EQ(Inflate(*again, size), good);
    }
  }
  // Bytes behind the end of the deflate stream are not read, as the streamed
  // path does not read them.
  const auto trailing = codec.Recompress(8, deflated + "junk", 300000, crc);
  ASSERT_TRUE(trailing.has_value());
  EXPECT_EQ(Inflate(*trailing, 300000), data);
  const auto empty = codec.Recompress(0, "", 0, 0);
  ASSERT_TRUE(empty.has_value());
  EXPECT_EQ(Inflate(*empty, 0), "");
}

TEST(WholeEntryCodec, WhatIsHeldWholeDependsOnTheSizesAlone) {
  EXPECT_TRUE(FitsWhole(8, 1000, kWholeEntryBudget));
  EXPECT_FALSE(FitsWhole(8, 1000, kWholeEntryBudget + 1));
  EXPECT_TRUE(FitsWhole(0, kWholeEntryBudget, kWholeEntryBudget));
  // More stored bytes than any deflate stream of that size needs: streamed, so
  // that memory stays bounded.
  EXPECT_TRUE(FitsWhole(8, 70000 + 10, 70000));
  EXPECT_FALSE(FitsWhole(8, 70000 + 16, 70000));
  EXPECT_FALSE(FitsWhole(12, 10, 10));
}

}  // namespace
}  // namespace quenmar
