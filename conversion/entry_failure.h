// A failure in the work on one entry: the original error, with the entry's name
// attached once, where the work on the entry runs, so that the run's status can
// say which entry failed without the name travelling beside the error.
#pragma once

#include <exception>
#include <string>
#include <utility>

#include "support/text.h"

namespace quenmar {

class EntryFailure : public std::exception {
 public:
  EntryFailure(Text entry, std::exception_ptr cause);
  // The entry's name as the run knew it when the failure came.
  const Text& Entry() const noexcept { return entry_; }
  // The error the work raised.
  const std::exception_ptr& Cause() const noexcept { return cause_; }
  // The cause's own what().
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  Text entry_;
  std::exception_ptr cause_;
  std::string what_;
};

// Runs Work and returns what it returns; whatever it raises leaves as an
// EntryFailure naming Entry as Entry stands at that moment (the work may learn the
// entry's name better on its way and store it there). An EntryFailure raised
// inside passes unchanged: a failure is named once.
template <class Work>
decltype(auto) NamingEntry(const Text& entry, Work&& work) {
  try {
    return std::forward<Work>(work)();
  } catch (const EntryFailure&) {
    throw;
  } catch (...) {
    throw EntryFailure(entry, std::current_exception());
  }
}

}  // namespace quenmar
