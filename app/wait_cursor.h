// The wait cursor for as long as the object lives (when on).
#pragma once

#include <QApplication>

namespace sorabu::app {

class TWaitCursor {
 public:
  explicit TWaitCursor(bool on = true) : on_(on) {
    if (on_) QApplication::setOverrideCursor(Qt::WaitCursor);
  }
  ~TWaitCursor() {
    if (on_) QApplication::restoreOverrideCursor();
  }
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;

 private:
  bool on_;
};

}  // namespace sorabu::app
