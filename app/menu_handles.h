// The window's menus as typed handles: each menu of the menu bar with its copy under the pop-up
// menu, so that a group of commands names the menu it fills and never looks one up by name; and
// the items a group puts into a pair of twins or into the shortcut list.
#pragma once

class QMenu;

namespace sorabu::app {

class TForm1;
using TFormSlot = void (TForm1::*)();  // a menu handler of the window

// A menu item and its pop-up twin; an entry without a name is a separator.
struct MenuItemSpec {
  const char* name;
  const char* popupName;
  const char* caption;
  TFormSlot slot;
  TFormSlot popupSlot = nullptr;       // when the twin runs something else
  const char* popupCaption = nullptr;  // when the twin reads otherwise
};

// Where in both twins the items go when no anchor is given.
enum class TMenuEnd { Front, Back };

// An item of the pop-up's shortcut list.
struct ShortcutSpec {
  const char* name;
  const char* caption;
  TFormSlot slot;
};

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
