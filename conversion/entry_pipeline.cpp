#include "conversion/entry_pipeline.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "archive/dos_time.h"
#include "archive/entry_compression.h"
#include "archive/whole_entry.h"
#include "conversion/entry_failure.h"
#include "conversion/entry_plan.h"
#include "conversion/progress.h"
#include "conversion/scratch_file.h"
#include "support/platform/file_info.h"
#include "support/utf8.h"

namespace quenmar {
namespace {

constexpr TZipCompression kDeflate = 8;
// Entries smaller than this cost less to compress than to hand to another
// thread on their own: consecutive ones held whole are gathered into one slot,
// up to kGroupEntries of them or until they reach kGroupBytes together. Larger
// groups spread the cost of handing over thinner (65,535 entries of 120 bytes:
// groups of 64 took 1.06 x the one-core zlib floor with two jobs, groups of 1024
// 0.95 x).
constexpr uint32_t kHandOverSize = 32 << 10;
constexpr int kGroupEntries = 1024;
constexpr uint32_t kGroupBytes = 128 << 10;

// One entry of a slot.
struct Item {
  int index = -1;
  EntryPlan plan;
  // Held whole (whole_entry.h): its stored bytes in `stored`, its record to be
  // in `record` (CRC-32 and compressed size set once compressed); no scratch file.
  bool whole = false;
  TBytes stored;
  TZipHeader record;
  uint32_t size = 0, crc = 0;
  uint16_t method = 0;
  // An entry that goes through the slot's scratch file at its turn: one held
  // whole whose stored bytes are not what its records say (so that its failure
  // is told as the streamed path tells it), or one whose record could not be
  // told without the file.
  bool streamed = false;
  // Deflated by a worker (whole entries): `deflated` holds the bytes.
  bool compressed = false;
  TBytes deflated;
  // What the worker met on this entry, raised at its turn.
  std::exception_ptr error;
};

// The entries in hand between their reading and their append: one entry extracted
// into the slot's scratch file, or one or more entries held whole. Between
// Workers::Submit and the moment the calling thread sees `done` under the
// workers' lock, only the worker touches the items, `prepared` and `error`;
// everything else, and all of it otherwise, is the calling thread's.
struct Slot {
  Slot(const ScratchFolder& folder, int number) : file(folder, Utf8ToText("slot" + std::to_string(number))) {}
  ScratchFile file;
  // items[0, count) are in use; the rest keep their buffers for later entries.
  std::vector<Item> items;
  size_t count = 0;
  uint64_t bytes = 0;  // uncompressed, of the items in use
  // Compressed by a worker from the scratch file; empty: compressed in turn by
  // the calling thread.
  std::optional<TPreparedEntry> prepared;
  // A failure after the items: the first entry that failed, raised once the
  // items before it are appended.
  std::exception_ptr error;
  bool done = true;  // nothing of this slot is with a worker

  Item& Add() {
    if (count == items.size()) items.emplace_back();
    Item& item = items[count++];
    item.whole = item.streamed = item.compressed = false;
    item.error = nullptr;
    return item;
  }
};

// Deflates the whole entry Item with Codec and sets its record; returns the bytes,
// which stay valid until Codec's next call. Nothing, and the item marked for the
// scratch file, when its stored bytes are damaged.
std::optional<std::string_view> CompressWhole(TWholeEntryCodec& codec, Item& item) {
  const std::optional<std::string_view> deflated = codec.Recompress(item.method, item.stored, item.size, item.crc);
  if (!deflated) {
    item.streamed = true;
    return std::nullopt;
  }
  item.record.CRC32 = item.crc;
  item.record.CompressedSize = static_cast<uint32_t>(deflated->size());
  return deflated;
}

// The record the scratch-file path would give entry Index under NewName: the time
// extraction would set on its file as the file reports it back (a time that a
// daylight-saving change moves is moved alike; without a valid one, the time of
// writing), the attribute bits it would report. Nothing when those bits cannot be
// told without the file.
std::optional<TZipHeader> WholeEntryRecord(const TZipHeader& central, const TZipHeader& local, const Text& newName,
                                           bool utf8Names, ScratchAttributes& attributes) {
  const std::optional<uint32_t> bits = attributes.After(TZipFile::ExtractedAttributes(central));
  if (!bits) return std::nullopt;
  std::optional<platform::LocalDateTime> written;
  if (const auto time = DosToDateTime(local.ModifiedDateTime)) written = platform::LocalTimeAfterSetting(*time);
  if (!written) written = platform::CurrentLocalTime();
  TZipHeader record = EntryHeader(central.UncompressedSize, *written, *bits, newName, kDeflate, utf8Names);
  PrepareLocalHeader(record);
  return record;
}

class Workers {
 public:
  // Starts Count threads. Check runs after each block a worker compresses and
  // may throw to stop it. A failure to start a thread (the system's limit) is
  // raised once the threads already started have stopped.
  Workers(int count, bool utf8Names, const std::function<void()>& check) : utf8Names_(utf8Names), check_(check) {
    try {
      for (int i = 0; i < count; ++i) threads_.emplace_back([this](std::stop_token stop) { Work(stop); });
    } catch (...) {
      RequestStop();
      throw;
    }
  }
  // Asks every thread to stop after the entry it is on; they are joined when
  // threads_ goes, right after.
  ~Workers() { RequestStop(); }
  Workers(const Workers&) = delete;
  Workers& operator=(const Workers&) = delete;

