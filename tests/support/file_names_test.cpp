#include <gtest/gtest.h>
#include <unistd.h>

#include "common/test_support.h"
#include "support/file_names.h"
#include "support/platform/paths.h"

namespace quenmar {
namespace {

struct NameCase { const char16_t* name; const char16_t* path; const char16_t* file; const char16_t* ext; const char16_t* stripped; };

TEST(FileNames, WindowsDelimitersOnEveryPlatform) {
  const NameCase cases[] = {
      {u"C:\\dir\\file.txt", u"C:\\dir\\", u"file.txt", u".txt", u"C:\\dir\\file"},
      {u"file", u"", u"file", u"", u"file"},
      {u"a.tar.gz", u"", u"a.tar.gz", u".gz", u"a.tar"},
      {u"dir.d\\file", u"dir.d\\", u"file", u"", u"dir.d\\file"},
      {u".hidden", u"", u".hidden", u".hidden", u""},
      {u"name.", u"", u"name.", u".", u"name"},
      {u"C:file.txt", u"C:", u"file.txt", u".txt", u"C:file"},
      {u"C:", u"C:", u"", u"", u"C:"},
      {u"sub/dir.x/file", u"", u"sub/dir.x/file", u".x/file", u"sub/dir"},
  };
  const TextView w = platform::kWindowsDelimiters;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::U(c.name));
    EXPECT_EQ(FilePathOf(c.name, w), c.path);
    EXPECT_EQ(FileNameOf(c.name, w), c.file);
    EXPECT_EQ(FileExtOf(c.name, w), c.ext);
    EXPECT_EQ(StripFileExt(c.name, w), c.stripped);
  }
  EXPECT_EQ(ReplaceFileExt(u"C:\\a\\b.txt", u".zip", w), u"C:\\a\\b.zip");
  EXPECT_EQ(ReplaceFileExt(u"b", u".zip", w), u"b.zip");
}

TEST(FileNames, PosixDelimitersHandlePosixPaths) {
  const NameCase cases[] = {
      {u"/home/u/data.zip", u"/home/u/", u"data.zip", u".zip", u"/home/u/data"},
      {u"dir.d/file", u"dir.d/", u"file", u"", u"dir.d/file"},
      {u"a\\b:c.txt", u"", u"a\\b:c.txt", u".txt", u"a\\b:c"},
      {u"/", u"/", u"", u"", u"/"},
  };
  const TextView p = platform::kPosixDelimiters;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::U(c.name));
    EXPECT_EQ(FilePathOf(c.name, p), c.path);
    EXPECT_EQ(FileNameOf(c.name, p), c.file);
    EXPECT_EQ(FileExtOf(c.name, p), c.ext);
    EXPECT_EQ(StripFileExt(c.name, p), c.stripped);
  }
}

TEST(FullFileName, ResolvesAgainstTheCurrentDirectoryAndFolds) {
  testing::TempDir dir;
  char old[4096];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  const Text cwd = platform::GetCurrentDir();
  const Text sep(1, platform::kPathSeparator);
  EXPECT_EQ(FullFileName(u"a.txt"), cwd + sep + u"a.txt");
  EXPECT_EQ(FullFileName(u"./x/../b/./c"), cwd + sep + u"b" + sep + u"c");
#ifdef _WIN32
  EXPECT_EQ(FullFileName(u"C:\\a\\\\b\\..\\..\\..\\c"), u"C:\\c");
#else
  EXPECT_EQ(FullFileName(u"/a//b/../../../c"), u"/c");
#endif
  EXPECT_EQ(FullFileName(u""), u"");
  ASSERT_EQ(chdir(old), 0);
}

}  // namespace
}  // namespace quenmar
