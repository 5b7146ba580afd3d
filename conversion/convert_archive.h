// The conversion run: what the Start button does. Every entry of the archive named
// in the window's path box is extracted, renamed by ConvertEntryName, deflated into
// a new archive beside the input, whose name has "-" before the fifth character of
// the input's name (exports.zip -> expo-rts.zip).
//
// The run is synchronous. It disables Start, shows the gauge and moves it after each
// entry, and leaves its outcome in the status line: "Soubor byl konvertován do: " +
// output path on success; on failure "Konverze selhala u položky "ENTRY": MESSAGE"
// or "Konverze selhala: MESSAGE", where MESSAGE is a Czech sentence saying what
// went wrong followed by the failure's English message in parentheses
// (support/messages.h); the entry name rule's two errors read "název nezačíná
// platným datem RRRR-MM-DD (ENGLISH)". Control characters of the status are shown
// escaped ("\x1b"). Nothing is thrown out of it.
//
// A pending interrupt (support/platform/interrupts.h), or the window's
// StopRequested, stops the run at the next block read or written, before the output is moved into place at the latest; the
// run then cleans up as after any failure and its status is "Konverze přerušena".
//
// Safety: scratch files live in a private hidden folder that the run creates in the
// input's folder and removes with everything in it when it ends; their names are
// the run's own, never an entry's. Every entry is planned (entry_plan.h) before
// anything is done for it, so a name that would lead outside its folder fails the
// run before any file is touched. The output is written in the private folder
// first and moved over the output path only once it is complete, and not over an
// output that another program holds open, so a failed run leaves an earlier output
// as it was. Files beside the archive are never opened, replaced or deleted, apart
// from the output path itself. The failure text names an entry by the name the run
// uses (EntryPlan::name).
#pragma once

#include "conversion/conversion_window.h"
#include "support/platform/paths.h"
#include "support/text.h"

namespace quenmar {

inline constexpr char16_t kStatusRunning[] = u"Probíhá konverze";
inline constexpr char16_t kStatusDone[] = u"Soubor byl konvertován do: ";
inline constexpr char16_t kStatusFailed[] = u"Konverze selhala";
inline constexpr char16_t kStatusInterrupted[] = u"Konverze přerušena";

// The output path for an input path: its folder, then its file name with "-"
// inserted before the fifth character (at the end of a shorter name).
Text OutputPathFor(TextView inputPath, TextView delimiters = platform::kDelimiters);

// The number of cores: how many entries a run compresses at once unless told.
int DefaultJobs();

// Runs the conversion, compressing up to Jobs entries at once on as many threads
// (1: one at a time, on the calling thread); the output is the same byte for byte
// whatever Jobs is. Returns true when the output was written.
//
// When two entries get the same new name (or names that differ only in case), the
// run writes both and adds a warning after the success text, behind
// kWarningSeparator; Warning, when given, receives the warning alone (empty when
// there is none).
bool ConvertArchive(ConversionWindow& window, int jobs = DefaultJobs(), Text* warning = nullptr);

}  // namespace quenmar
