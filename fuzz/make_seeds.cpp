// Writes a handful of small archives into a folder, as the fuzzer's first corpus.
#include <cstdio>
#include <string>
#include <utility>

#include "archive/zip_file.h"
#include "support/utf8.h"

using namespace quenmar;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  auto make = [&](const std::string& name, auto&& fill) {
    TZipFile zip;
    zip.Open(Utf8ToText(folder + "/" + name), zmWrite);
    fill(zip);
    zip.Close();
  };
  make("empty.zip", [](TZipFile&) {});
  make("stored.zip", [](TZipFile& z) { z.Add(TBytes("hello world"), u"hello.txt", 0); });
  make("deflated.zip", [](TZipFile& z) {
    z.Add(TBytes(5000, 'a'), u"2018-10-15-a-b-c.csv", 8);
    z.Add(TBytes("x"), u"sub/x.txt", 8);
  });
  make("folder.zip", [](TZipFile& z) {
    z.Add(TBytes(), u"dir/", 0);
    z.Add(TBytes("in dir"), u"dir/f.txt", 8);
  });
  make("utf8.zip", [](TZipFile& z) { z.Add(TBytes("\xC5\xA1"), u"\u0161koda.txt", 8); });
  make("cp437.zip", [](TZipFile& z) {
    z.SetUTF8Support(false);
    z.Add(TBytes("caf\xC3\xA9"), u"caf\u00E9.txt", 8);
    z.SetComment(u"a comment");
  });
  // For the whole run: dated names, a read-only entry, names marked UTF-8 one by
  // one, and names that would lead out of the archive's folder after a harmless
  // entry (rooted ones into the run fuzzer's sandbox).
  make("run-dated.zip", [](TZipFile& z) {
    z.Add(TBytes("1;2;3\n"), u"2018-10-15-abc-def-ghi.csv", 8);
    TMemoryStream readOnly(TBytes(3000, 'r'));
    z.Add(readOnly, u"2018-10-01-abc-abc-1.csv", 8, 0x21);
    z.Add(TBytes(), u"2019-01-01-P1-P1-X.txt", 0);
  });
  make("run-mixed-flags.zip", [](TZipFile& z) {
    for (const auto& [name, flag] : {std::pair{std::string("2018-10-15-\xC4\x8D\xC3\xA1p-x.csv"), 0x0800},
                                     std::pair{std::string("2018-10-16-a-b.csv"), 0}}) {
      TZipHeader header;
      header.Flag = static_cast<uint16_t>(flag);
      header.CompressionMethod = 8;
      header.FileName = name;
      TMemoryStream data(TBytes("x;y\n"));
      z.Add(data, header);
    }
  });
  const std::string sandbox = "/tmp/quenmar-run-fuzz";
  const std::string unsafe[] = {"../../victim.txt", "../../../victim.txt", "a/../../../../victim.txt",
                                "..\\..\\..\\victim.txt", sandbox + "/outer/victim.txt", sandbox + "/new.txt",
                                "C:\\victim.txt", "\\\\server\\share\\victim.txt", "2018-10-16-a-b-c.csv/../../x"};
  int n = 0;
  for (const std::string& name : unsafe) {
    make("run-unsafe-" + std::to_string(n++) + ".zip", [&](TZipFile& z) {
      z.Add(TBytes("harmless"), u"2018-10-15-a-b-c.csv", 8);
      z.Add(TBytes("hostile"), Utf8ToText(name), 8);
    });
  }
  return 0;
}
