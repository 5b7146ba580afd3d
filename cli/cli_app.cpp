#include "cli/cli_app.h"

#include <ostream>

#include "archive/zip_file.h"
#include "cli/console_window.h"
#include "conversion/convert_archive.h"
#include "conversion/entry_failure.h"
#include "conversion/entry_plan.h"
#include "conversion/entry_name_rule.h"
#include "conversion/name_collisions.h"
#include "conversion/scratch_folder.h"
#include "support/file_names.h"
#include "support/exceptions.h"
#include "support/platform/interrupts.h"
#include "support/shown_names.h"
#include "support/utf8.h"

namespace quenmar {
namespace {

constexpr const char* kUsage =
    "Usage: quenmar-convert [-n|--dry-run] [-q|--quiet] [-j|--jobs N] ARCHIVE...\n"
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
    "  -j, --jobs N     compress N entries at once (default: the number of cores;\n"
    "                   1: one at a time); the result is the same byte for byte\n"
    "  -h, --help, /?   show this help\n"
    "  -V, --version    show the version\n"
    "\n"
    "Exit status: 0 when everything converted, 1 when a name or an archive failed,\n"
    "2 for a usage error; when interrupted, 128 + the signal's number on Linux (130\n"
    "for Ctrl+C) and 0xC000013A (-1073741510, as for any program Ctrl+C ends) on\n"
    "Windows. An interrupted run removes what it had written and leaves an earlier\n"
    "output as it was.\n";

// Prints "NAME -> NEWNAME" or "NAME -> error: MESSAGE", NAME as Shown; false when
// the rule refused the name.
// Text for the terminal: control characters shown escaped.
std::string Shown(TextView text) { return TextToUtf8(EscapeControls(text)); }
std::string Shown(const char* utf8) { return Shown(Utf8ToText(utf8)); }

// Shown as given (invalid UTF-8 included, as the user typed it), unless it holds
// control characters.
bool PrintConvertedName(std::ostream& out, const std::string& given, const Text& name) {
  out << (EscapeControls(name) == name ? given : Shown(name)) << " -> ";
  try {
    out << Shown(ConvertEntryName(name)) << '\n';
    return true;
  } catch (const Exception& e) {
    out << "error: " << Shown(e.what()) << '\n';
    return false;
  }
}

int RunNames(const std::vector<std::string>& names, CliStreams streams) {
  bool allConverted = true;
  for (const std::string& name : names) allConverted = PrintConvertedName(streams.out, name, Utf8ToText(name)) && allConverted;
  return allConverted ? 0 : 1;
}

// Lists what each entry would become, in directory order; writes nothing. Each
// entry is planned as the run plans it and its data read through and checked, so
// the failures listed are those the run would stop at.
bool DryRun(const Text& archive, CliStreams streams) {
  try {
    TZipFile zip;
    zip.Open(archive, zmRead);
    bool allConverted = true;
    NameCollisions collisions;
    for (int i = 0; i < zip.FileCount(); ++i) {
      try {
        const EntryPlan plan = PlanEntry(zip, i);
        NamingEntry(plan.name, [&] { zip.Verify(i); });
        collisions.Add(plan.newName, plan.name);
        streams.out << Shown(plan.name) << " -> " << Shown(plan.newName) << '\n';
      } catch (const EntryFailure& e) {
        streams.out << Shown(e.Entry()) << " -> error: " << Shown(e.what()) << '\n';
        allConverted = false;
      }
    }
    // What the run would write it could not: a folder it may not write to, a path
    // too long for the files it makes there.
    CheckRunCanWrite(FilePathOf(archive));
    if (const Text warning = collisions.WarningText(); !warning.empty()) {
      streams.err << Shown(archive) << ": " << Shown(warning) << '\n';
    }
    return allConverted;
  } catch (const std::exception& e) {
    streams.err << Shown(archive) << ": " << Shown(e.what()) << '\n';
    return false;
  }
}

bool Convert(const Text& archive, bool quiet, int jobs, CliStreams streams) {
  ConsoleWindow window(archive, streams.err, streams.errIsTerminal && !quiet);
  Text warning;
  const bool converted = ConvertArchive(window, jobs, &warning);
  // A warning behind the success text (its names escaped already) goes to
  // standard error, the success line alone to standard output.
  Text status = window.Status();
  if (!warning.empty()) status.resize(status.size() - warning.size() - TextView(kWarningSeparator).size());
  (converted ? streams.out : streams.err) << TextToUtf8(status) << '\n';
  if (!warning.empty()) streams.err << Shown(archive) << ": " << Shown(warning) << '\n';
  return converted;
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
  bool dryRun = false, quiet = false, optionsDone = false;
  int jobs = DefaultJobs();
  std::vector<std::string> archives;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!optionsDone && (arg == "-j" || arg == "--jobs")) {
      if (i + 1 == args.size()) return UsageError(streams, arg + " needs a number");
      const std::string& value = args[++i];
      int parsed = 0;
      const bool number = !value.empty() && value.size() <= 4 &&
                          value.find_first_not_of("0123456789") == std::string::npos && (parsed = std::stoi(value)) >= 1;
      if (!number) return UsageError(streams, "the number of jobs must be a whole number from 1 to 9999, not '" + value + "'");
      jobs = parsed;
      continue;
    }
    // "/?" is how Windows programs are asked for help; no archive has that name.
    if (!optionsDone && arg == "/?") {
      streams.out << kUsage;
      return 0;
    }
    if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
      if (arg == "-h" || arg == "--help") {
        streams.out << kUsage;
        return 0;
      }
      if (arg == "-V" || arg == "--version") {
        streams.out << "quenmar-convert " << QUENMAR_VERSION << '\n';
        return 0;
      }
      if (arg == "-n" || arg == "--dry-run") {
        dryRun = true;
      } else if (arg == "-q" || arg == "--quiet") {
        quiet = true;
      } else if (arg == "--") {
        optionsDone = true;
      } else {
        return UsageError(streams, "unknown option '" + arg + "'");
      }
    } else {
      archives.push_back(arg);
    }
  }
  if (archives.empty()) return UsageError(streams, "no archive given");
  bool allWell = true;
  // Whether an interrupt cut the work short: an archive it stopped, or one it kept
  // from starting. One that comes after the last output was moved into place
  // finds the work done.
  bool cutShort = false;
  for (const std::string& archive : archives) {
    if (platform::PendingInterrupt() != 0) {
      cutShort = true;
      break;
    }
    const Text path = Utf8ToText(archive);
    const bool well = dryRun ? DryRun(path, streams) : Convert(path, quiet, jobs, streams);
    cutShort = !well && platform::PendingInterrupt() != 0;
    allWell = well && allWell;
    if (cutShort) break;
  }
  // Interrupted: the run in progress has cleaned up and said so; no further
  // archive is started.
  if (const int interrupt = platform::PendingInterrupt(); interrupt != 0 && cutShort) {
    if (dryRun) streams.err << TextToUtf8(kStatusInterrupted) << '\n';
    streams.err.flush();
    return platform::InterruptExitCode(interrupt);
  }
  return allWell ? 0 : 1;
}

}  // namespace quenmar
