// quenmar-convert: the conversion engine without a window, for terminals and
// scripts. RunCli takes the arguments after the program name and returns the exit
// status: 0 all went well, 1 a name or an archive failed, 2 a usage error.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace quenmar {

struct CliStreams {
  std::ostream& out;
  std::ostream& err;
  bool errIsTerminal = false;  // progress is drawn only on a terminal
};

int RunCli(const std::vector<std::string>& args, CliStreams streams);

}  // namespace quenmar
