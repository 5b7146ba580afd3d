// What the conversion run needs of whatever started it: six operations and a
// question. The Qt window (Linux), the Win32 window (Windows) and the terminal
// front end (quenmar-convert) each implement them, so all three share one run.
//
// The run calls the six operations on the thread that called ConvertArchive, and
// on no other; StopRequested on any thread of the run.
#pragma once

#include "support/text.h"

namespace quenmar {

class ConversionWindow {
 public:
  virtual ~ConversionWindow() = default;

  // Makes Start unusable while the run goes on (the window enables it again when
  // the path box next changes).
  virtual void DisableStart() = 0;
  // Shows or hides the progress gauge.
  virtual void SetGaugeVisible(bool visible) = 0;
  // Moves the gauge to Progress percent (0 to 100). It is called after every
  // entry, often with the percentage it had.
  virtual void SetGaugeProgress(int progress) = 0;
  // Replaces the status line's text.
  virtual void SetStatus(const Text& text) = 0;
  // The archive to convert: the path box's text, as the user left it.
  virtual Text InputPath() = 0;
  // Handles the messages waiting for the window once, so that what the run has
  // just shown is drawn before the work begins.
  virtual void ProcessMessages() = 0;
  // True once the run is to stop, as on an interrupt: it stops at the next block
  // read or written and cleans up ("Konverze přerušena"). Asked after every block,
  // from any thread of the run, so it must be cheap and thread-safe.
  virtual bool StopRequested() { return false; }
};

}  // namespace quenmar
