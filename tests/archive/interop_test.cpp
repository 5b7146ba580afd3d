// Archives we write must satisfy other tools, and archives other tools write must
// read back byte for byte.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "archive/zip_file.h"
#include "common/test_support.h"
#include "support/exceptions.h"

namespace quenmar {
namespace {

using testing::HaveProgram;
using testing::ReadFile;
using testing::RunCommand;
using testing::T;
using testing::TempDir;
using testing::WriteFile;

std::string Noise(size_t size, unsigned seed) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) {
    seed = seed * 1103515245u + 12345u;
    s[i] = static_cast<char>(i % 7 == 0 ? (seed >> 16) : 'a' + (i % 13));
  }
  return s;
}

// A small tree: text, binary noise, an empty file, a folder and a read-only file.
void MakeTree(const std::string& root) {
  testing::MakeFolder(root);
  testing::MakeFolder(root + "/sub");
  WriteFile(root + "/2018-10-15-a-b-c.csv", "id;caller;callee\n1;100;200\n");
  WriteFile(root + "/noise.bin", Noise(300000, 7));
  WriteFile(root + "/empty.txt", "");
  WriteFile(root + "/sub/inner.txt", "inner");
  WriteFile(root + "/readonly.txt", "do not touch");
  chmod((root + "/readonly.txt").c_str(), 0444);
}

const char* const kTreeFiles[] = {"2018-10-15-a-b-c.csv", "noise.bin", "empty.txt", "sub/inner.txt", "readonly.txt"};

TEST(ZipInterop, WhatWeWritePassesUnzipAndPython) {
  TempDir dir;
  MakeTree(dir / "tree");
  TZipFile::ZipDirectoryContents(T(dir / "ours.zip"), T(dir / "tree"));
  if (!HaveProgram("unzip")) GTEST_SKIP() << "unzip is not installed";
  std::string output;
  EXPECT_EQ(RunCommand("unzip -t " + dir / "ours.zip", &output), 0) << output;
  if (HaveProgram("python3")) {
    const std::string script = "import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); "
                               "sys.exit(0 if z.testzip() is None and len(z.namelist()) == 5 else 1)";
    EXPECT_EQ(RunCommand("python3 -c '" + script + "' " + dir / "ours.zip", &output), 0) << output;
  }
}

struct Tool {
  const char* program;
  const char* command;  // run inside the tree; %s is the archive path
};

TEST(ZipInterop, ArchivesOfOtherToolsReadBackByteForByte) {
  const Tool tools[] = {
      {"zip", "zip -q -r %s ."},
      {"7z", "7z a -tzip -bd -bso0 %s ."},
      {"bsdtar", "bsdtar --format zip -cf %s ."},
  };
  int tried = 0;
  for (const Tool& tool : tools) {
    if (!HaveProgram(tool.program)) continue;
    ++tried;
    SCOPED_TRACE(tool.program);
    TempDir dir;
    MakeTree(dir / "tree");
    std::string command = tool.command;
    command.replace(command.find("%s"), 2, dir / "theirs.zip");
    std::string output;
    ASSERT_EQ(RunCommand("cd " + dir / "tree" + " && " + command, &output), 0) << output;

    TZipFile zip;
    zip.Open(T(dir / "theirs.zip"), zmRead);
    for (int i = 0; i < zip.FileCount(); ++i) zip.Extract(i, T(dir / "out"), true);
    for (const char* name : kTreeFiles) {
      EXPECT_EQ(ReadFile(dir / ("out/" + std::string(name))), ReadFile(dir / ("tree/" + std::string(name)))) << name;
      TBytes bytes;
      zip.Read(zip.IndexOf(T(name)) >= 0 ? zip.IndexOf(T(name)) : zip.IndexOf(T("./" + std::string(name))), bytes);
      EXPECT_EQ(bytes, ReadFile(dir / ("tree/" + std::string(name)))) << name;
    }
  }
  if (tried == 0) GTEST_SKIP() << "none of zip, 7z, bsdtar is installed";
}

}  // namespace
}  // namespace quenmar
