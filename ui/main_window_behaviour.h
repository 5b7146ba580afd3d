// What the main window does without drawing, once for every toolkit. A toolkit's
// window implements MainWindowControls (its controls as the behaviour sees them)
// and calls the handlers below from its own events; it holds nothing but drawing
// and dispatching.
//
// - WindowCreated proposes the first "*.ZIP" entry of the program's folder (in
//   directory order, of any kind) that is not this program's output of another
//   "*.ZIP" there, and sets Start by the path box.
// - PathChanged puts the status line back to its first text (the result shown
//   was the previous path's) and enables Start exactly when the path box names a
//   file that can be opened (ArchivePathIn).
// - BrowseClicked lets the user choose the archive; the path box changes only
//   when the dialog was confirmed with another path. A confirmed choice, the same
//   path included, sets Start by the path box again and, when Start is enabled,
//   gives it the focus.
// - StartClicked is the conversion run, through the six operations of
//   ConversionWindow, on the path ArchivePathIn takes from the path box (put back
//   in the box first when it differs).
#pragma once

#include <optional>

#include "conversion/conversion_window.h"
#include "support/text.h"

namespace quenmar {

// The window's texts that are not its controls' captions (ui/main_window_layout.h).
inline constexpr char16_t kBrowseFilter[] = u"*.ZIP|*.ZIP";
inline constexpr char16_t kBrowseTitle[] = u"Vyberte soubor pro konverzi";
inline constexpr char16_t kArchiveMask[] = u"*.ZIP";
inline constexpr char16_t kInfoPageName[] = u"quenmar-info.html";

// The window's controls as the handlers and the conversion run see them. From
// ConversionWindow: DisableStart disables the Start button, SetGaugeVisible shows
// or hides the gauge, SetGaugeProgress moves it (and redraws it at once),
// SetStatus sets the status line's text, InputPath reads the path box, and
// ProcessMessages handles the toolkit's waiting events once.
class MainWindowControls : public ConversionWindow {
 public:
  // Enables or disables the Start button; a disabled one that held the focus
  // hands it to the path box.
  virtual void SetStartEnabled(bool enabled) = 0;
  // Sets the path box's text; a text that differs from the shown one runs
  // PathChanged, as a keystroke would.
  virtual void SetInputPath(const Text& text) = 0;
  // The open dialog: ChooseFileName's contract (ui/file_dialog_steps.h), owned by
  // the window.
  virtual bool ChooseFile(TextView filter, bool mustExist, TextView title, Text& fileName) = 0;
  // Moves the keyboard focus to the Start button (enabled).
  virtual void FocusStart() = 0;

  void DisableStart() override { SetStartEnabled(false); }
};

// The archive's path in the path box's text: the text itself, or what stands
// between a double quote at each end (as Explorer's "Copy as path" gives it) when
// no other quote is inside.
Text ArchivePathIn(TextView box);

// ProgramFolder is where start-up looks; empty for the running program's folder.
void WindowCreated(MainWindowControls& window, TextView programFolder);
void PathChanged(MainWindowControls& window);
void BrowseClicked(MainWindowControls& window);
void StartClicked(MainWindowControls& window);

// The archive proposed at start: Folder (with a separator added when it lacks one)
// followed by the name of its first entry matching "*.ZIP" whose name is not the
// output name (OutputPathFor) of another such entry, letters compared without
// regard to ASCII case; nothing when none is left.
std::optional<Text> ProposedArchive(TextView folder);

// The executable's file name without its folder, cut before its first ".", its
// first character as it is and every later one in lower case.
Text ApplicationTitleFor(TextView executablePath);

// An error's text as the error report shows it: a "." added when its last
// character comes after "." in the character set.
Text ErrorReportText(TextView message);

// The information page where it is installed with the program: beside it, or in
// share/quenmar beside its bin folder. Nothing when neither holds it; the window
// then shows the copy built into it.
std::optional<Text> InstalledInfoPage(TextView executablePath);

}  // namespace quenmar
