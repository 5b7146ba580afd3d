#include "conversion/convert_archive.h"

#include <exception>
#include <optional>

#include "archive/entry_path.h"
#include "archive/zip_file.h"
#include "conversion/entry_name_rule.h"
#include "conversion/progress.h"
#include "conversion/scratch_folder.h"
#include "support/exceptions.h"
#include "support/file_names.h"
#include "support/platform/file_info.h"
#include "support/platform/files.h"
#include "support/platform/folders.h"
#include "support/quiet_files.h"
#include "support/utf8.h"

namespace quenmar {
namespace {

constexpr TZipCompression kDeflate = 8;

// A new name must be a plain file name: the output entry is named after the part
// of the scratch path behind its last delimiter, and that must be the whole name
// on every platform.
void CheckNewName(const Text& newName) {
  if (newName.empty() || newName.find_first_of(u"/\\:") != Text::npos) {
    throw EArgumentException(u"Invalid new entry name \"" + newName + u"\"");
  }
}

// Converts every entry into a temporary archive and moves it to OutputPath.
// CurrentEntry names the entry being worked on while an entry is.
void ConvertEntries(const Text& inputPath, const Text& folder, const Text& outputPath, ConversionWindow& window,
                    std::optional<Text>& currentEntry) {
  // The input first: an archive that cannot be read is reported as such, and
  // no scratch folder is made for it.
  TZipFile reader;
  reader.Open(inputPath, zmRead);
  ScratchFolder scratch(folder);
  const Text entriesFolder = scratch.Path() + u"e";
  const Text temporaryOutput = scratch.Path() + u"out.zip";
  // Each entry's file is handed on to the next entry instead of being deleted:
  // creating and deleting a file per entry costs the file system more than all
  // the rest of a small entry's work. Spare names the file left by the last
  // entry, relative to the entries' folder.
  std::optional<Text> spare;
  // The entries' folder, held open once extraction has made it, so that the
  // renames inside it do not walk its whole path each time.
  std::optional<platform::OpenFolder> entries;
  // A failed rename shows itself when Add cannot open the file.
  auto rename = [&](const Text& from, const Text& to) {
    if (entries) {
      (void)entries->Rename(from, to);
    } else {
      RenameFileReplace(JoinEntryPath(entriesFolder, from), JoinEntryPath(entriesFolder, to));
    }
  };
  {
    TZipFile writer;
    writer.Open(temporaryOutput, zmWrite);
    const int entryCount = reader.FileCount();
    const std::vector<Text> entryNames = reader.FileNames();
    for (int index = 0; index < entryCount; ++index) {
      currentEntry = entryNames[static_cast<size_t>(index)];
      // Extraction may write under the name of a Unicode Path record; the rule
      // works on the name the file really got.
      const Text name = reader.ExtractionName(index);
      const Text scratchName = EntryNameToPath(name);
      if (spare && entries && entries->Rename(*spare, scratchName).Ok()) spare.reset();
      reader.Extract(index, entriesFolder, true);
      if (!entries) entries = platform::OpenFolder::Open(entriesFolder);
      const Text newName = ConvertEntryName(name);
      CheckNewName(newName);
      rename(scratchName, newName);
      const Text targetPath = JoinEntryPath(entriesFolder, newName);
      writer.Add(targetPath, u"", kDeflate);
      // In place of deleting it: made writable again for the next entry, which
      // takes it over under its own name (one file at a time, as before).
      if (spare) DeleteFileQuiet(JoinEntryPath(entriesFolder, *spare));
      spare.reset();
      // Add has just read the file's attributes; only a read-only file needs a
      // change.
      const bool readOnly = (writer.FileInfo(writer.FileCount() - 1).ExternalAttributes & platform::kAttrReadOnly) != 0;
      if (!readOnly || platform::SetFileAttributes(targetPath, 0).Ok()) {
        spare = newName;
      } else {
        DeleteFileQuiet(targetPath);
      }
      window.SetGaugeProgress(ProgressPercent(index + 1, entryCount));
    }
    currentEntry.reset();
    reader.Close();
    writer.Close();
  }
  const Text fullOutput = FullFileName(outputPath);
  const platform::IoStatus moved = platform::RenameFile(temporaryOutput, fullOutput);
  if (!moved.Ok()) throw EFCreateError(CannotCreateMessage(fullOutput.empty() ? outputPath : fullOutput, moved.reason));
}

Text FailureText(const std::optional<Text>& entry, const Text& message) {
  if (entry) return Text(kStatusFailed) + u" u položky \"" + *entry + u"\": " + message;
  return Text(kStatusFailed) + u": " + message;
}

}  // namespace

Text OutputPathFor(TextView inputPath, TextView delimiters) {
  Text name = FileNameOf(inputPath, delimiters);
  InsertText(u"-", name, 5);
  return FilePathOf(inputPath, delimiters) + name;
}

bool ConvertArchive(ConversionWindow& window) {
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
  try {
    ConvertEntries(inputPath, folder, outputPath, window, currentEntry);
  } catch (const Exception& e) {
    failure = FailureText(currentEntry, e.Message());
  } catch (const std::exception& e) {
    failure = FailureText(currentEntry, Utf8ToText(e.what()));
  }
  window.SetStatus(failure ? *failure : Text(kStatusDone) + outputPath);
  window.SetGaugeVisible(false);
  return !failure;
}

}  // namespace quenmar
