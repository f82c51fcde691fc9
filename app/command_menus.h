// Where the file-rewriting commands stand in the menus: the order, the submenus and the
// separators of the 編集, 削除, 検索 and 変換 menus, and the few places where one command stands
// twice. Captions come from the command table; this file only arranges them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/menu_handles.h"

namespace sorabu::app {

struct TMenuSlot {
  const char* handler;          // nullptr: a separator
  const char* caption = nullptr;  // another caption than the table's (a second place), or nullptr
  const char* suffix = "";      // appended to the object name of a second place
};

struct TMenuLayout {
  TMenuTwins TMenus::*menu;  // the menu and its pop-up twin (&TMenus::del)
  std::vector<TMenuSlot> items;
};

const std::vector<TMenuLayout>& CommandMenuLayouts();

// The object name of a command's main-menu item ("Mtrim1Click" -> "Mtrim1") and of its pop-up
// twin ("Mtrim1Pop"); suffix tells a second place apart.
std::string MainItemName(std::string_view handler, std::string_view suffix = "");
std::string PopupItemName(std::string_view handler, std::string_view suffix = "");

// The pop-up copy's caption: without the "* " mark, with the few changes the pop-up menus make.
std::string PopupCaption(std::string_view handler, std::string_view caption);
// A caption as running text (the status bar, a hint): no "* " mark, no "(&N)" mnemonic, "&&" as "&".
std::string PlainCaption(std::string_view caption);

}  // namespace sorabu::app
