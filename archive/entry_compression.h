// One entry's data compressed: the record a file gets as an entry, and the loop
// that reads the data in blocks, takes its CRC-32 and hands it to a compressing
// stream. TZipFile::Add streams through it into its archive; PrepareEntry
// compresses into memory apart from any archive, so that entries can be
// compressed on other threads while one thread owns the archive.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "archive/stream.h"
#include "archive/zip_header.h"
#include "support/platform/files.h"
#include "support/text.h"

namespace quenmar {

class TFileStream;

// An entry compressed apart from its archive: its local record (CRC-32 and sizes
// set, no offset yet) and its compressed bytes. TZipFile::AddPrepared appends it.
struct TPreparedEntry {
  TZipHeader header;
  TBytes data;
};

// Called after each block with the uncompressed bytes done so far; may throw to
// stop the work.
using TBlockProgress = std::function<void(int64_t done)>;

// The local record File gets as entry EntryName: the file's size, its time and
// attribute bits as the open file reports them, the name as UTF-8 (flagged) when
// Utf8Names, else in code page 437. Raises EZipException for a file of 4 GiB or
// more, EPathTooLongException when the file's path is too long for the platform,
// EFileNotFoundException when the file cannot describe itself.
TZipHeader FileEntryHeader(TFileStream& file, TextView entryName, TZipCompression compression, bool utf8Names);

// The local record of an entry EntryName made from a file of Size bytes (less
// than 4 GiB) with that last-write time and attribute bits: what FileEntryHeader
// gives for such a file.
TZipHeader EntryHeader(int64_t size, const platform::LocalDateTime& lastWrite, uint32_t attributes,
                       TextView entryName, TZipCompression compression, bool utf8Names);

// Makes a record ready to be written before its data: versions of at least 2.0,
// name, extra field and comment cut to what their 16-bit lengths can say (the
// lengths set to match), CRC-32 and compressed size zero until the data is done.
void PrepareLocalHeader(TZipHeader& local);

// Cuts a record's name, extra field and comment to 65535 bytes each and sets
// their lengths to match.
void FitVariableFields(TZipHeader& header);

// Raises EZipException when an entry of Size bytes is too large for an archive
// without Zip64.
void CheckEntrySize(int64_t size);

// Reads Size bytes from Data, in blocks of kCopyPiece, and writes them to
// Compressor, then finishes it. Returns the CRC-32 of the bytes, taken on their
// way, so the source is read once. GoOn is asked after each block, with the bytes
// done so far; when it answers false the work stops there and nothing is
// returned. Raises EReadError "Stream read error" when Data ends early, and what
// Compressor and GoOn raise.
std::optional<uint32_t> CompressBlocks(TStream& data, int64_t size, TStream& compressor,
                                       const std::function<bool(int64_t done)>& goOn);

// Compresses File, from its start, into exactly the record and bytes that
// TZipFile::Add(File, EntryName, Compression) writes into an archive whose
// UTF8Support is Utf8Names, with the program's own stream for the method (stored
// or deflate; raises EZipException for another method). Returns nothing when the
// compressed bytes would pass MaxBytes: the work stops there, and the entry is
// left to be streamed. Raises what Add raises for the file. Touches no archive and
// no shared state, so any thread may call it.
std::optional<TPreparedEntry> PrepareEntry(TFileStream& file, TextView entryName, TZipCompression compression,
                                           bool utf8Names, int64_t maxBytes, const TBlockProgress& progress = nullptr);

}  // namespace quenmar
