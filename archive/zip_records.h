// The stored forms of TZipHeader: the 26 bytes a local header and a central
// record share, the whole central record, and a central record read back.
#pragma once

#include <string_view>

#include "archive/stream.h"
#include "archive/zip_format.h"
#include "archive/zip_header.h"

namespace quenmar {

// The 26 bytes from "version needed" to "extra field length" of a local header.
void AppendLocalHeaderTail(TBytes& out, const TZipHeader& h);

// A whole local header: signature, the 26 shared bytes, the name, the extra field.
void AppendLocalHeader(TBytes& out, const TZipHeader& h);

// A central record shares the local header's fields, with "version made by" in
// front and the comment, disk, attributes and offset behind, then the name, the
// extra field and the comment.
void AppendCentralRecord(TBytes& out, const TZipHeader& h);

// The central record that starts at Record: its 46 fixed bytes are there, and
// as many bytes as its three lengths ask for follow them.
TZipHeader ParseCentralRecord(const char* record);

// The length of the central record at Record, from its fixed part.
inline size_t CentralRecordLength(const char* record) {
  return static_cast<size_t>(zipformat::kCentralHeaderLength) + zipformat::GetU16(record + 28) +
         zipformat::GetU16(record + 30) + zipformat::GetU16(record + 32);
}

}  // namespace quenmar
