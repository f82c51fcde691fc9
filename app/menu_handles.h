// The window's menus as typed handles: each menu of the menu bar with its copy under the pop-up
// menu, so that a group of commands names the menu it fills and never looks one up by name.
#pragma once

class QMenu;

namespace sorabu::app {

struct TMenuTwins {
  QMenu* main = nullptr;
  QMenu* popup = nullptr;
};

struct TMenus {
  TMenuTwins file, edit, del, search, view, convert, archive, info, apps, options;
  QMenu* help = nullptr;       // the menu bar's only
  QMenu* shortcuts = nullptr;  // the pop-up's only
};

}  // namespace sorabu::app
