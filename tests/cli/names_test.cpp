#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli_app.h"

namespace quenmar {
namespace {

struct Result { int status; std::string out, err; };

Result RunCliWith(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunCli(args, CliStreams{out, err, false});
  return {status, out.str(), err.str()};
}

TEST(CliNames, PrintsOneLinePerNameInOrder) {
  const Result r = RunCliWith({"--names", "2018-10-15-abc-def-ghi.csv", "a.csv", "2018-10--1.csv", "1899-12-30.x"});
  EXPECT_EQ(r.out,
            "2018-10-15-abc-def-ghi.csv -> 2018-10-abc-def-ghi-mob.csv\n"
            "a.csv -> error: Invalid argument to date encode\n"
            "2018-10--1.csv -> error: Range check error\n"
            "1899-12-30.x -> \n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(RunCliWith({"--names", "2019-01-01-P1-P1-X.txt"}).status, 0);
}

TEST(CliNames, NamesAreUtf8) {
  const Result r = RunCliWith({"--names", "2018-10-15-\xC5\xA1-\xC5\xA1.csv", "2018-10-15-\xFF-x.csv"});
  EXPECT_EQ(r.out, "2018-10-15-\xC5\xA1-\xC5\xA1.csv -> 2018-10-\xC5\xA1-\xC5\xA1-fix.csv\n"
                   "2018-10-15-\xFF-x.csv -> 2018-10-\xEF\xBF\xBD-x-mob.csv\n");
}

TEST(CliNames, UsageErrorsAndHelp) {
  EXPECT_EQ(RunCliWith({}).status, 2);
  EXPECT_EQ(RunCliWith({"--names"}).status, 2);
  EXPECT_EQ(RunCliWith({"--bogus"}).status, 2);
  const Result help = RunCliWith({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--names"), std::string::npos);
  // Windows' own way to ask, and the interrupt's status on each platform.
  const Result asked = RunCliWith({"/?"});
  EXPECT_EQ(asked.status, 0);
  EXPECT_EQ(asked.out, help.out);
  EXPECT_NE(help.out.find("130"), std::string::npos);
  EXPECT_NE(help.out.find("0xC000013A"), std::string::npos);
}

}  // namespace
}  // namespace quenmar
