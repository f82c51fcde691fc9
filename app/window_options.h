// The on/off options of the 設定 menu, each an item in the menu bar and its twin in the pop-up.
#pragma once

class QAction;

namespace sorabu::app {

// In the order the settings file lists them.
enum class Option {
  Mdisp, Mmousepoint, Mlhashow, Mrtf, Mtoolbar, Msubtoolbar1, Msubfolderview1, Mtodiropen1,
  Mdialogdisp1, Mcloseinitview1, Mbackup1, Mdragdrop1, Mlfline, Count
};

struct TOptionItem {
  QAction* main = nullptr;   // in the menu bar's 設定
  QAction* popup = nullptr;  // its copy in PopupMenu1
  const char* key = "";      // key in section Menu
  bool value = false;
};

}  // namespace sorabu::app
