// The mark of the web: the "Zone.Identifier" stream that browsers and mail
// programs on Windows give a file they saved from outside ("[ZoneTransfer]" and
// "ZoneId=3" for the internet, often with the address it came from). Windows reads
// it to warn before a program from such a file runs and to open documents in
// Protected View. A run passes its input's mark on to its output, as Windows'
// own extraction does, so what came from outside keeps saying so.
//
// Other systems keep no such mark: there nothing is read and nothing written.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "support/platform/files.h"
#include "support/text.h"

namespace quenmar::platform {

// The stream's name, as it follows a file's path.
inline constexpr char16_t kWebMarkStream[] = u":Zone.Identifier";
// A mark longer than this is no mark a browser writes: it is not carried as it
// is.
inline constexpr size_t kLongestWebMark = 64 * 1024;
// What an input whose mark is there but cannot be read whole (too long, a read
// refused halfway) passes on: the internet zone, the one that warns.
inline constexpr char kInternetZoneMark[] = "[ZoneTransfer]\r\nZoneId=3\r\n";

// The mark of the file at Path, byte for byte, or nothing when it has none, when
// its volume keeps no streams, or when the system will not open it.
std::optional<std::string> ReadWebMark(TextView path);

// Folder::WriteWebMark (folder.h) gives a file a mark.

// A seam for the tests: while one is held, marks are kept in it by path (a
// folder's path and the name, for a folder's file) instead of in the files'
// streams, as on a volume that keeps them. One at a time.
class WebMarkStandIn {
 public:
  WebMarkStandIn();
  ~WebMarkStandIn();
  WebMarkStandIn(const WebMarkStandIn&) = delete;
  WebMarkStandIn& operator=(const WebMarkStandIn&) = delete;

  std::map<Text, std::string> marks;
  // Unless it is Ok, every write of a mark fails with it.
  IoStatus refusal;
  // Called with the path of every mark written, before it is kept.
  std::function<void(const Text& path)> onWrite;
};

namespace internal {
// The platform's own reading of a mark.
std::optional<std::string> ReadNativeWebMark(TextView path);
}  // namespace internal

}  // namespace quenmar::platform
