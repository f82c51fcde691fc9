// The main window's widgets, menus and tool buttons by their component names. The layout
// (main_window_layout.cpp) and the menus (main_window_menus.cpp) make them; the window's parts use
// the members, other classes and the tests the getters.
#pragma once

#include <array>

#include "app/menu_handles.h"
#include "browser/view_style.h"

class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;
class QWidget;

namespace sorabu::viewer { class TTextPane; class TStatusPanels; }
namespace sorabu::browser { class TComboView; class TFileView; class TFolderCounter; class TFolderView; }

namespace sorabu::app {

// The tool buttons that change after they are made.
struct TToolButtons {
  QAction* ToolButton7 = nullptr;   // 簡易編集: checked while the pane is editable
  QAction* ToolButton11 = nullptr;  // 登録フォルダー: its menu drops down below it
  QAction* ToolButton12 = nullptr;  // 拡張子: checked while a mask is set
  QAction* ToolButton39 = nullptr;  // 折り返し: checked while lines wrap
};

class TMainWidgets {
 public:
  viewer::TTextPane* RichEdit1() const { return RichEdit1_; }
  QLabel* LFilestring() const { return LFilestring_; }
  viewer::TStatusPanels* SBarR() const { return SBarR_; }
  viewer::TStatusPanels* StatusBar1() const { return StatusBar1_; }
  QToolBar* ToolBar1() const { return ToolBar1_; }
  QToolBar* ToolBar2() const { return ToolBar2_; }
  browser::TComboView* ComboView1() const { return ComboView1_; }
  browser::TFolderView* FolderView1() const { return FolderView1_; }
  browser::TFileView* FileView1() const { return FileView1_; }
  browser::TFolderCounter& Counter() { return *counter_; }
  const TMenus& Menus() const { return menus_; }
  QMenu* PopupMenu1() const { return PopupMenu1_; }
  QMenu* PopupMenu2() const { return PopupMenu2_; }
  QMenu* PopupMenu3() const { return PopupMenu3_; }
  browser::TViewStyle FileViewStyle() const { return fileViewStyle_; }
  int ColumnWidth(int index) const { return columnWidths_[static_cast<std::size_t>(index)]; }

 protected:
  QToolBar* ToolBar1_ = nullptr;
  QToolBar* ToolBar2_ = nullptr;
  QSplitter* Splitter2_ = nullptr;  // left | right
  QSplitter* Splitter1_ = nullptr;  // PanelLT above PanelLB
  QSplitter* Splitter3_ = nullptr;  // PanelRT above PanelRB
  QWidget *PanelL_ = nullptr, *PanelLT_ = nullptr, *PanelLB_ = nullptr;
  QWidget *PanelR_ = nullptr, *PanelRT_ = nullptr, *PanelRB_ = nullptr, *PanelRBT_ = nullptr;
  browser::TComboView* ComboView1_ = nullptr;
  browser::TFolderView* FolderView1_ = nullptr;
  browser::TFileView* FileView1_ = nullptr;
  browser::TFolderCounter* counter_ = nullptr;
  QLabel* LFilestring_ = nullptr;
  viewer::TTextPane* RichEdit1_ = nullptr;
  viewer::TStatusPanels* SBarR_ = nullptr;
  viewer::TStatusPanels* StatusBar1_ = nullptr;
  browser::TViewStyle fileViewStyle_ = browser::TViewStyle::List;
  std::array<int, 3> columnWidths_{-1, -1, -1};

  TMenus menus_;
  QMenu* PopupMenu1_ = nullptr;
  QMenu* PopupMenu2_ = nullptr;  // the registered folders
  QMenu* PopupMenu3_ = nullptr;  // the code conversions under the tool button
  QMenu *Mexedo_ = nullptr, *Mexedo2_ = nullptr;
  QMenu* Mfileviewcolum_ = nullptr;
  QMenu *Mcodehenkan1_ = nullptr, *Mcodehenkan2_ = nullptr;
  TToolButtons toolButtons_;
};

}  // namespace sorabu::app
