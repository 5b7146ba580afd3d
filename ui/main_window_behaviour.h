// What the main window does without drawing, once for every toolkit. A toolkit's
// window implements MainWindowControls (its controls as the behaviour sees them)
// and calls the handlers below from its own events; it holds nothing but drawing
// and dispatching.
//
// - WindowCreated puts the archives given to the program (its command line: a
//   drop on the program, "Open with") in the path box, and gives Start the focus
//   when they can be opened. Without any, it proposes the first "*.ZIP" entry of
//   the program's folder (in directory order, of any kind) that is not this
//   program's output of another "*.ZIP" there. Either way it sets Start by the
//   path box.
// - PathChanged puts the status line back to its first text (the result shown
//   was the previous path's) and enables Start exactly when the path box names a
//   file that can be opened; for several archives (ArchivePathsIn), when every
//   one can.
// - BrowseClicked lets the user choose one archive or several, in a dialog that
//   opens on the first path the box names (ArchivePathsIn); the path box changes
//   only when the dialog was confirmed with other paths, and then shows them as
//   PathBoxTextFor writes them. A confirmed choice, the same paths included, sets
//   Start by the path box again and, when Start is enabled, gives it the focus.
// - ArchivesDropped takes files dropped on the window into the path box as a
//   confirmed Browse does (Start set again, and focused when it is enabled); a
//   drop while a run goes on is refused.
// - StartClicked is the conversion run, through the six operations of
//   ConversionWindow, on the path ArchivePathsIn takes from the path box (put back
//   in the box first when it differs). Several archives are converted one after
//   another, each as one run; the status line then shows SeveralArchivesStatus.
//   The status line's colour then shows the outcome; PathChanged takes it back.
//   After a success Start stays disabled until the path box changes; after a
//   failure or a stop it follows the path box at once, so the user can try again.
//   The run goes on a thread of its own (WindowRun) while StartClicked handles
//   the window's events; meanwhile the path box and Browse are locked. Afterwards
//   the status line's tooltip holds RunTooltip: every archive with its result.
// - StatusActivated (a double-click or Enter on the status line) shows the new
//   archives in their folders, selected, after a run that made any; the tooltip
//   then says so. A new path or run forgets them.
// - CancelClicked (Zrušit, Escape) stops the run going at its next block, as an
//   interrupt does ("Konverze přerušena", nothing left, an earlier output kept),
//   and the window stays; without a run it closes the window.
// - CloseRequested (the close button, the taskbar, the system) lets the window
//   close at once when no run goes; during a run it stops the run and closes the
//   window once the run has cleaned up. SessionEnding (logoff, shutdown) does the
//   same and returns only once the clean-up is done.
#pragma once

#include <optional>
#include <vector>

#include "conversion/conversion_window.h"
#include "support/text.h"
#include "ui/window_run.h"

namespace quenmar {

// The window's texts that are not its controls' captions (ui/main_window_layout.h).
inline constexpr char16_t kBrowseFilter[] = u"*.ZIP|*.ZIP";
inline constexpr char16_t kBrowseTitle[] = u"Vyberte soubor pro konverzi";
inline constexpr char16_t kArchiveMask[] = u"*.ZIP";
inline constexpr char16_t kInfoPageName[] = u"quenmar-info.html";

// What the status line reports, shown by the colour of its text, so that success
// and failure look different at a glance.
enum class Outcome {
  kNone,       // no result: the first text, or a new path
  kSucceeded,  // every archive converted
  kFailed,     // a failure, or a stopped run
};

// The status line's text colour for an outcome, as 0xRRGGBB; nothing for the
// toolkit's own text colour.
std::optional<unsigned> OutcomeColour(Outcome outcome);

// The window's controls as the handlers and the conversion run see them. From
// ConversionWindow: DisableStart disables the Start button, SetGaugeVisible shows
// or hides the gauge, SetGaugeProgress moves it (and redraws it at once),
// SetStatus sets the status line's text, InputPath reads the path box, and
// ProcessMessages handles the toolkit's waiting events once. From WindowThread:
// WaitForEvents waits for the toolkit's next event, Wake ends that wait from
// another thread.
class MainWindowControls : public ConversionWindow, public WindowThread {
 public:
  // Enables or disables the Start button; a disabled one that held the focus
  // hands it to the path box.
  virtual void SetStartEnabled(bool enabled) = 0;
  // Sets the path box's text; a text that differs from the shown one runs
  // PathChanged, as a keystroke would.
  virtual void SetInputPath(const Text& text) = 0;
  // The open dialog that lets the user choose several files: ChooseFileNames'
  // contract (ui/file_dialog_steps.h), owned by the window.
  virtual bool ChooseFiles(TextView filter, bool mustExist, TextView title, TextView proposal,
                           std::vector<Text>& fileNames) = 0;
  // Moves the keyboard focus to the Start button (enabled).
  virtual void FocusStart() = 0;
  // Colours the status line's text by Outcome (OutcomeColour) until the next call.
  virtual void ShowOutcome(Outcome outcome) = 0;

