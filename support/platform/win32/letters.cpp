#include "support/platform/letters.h"

#include <windows.h>

namespace quenmar::platform {

Text LowerCase(TextView text) {
  Text lower(text);
  if (!lower.empty()) ::CharLowerBuffW(reinterpret_cast<wchar_t*>(lower.data()), static_cast<DWORD>(lower.size()));
  return lower;
}

}  // namespace quenmar::platform