  void Submit(Slot& slot) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      slot.done = false;
      queue_.push_back(&slot);
    }
    wake_.notify_one();
  }

  void WaitUntilDone(const Slot& slot) {
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [&] { return slot.done; });
  }

 private:
  // The stop is requested outside the lock and announced under it, so that a
  // thread about to wait either sees it or is waiting already when woken. (A
  // wait on the stop token itself hung now and then under Wine.)
  void RequestStop() {
    for (std::jthread& thread : threads_) thread.request_stop();
    { const std::lock_guard<std::mutex> lock(mutex_); }
    wake_.notify_all();
  }

  void Work(std::stop_token stop) {
    // This thread's own, made for its first whole entry and reused after.
    std::optional<TWholeEntryCodec> codec;
    for (;;) {
      Slot* slot = nullptr;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [&] { return stop.stop_requested() || !queue_.empty(); });
        if (stop.stop_requested()) return;
        slot = queue_.front();
        queue_.pop_front();
      }
      std::optional<TPreparedEntry> prepared;
      for (size_t i = 0; i < slot->count; ++i) {
        Item& item = slot->items[i];
        try {
          if (item.whole && !item.streamed) {
            check_();
            if (!codec) codec.emplace();
            if (const auto deflated = CompressWhole(*codec, item)) {
              item.deflated.assign(*deflated);
              item.compressed = true;
            }
          } else if (!item.whole && !item.streamed) {
            prepared = PrepareEntry(*slot->file.OpenToRead(), item.plan.newName, kDeflate, utf8Names_,
                                    kPreparedEntryBudget, [this](int64_t) { check_(); });
          }
        } catch (...) {
          item.error = std::current_exception();
          break;
        }
      }
      {
        std::lock_guard<std::mutex> lock(mutex_);
        slot->prepared = std::move(prepared);
        slot->done = true;
      }
      done_.notify_all();
    }
  }

  const bool utf8Names_;
  const std::function<void()>& check_;  // the run's, which outlives the workers
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  std::deque<Slot*> queue_;
  // Last, so destroyed first: each thread is joined while the members above
  // still stand.
  std::vector<std::jthread> threads_;
};

}  // namespace

