#include "conversion/entry_failure.h"

namespace quenmar {

EntryFailure::EntryFailure(Text entry, std::exception_ptr cause) : entry_(std::move(entry)), cause_(std::move(cause)) {
  try {
    std::rethrow_exception(cause_);
  } catch (const std::exception& e) {
    what_ = e.what();
  } catch (...) {
    what_ = "unknown error";
  }
}

}  // namespace quenmar
