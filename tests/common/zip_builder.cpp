#include "common/zip_builder.h"

#include <zlib.h>

#include <random>
#include <stdexcept>

namespace quenmar::testing {
namespace {

void U16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

void U32(std::string& out, uint32_t v) {
  U16(out, v & 0xFFFF);
  U16(out, v >> 16);
}

}  // namespace

uint32_t Crc32Of(const std::string& data) {
  return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

std::string RawDeflate(const std::string& data) {
  z_stream z{};
  if (deflateInit2(&z, -1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw std::runtime_error("deflateInit2");
  std::string out(deflateBound(&z, static_cast<uLong>(data.size())) + 16, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  if (deflate(&z, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("deflate");
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

BuiltEntry DamagedDeflateEntry(std::string name) {
  std::string data(4000, '\0');
  uint32_t x = 12345;
  for (char& c : data) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 24);
  }
  BuiltEntry entry(std::move(name), data, 8);
  entry.payload = RawDeflate(data);
  (*entry.payload)[0] = '\xFF';
  return entry;
}

std::string UnicodePathRecord(const std::string& storedName, const std::string& utf8Name) {
  std::string out;
  U16(out, 0x7075);
  U16(out, static_cast<uint32_t>(5 + utf8Name.size()));
  out += '\x01';
  U32(out, Crc32Of(storedName));
  out += utf8Name;
  return out;
}

std::string BuiltArchive::Bytes() const {
  std::string out, directory;
  for (const BuiltEntry& e : entries) {
    const std::string payload = e.payload ? *e.payload : e.method == 8 ? RawDeflate(e.data) : e.data;
    const uint32_t crc = e.crc.value_or(Crc32Of(e.data));
    const std::string localName = e.localName.value_or(e.name);
    const auto offset = static_cast<uint32_t>(out.size());
    U32(out, 0x04034B50);
    U16(out, 20);
    U16(out, e.flag);
    U16(out, e.method);
    U32(out, e.dosDateTime);
    U32(out, crc);
    U32(out, static_cast<uint32_t>(payload.size()));
    U32(out, e.uncompressedSize.value_or(static_cast<uint32_t>(e.data.size())));
    U16(out, static_cast<uint32_t>(localName.size()));
    U16(out, static_cast<uint32_t>(e.localExtra.size()));
    out += localName + e.localExtra + payload;

    U32(directory, 0x02014B50);
    U16(directory, e.madeBy);
    U16(directory, 20);
    U16(directory, e.flag);
    U16(directory, e.method);
    U32(directory, e.dosDateTime);
    U32(directory, crc);
    U32(directory, static_cast<uint32_t>(payload.size()));
    U32(directory, e.uncompressedSize.value_or(static_cast<uint32_t>(e.data.size())));
    U16(directory, static_cast<uint32_t>(e.name.size()));
    U16(directory, static_cast<uint32_t>(e.centralExtra.size()));
    U16(directory, 0);
    U16(directory, 0);
    U16(directory, 0);
    U32(directory, e.externalAttributes);
    U32(directory, offset);
    directory += e.name + e.centralExtra;
  }
  const auto directoryOffset = static_cast<uint32_t>(out.size());
  out += directory;
  U32(out, 0x06054B50);
  U16(out, 0);
  U16(out, 0);
  const uint16_t count = entryCount.value_or(static_cast<uint16_t>(entries.size()));
  U16(out, count);
  U16(out, count);
  U32(out, static_cast<uint32_t>(directory.size()));
  U32(out, directoryOffset);
  U16(out, static_cast<uint32_t>(comment.size()));
  out += comment;
  return out;
}

std::string NoiseArchive(int count, size_t size) {
  BuiltArchive archive;
  std::mt19937 noise(7);
  for (int i = 0; i < count; ++i) {
    std::string data(size, '\0');
    for (char& c : data) c = static_cast<char>(noise());
    archive.entries.push_back(BuiltEntry("2018-10-15-a" + std::to_string(i) + "-b.csv", std::move(data)));
  }
  return archive.Bytes();
}

}  // namespace quenmar::testing
