// Hand-made archives for tests: every field can be set, so damaged and unusual
// archives are easy to describe. Data is stored as given (method 0) or deflated
// raw (method 8); any other method stores the bytes under that method number.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quenmar::testing {

struct BuiltEntry {
  BuiltEntry(std::string entryName, std::string content, uint16_t entryMethod = 0, uint16_t entryFlag = 0x0800)
      : name(std::move(entryName)), data(std::move(content)), method(entryMethod), flag(entryFlag) {}

  std::string name;
  std::string data;
  uint16_t method = 0;
  uint16_t flag = 0x0800;
  uint16_t madeBy = 20;
  uint32_t externalAttributes = 0x20;
  uint32_t dosDateTime = 0x4D4F7000;  // 2018-10-15 14:00:00
  std::optional<uint32_t> crc;        // the right CRC-32 unless set
  std::string localExtra;
  std::string centralExtra;
  std::optional<std::string> localName;  // the central name unless set
  std::optional<std::string> payload;    // the stored data bytes as given, whatever the method
  std::optional<uint32_t> uncompressedSize;  // the real size unless set
};

struct BuiltArchive {
  std::vector<BuiltEntry> entries;
  std::string comment;
  std::optional<uint16_t> entryCount;  // the real count unless set

  std::string Bytes() const;
};

std::string RawDeflate(const std::string& data);
// A deflated entry whose data zlib refuses at its first byte (an invalid block
// type) while most of the data is still unread.
BuiltEntry DamagedDeflateEntry(std::string name);
uint32_t Crc32Of(const std::string& data);
// An archive of Count stored entries of Size bytes of noise each, under dated
// names that convert to distinct names: long to convert, for stopping a run.
std::string NoiseArchive(int count, size_t size);
// An Info-ZIP Unicode Path record (tag 0x7075) naming Utf8Name for StoredName.
std::string UnicodePathRecord(const std::string& storedName, const std::string& utf8Name);

}  // namespace quenmar::testing
