// The entries of a run converted into the new archive, in central-directory
// order, by one loop whatever the number of jobs.
//
// The calling thread plans each entry (entry_plan.h), extracts it into the
// scratch file of a slot and, at its turn, appends it to the writer. With worker
// threads, entries of 32 KiB or more are compressed into memory meanwhile by the
// workers (PrepareEntry); every other entry, and every entry of a run without
// workers, is compressed by the calling thread as it is appended, streamed into
// the writer. One job, or one entry, means no worker thread and one slot: the
// same loop with nothing handed over. Which way an entry takes never changes the
// bytes written, so the output is the same byte for byte for every job count.
//
// Bounds:
// - Disk: at most as many extracted entries exist at once as there are slots (1
//   without workers, 2 x Jobs with them), each in its slot's scratch file, beside
//   the output being written.
// - Memory: a slot holds at most kPreparedEntryBudget compressed bytes; an entry
//   whose compressed bytes would pass it is streamed by the calling thread when
//   its turn comes.
//
// Failures: the first failing entry in order decides. It leaves as an
// EntryFailure naming the entry, once every entry before it was appended; the
// workers stop after the entry they are on. What Check raises between entries
// leaves as it is.
//
// Threads: only the calling thread touches the window, the reader and the
// writer. A worker sees only the slot handed to it: its scratch file, opened
// for reading, and its planned name.
#pragma once

#include <cstdint>
#include <functional>

#include "archive/zip_file.h"
#include "conversion/conversion_window.h"
#include "conversion/name_collisions.h"
#include "conversion/scratch_folder.h"

namespace quenmar {

// Compressed bytes one entry may hold in memory.
inline constexpr int64_t kPreparedEntryBudget = int64_t{4} << 20;

// Converts every entry of Reader into Writer with up to Jobs worker threads
// (Jobs >= 1). Check is called between steps and after every block, on any of
// the threads, and may throw to stop the run; it must be safe to call from
// several threads. Collisions gets each entry's names as it is planned; the
// gauge moves after each entry appended.
void ConvertEntries(TZipFile& reader, TZipFile& writer, const ScratchFolder& scratch, int jobs,
                    ConversionWindow& window, NameCollisions& collisions, const std::function<void()>& check);

}  // namespace quenmar
