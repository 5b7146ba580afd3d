// The process-wide table of compression methods: for each method a pair of
// constructors, one making the compressing stream and one the decompressing
// stream on the archive stream. Methods 0 (stored) and 8 (deflate) are there from
// the start; RegisterCompressionHandler adds a row or replaces one.
//
// Fill it before the first archive object is used; afterwards it is only read.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "archive/stream.h"
#include "archive/zip_header.h"

namespace quenmar {

class TZipFile;

// Makes a stream on the archive stream, at its current position. The caller owns
// the result.
using TStreamConstructor =
    std::function<std::unique_ptr<TStream>(TStream& archive, TZipFile& zipFile, const TZipHeader& header)>;

struct TCompressionHandler {
  TStreamConstructor compress;
  TStreamConstructor decompress;
};

void RegisterCompressionHandler(TZipCompression method, TStreamConstructor compress,
                                TStreamConstructor decompress);

// The compressing stream the program registers itself for Method (0: stored, 8:
// deflate) on Sink, as its rows make it; nothing for another method. For
// compressing apart from any archive.
std::unique_ptr<TStream> NewOwnCompressor(TZipCompression method, TStream& sink);

// The row of Method, or nothing when it has none.
std::optional<TCompressionHandler> FindCompressionHandler(TZipCompression method);
// The handler for a method number as a record stores it: compared whole, so that
// 0x108 is not taken for deflate.
std::optional<TCompressionHandler> FindCompressionHandlerForRecord(uint16_t method);

}  // namespace quenmar
