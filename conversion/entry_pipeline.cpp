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
// thread: the calling thread compresses them in turn.
constexpr uint32_t kHandOverSize = 32 << 10;

// One entry in hand, from its extraction to its append. Between Workers::Submit
// and the moment the calling thread sees `done` under the workers' lock, only
// the worker touches `prepared` and `error`; everything else is the calling
// thread's.
struct Slot {
  Slot(const ScratchFolder& folder, int number) : file(folder, Utf8ToText("slot" + std::to_string(number))) {}
  ScratchFile file;
  int index = -1;
  EntryPlan plan;
  // Held whole (whole_entry.h): its stored bytes in `stored`, its record to be
  // in `record` (CRC-32 and compressed size set once compressed); no scratch file.
  bool whole = false;
  TBytes stored;
  TZipHeader record;
  uint32_t size = 0, crc = 0;
  uint16_t method = 0;
  // A whole entry whose stored bytes are not what its records say: it goes
  // through the scratch file at its turn, as a larger entry would, so that its
  // failure is told as that path tells it.
  bool streamed = false;
  // Compressed by a worker; empty: compressed in turn by the calling thread.
  std::optional<TPreparedEntry> prepared;
  // The entry's failure, raised at its turn.
  std::exception_ptr error;
  bool done = true;  // nothing of this slot is with a worker
};

// Deflates the whole entry of Slot with Codec into Record and returns its bytes;
// nothing (and the slot marked for the scratch file) when its stored bytes are
// damaged.
std::optional<std::string_view> CompressWhole(TWholeEntryCodec& codec, Slot& slot) {
  const std::optional<std::string_view> deflated = codec.Recompress(slot.method, slot.stored, slot.size, slot.crc);
  if (!deflated) {
    slot.streamed = true;
    return std::nullopt;
  }
  slot.record.CRC32 = slot.crc;
  slot.record.CompressedSize = static_cast<uint32_t>(deflated->size());
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

// Threads that compress the slots submitted to them into memory. The slots must
// outlive the object: the pipeline declares them first, so the workers are
// stopped and joined before any slot goes.
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
    std::optional<TWholeEntryCodec> codec_;
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
      std::exception_ptr error;
      try {
        if (slot->whole) {
          check_();
          if (!codec_) codec_.emplace();
          if (const auto deflated = CompressWhole(*codec_, *slot)) {
            prepared = TPreparedEntry{slot->record, TBytes(*deflated)};
          }
        } else {
          prepared = PrepareEntry(*slot->file.OpenToRead(), slot->plan.newName, kDeflate, utf8Names_,
                                  kPreparedEntryBudget, [this](int64_t) { check_(); });
        }
      } catch (...) {
        error = std::current_exception();
      }
      {
        std::lock_guard<std::mutex> lock(mutex_);
        slot->prepared = std::move(prepared);
        slot->error = error;
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
  // Enough entries in hand to keep every worker busy while the next is extracted
  // and the last is appended.
  const int slotCount = workerCount == 0 ? 1 : 2 * workerCount;
  std::vector<std::unique_ptr<Slot>> slots;
  for (int i = 0; i < slotCount; ++i) slots.push_back(std::make_unique<Slot>(scratch, i));
  auto slotOf = [&](int index) -> Slot& { return *slots[static_cast<size_t>(index % slotCount)]; };
  // After the slots: stopped and joined before them.
  std::optional<Workers> workers;
  if (workerCount > 0) workers.emplace(workerCount, writer.UTF8Support(), check);

  ScratchAttributes attributes(scratch);
  std::optional<TWholeEntryCodec> codec;  // the calling thread's, made for its first whole entry
  const bool utf8Names = writer.UTF8Support();

  int nextExtract = 0, nextAppend = 0;
  bool failed = false;  // an entry in hand failed: nothing more is extracted
  while (nextAppend < entryCount) {
    while (!failed && nextExtract < entryCount && nextExtract - nextAppend < slotCount) {
      check();
      const int index = nextExtract++;
      Slot& slot = slotOf(index);
      slot.index = index;
      slot.error = nullptr;
      slot.prepared.reset();
      slot.whole = slot.streamed = false;
      try {
        slot.plan = PlanEntry(reader, index);
        collisions.Add(slot.plan.newName, slot.plan.name);
        NamingEntry(slot.plan.name, [&] {
          // Decided by the entry's records alone, so every job count takes the
          // same path for it.
          const TZipHeader central = reader.FileInfo(index);
          if (FitsWhole(central.CompressionMethod, central.CompressedSize, central.UncompressedSize)) {
            TZipHeader local;
            reader.ReadStoredData(index, slot.stored, local);
            if (auto record = WholeEntryRecord(central, local, slot.plan.newName, utf8Names, attributes)) {
              slot.whole = true;
              slot.record = *std::move(record);
              slot.method = central.CompressionMethod;
              slot.size = central.UncompressedSize;
              slot.crc = central.CRC32;
              return;
            }
          }
          reader.ExtractToFile(index, *slot.file.OpenToWrite(reader.UncompressedSize(index)));
        });
      } catch (const EntryFailure&) {
        slot.error = std::current_exception();
        failed = true;
        break;
      }
      if (workers && reader.UncompressedSize(index) >= kHandOverSize) workers->Submit(slot);
    }

    Slot& slot = slotOf(nextAppend);
    if (workers) workers->WaitUntilDone(slot);
    check();
    NamingEntry(slot.plan.name, [&] {
      if (slot.error) std::rethrow_exception(slot.error);
      if (slot.prepared) {
        writer.AddPrepared(*slot.prepared);
        slot.prepared.reset();
        if (!slot.whole) slot.file.Recycle(writer.FileInfo(writer.FileCount() - 1).ExternalAttributes);
        return;
      }
      if (slot.whole && !slot.streamed) {
        if (!codec) codec.emplace();
        if (const auto deflated = CompressWhole(*codec, slot)) {
          // A failure discards the whole output (convert_archive.cpp), so the
          // small entries need not reach the disk one write each.
          writer.AddPrepared(slot.record, *deflated, /*flush=*/false);
          return;
        }
      }
      if (slot.streamed) reader.ExtractToFile(slot.index, *slot.file.OpenToWrite(slot.size));
      writer.Add(*slot.file.OpenToRead(), slot.plan.newName, kDeflate);
      slot.file.Recycle(writer.FileInfo(writer.FileCount() - 1).ExternalAttributes);
    });
    ++nextAppend;
    window.SetGaugeProgress(ProgressPercent(nextAppend, entryCount));
  }
}

}  // namespace quenmar
