// The buttons of the two tool bars in their order, dividers included: what the window lays out,
// what the tool button dialog lists, and the keys under which their visibility is stored.
#pragma once

#include <span>
#include <string_view>

namespace sorabu::custom {

struct TToolButtonInfo {
  const char* name;     // object name and settings key
  const char* caption;  // row of the tool button dialog; null for a divider
  const char* tip;      // UTF-8
  const char* status;   // UTF-8; empty when the button has none
  const char* theme;    // icon theme name
  int dividerWidth;     // pixels, for dividers
  // The window's handler slot for buttons whose command another part of the window provides;
  // the button stays disabled until that slot exists.
  const char* handler;
};

// ToolBar1 (section ToolBar1) and ToolBar2 (section ToolBar2, after the fixed SBeditview).
std::span<const TToolButtonInfo> MainToolButtons();
std::span<const TToolButtonInfo> ViewToolButtons();
// The button or divider of either bar with that name; null when there is none.
const TToolButtonInfo* FindToolButton(std::string_view name);

}  // namespace sorabu::custom
