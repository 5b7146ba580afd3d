// "Převést v Quenmaru" on a ZIP archive's context menu, for any number of selected
// archives. The installer registers the verb with a drop target: Explorer starts
// "quenmar.exe -Embedding" through COM (the class kVerbDropClass, registered as a
// local server) and drops the whole selection on it in one call. The process takes
// the paths and then opens its window with them, as if they had been given on its
// command line. Each use of the verb starts a process of its own: the class is
// offered once, only by a process that COM started for it, so a window the user
// already has open never receives archives it did not ask for.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "support/text.h"

namespace quenmar::win32 {

// {8546A79D-8250-406C-A082-6FA64ED8A24B}, as in the installer's registration.
extern const CLSID kVerbDropClass;

// Whether the command line's arguments (after the program's name) are the ones COM
// gives a local server it starts: "-Embedding" or "/Embedding", alone.
bool StartedForVerb(const std::vector<Text>& arguments);

// Offers the drop target to COM and waits, handling messages, until the selection
// has been dropped on it or WaitMilliseconds have passed; returns the dropped
// paths (none when nothing came). COM must be initialised on this thread as an
// apartment.
std::vector<Text> ReceiveVerbDrop(DWORD waitMilliseconds = 30000);

// The paths of a drop (CF_HDROP), in their order.
std::vector<Text> DroppedPaths(HDROP drop);

}  // namespace quenmar::win32
