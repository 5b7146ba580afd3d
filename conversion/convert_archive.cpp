#include "conversion/convert_archive.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "archive/file_stream.h"
#include "archive/zip_file.h"
#include "conversion/entry_failure.h"
#include "conversion/entry_pipeline.h"
#include "conversion/name_collisions.h"
#include "conversion/scratch_folder.h"
#include "support/exceptions.h"
#include "support/file_names.h"
#include "support/messages.h"
#include "support/platform/files.h"
#include "support/platform/interrupts.h"
#include "support/platform/web_mark.h"
#include "support/shown_names.h"

namespace quenmar {
namespace {

constexpr char16_t kTemporaryOutput[] = u"out.zip";

// Stops the run on an interrupt of the program, or when its window asks.
std::function<void()> StopCheckFor(ConversionWindow& window) {
  return [&window] {
    if (platform::PendingInterrupt() != 0 || window.StopRequested()) throw EInterrupted(kStatusInterrupted);
  };
}

// Converts every entry into a temporary archive in the private folder and moves
// it to OutputPath.
//
// Entry names never become paths here: each entry is planned (its names checked)
// before anything else is done for it, is extracted into the run's own scratch file
// and added under its planned new name.
void WriteOutput(const Text& inputPath, const Text& folder, const Text& outputPath, int jobs,
                 ConversionWindow& window, NameCollisions& collisions) {
  // The input first: an archive that cannot be read is reported as such, and
  // no scratch folder is made for it.
  TZipFile reader;
  auto input = std::make_unique<TFileStream>(inputPath, TFileMode::kOpenRead, /*buffered=*/true);
  const uint32_t permissions = input->PermissionsAtOpen();
  // Looked at while the input is held: an archive from the internet gives an
  // output that says so too.
  const std::optional<std::string> webMark = platform::ReadWebMark(inputPath);
  reader.Open(std::move(input), zmRead);
  const std::function<void()> stopIfAsked = StopCheckFor(window);
  // Looked at after every block the archives read or write.
  reader.OnProgress = [&stopIfAsked](TZipFile&, const Text&, const TZipHeader&, int64_t) { stopIfAsked(); };
  stopIfAsked();
  ScratchFolder scratch(folder);
  // Made with the input's permissions: an archive its owner alone may read gives
  // an output no one else may read either.
  const std::unique_ptr<TFileStream> output =
      scratch.NewFile(kTemporaryOutput, /*buffered=*/true, permissions == 0 ? 0600 : permissions);
  {
    TZipFile writer;
    writer.OnProgress = reader.OnProgress;
    writer.Open(*output, zmWrite);
    ConvertEntries(reader, writer, scratch, jobs, window, collisions, stopIfAsked);
    reader.Close();
    writer.Close();
  }
  // On the disk before it replaces the earlier output: after a crash or a power
  // cut, the output's path holds the earlier output or the whole new one, never
  // an empty or partial file.
  output->FlushToDisk();
  output->Close();
  // Before the move, so the output never stands without it.
  if (webMark) scratch.MarkFile(kTemporaryOutput, *webMark);
  stopIfAsked();  // the last moment at which the earlier output still stands
  const Text fullOutput = FullFileName(outputPath);
  scratch.MoveOut(kTemporaryOutput, FileNameOf(outputPath), fullOutput.empty() ? outputPath : fullOutput);
  // Done: an interrupt from here on finds the work finished.
}

// The status for a failed run: what went wrong in Czech, with Cause's own message
// behind it (messages.h), after the entry's name when the failure was an entry's.
Text FailureText(const std::optional<Text>& entry, const std::exception_ptr& cause) {
  const Text failed = entry ? Text(kStatusFailed) + u" u položky \"" + *entry + u"\": " : Text(kStatusFailed) + u": ";
  try {
    std::rethrow_exception(cause);
  } catch (const EInterrupted&) {
    return Text(kStatusInterrupted);
  } catch (const std::exception& e) {
    return failed + FailureMessage(e, entry.has_value());
  }
}

}  // namespace

Text OutputPathFor(TextView inputPath, TextView delimiters) {
  Text name = FileNameOf(inputPath, delimiters);
  InsertText(u"-", name, 5);
  return FilePathOf(inputPath, delimiters) + name;
}

int DefaultJobs() { return std::max(1, static_cast<int>(std::thread::hardware_concurrency())); }

bool ConvertArchive(ConversionWindow& window, int jobs, Text* warning) {
  window.DisableStart();
  window.SetGaugeVisible(true);
  window.SetGaugeProgress(0);
  const Text inputPath = window.InputPath();
  const Text folder = FilePathOf(inputPath);
  const Text outputPath = OutputPathFor(inputPath);
  window.SetStatus(kStatusRunning);
  window.ProcessMessages();

  std::optional<Text> failure;
  NameCollisions collisions;
  try {
    WriteOutput(inputPath, folder, outputPath, std::max(1, jobs), window, collisions);
  } catch (const EntryFailure& e) {
    failure = FailureText(e.Entry(), e.Cause());
  } catch (...) {
    failure = FailureText(std::nullopt, std::current_exception());
  }
  Text status = failure ? *failure : Text(kStatusDone) + outputPath;
  if (!failure) {
    const Text collided = collisions.WarningText();
    if (!collided.empty()) status += kWarningSeparator + collided;
    if (warning != nullptr) *warning = collided;
  }
  // Names from the archive (and the paths around them) shown as they are could
  // steer a terminal: their control characters are shown escaped.
  window.SetStatus(EscapeControls(status));
  window.SetGaugeVisible(false);
  return !failure;
}

}  // namespace quenmar
