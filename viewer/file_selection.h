// What the viewer needs from the file browser.
#pragma once

#include <QString>

namespace sorabu::viewer {

class TFileSelection {
 public:
  virtual ~TFileSelection() = default;
  // Full path of the focused or first selected file; empty when none.
  virtual QString SelectedPath() const = 0;
  // The information line for a focused item the program cannot reach (its name on disk is not
  // valid UTF-8): its shown name and why; empty otherwise.
  virtual QString SelectedUnreachableInfo() const { return {}; }
  // Selects every item whose caption equals name, compared without regard to letter case;
  // returns the number selected.
  virtual int SelectByName(const QString& name) = 0;
  virtual int SelectedCount() const = 0;
  // Recounts the files and bytes of the current folder into the status bar.
  virtual void UpdateCounts() = 0;
};

}  // namespace sorabu::viewer
