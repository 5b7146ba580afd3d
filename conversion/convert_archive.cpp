#include "conversion/convert_archive.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <optional>
#include <thread>

#include "archive/file_stream.h"
#include "archive/zip_file.h"
#include "conversion/entry_plan.h"
#include "conversion/name_collisions.h"
#include "conversion/parallel_entries.h"
#include "conversion/progress.h"
#include "conversion/scratch_file.h"
#include "conversion/scratch_folder.h"
#include "support/exceptions.h"
#include "support/file_names.h"
#include "support/platform/files.h"
#include "support/platform/interrupts.h"
#include "support/shown_names.h"
#include "support/utf8.h"

namespace quenmar {
namespace {

constexpr TZipCompression kDeflate = 8;
constexpr char16_t kTemporaryOutput[] = u"out.zip";

void StopIfInterrupted() {
  if (platform::PendingInterrupt() != 0) throw EInterrupted(kStatusInterrupted);
}

// Converts every entry into a temporary archive and moves it to OutputPath.
// CurrentEntry names the entry being worked on while an entry is.
//
// Entry names never become paths here: each entry is planned (its names checked)
// before anything else is done for it, is extracted into the run's own scratch file
// and added under its planned new name.
void ConvertEntries(const Text& inputPath, const Text& folder, const Text& outputPath, int jobs,
                    ConversionWindow& window, std::optional<Text>& currentEntry, NameCollisions& collisions) {
  // The input first: an archive that cannot be read is reported as such, and
  // no scratch folder is made for it.
  TZipFile reader;
  auto input = std::make_unique<TFileStream>(inputPath, TFileMode::kOpenRead, /*buffered=*/true);
  const uint32_t permissions = input->PermissionsAtOpen();
  reader.Open(std::move(input), zmRead);
  // Looked at after every block the archives read or write.
  reader.OnProgress = [](TZipFile&, const Text&, const TZipHeader&, int64_t) { StopIfInterrupted(); };
  StopIfInterrupted();
  ScratchFolder scratch(folder);
  {
    TZipFile writer;
    writer.OnProgress = reader.OnProgress;
    // Made with the input's permissions: an archive its owner alone may read gives
    // an output no one else may read either.
    writer.Open(scratch.NewFile(kTemporaryOutput, /*buffered=*/true, permissions == 0 ? 0600 : permissions), zmWrite);
    const int entryCount = reader.FileCount();
    if (jobs > 1 && entryCount > 1) {
      ConvertEntriesInParallel(reader, writer, scratch, jobs, window, currentEntry, collisions, StopIfInterrupted);
    } else {
      ScratchFile entryFile(scratch);
      for (int index = 0; index < entryCount; ++index) {
        StopIfInterrupted();
        const EntryPlan plan = PlanEntry(reader, index, currentEntry.emplace());
        collisions.Add(plan.newName, plan.name);
        reader.ExtractToFile(index, *entryFile.OpenToWrite(reader.UncompressedSize(index)));
        writer.Add(*entryFile.OpenToRead(), plan.newName, kDeflate);
        entryFile.Recycle(writer.FileInfo(writer.FileCount() - 1).ExternalAttributes);
        window.SetGaugeProgress(ProgressPercent(index + 1, entryCount));
      }
    }
    currentEntry.reset();
    reader.Close();
    writer.Close();
  }
  StopIfInterrupted();  // the last moment at which the earlier output still stands
  const Text fullOutput = FullFileName(outputPath);
  scratch.MoveOut(kTemporaryOutput, FileNameOf(outputPath), fullOutput.empty() ? outputPath : fullOutput);
  // Done: an interrupt from here on finds the work finished.
}

Text FailureText(const std::optional<Text>& entry, const Text& message) {
  if (entry) return Text(kStatusFailed) + u" u položky \"" + *entry + u"\": " + message;
  return Text(kStatusFailed) + u": " + message;
}

// The rule's two errors say, in words a user can act on, that the name does not
// begin with a date.
Text RuleFailureText(const std::optional<Text>& entry, const Text& message) {
  return FailureText(entry, Text(kNoDate) + u" (" + message + u")");
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

  std::optional<Text> currentEntry;
  std::optional<Text> failure;
  NameCollisions collisions;
  try {
    ConvertEntries(inputPath, folder, outputPath, std::max(1, jobs), window, currentEntry, collisions);
  } catch (const EInterrupted&) {
    failure = Text(kStatusInterrupted);
  } catch (const ERangeError& e) {
    failure = RuleFailureText(currentEntry, e.Message());
  } catch (const EConvertError& e) {
    failure = RuleFailureText(currentEntry, e.Message());
  } catch (const Exception& e) {
    failure = FailureText(currentEntry, e.Message());
  } catch (const std::exception& e) {
    failure = FailureText(currentEntry, Utf8ToText(e.what()));
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