void ConvertEntries(TZipFile& reader, TZipFile& writer, const ScratchFolder& scratch, int jobs,
                    ConversionWindow& window, NameCollisions& collisions, const std::function<void()>& check) {
  const int entryCount = reader.FileCount();
  const int workerCount = jobs > 1 && entryCount > 1 ? jobs : 0;
  // Enough slots in hand to keep every worker busy while the next is filled and
  // the last is appended.
  const int slotCount = workerCount == 0 ? 1 : 2 * workerCount;
  std::vector<std::unique_ptr<Slot>> slots;
  for (int i = 0; i < slotCount; ++i) slots.push_back(std::make_unique<Slot>(scratch, i));
  auto slotOf = [&](int64_t number) -> Slot& { return *slots[static_cast<size_t>(number % slotCount)]; };
  // After the slots: stopped and joined before them.
  std::optional<Workers> workers;
  if (workerCount > 0) workers.emplace(workerCount, writer.UTF8Support(), check);

  collisions.Reserve(static_cast<size_t>(entryCount));
  ScratchAttributes attributes(scratch);
  std::optional<TWholeEntryCodec> codec;  // the calling thread's, made for its first whole entry
  const bool utf8Names = writer.UTF8Support();
  // Decided by the entry's records alone, so every job count takes the same path
  // for it.
  auto small = [&](int index) {
    const uint32_t size = reader.UncompressedSize(index);
    return size < kHandOverSize && FitsWhole(reader.CompressionMethod(index), reader.CompressedSize(index), size);
  };

  // Extracts entry Index into Slot's scratch file and closes it, a failed close
  // failing the entry as a failed write would.
  auto extract = [&](Slot& slot, int index, uint32_t size) {
    const std::unique_ptr<TFileStream> extracted = slot.file.OpenToWrite(size);
    reader.ExtractToFile(index, *extracted);
    extracted->Close();
  };

  // Reads entry Index into a new item of Slot: whole into memory, or extracted
  // into the slot's scratch file (REQUIRES: the slot's first item).
  auto take = [&](Slot& slot, int index) {
    Item& item = slot.Add();
    item.index = index;
    item.plan = PlanEntry(reader, index);
    collisions.Add(item.plan.newName, item.plan.name);
    slot.bytes += reader.UncompressedSize(index);
    NamingEntry(item.plan.name, [&] {
      const TZipHeader central = reader.FileInfo(index);
      item.size = central.UncompressedSize;
      if (FitsWhole(central.CompressionMethod, central.CompressedSize, central.UncompressedSize)) {
        TZipHeader local;
        reader.ReadStoredData(index, item.stored, local);
        item.whole = true;
        if (auto record = WholeEntryRecord(central, local, item.plan.newName, utf8Names, attributes)) {
          item.record = *std::move(record);
          item.method = central.CompressionMethod;
          item.crc = central.CRC32;
        } else {
          item.streamed = true;
        }
        return;
      }
      extract(slot, index, item.size);
    });
  };

  // Appends Item, a deflated whole entry or one through the scratch file.
  auto append = [&](Slot& slot, Item& item) {
    check();
    NamingEntry(item.plan.name, [&] {
      if (item.error) std::rethrow_exception(item.error);
      if (item.compressed) {
        // A failure discards the whole output (convert_archive.cpp), so entries
        // need not reach the disk one write each.
        writer.AddPrepared(item.record, item.deflated, /*flush=*/false);
        return;
      }
      if (item.whole && !item.streamed) {
        if (!codec) codec.emplace();
        if (const auto deflated = CompressWhole(*codec, item)) {
          writer.AddPrepared(item.record, *deflated, /*flush=*/false);
          return;
        }
      }
      if (item.streamed) extract(slot, item.index, item.size);
      if (slot.prepared) {
        writer.AddPrepared(*slot.prepared);
        slot.prepared.reset();
      } else {
        writer.Add(*slot.file.OpenToRead(), item.plan.newName, kDeflate);
      }
      slot.file.Recycle(writer.FileInfo(writer.FileCount() - 1).ExternalAttributes);
    });
  };

  int nextEntry = 0, appended = 0;
  int64_t filled = 0, emptied = 0;  // slots, counted from the start
  bool failed = false;  // an entry in hand failed: nothing more is read
  while (appended < entryCount) {
    while (!failed && nextEntry < entryCount && filled - emptied < slotCount) {
      Slot& slot = slotOf(filled++);
      slot.count = 0;
      slot.bytes = 0;
      slot.error = nullptr;
      slot.prepared.reset();
      // Small entries held whole together, anything else alone.
      const bool group = small(nextEntry);
      do {
        check();
        try {
          take(slot, nextEntry);
        } catch (const EntryFailure&) {
          slot.error = std::current_exception();
          --slot.count;
          failed = true;
          break;
        }
        ++nextEntry;
      } while (group && nextEntry < entryCount && static_cast<int>(slot.count) < kGroupEntries &&
               slot.bytes < kGroupBytes && small(nextEntry));
      if (workers && slot.count > 0 && (slot.bytes >= kHandOverSize || static_cast<int>(slot.count) == kGroupEntries)) {
        workers->Submit(slot);
      }
    }

    Slot& slot = slotOf(emptied++);
    if (workers) workers->WaitUntilDone(slot);
    for (size_t i = 0; i < slot.count; ++i) {
      append(slot, slot.items[i]);
      ++appended;
      window.SetGaugeProgress(ProgressPercent(appended, entryCount));
    }
    if (slot.error) std::rethrow_exception(slot.error);
  }
}

}  // namespace quenmar
