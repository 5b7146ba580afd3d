// No mark of the web outside Windows.
#include "support/platform/folder.h"
#include "support/platform/web_mark.h"

namespace quenmar::platform {

namespace internal {
std::optional<std::string> ReadNativeWebMark(TextView) { return std::nullopt; }
}  // namespace internal

IoStatus Folder::WriteNativeWebMark(TextView, const std::string&) const { return IoStatus(); }

}  // namespace quenmar::platform
