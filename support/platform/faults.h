// A seam for tests of failure handling: it makes the Nth call of one kind that
// the platform layer makes fail with an error of the platform's own (an errno
// value on POSIX, a GetLastError code on Windows), as if the OS had refused it;
// the layer then reports it as it reports any refusal.
//
// Only a test arms it, by holding a FaultPlan; no setting, environment variable or
// argument of the programs reaches it. Unarmed, a call pays one atomic load.
// One plan at a time; it must outlive every call made while it is held.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "support/text.h"

namespace quenmar::platform::faults {

// The kinds of call, each counted on its own. A kind covers files and folders:
// kOpen also counts opening a folder and the step that names a new file, kFlush
// the flush of a file's or a folder's contents to the disk.
enum class Call : int {
  kOpen,
  kRead,
  kWrite,
  kSeek,
  kTruncate,
  kSetTimes,
  kSetAttributes,
  kFlush,
  kClose,
  kMove,
  kRemove,
  kMakeFolder,
};
inline constexpr int kCallKinds = 12;

const char* NameOf(Call call);

struct NativeError {
  int code;
  const char* name;
  Text reason;  // the platform's text for it, as a failure reports it
};

// The errors worth injecting on this platform, for a write and for a read: a
// failing device, a full disk, and on Windows a sharing violation and a denied
// access.
std::vector<NativeError> SampleErrors();

class FaultPlan {
 public:
  // Counts the calls of every kind while it is held; fails none.
  FaultPlan();
  // Fails the Nth call (from 1) of Kind with the platform's error Code, and the
  // Times - 1 calls of that kind after it.
  FaultPlan(Call kind, int64_t nth, int code, int64_t times = 1);
  ~FaultPlan();
  FaultPlan(const FaultPlan&) = delete;
  FaultPlan& operator=(const FaultPlan&) = delete;

  int64_t Calls(Call kind) const { return calls_[static_cast<size_t>(kind)].load(); }
  // Whether the call to fail was made.
  bool Fired() const { return Calls(kind_) >= nth_ && nth_ > 0; }

  // The error Kind's call must fail with, or 0 when it is to be made.
  int Count(Call kind);

 private:
  std::array<std::atomic<int64_t>, kCallKinds> calls_{};
  Call kind_ = Call::kOpen;
  int64_t nth_ = 0;
  int64_t times_ = 1;
  int code_ = 0;
};

namespace internal {
extern std::atomic<FaultPlan*> armed;
}

// For the platform layer, before each call it makes: the error the call must fail
// with, or 0 when it is to be made.
inline int Take(Call kind) {
  FaultPlan* plan = internal::armed.load(std::memory_order_acquire);
  return plan == nullptr ? 0 : plan->Count(kind);
}

}  // namespace quenmar::platform::faults
