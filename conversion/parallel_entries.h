// The entries of a run converted on several threads, with the output byte for
// byte that of converting them one at a time.
//
// The calling thread plans and extracts the entries in order, each into a scratch
// file of its own slot; worker threads compress them into memory (TZipFile::
// PrepareFile, with the parameters every entry gets); the calling thread appends
// them to the writer in central-directory order and moves the gauge. An entry whose
// compressed bytes would not fit the memory budget is compressed by the calling
// thread when its turn comes, streamed as the one-at-a-time run streams it, so
// memory stays bounded whatever the entry sizes: at most Slots entries are in hand.
//
// A failure is that of the first failing entry in order: CurrentEntry names it,
// the workers stop after the entry they are on, and the exception goes to the
// caller. Only the calling thread touches the window, the reader and the writer's
// file.
#pragma once

#include <optional>

#include "archive/zip_file.h"
#include "conversion/conversion_window.h"
#include "conversion/name_collisions.h"
#include "conversion/scratch_folder.h"
#include "support/text.h"

namespace quenmar {

// Compressed bytes one entry may hold in memory.
inline constexpr int64_t kPreparedEntryBudget = int64_t{4} << 20;

// Converts every entry of Reader into Writer with Jobs worker threads (Jobs >= 1).
// Check is called between steps and after every block, on any of the threads, and
// may throw to stop the run; it must be safe to call from several threads.
// Collisions gets each entry's names as it is planned.
void ConvertEntriesInParallel(TZipFile& reader, TZipFile& writer, const ScratchFolder& scratch, int jobs,
                              ConversionWindow& window, std::optional<Text>& currentEntry, NameCollisions& collisions,
                              void (*check)());

}  // namespace quenmar
