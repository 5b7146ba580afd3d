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

#include "archive/entry_compression.h"
#include "conversion/entry_failure.h"
#include "conversion/entry_plan.h"
#include "conversion/progress.h"
#include "conversion/scratch_file.h"
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
  EntryPlan plan;
  // Compressed by a worker; empty: compressed in turn by the calling thread.
  std::optional<TPreparedEntry> prepared;
  // The entry's failure, raised at its turn.
  std::exception_ptr error;
  bool done = true;  // nothing of this slot is with a worker
};

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
        prepared = PrepareEntry(*slot->file.OpenToRead(), slot->plan.newName, kDeflate, utf8Names_,
                                kPreparedEntryBudget, [this](int64_t) { check_(); });
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

  int nextExtract = 0, nextAppend = 0;
  bool failed = false;  // an entry in hand failed: nothing more is extracted
  while (nextAppend < entryCount) {
    while (!failed && nextExtract < entryCount && nextExtract - nextAppend < slotCount) {
      check();
      const int index = nextExtract++;
      Slot& slot = slotOf(index);
      slot.error = nullptr;
      slot.prepared.reset();
      try {
        slot.plan = PlanEntry(reader, index);
        collisions.Add(slot.plan.newName, slot.plan.name);
        NamingEntry(slot.plan.name, [&] {
          const std::unique_ptr<TFileStream> extracted = slot.file.OpenToWrite(reader.UncompressedSize(index));
          reader.ExtractToFile(index, *extracted);
          extracted->Close();
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
      } else {
        writer.Add(*slot.file.OpenToRead(), slot.plan.newName, kDeflate);
      }
      slot.file.Recycle(writer.FileInfo(writer.FileCount() - 1).ExternalAttributes);
    });
    ++nextAppend;
    window.SetGaugeProgress(ProgressPercent(nextAppend, entryCount));
  }
}

}  // namespace quenmar
