// The icon theme of the tool bars and menus.
#pragma once

#include <QString>

namespace sorabu::ui {

// Keeps the desktop's icon theme when it is a full one; otherwise (no desktop, as under a bare X
// server, or a theme with no action icons) takes the first installed of Breeze, Papirus and
// Adwaita. With none of them the buttons keep the style's own pictures. Returns the theme in use,
// empty when there is none.
QString UseIconTheme();

}  // namespace sorabu::ui
