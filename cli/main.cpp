#include <unistd.h>

#include <iostream>

#include "cli/cli_app.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return quenmar::RunCli(args, quenmar::CliStreams{std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1});
}
