// Making the window's items and tool buttons and putting them into its menus: every group of
// commands fills its part of the menus and bars with these.
#pragma once

#include <QStyle>
#include <array>
#include <initializer_list>
#include <span>

#include "app/menu_handles.h"

class QAction;
class QToolBar;

namespace sorabu::app {

QAction* MakeAction(TForm1& form, QMenu* menu, const char* name, const char* caption, TFormSlot slot,
                    bool checkable = false);
// The items into the menu bar's menu and their twins into the pop-up's, each before its anchor (at
// the end when that is null) or at the front or the end of both. A missing menu is a fault of the
// program: an assertion in debug builds, a warning and nothing added otherwise.
void InsertTwins(TForm1& form, const TMenuTwins& twins, std::array<QAction*, 2> before,
                 std::span<const MenuItemSpec> items);
void InsertTwins(TForm1& form, const TMenuTwins& twins, TMenuEnd end, std::span<const MenuItemSpec> items);
// The separator before each file menu's 終了, where the file menu's groups go in.
std::array<QAction*, 2> BeforeExit(const TMenuTwins& file);
// Items at the top of the pop-up's shortcut list, in the order given.
void AddShortcuts(TForm1& form, QMenu* shortcuts, std::initializer_list<ShortcutSpec> items);
// A tool button at the end of the bar, its tips from the tool-button table; the window's
// ArrangeToolBar gives it its place and makes the dividers.
QAction* ToolButton(TForm1& form, QToolBar* bar, const char* name, QStyle::StandardPixmap icon, TFormSlot slot);

}  // namespace sorabu::app
