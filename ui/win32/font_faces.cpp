#include "ui/win32/font_faces.h"

namespace quenmar::win32 {

namespace {

// Every letter of Czech with a diacritic: what the messages show besides the
// captions.
constexpr wchar_t kCzechLetters[] = L"áčďéěíňóřšťúůýžÁČĎÉĚÍŇÓŘŠŤÚŮÝŽ";

bool CodePageHolds(UINT codePage, const wchar_t* text) {
  BOOL lost = FALSE;
  const int length = ::WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0, nullptr, &lost);
  return length > 0 && !lost;
}

}  // namespace

bool SystemFaceShowsTheWindow(UINT codePage) {
  CPINFO info{};
  if (!::GetCPInfo(codePage, &info) || info.MaxCharSize != 1) return false;
  if (!CodePageHolds(codePage, kCzechLetters)) return false;
  for (const ControlDescription& row : kMainWindowControls) {
    if (row.font.face != FontFace::kSystem) continue;
    if (!CodePageHolds(codePage, reinterpret_cast<const wchar_t*>(row.caption))) return false;
  }
  return true;
}

const wchar_t* FaceName(FontFace face, UINT codePage) {
  return face == FontFace::kSystem && SystemFaceShowsTheWindow(codePage) ? L"System" : L"Arial";
}

}  // namespace quenmar::win32
