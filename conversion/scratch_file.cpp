#include "conversion/scratch_file.h"

#include <string>

#include "support/platform/file_info.h"
#include "support/quiet_files.h"
#include "support/utf8.h"

namespace quenmar {
namespace {

Text NameFor(const Text& tag, int generation) { return tag + u"-" + Utf8ToText(std::to_string(generation)); }

}  // namespace

ScratchFile::ScratchFile(const ScratchFolder& folder, Text tag)
    : folder_(folder), tag_(std::move(tag)), path_(folder.FilePath(NameFor(tag_, 0))) {}

void ScratchFile::Recycle(uint32_t attributes) {
  // Every other property a new file would differ in (contents, size, time) is
  // set anew by the next extraction.
  if (attributes == platform::kAttrArchive) return;
  // Made deletable first where read-only files are not; whatever stays is
  // removed with the private folder.
  (void)platform::SetAttributes(path_, platform::kAttrArchive);
  DeleteFileQuiet(path_);
  path_ = folder_.FilePath(NameFor(tag_, ++generation_));
}

}  // namespace quenmar
