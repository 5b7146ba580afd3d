// Helpers for the benchmark script:
//   bench_tool add FILE ARCHIVE          archive one file as one deflated entry
//   bench_tool extract ARCHIVE FOLDER    extract every entry
//   bench_tool lookup ARCHIVE NAMES      open, then look up every name of the file
//                                        NAMES (one a line); prints the time of that
//                                        alone
//   bench_tool deflate FILE              the floor of "add": raw deflate (level -1)
//                                        and CRC-32 of the file's bytes, in memory
//   bench_tool floor ARCHIVE             the floor of a conversion: every entry
//                                        inflated, checked and raw-deflated again in
//                                        memory, on one core, with one reused
//                                        deflater
//   bench_tool floor-libdeflate ARCHIVE  the same work with libdeflate (the level
//                                        of whole entries), one core: the new limit
//   bench_tool levels ARCHIVE...         the deflated bytes of every entry of the
//                                        archives with zlib level 6 and with each
//                                        libdeflate level, for choosing the level
#include <libdeflate.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "archive/whole_entry.h"
#include "archive/zip_file.h"
#include "support/exceptions.h"
#include "support/utf8.h"

using namespace quenmar;

namespace {

std::string Slurp(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Raw deflate at level -1 with the archive's parameters, one deflater reset for
// every call.
class Deflater {
 public:
  Deflater() { deflateInit2(&z_, -1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY); }
  ~Deflater() { deflateEnd(&z_); }
  // Returns the output size.
  size_t Deflate(const std::string& data, std::vector<unsigned char>& out) {
    deflateReset(&z_);
    out.resize(deflateBound(&z_, static_cast<uLong>(data.size())));
    z_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z_.avail_in = static_cast<uInt>(data.size());
    z_.next_out = out.data();
    z_.avail_out = static_cast<uInt>(out.size());
    deflate(&z_, Z_FINISH);
    return z_.total_out;
  }

 private:
  z_stream z_{};
};

size_t DeflateInMemory(const std::string& data, std::vector<unsigned char>& out) { return Deflater().Deflate(data, out); }

int Usage() {
  std::fprintf(stderr, "usage: bench_tool add|extract|lookup|deflate|floor|floor-libdeflate|levels ...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string verb = argv[1];
  const auto start = std::chrono::steady_clock::now();
  try {
    if (verb == "add" && argc == 4) {
      TZipFile zip;
      zip.Open(Utf8ToText(argv[3]), zmWrite);
      zip.Add(Utf8ToText(argv[2]), u"", 8);
      zip.Close();
    } else if (verb == "extract" && argc == 4) {
      TZipFile::ExtractZipFile(Utf8ToText(argv[2]), Utf8ToText(argv[3]));
    } else if (verb == "lookup" && argc == 4) {
      // The names to look for are the query: they come from a file, read before
      // the clock starts. What is timed is open, every lookup and close, in a
      // process that has not opened the archive before.
      std::vector<Text> names;
      {
        std::ifstream list(argv[3]);
        for (std::string line; std::getline(list, line);) names.push_back(Utf8ToText(line));
      }
      const auto begin = std::chrono::steady_clock::now();
      long found = 0;
      {
        TZipFile zip;
        zip.Open(Utf8ToText(argv[2]), zmRead);
        for (const Text& name : names) found += zip.IndexOf(name) >= 0;
      }
      const auto end = std::chrono::steady_clock::now();
      std::printf("%ld of %zu names found; open+lookups+close %.2f ms\n", found, names.size(),
                  std::chrono::duration<double, std::milli>(end - begin).count());
    } else if (verb == "deflate") {
      const std::string data = Slurp(argv[2]);
      std::vector<unsigned char> out;
      const auto crc = crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
      std::printf("%zu -> %zu bytes, crc %08lx\n", data.size(), DeflateInMemory(data, out), crc);
    } else if (verb == "floor") {
      TMemoryStream archive(Slurp(argv[2]));
      TZipFile zip;
      zip.Open(archive, zmRead);
      std::vector<unsigned char> out;
      Deflater deflater;
      size_t total = 0;
      for (int i = 0; i < zip.FileCount(); ++i) {
        TBytes bytes;
        zip.Read(i, bytes);  // inflates and checks the CRC-32
        total += deflater.Deflate(bytes, out);
        total += crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())) & 1;
      }
      std::printf("%d entries, %zu bytes deflated\n", zip.FileCount(), total);
    } else if (verb == "floor-libdeflate") {
      TMemoryStream archive(Slurp(argv[2]));
      TZipFile zip;
      zip.Open(archive, zmRead);
      TWholeEntryCodec codec;
      TBytes stored;
      TZipHeader local;
      size_t total = 0;
      for (int i = 0; i < zip.FileCount(); ++i) {
        const TZipHeader entry = zip.FileInfo(i);
        zip.ReadStoredData(i, stored, local);
        const auto deflated = codec.Recompress(entry.CompressionMethod, stored, entry.UncompressedSize, entry.CRC32);
        if (!deflated) throw EZipException(u"damaged entry");
        total += deflated->size();
      }
      std::printf("%d entries, %zu bytes deflated\n", zip.FileCount(), total);
    } else if (verb == "levels") {
      std::vector<size_t> sizes(13);
      std::vector<unsigned char> out;
      Deflater deflater;
      for (int a = 2; a < argc; ++a) {
        TZipFile zip;
        zip.Open(Utf8ToText(argv[a]), zmRead);
        for (int i = 0; i < zip.FileCount(); ++i) {
          TBytes bytes;
          zip.Read(i, bytes);
          sizes[0] += deflater.Deflate(bytes, out);
          for (int level = 1; level <= 12; ++level) {
            libdeflate_compressor* c = libdeflate_alloc_compressor(level);
            out.resize(libdeflate_deflate_compress_bound(c, bytes.size()));
            sizes[level] += libdeflate_deflate_compress(c, bytes.data(), bytes.size(), out.data(), out.size());
            libdeflate_free_compressor(c);
          }
        }
      }
      std::printf("zlib 6: %zu\n", sizes[0]);
      for (int level = 1; level <= 12; ++level) {
        std::printf("libdeflate %2d: %zu (%s)\n", level, sizes[level], sizes[level] <= sizes[0] ? "no larger" : "larger");
      }
    } else {
      return Usage();
    }
  } catch (const Exception& e) {
    std::fprintf(stderr, "bench_tool: %s\n", e.what());
    return 1;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::fprintf(stderr, "%s: %.3f s\n", verb.c_str(), seconds);
  return 0;
}
