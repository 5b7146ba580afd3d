#include "conversion/scratch_file.h"

#include <string>

#include "archive/stream.h"
#include "support/exceptions.h"
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
  // A failure to learn them fails the run, as the scratch file's own failure
  // would: taking the scratch-file path instead would give other bytes.
  const Text name = NameFor(u"attributes", probes_++);
  std::optional<uint32_t> reported;
  {
    const std::unique_ptr<TFileStream> file = folder_.NewFile(name);
    if (bits) file->SetAttributes(*bits);
    file->Close();
  }
  {
    const std::unique_ptr<TFileStream> file = folder_.OpenFile(name, TFileMode::kOpenRead);
    platform::LocalDateTime written;
    uint32_t attributes = 0;
    if (!file->Describe(written, attributes)) RaiseWithReason<EReadError>(kStreamReadError, file->Failure());
    reported = attributes;
  }
  // A file left behind (read-only where that stops its removal) goes with the
  // private folder.
  folder_.RemoveFile(name);
  known_.emplace(bits, reported);
  return reported;
}

}  // namespace quenmar
