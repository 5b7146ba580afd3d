#include "support/platform/faults.h"

#include <cstdlib>

namespace quenmar::platform::faults {

namespace internal {
std::atomic<FaultPlan*> armed{nullptr};
}

namespace {

void Arm(FaultPlan* plan) {
  FaultPlan* expected = nullptr;
  // Two plans at once would count each other's calls: a test's mistake.
  if (!internal::armed.compare_exchange_strong(expected, plan)) std::abort();
}

}  // namespace

const char* NameOf(Call call) {
  static constexpr const char* kNames[kCallKinds] = {
      "open", "read", "write", "seek", "truncate", "set time", "set attributes", "flush", "close", "move", "remove",
      "make folder"};
  return kNames[static_cast<int>(call)];
}

FaultPlan::FaultPlan() { Arm(this); }

FaultPlan::FaultPlan(Call kind, int64_t nth, int code, int64_t times)
    : kind_(kind), nth_(nth), times_(times), code_(code) {
  Arm(this);
}

FaultPlan::~FaultPlan() { internal::armed.store(nullptr, std::memory_order_release); }

int FaultPlan::Count(Call kind) {
  const int64_t number = calls_[static_cast<size_t>(kind)].fetch_add(1) + 1;
  return kind == kind_ && number >= nth_ && number < nth_ + times_ ? code_ : 0;
}

}  // namespace quenmar::platform::faults
