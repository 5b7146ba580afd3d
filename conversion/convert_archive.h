// The conversion run: what the Start button does. Every entry of the archive named
// in the window's path box is extracted, renamed by ConvertEntryName, deflated into
// a new archive beside the input, whose name has "-" before the fifth character of
// the input's name (exports.zip -> expo-rts.zip).
//
// The run is synchronous. It disables Start, shows the gauge and moves it after each
// entry, and leaves its outcome in the status line: "Soubor byl konvertován do: " +
// output path on success; on failure "Konverze selhala u položky "ENTRY": MESSAGE"
// or "Konverze selhala: MESSAGE". Nothing is thrown out of it.
//
// Safety: scratch files live in a private hidden folder that the run creates in the
// input's folder and removes with everything in it when it ends. The output is
// written there first and renamed over the output path only once it is complete,
// so a failed run leaves an earlier output as it was. Files beside the archive are
// never opened, replaced or deleted, apart from the output path itself.
#pragma once

#include "conversion/conversion_window.h"
#include "support/platform/paths.h"
#include "support/text.h"

namespace quenmar {

inline constexpr char16_t kStatusRunning[] = u"Probíhá konverze";
inline constexpr char16_t kStatusDone[] = u"Soubor byl konvertován do: ";
inline constexpr char16_t kStatusFailed[] = u"Konverze selhala";

// The output path for an input path: its folder, then its file name with "-"
// inserted before the fifth character (at the end of a shorter name).
Text OutputPathFor(TextView inputPath, TextView delimiters = platform::kDelimiters);

// Runs the conversion; returns true when the output was written.
bool ConvertArchive(ConversionWindow& window);

}  // namespace quenmar
