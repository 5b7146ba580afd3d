// Writes a handful of small archives into a folder, as the fuzzer's first corpus.
#include <cstdio>
#include <string>

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
  return 0;
}