  // Sets the status line's tooltip until the next SetStatus, which makes the
  // status itself the tooltip.
  virtual void SetStatusTooltip(const Text& text) = 0;
  // Opens Folder in the file manager with Files (each in Folder) selected.
  virtual void ShowInFolder(const Text& folder, const std::vector<Text>& files) = 0;
  // Closes the window now, as its close button does without a run.
  virtual void Close() = 0;
  // While a run goes the path box is read-only and Browse disabled.
  virtual void SetInputsLocked(bool locked) = 0;

  void DisableStart() override { SetStartEnabled(false); }

  // True while StartClicked runs.
  bool RunGoing() const { return run_ != nullptr; }
  // True when StatusActivated has new archives to show.
  bool HasResultToShow() const { return !results_.empty(); }

 private:
  friend void StartClicked(MainWindowControls& window);
  friend void CancelClicked(MainWindowControls& window);
  friend bool CloseRequested(MainWindowControls& window);
  friend void SessionEnding(MainWindowControls& window);
  friend void PathChanged(MainWindowControls& window);
  friend bool StatusActivated(MainWindowControls& window);
  std::vector<Text> results_;  // the archives the last run made
  WindowRun* run_ = nullptr;
  bool closeAfterRun_ = false;
};

// The archives the path box's text names, as the common file dialog writes
// several names: each path in double quotes, separated by spaces. Text of
// another form is one path as typed; nothing for an empty box. So a single path
// pasted in quotes (Explorer's "Copy as path") is that path.
std::vector<Text> ArchivePathsIn(TextView box);

// The path box's text for Paths: one path as it is, several each in quotes.
Text PathBoxTextFor(const std::vector<Text>& paths);

// What the status line's tooltip says after a run: the status; for several
// archives, a line for each archive with its own result (kNotReached for those
// after a stop); and kShowResultHint when the run made an archive.
inline constexpr char16_t kShowResultHint[] = u"Dvojklikem nebo klávesou Enter zde otevřete složku s novým archivem.";
inline constexpr char16_t kNotReached[] = u"nezpracováno";
struct ArchiveResult {
  Text path;
  Text status;  // empty when not reached
};
Text RunTooltip(const Text& status, const std::vector<ArchiveResult>& several, bool made);

// "Konvertováno N z M archivů", followed by ". " and the first failure's status
// when there was one.
Text SeveralArchivesStatus(int converted, int count, const std::optional<Text>& firstFailure);

// ProgramFolder is where start-up looks; empty for the running program's folder.
// GivenPaths are the archives the program was started with (made full paths).
void WindowCreated(MainWindowControls& window, TextView programFolder, const std::vector<Text>& givenPaths = {});
void PathChanged(MainWindowControls& window);
void BrowseClicked(MainWindowControls& window);
// False when the drop was refused (a run goes on, or nothing was dropped).
bool ArchivesDropped(MainWindowControls& window, const std::vector<Text>& paths);
void StartClicked(MainWindowControls& window);
void CancelClicked(MainWindowControls& window);
// True when the window may close now.
bool CloseRequested(MainWindowControls& window);
void SessionEnding(MainWindowControls& window);
// False when there was nothing to show: the key is then the window's as ever.
bool StatusActivated(MainWindowControls& window);

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
