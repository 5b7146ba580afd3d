// quenmar-convert end to end: archives made by other tools go in, the output must
// satisfy unzip and hold every entry under its new name, byte for byte.
#include <gtest/gtest.h>
#include <sys/stat.h>
#if !defined(_WIN32)
#include <sys/mount.h>
#include <unistd.h>
#endif

#include <sstream>

#include "archive/zip_file.h"
#include "cli/cli_app.h"
#include "common/test_support.h"
#include "common/zip_builder.h"

namespace quenmar {
namespace {

using testing::HaveProgram;
using testing::ReadFile;
using testing::RunCommand;
using testing::T;
using testing::TempDir;
using testing::WriteFile;

const std::string kConvert = QUENMAR_CONVERT_EXE;

struct Source { std::string name, newName, data; bool readOnly; };

const Source kSources[] = {
    {"2018-10-15-abc-def-ghi.csv", "2018-10-abc-def-ghi-mob.csv", "1;420123;420456;60\n2;420123;420789;5\n", false},
    {"2018-10-01-abc-abc-1.csv", "2018-09-abc-abc-1-fix.csv", std::string(100000, 'x') + "\n", true},
    {"2019-01-01-P1-P1-X.txt", "2018-12-P1-P1-X-fix.txt", "", false},
};

// Writes the source files with a known time and mode into Folder.
void WriteSources(const std::string& folder) {
  for (const Source& s : kSources) {
    WriteFile(folder + "/" + s.name, s.data);
    testing::SetModifiedTime(folder + "/" + s.name, 1539612345);
    if (s.readOnly) chmod((folder + "/" + s.name).c_str(), 0444);
  }
}

void CheckOutput(const std::string& output, const std::string& input) {
  std::string text;
  ASSERT_EQ(RunCommand("unzip -t " + output, &text), 0) << text;
  TZipFile zip, in;
  zip.Open(T(output), zmRead);
  in.Open(T(input), zmRead);
  ASSERT_EQ(zip.FileCount(), 3);
  for (int i = 0; i < 3; ++i) {
    const Source& s = kSources[i];
    const TZipHeader h = zip.FileInfo(i);
    EXPECT_EQ(testing::U(zip.FileName(i)), s.newName);
    EXPECT_EQ(h.CompressionMethod, 8);
    TBytes bytes;
    zip.Read(i, bytes);
    EXPECT_EQ(bytes, s.data);
    EXPECT_EQ((h.ExternalAttributes & 1) != 0, s.readOnly) << s.name;
    EXPECT_EQ(h.ModifiedDateTime, in.FileInfo(i).ModifiedDateTime) << s.name;
  }
}

TEST(CliConvert, ConvertsArchivesOfInfoZipAndPython) {
  if (!HaveProgram("zip") || !HaveProgram("unzip") || !HaveProgram("python3")) GTEST_SKIP() << "zip, unzip or python3 missing";
  TempDir dir;
  WriteSources(dir.path());
  std::string text;
  ASSERT_EQ(RunCommand("cd " + dir.path() + " && zip -q infozip.zip 2018-10-15-abc-def-ghi.csv "
                       "2018-10-01-abc-abc-1.csv 2019-01-01-P1-P1-X.txt", &text), 0) << text;
  const std::string script =
      "import os, sys, zipfile\n"
      "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:\n"
      "    for n in sys.argv[2:]:\n"
      "        z.write(n)\n";
  WriteFile(dir / "make.py", script);
  ASSERT_EQ(RunCommand("cd " + dir.path() + " && python3 make.py python.zip 2018-10-15-abc-def-ghi.csv "
                       "2018-10-01-abc-abc-1.csv 2019-01-01-P1-P1-X.txt", &text), 0) << text;

  ASSERT_EQ(RunCommand(kConvert + " " + dir / "infozip.zip" + " " + dir / "python.zip", &text), 0) << text;
  EXPECT_EQ(text, "Soubor byl konvertován do: " + dir / "info-zip.zip" + "\n" +
                      "Soubor byl konvertován do: " + dir / "pyth-on.zip" + "\n");
  CheckOutput(dir / "info-zip.zip", dir / "infozip.zip");
  CheckOutput(dir / "pyth-on.zip", dir / "python.zip");
}

TEST(CliConvert, FailuresGoToStandardErrorAndTheRunGoesOn) {
  TempDir dir;
  {
    TZipFile zip;
    zip.Open(T(dir / "good.zip"), zmWrite);
    zip.Add(TBytes("x"), u"2018-10-15-a-b.csv");
    zip.Close();
    zip.Open(T(dir / "bad1.zip"), zmWrite);
    zip.Add(TBytes("x"), u"no-date.csv");
    zip.Close();
  }
  std::string out, err;
  const int status =
      RunCommand(kConvert + " " + dir / "bad1.zip" + " " + dir / "good.zip" + " 2>" + dir / "err", &out, false);
  err = ReadFile(dir / "err");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(out, "Soubor byl konvertován do: " + dir / "good-.zip" + "\n");
  EXPECT_EQ(err, "Konverze selhala u položky \"no-date.csv\": název nezačíná platným datem RRRR-MM-DD "
                 "(Invalid argument to date encode)\n");
  EXPECT_EQ(err.find('\r'), std::string::npos);  // no progress bar when not a terminal

  EXPECT_EQ(RunCommand(kConvert + " -n " + dir / "bad1.zip" + " " + dir / "good.zip", &out, false), 1);
  EXPECT_EQ(out, "no-date.csv -> error: Invalid argument to date encode\n2018-10-15-a-b.csv -> 2018-10-a-b-mob.csv\n");
  EXPECT_EQ(RunCommand(kConvert + " --dry-run " + dir / "good.zip", &out), 0);
  EXPECT_EQ(RunCommand(kConvert + " --frobnicate " + dir / "good.zip", &out), 2);
  EXPECT_EQ(RunCommand(kConvert + " --version", &out), 0);
  EXPECT_EQ(out, "quenmar-convert 1.0.0.0\n");
}

// Python's zipfile and 7-Zip mark only the names that are not ASCII as UTF-8.
TEST(CliConvert, MixedNameEncodingsOfPythonAnd7Zip) {
  if (!HaveProgram("python3") || !HaveProgram("7z")) GTEST_SKIP() << "python3 or 7z missing";
  TempDir dir;
  const std::string czech = "2018-10-15-\xC4\x8D\xC3\xA1p-x.csv";  // čáp
  WriteFile(dir / czech, "stork");
  WriteFile(dir / "2018-10-16-a-b.csv", "plain");
  WriteFile(dir / "make.py",
            "import sys, zipfile\n"
            "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:\n"
            "    for n in sys.argv[2:]:\n"
            "        z.write(n)\n");
  std::string text;
  const std::string files = " '" + czech + "' 2018-10-16-a-b.csv";
  ASSERT_EQ(RunCommand("cd " + dir.path() + " && python3 make.py python.zip" + files, &text), 0) << text;
  ASSERT_EQ(RunCommand("cd " + dir.path() + " && LC_ALL=C.UTF-8 7z a -tzip seven.zip" + files + " >/dev/null", &text), 0)
      << text;
  for (const std::string input : {"python.zip", "seven.zip"}) {
    SCOPED_TRACE(input);
    ASSERT_EQ(RunCommand(kConvert + " -n " + dir / input, &text), 0) << text;
    EXPECT_EQ(text, czech + " -> 2018-10-\xC4\x8D\xC3\xA1p-x-mob.csv\n2018-10-16-a-b.csv -> 2018-10-a-b-mob.csv\n");
    ASSERT_EQ(RunCommand(kConvert + " " + dir / input, &text), 0) << text;
    TZipFile out;
    out.Open(T(dir / (input.substr(0, 4) + "-" + input.substr(4))), zmRead);
    ASSERT_EQ(out.FileCount(), 2);
    EXPECT_EQ(testing::U(out.FileName(0)), "2018-10-\xC4\x8D\xC3\xA1p-x-mob.csv");
    TBytes bytes;
    out.Read(0, bytes);
    EXPECT_EQ(bytes, "stork");
  }
}

// The dry run plans every entry as the run does and reads its data through, so
// it names the same failures (in the English the run keeps behind its Czech
// sentence) and predicts the run's exit status.
TEST(CliConvert, TheDryRunPredictsTheRun) {
  struct Case { testing::BuiltEntry entry; std::string shownAs, outcome, sentence; };
  testing::BuiltEntry badCrc("2018-10-16-c-d.csv", "payload", 8);
  badCrc.crc = 0x12345678;
  const std::string noNewName = "Z názvu položky nevznikl platný nový název. ";
  const Case cases[] = {
      {testing::BuiltEntry("2018-10-16-c-c.csv", "fine", 8), "2018-10-16-c-c.csv", "2018-10-c-c-fix.csv", ""},
      {testing::BuiltEntry("1899-12-30-a-b-c.txt", "x"), "1899-12-30-a-b-c.txt", "error: Invalid new entry name \"\"",
       noNewName},
      {testing::BuiltEntry("2018-10-01/x-y-z.csv", "x"), "2018-10-01/x-y-z.csv",
       "error: Invalid new entry name \"2018-09/x-y-z-mob.csv\"", noNewName},
      {testing::BuiltEntry("../2018-10-01-x.csv", "x"), "../2018-10-01-x.csv",
       "error: Entry name leads outside the target folder",
       "Název položky vede mimo cílovou složku, proto ji program odmítl. "},
      {badCrc, "2018-10-16-c-d.csv", "error: CRC-32 mismatch",
       "Archiv je poškozený, data položky neodpovídají kontrolnímu součtu. "},
      {testing::DamagedDeflateEntry("2018-10-16-e-f.csv"), "2018-10-16-e-f.csv", "error: data error",
       "Archiv je poškozený, data položky nelze přečíst. "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shownAs);
    TempDir dir;
    testing::BuiltArchive archive;
    archive.entries.push_back(testing::BuiltEntry("2018-10-15-a-b.csv", "first", 8));
    archive.entries.push_back(c.entry);
    WriteFile(dir / "input.zip", archive.Bytes());
    const bool fails = c.outcome.rfind("error: ", 0) == 0;
    std::string out;
    EXPECT_EQ(RunCommand(kConvert + " -n " + dir / "input.zip", &out, false), fails ? 1 : 0);
    EXPECT_EQ(out, "2018-10-15-a-b.csv -> 2018-10-a-b-mob.csv\n" + c.shownAs + " -> " + c.outcome + "\n");
    EXPECT_EQ(RunCommand(kConvert + " " + dir / "input.zip" + " 2>" + dir / "err", &out, false), fails ? 1 : 0);
    if (fails) {
      EXPECT_EQ(ReadFile(dir / "err"),
                "Konverze selhala u polo\xC5\xBEky \"" + c.shownAs + "\": " + c.sentence + "(" + c.outcome.substr(7) +
                    ")\n");
    }
  }
}

#if !defined(_WIN32)
// A folder the run may not write to: the dry run says so as the run does, rather
// than promise a conversion that cannot happen.
TEST(CliConvert, TheDryRunFailsWhereTheRunCannotWrite) {
  TempDir dir;
  const std::string folder = dir / "exports";
  ASSERT_EQ(testing::MakeFolder(folder), 0);
  testing::BuiltArchive archive;
  archive.entries.push_back(testing::BuiltEntry("2018-10-15-a-b.csv", "first", 8));
  struct Unmount {
    std::string path;
    ~Unmount() {
      if (!path.empty()) umount(path.c_str());
    }
  } unmount;
  if (geteuid() == 0) {  // root writes anywhere but on a read-only file system
    if (mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0) GTEST_SKIP() << "no tmpfs of its own";
    unmount.path = folder;
    WriteFile(folder + "/input.zip", archive.Bytes());
    ASSERT_EQ(mount("tmpfs", folder.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k"), 0);
  } else {
    WriteFile(folder + "/input.zip", archive.Bytes());
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  }
  std::string out;
  EXPECT_EQ(RunCommand(kConvert + " -n " + folder + "/input.zip 2>" + dir / "dry", &out, false), 1);
  EXPECT_EQ(out, "2018-10-15-a-b.csv -> 2018-10-a-b-mob.csv\n");
  EXPECT_EQ(RunCommand(kConvert + " " + folder + "/input.zip 2>" + dir / "run", &out, false), 1);
  const std::string dry = ReadFile(dir / "dry"), run = ReadFile(dir / "run");
  EXPECT_NE(dry.find("Cannot create file \"" + folder + "/\""), std::string::npos) << dry;
  EXPECT_EQ(run.rfind("Konverze selhala: Přístup byl odepřen. Zkontrolujte oprávnění a zda soubor není jen pro čtení. "
                     "(Cannot create file \"" + folder + "/\"",
                     0),
            0u)
      << run;
  chmod(folder.c_str(), 0755);
}
#endif

// New names that coincide: both entries are written and the exit status stays 0;
// the warning goes to standard error, after the success line on standard output,
// and the dry run gives the same warning, each naming the archive. Control characters never reach the
// terminal as they are.
TEST(CliConvert, CoincidingNamesAreWarnedOfAndControlsShownEscaped) {
  TempDir dir;
  testing::BuiltArchive archive;
  archive.entries.push_back(testing::BuiltEntry("2018-10-15-abc-def-ghi.csv", "first", 8));
  archive.entries.push_back(testing::BuiltEntry("2018-10-16-abc-def-ghi.csv", "second", 8));
  WriteFile(dir / "twice.zip", archive.Bytes());
  const std::string warning =
      "pozor, stejn\xC3\xBD nov\xC3\xBD n\xC3\xA1zev dostalo v\xC3\xAD" "ce polo\xC5\xBE" "ek: "
      "2018-10-15-abc-def-ghi.csv -> 2018-10-abc-def-ghi-mob.csv, 2018-10-16-abc-def-ghi.csv -> 2018-10-abc-def-ghi-mob.csv";
  std::string out;
  EXPECT_EQ(RunCommand(kConvert + " " + dir / "twice.zip" + " 2>" + dir / "err", &out, false), 0);
  EXPECT_EQ(out, "Soubor byl konvertov\xC3\xA1n do: " + dir / "twic-e.zip" + "\n");
  EXPECT_EQ(ReadFile(dir / "err"), dir / "twice.zip" + ": " + warning + "\n");
  EXPECT_EQ(RunCommand(kConvert + " -n " + dir / "twice.zip" + " 2>" + dir / "err", &out, false), 0);
  EXPECT_EQ(ReadFile(dir / "err"), dir / "twice.zip" + ": " + warning + "\n");

  testing::BuiltArchive controls;
  controls.entries.push_back(testing::BuiltEntry("2018-10-15-a\x1b]0;x\x07-b.csv", "x", 8));
  WriteFile(dir / "controls.zip", controls.Bytes());
  EXPECT_EQ(RunCommand(kConvert + " -n " + dir / "controls.zip", &out, false), 1);
  EXPECT_EQ(out, "2018-10-15-a\\x1b]0;x\\x07-b.csv -> error: Invalid characters in path\n");
#if !defined(_WIN32)  // cmd passes no control character on a command line
  EXPECT_EQ(RunCommand(kConvert + " --names 'a\x1b[31m'", &out, false), 1);
  EXPECT_EQ(out.find('\x1b'), std::string::npos) << out;
#endif
}

// One process, two archives: the first fails half-way through its data, and
// nothing of it may reach the second.
TEST(CliConvert, AFailedArchiveDoesNotSpoilTheNext) {
  TempDir dir;
  testing::BuiltArchive bad, good;
  bad.entries.push_back(testing::DamagedDeflateEntry("2018-10-15-a-b.csv"));
  good.entries.push_back(testing::BuiltEntry("2018-10-15-a-b.csv", std::string(5000, 'g'), 8));
  WriteFile(dir / "bad.zip", bad.Bytes());
  WriteFile(dir / "good.zip", good.Bytes());
  std::string out;
  EXPECT_EQ(RunCommand(kConvert + " " + dir / "bad.zip" + " " + dir / "good.zip" + " 2>" + dir / "err", &out, false), 1);
  EXPECT_EQ(out, "Soubor byl konvertov\xC3\xA1n do: " + dir / "good-.zip" + "\n");
  EXPECT_EQ(ReadFile(dir / "err"), "Konverze selhala u polo\xC5\xBEky \"2018-10-15-a-b.csv\": Archiv je poškozený, "
                                   "data položky nelze přečíst. (data error)\n");
}

}  // namespace
}  // namespace quenmar

namespace quenmar {
namespace {

TEST(CliConvert, ProgressBarOnlyOnATerminalAndNotWhenQuiet) {
  TempDir dir;
  {
    TZipFile zip;
    zip.Open(T(dir / "bars.zip"), zmWrite);
    for (int day = 10; day < 14; ++day) zip.Add(TBytes("x"), T("2018-10-" + std::to_string(day) + "-a-b.csv"));
    zip.Close();
  }
  struct Case { std::vector<std::string> args; bool terminal; bool bar; };
  const Case cases[] = {
      {{dir / "bars.zip"}, true, true},
      {{"--quiet", dir / "bars.zip"}, true, false},
      {{dir / "bars.zip"}, false, false},
  };
  for (const Case& c : cases) {
    std::ostringstream out, err;
    EXPECT_EQ(RunCli(c.args, CliStreams{out, err, c.terminal}), 0);
    EXPECT_EQ(err.str().find("] 100 %") != std::string::npos, c.bar) << err.str();
    EXPECT_EQ(out.str(), "Soubor byl konvertován do: " + dir / "bars-.zip" + "\n");
  }
}

}  // namespace
}  // namespace quenmar
