// The entries of a run converted into the new archive, in central-directory
// order, by one loop whatever the number of jobs.
//
// The calling thread plans each entry (entry_plan.h) and reads it into a slot. An
// entry of up to kWholeEntryBudget bytes is held whole (archive/whole_entry.h):
// its stored bytes are read into memory, inflated, checked and deflated with
// libdeflate, and appended with the record its scratch file would have given it
// (archive times, attributes); no file is made for it. A larger entry is
// extracted into the slot's scratch file and streamed through zlib. Which way an
// entry takes depends on the sizes and method its records state, never on the
// number of jobs, so the output is the same byte for byte for every job count. A
// whole entry whose data is not what its records say goes through the scratch
// file at its turn after all, so that its failure reads as on the streamed path.
//
// Small entries held whole share a slot, up to kGroupEntries of them. With worker
// threads, a slot of at least 32 KiB of entries (or a full group) is compressed
// by the workers while the calling thread reads on; everything else is
// compressed by the calling thread as it is appended. One job, or one entry,
// means no worker thread and one slot: the same loop with nothing handed over.
//
// Bounds:
// - Disk: at most as many extracted entries exist at once as there are slots (1
//   without workers, 2 x Jobs with them), each in its slot's scratch file, beside
//   the output being written.
// - Memory: a slot holds one entry of at most kWholeEntryBudget bytes (its stored
//   and deflated bytes), or a group of small ones, or at most
//   kPreparedEntryBudget compressed bytes of a larger entry (one that would pass
//   it is streamed by the calling thread when its turn comes); each thread
//   inflating and deflating keeps buffers for one whole entry.
//
// Failures: the first failing entry in order decides. It leaves as an
// EntryFailure naming the entry, once every entry before it was appended; the
// workers stop after the slot they are on. What Check raises between entries
// leaves as it is.
//
// Threads: only the calling thread touches the window, the reader and the
// writer. A worker sees only the slot handed to it: its entries' bytes, its
// scratch file opened for reading, and its planned names.
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
