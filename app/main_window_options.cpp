// The 設定 menu's options: each one's check mark in both menus, its stored value and what it
// changes at once.
#include <QAction>
#include <QToolBar>

#include "app/main_window.h"
#include "archive/bind/lha_binding.h"
#include "browser/file_view.h"
#include "uitext/qt_text.h"
#include "viewer/display.h"
#include "viewer/text_pane.h"

namespace sorabu::app {

namespace {
using uitext::U;
}  // namespace

void TForm1::SetOption(Option o, bool value) {
  TOptionItem& item = options_[static_cast<std::size_t>(o)];
  item.value = value;
  item.main->setChecked(value);
  item.popup->setChecked(value);
  ApplyOptionEffect(o);
}

void TForm1::ApplyOptionEffect(Option o) {
  const bool on = OptionValue(o);
  switch (o) {
    case Option::Mdisp:
      state_.InstantDisplay = on;
      SetTextStatus(4, on ? U(" ﾘｱﾙﾓｰﾄﾞ ") : U("  Vﾓｰﾄﾞ "));
      break;
    case Option::Mmousepoint:
      hotTrack_ = on;
      FileView1_->setAttribute(Qt::WA_Hover, on);
      SetTextStatus(5, on ? U(" MP ") : U("    "));
      break;
    case Option::Mrtf:
      RichEdit1_->SetPlainTextMode(!on);
      viewer_->SetRtfOption(on);
      SetTextStatus(3, on ? U(" RTF ") : U("     "));
      break;
    case Option::Mlhashow:
      viewer_->SetLhaShowOption(on);
      break;
    case Option::Mlfline:
      viewer_->SetLfLines(on);
      break;
    case Option::Mtoolbar:
      ToolBar1_->setVisible(on);
      break;
    case Option::Msubtoolbar1:
      textHeaderHasToolBar_ = on;
      LayoutTextHeader();
      break;
    case Option::Mdragdrop1:
      setAcceptDrops(on);
      FileView1_->SetDragOut(on);
      break;
    default:
      break;  // read where they are used
  }
}

void TForm1::MdispClick() { ToggleOption(Option::Mdisp); }
void TForm1::MmousepointClick() { ToggleOption(Option::Mmousepoint); }
void TForm1::MlhashowClick() { ToggleOption(Option::Mlhashow); }
void TForm1::MrtfClick() { ToggleOption(Option::Mrtf); }
void TForm1::MtoolbarClick() { ToggleOption(Option::Mtoolbar); }
void TForm1::Msubtoolbar1Click() { ToggleOption(Option::Msubtoolbar1); }
void TForm1::Msubfolderview1Click() { ToggleOption(Option::Msubfolderview1); }
void TForm1::Mtodiropen1Click() { ToggleOption(Option::Mtodiropen1); }
void TForm1::Mdialogdisp1Click() { ToggleOption(Option::Mdialogdisp1); }
void TForm1::Mcloseinitview1Click() { ToggleOption(Option::Mcloseinitview1); }
void TForm1::Mbackup1Click() { ToggleOption(Option::Mbackup1); }
void TForm1::Mdragdrop1Click() { ToggleOption(Option::Mdragdrop1); }
void TForm1::MlflineClick() { ToggleOption(Option::Mlfline); }

void TForm1::Moption2Click() {
  for (Option o : {Option::Mdisp, Option::Mlhashow, Option::Mrtf}) OptionAction(o, true)->setChecked(OptionValue(o));
}

void TForm1::BrowseTo(const QString& folder) { GoToFolder(folder); }

}  // namespace sorabu::app
