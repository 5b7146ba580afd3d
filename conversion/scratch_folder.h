// A private folder for the files of one conversion run: created under a fresh,
// unique, hidden name (".quenmar-" and 16 hexadecimal digits) in the input's
// folder and removed with everything in it (read-only files included) when the
// object goes.
//
// The folder is made once, opened once and checked to be the one made; every
// later step (each scratch file, the output's final move beside it, the removal)
// goes through that handle and the handle of the parent folder, never through a
// path. Another user who may write in the parent can rename the folder, exchange
// it or put a link in its place: the run then fails or carries on in its own
// folder, and never writes, moves or removes anything elsewhere.
//
// For as long as it exists, the folder holds a file "lock" under the exclusive lock
// that archive files take. A run that could not clean up (killed, crashed, the power
// gone) leaves its folder behind; the next run in the same folder removes every such
// folder of this user whose lock it can take, and never one whose lock is held by a
// run still going, nor anything that is not exactly of our making.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "archive/file_stream.h"
#include "support/platform/files.h"
#include "support/platform/folder.h"
#include "support/text.h"

namespace quenmar {

// The longest name a file of the run takes inside its private folder.
inline constexpr size_t kLongestScratchName = 32;

// Raises EPathTooLongException "The specified path is too long" when a file of a
// run in Parent (the current directory when empty) would have a path too long
// for this platform, before anything is made.
void CheckScratchPathLength(TextView parent);

// What a dry run can check of Parent without writing: what CheckScratchPathLength
// checks, and that this user may make files there (else EFCreateError, as the run
// would fail).
void CheckRunCanWrite(TextView parent);

class ScratchFolder {
 public:
  // Removes what earlier runs left in Parent (the current directory when empty),
  // then creates the folder there. Raises what CheckScratchPathLength raises, and
  // EFCreateError when it cannot make or lock the folder (nothing is left then).
  explicit ScratchFolder(TextView parent);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder's path, ending in a separator: for messages only.
  const Text& Path() const { return folder_.Path(); }

  // Creates the file Name inside the folder; it must not exist yet. Permissions
  // as platform::Folder::NewFile. Name must be one plain component of the run's
  // own (never an entry's); anything else raises EArgumentException "Scratch name
  // leads outside its folder". Raises EFCreateError when it cannot.
  std::unique_ptr<TFileStream> NewFile(TextView name, bool buffered = false, uint32_t permissions = 0600) const;
  // Opens the existing file Name inside the folder: for writing over it from its
  // start (kOverwrite) or for reading (kOpenRead). Raises EFOpenError.
  std::unique_ptr<TFileStream> OpenFile(TextView name, TFileMode mode) const;
  // Raises EWriteError "Stream write error. There is not enough space on the
  // disk (...)" when Bytes more would not fit on the folder's volume. Each entry
  // is checked so before it is extracted: a crafted archive that declares huge
  // entries fails at the first that cannot fit instead of filling the disk.
  void RequireRoom(uint64_t bytes) const;
  // Removes the file Name inside the folder, read-only or not; quietly.
  void RemoveFile(TextView name) const;
  // Gives the file Name the mark of the web Mark (platform/web_mark.h), so that it
  // leaves the folder with it. Raises EFCreateError naming the mark's stream.
  void MarkFile(TextView name, const std::string& mark) const;
  // Moves the file Name to TargetName beside the folder (in the parent), over an
  // earlier file there unless another program holds it, and has the parent's
  // entries put on the disk. Raises EFCreateError naming ShownTarget.
  void MoveOut(TextView name, TextView targetName, TextView shownTarget) const;

 private:
  platform::Folder parent_;
  platform::Folder folder_;
  Text name_;  // the folder's name in the parent
  platform::File lock_;
};

}  // namespace quenmar
