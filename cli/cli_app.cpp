#include "cli/cli_app.h"

#include <ostream>

#include "conversion/entry_name_rule.h"
#include "support/exceptions.h"
#include "support/utf8.h"

namespace quenmar {
namespace {

constexpr const char* kUsage =
    "Usage: quenmar-convert [-n|--dry-run] [-q|--quiet] ARCHIVE...\n"
    "       quenmar-convert --names NAME...\n"
    "\n"
    "Renames the dated data files inside ZIP archives. Each entry named like\n"
    "2018-10-15-abc-def-ghi.csv is stored under the year and month of the day before\n"
    "its date, with \"-fix\" before the extension when the first two fields after the\n"
    "date are equal and \"-mob\" otherwise: 2018-10-abc-def-ghi-mob.csv. The result\n"
    "is written beside each ARCHIVE under its name with \"-\" before the fifth\n"
    "character (data.zip -> data-.zip, exports.zip -> expo-rts.zip).\n"
    "\n"
    "  --names NAME...  print \"NAME -> NEWNAME\" (or \"NAME -> error: MESSAGE\") for\n"
    "                   each NAME, converting no archive\n"
    "  -n, --dry-run    list what each ARCHIVE's entries would be renamed to; write nothing\n"
    "  -q, --quiet      no progress bar\n"
    "  -h, --help       show this help\n"
    "  -V, --version    show the version\n"
    "\n"
    "Exit status: 0 when everything converted, 1 when a name or an archive failed,\n"
    "2 for a usage error.\n";

// Prints "NAME -> NEWNAME" or "NAME -> error: MESSAGE", NAME as Shown; false when
// the rule refused the name.
bool PrintConvertedName(std::ostream& out, const std::string& shown, const Text& name) {
  out << shown << " -> ";
  try {
    out << TextToUtf8(ConvertEntryName(name)) << '\n';
    return true;
  } catch (const Exception& e) {
    out << "error: " << e.what() << '\n';
    return false;
  }
}

int RunNames(const std::vector<std::string>& names, CliStreams streams) {
  bool allConverted = true;
  for (const std::string& name : names) {
    allConverted = PrintConvertedName(streams.out, name, Utf8ToText(name)) && allConverted;
  }
  return allConverted ? 0 : 1;
}

int UsageError(CliStreams streams, const std::string& message) {
  streams.err << "quenmar-convert: " << message << "\n"
              << "Try 'quenmar-convert --help' for more information.\n";
  return 2;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, CliStreams streams) {
  if (args.empty()) return UsageError(streams, "no archive given");
  if (args.front() == "--names") {
    if (args.size() == 1) return UsageError(streams, "--names needs at least one NAME");
    return RunNames(std::vector<std::string>(args.begin() + 1, args.end()), streams);
  }
  for (const std::string& arg : args) {
    if (arg == "-h" || arg == "--help") {
      streams.out << kUsage;
      return 0;
    }
    if (arg == "-V" || arg == "--version") {
      streams.out << "quenmar-convert " << QUENMAR_VERSION << '\n';
      return 0;
    }
  }
  return UsageError(streams, "converting archives is not available yet");
}

}  // namespace quenmar
