#include "archive/compression_registry.h"

#include <map>

#include "archive/zlib_streams.h"

namespace quenmar {
namespace {

std::map<TZipCompression, TCompressionHandler>& Registry() {
  static std::map<TZipCompression, TCompressionHandler> registry = [] {
    std::map<TZipCompression, TCompressionHandler> rows;
    rows[0] = TCompressionHandler{
        [](TStream& archive, TZipFile&, const TZipHeader&) { return NewOwnCompressor(0, archive); },
        [](TStream& archive, TZipFile&, const TZipHeader&) -> std::unique_ptr<TStream> {
          return std::make_unique<TStoredStream>(archive);
        }};
    rows[8] = TCompressionHandler{
        [](TStream& archive, TZipFile&, const TZipHeader&) { return NewOwnCompressor(8, archive); },
        [](TStream& archive, TZipFile&, const TZipHeader& header) -> std::unique_ptr<TStream> {
          return std::make_unique<TZDecompressionStream>(archive, header.CompressedSize);
        }};
    return rows;
  }();
  return registry;
}

}  // namespace

std::unique_ptr<TStream> NewOwnCompressor(TZipCompression method, TStream& sink) {
  if (method == 0) return std::make_unique<TStoredStream>(sink);
  if (method == 8) return std::make_unique<TZCompressionStream>(sink, zcDefault);
  return nullptr;
}

void RegisterCompressionHandler(TZipCompression method, TStreamConstructor compress,
                                TStreamConstructor decompress) {
  Registry()[method] = TCompressionHandler{std::move(compress), std::move(decompress)};
}

std::optional<TCompressionHandler> FindCompressionHandler(TZipCompression method) {
  const auto& registry = Registry();
  const auto row = registry.find(method);
  if (row == registry.end()) return std::nullopt;
  return row->second;
}

std::optional<TCompressionHandler> FindCompressionHandlerForRecord(uint16_t method) {
  if (method > 0xFF) return std::nullopt;
  return FindCompressionHandler(static_cast<TZipCompression>(method));
}

}  // namespace quenmar
