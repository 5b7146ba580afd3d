#include "conversion/scratch_file.h"

#include <string>

#include "support/platform/file_info.h"
#include "support/utf8.h"

namespace quenmar {
namespace {

Text NameFor(const Text& tag, int generation) { return tag + u"-" + Utf8ToText(std::to_string(generation)); }

}  // namespace

ScratchFile::ScratchFile(const ScratchFolder& folder, Text tag)
    : folder_(folder), tag_(std::move(tag)), name_(NameFor(tag_, 0)) {}

std::unique_ptr<TFileStream> ScratchFile::OpenToWrite(uint64_t size) {
  if (made_) {
    auto file = folder_.OpenFile(name_, TFileMode::kOverwrite);
    const auto held = static_cast<uint64_t>(file->SizeAtOpen());
    if (size > held) folder_.RequireRoom(size - held);
    return file;
  }
  folder_.RequireRoom(size);
  auto file = folder_.NewFile(name_);
  made_ = true;
  return file;
}

std::unique_ptr<TFileStream> ScratchFile::OpenToRead() const { return folder_.OpenFile(name_, TFileMode::kOpenRead); }

void ScratchFile::Recycle(uint32_t attributes) {
  // Every other property a new file would differ in (contents, size, time) is
  // set anew by the next extraction.
  if (attributes == platform::kAttrArchive) return;
  // Whatever stays is removed with the private folder.
  folder_.RemoveFile(name_);
  name_ = NameFor(tag_, ++generation_);
  made_ = false;
}

std::optional<uint32_t> ScratchAttributes::After(std::optional<uint32_t> bits) {
  const auto known = known_.find(bits);
  if (known != known_.end()) return known->second;
  std::optional<uint32_t> reported;
  const Text name = NameFor(u"attributes", probes_++);
  try {
    {
      const std::unique_ptr<TFileStream> file = folder_.NewFile(name);
      if (bits) (void)file->SetAttributes(*bits);
    }
    platform::LocalDateTime written;
    uint32_t attributes = 0;
    if (folder_.OpenFile(name, TFileMode::kOpenRead)->Describe(written, attributes)) reported = attributes;
  } catch (const std::exception&) {
    // Not learnt: entries with these bits go through a scratch file.
  }
  // A file left behind (read-only where that stops its removal) goes with the
  // private folder.
  try {
    folder_.RemoveFile(name);
  } catch (const std::exception&) {
  }
  known_.emplace(bits, reported);
  return reported;
}

}  // namespace quenmar
