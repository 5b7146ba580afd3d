#include "conversion/parallel_entries.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "conversion/entry_plan.h"
#include "conversion/progress.h"
#include "conversion/scratch_file.h"
#include "support/utf8.h"

namespace quenmar {
namespace {

constexpr TZipCompression kDeflate = 8;
// Entries smaller than this are compressed by the calling thread.
constexpr uint32_t kHandOverSize = 32 << 10;

// One entry in hand: extracted into the slot's scratch file, then compressed by a
// worker. The fields a worker writes are read by the calling thread only after it
// saw `done` under the lock.
struct Slot {
  explicit Slot(const ScratchFolder& folder, int number) : file(folder, Utf8ToText("slot" + std::to_string(number))) {}
  ScratchFile file;
  int index = -1;
  EntryPlan plan;
  bool done = false;
  bool prepared = false;  // false: too large for memory, streamed when its turn comes
  TPreparedEntry entry;
  std::exception_ptr error;
};

class Workers {
 public:
  // Check runs after each block a worker compresses and may throw to stop it.
  Workers(const TZipFile& writer, int count, void (*check)())
      : writer_(writer), progress_([check](TZipFile&, const Text&, const TZipHeader&, int64_t) { check(); }) {
    try {
      for (int i = 0; i < count; ++i) threads_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
      // The system's thread limit: a failure of the run like any other, once the
      // workers already started have stopped.
      Stop();
      throw;
    }
  }
  // Stops the workers after the entry each is on, on every path out of the run.
  ~Workers() { Stop(); }
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
  void Stop() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) thread.join();
    threads_.clear();
  }

  void Work() {
    for (;;) {
      Slot* slot = nullptr;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
        if (stopping_) return;
        slot = queue_.front();
        queue_.pop_front();
      }
      bool prepared = false;
      TPreparedEntry entry;
      std::exception_ptr error;
      try {
        prepared = writer_.PrepareFile(*slot->file.OpenToRead(), slot->plan.newName, kDeflate, kPreparedEntryBudget,
                                       entry, progress_);
      } catch (...) {
        error = std::current_exception();
      }
      {
        std::lock_guard<std::mutex> lock(mutex_);
        slot->prepared = prepared;
        slot->entry = std::move(entry);
        slot->error = error;
        slot->done = true;
      }
      done_.notify_all();
    }
  }

  const TZipFile& writer_;
  const TZipProgressEvent progress_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  std::deque<Slot*> queue_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace

void ConvertEntriesInParallel(TZipFile& reader, TZipFile& writer, const ScratchFolder& scratch, int jobs,
                              ConversionWindow& window, std::optional<Text>& currentEntry, NameCollisions& collisions,
                              void (*check)()) {
  const int entryCount = reader.FileCount();
  // Enough entries in hand to keep every worker busy while the next is extracted
  // and the last is written.
  const int slotCount = 2 * jobs;
  std::vector<std::unique_ptr<Slot>> slots;
  for (int i = 0; i < slotCount; ++i) slots.push_back(std::make_unique<Slot>(scratch, i));
  Workers workers(writer, jobs, check);

  int nextExtract = 0, nextWrite = 0;
  // The first entry that could not be planned or extracted, with its name; it is
  // reported once every entry before it is written.
  std::exception_ptr extractionError;
  Text extractionErrorName;
  while (nextWrite < entryCount) {
    while (!extractionError && nextExtract < entryCount && nextExtract - nextWrite < slotCount) {
      Slot& slot = *slots[static_cast<size_t>(nextExtract % slotCount)];
      Text name;
      try {
        check();
        slot.plan = PlanEntry(reader, nextExtract, name);
        collisions.Add(slot.plan.newName, slot.plan.name);
        slot.index = nextExtract;
        reader.ExtractToFile(nextExtract, *slot.file.OpenToWrite(reader.UncompressedSize(nextExtract)));
      } catch (...) {
        extractionError = std::current_exception();
        extractionErrorName = name;
        break;
      }
      // A small entry costs less to compress than to hand to another thread: it is
      // compressed in turn by this one.
      if (reader.UncompressedSize(nextExtract) < kHandOverSize) {
        slot.prepared = false;
        slot.error = nullptr;
        slot.done = true;
      } else {
        workers.Submit(slot);
      }
      ++nextExtract;
    }
    if (nextWrite == nextExtract) break;  // nothing more in hand: a failure comes next

    Slot& slot = *slots[static_cast<size_t>(nextWrite % slotCount)];
    workers.WaitUntilDone(slot);
    currentEntry = slot.plan.name;
    check();
    if (slot.error) std::rethrow_exception(slot.error);
    if (slot.prepared) {
      writer.AddPrepared(slot.entry);
      slot.entry = TPreparedEntry();
    } else {
      writer.Add(*slot.file.OpenToRead(), slot.plan.newName, kDeflate);
    }
    slot.file.Recycle(writer.FileInfo(writer.FileCount() - 1).ExternalAttributes);
    ++nextWrite;
    window.SetGaugeProgress(ProgressPercent(nextWrite, entryCount));
  }
  if (extractionError) {
    currentEntry = extractionErrorName;
    std::rethrow_exception(extractionError);
  }
}

}  // namespace quenmar
