// Window-wide state shared by the main window and the viewer.
#pragma once

#include <cstdint>
#include <string>

namespace sorabu::settings {

struct TWindowState {
  // A selection change in the file list may start the display; off while the program itself
  // changes the list.
  bool DisplayEnabled = true;
  // Instant display (real mode); off in V mode.
  bool InstantDisplay = true;
  bool ShiftDown = false;
  bool AltDown = false;
  bool CtrlDown = false;
  // Lines read by the quick display; 0 loads the whole file instead.
  int DisplayLineLimit = 20;
  int SavedTextHeight = 0;
  std::uint16_t LhaVersion = 0;
  int TabWidth = 8;
  // The string through which dialogs hand their result back (CP932); empty means cancelled.
  std::string DialogResult;

  bool DisplayGateOpen() const { return DisplayEnabled && !ShiftDown && !AltDown && !CtrlDown; }
};

}  // namespace sorabu::settings
