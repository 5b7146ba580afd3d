#include "archive/method_names.h"

#include <string>

#include "support/utf8.h"

namespace quenmar {

Text CompressionMethodName(unsigned method) {
  switch (method % 128) {
    case 0: return u"Stored";
    case 1: return u"Shrunk";
    case 2: return u"Reduced1";
    case 3: return u"Reduced2";
    case 4: return u"Reduced3";
    case 5: return u"Reduced4";
    case 6: return u"Imploded";
    case 7: return u"Tokenized";
    case 8: return u"Deflated";
    case 9: return u"Deflated64";
    case 10: return u"Imploded(TERSE)";
    case 12: return u"BZIP2";
    case 14: return u"LZMA";
    case 18: return u"TERSE";
    case 19: return u"LZ77";
    case 97: return u"WavPack";
    case 98: return u"PPMd version I, Rev 1";
    default: return u"Unknown";
  }
}

Text CompressionMethodNumberAndName(unsigned method) {
  return Utf8ToText(std::to_string(method)) + u" (" + (method < 128 ? CompressionMethodName(method) : Text(u"Unknown")) +
         u")";
}

}  // namespace quenmar
