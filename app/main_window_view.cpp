// What the window shows and how: the text pane shown or hidden, word wrap, the 表示 menus, the
// fonts and the character set, tab stops, and the viewer's commands (V, redisplay, jumps, the
// display and read limits).
#include <QAction>
#include <QMenu>
#include <QStyle>

#include "app/browser_selection.h"
#include "app/load_rule_commands.h"
#include "app/main_window.h"
#include "browser/combo_view.h"
#include "browser/file_view.h"
#include "browser/folder_view.h"
#include "settings/ini_file.h"
#include "uitext/qt_text.h"
#include "viewer/display.h"
#include "viewer/status_panels.h"
#include "viewer/text_pane.h"

namespace sorabu::app {

namespace {
using uitext::U;
}  // namespace

void TForm1::SetTextStatus(int panel, const QString& text) { SBarR_->SetPanelText(panel, text); }

// The combo fills PanelLT through its layout, so it follows the splitter by itself.
void TForm1::Splitter2Moved() { ComboView1_->updateGeometry(); }

void TForm1::ShowTextPane(bool show) {
  if (show) {
    RichEdit1_->show();
    SetPanelRBHeight(PanelRBTHeight() + state_.SavedTextHeight + SBarR_->height());
  } else {
    RichEdit1_->hide();
    SetPanelRBHeight(PanelRBTHeight() + SBarR_->height());
  }
  QAction* button = Action("SBeditview");
  button->setIcon(style()->standardIcon(show ? QStyle::SP_TitleBarShadeButton : QStyle::SP_TitleBarUnshadeButton));
  button->setToolTip(show ? U("隠す") : U("表示する"));
  button->setStatusTip(show ? U("テキスト表示を隠します。") : U("テキスト表示を表示します。"));
  for (const char* name : {"MeditView1", "Meditview2"}) {
    Action(name)->setText(show ? U("テキスト表示を隠す(&I)") : U("テキスト表示を表示する(&I)"));
    Action(name)->setStatusTip(show ? U("テキスト表示を隠します。") : U("テキスト表示を表示します。"));
  }
}

void TForm1::MeditView1Click() {
  const bool visible = TextPaneVisible();
  if (visible) state_.SavedTextHeight = RichEdit1_->height();
  ShowTextPane(!visible);
  if (FileView1_->focusPolicy() != Qt::NoFocus && FileView1_->isVisible()) FileView1_->setFocus();
  else FolderView1_->setFocus();
}

void TForm1::MwordwrapClick() {
  const bool wrap = !RichEdit1_->WordWrap();
  RichEdit1_->SetWordWrap(wrap);
  toolButtons_.ToolButton39->setChecked(wrap);
}

void TForm1::MhyojiClick() {
  const bool wraps = RichEdit1_->WordWrap();
  for (const char* name : {"Mwordwrap", "Mwordwrap1"})
    Action(name)->setText(wraps ? U("右で折り返さない(&R)") : U("右で折り返す(&R)"));
  Mfileviewcolum_->setEnabled(fileViewStyle_ == browser::TViewStyle::Details);
  Mcodehenkan1_->setEnabled(!selection_->SelectedPath().isEmpty());
}

void TForm1::Mhyoji1Click() {
  MhyojiClick();
  Mcodehenkan2_->setEnabled(!selection_->SelectedPath().isEmpty());
}

void TForm1::ApplyTextFont(const QFont& font) {
  RichEdit1_->setFont(font);
  SetTabStops();
}

void TForm1::ApplyFileFont(const QFont& font) {
  FileView1_->setFont(font);
  FolderView1_->setFont(font);
}

namespace {

dialogs::FontSpec ToSpec(const QFont& f, const QColor& colour, int charSet) {
  dialogs::FontSpec spec;
  spec.name = uitext::ToCp932(f.family());
  spec.sizePoints = f.pointSize() > 0 ? f.pointSize() : qRound(f.pixelSize() * 72.0 / 96.0);
  spec.style = (f.bold() ? 1 : 0) | (f.italic() ? 2 : 0) | (f.underline() ? 4 : 0) | (f.strikeOut() ? 8 : 0);
  spec.bgr = static_cast<std::uint32_t>(colour.red()) | static_cast<std::uint32_t>(colour.green()) << 8 |
             static_cast<std::uint32_t>(colour.blue()) << 16;
  spec.charSet = charSet;
  return spec;
}

QFont FromSpec(const dialogs::FontSpec& spec) {
  QFont f(uitext::FromCp932(spec.name));
  if (spec.sizePoints > 0) f.setPointSize(spec.sizePoints);
  f.setBold(spec.style & 1);
  f.setItalic(spec.style & 2);
  f.setUnderline(spec.style & 4);
  f.setStrikeOut(spec.style & 8);
  return f;
}

QColor FromBgr(std::uint32_t bgr) { return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)); }

}  // namespace

void TForm1::MfonttextClick() {
  const QColor colour = RichEdit1_->palette().color(QPalette::Text);
  auto chosen = dialogs_.ChooseFont(ToSpec(RichEdit1_->font(), colour, charSet_));
  if (!chosen) return;
  ApplyTextFont(FromSpec(*chosen));
  QPalette p = RichEdit1_->palette();
  p.setColor(QPalette::Text, FromBgr(chosen->bgr));
  RichEdit1_->setPalette(p);
  fontDialogFont_ = RichEdit1_->font();
}

void TForm1::MfontfileClick() {
  const QColor colour = FileView1_->palette().color(QPalette::Text);
  auto chosen = dialogs_.ChooseFont(ToSpec(FileView1_->font(), colour, charSet_));
  if (!chosen) return;
  ApplyFileFont(FromSpec(*chosen));
  for (QWidget* w : {static_cast<QWidget*>(FileView1_), static_cast<QWidget*>(FolderView1_)}) {
    QPalette p = w->palette();
    p.setColor(QPalette::Text, FromBgr(chosen->bgr));
    w->setPalette(p);
  }
}

void TForm1::MchartsetClick() {
  dialogs_.ChooseCharSet(charSet_, [this](int value) { charSet_ = value; });
}

void TForm1::Mtabset1Click() {
  auto answer = dialogs_.InputBox(uitext::ToCp932(U("TAB位置設定")), uitext::ToCp932(U("TABの文字数")), "8");
  if (!answer) return;
  const long long value = settings::ParseInteger(*answer).value_or(8);
  // A width of zero or less would put every stop at the margin or before it.
  if (value <= 0 || value > 1000) return;
  state_.TabWidth = static_cast<int>(value);
  SetTabStops();
}

void TForm1::SetTabStops() { RichEdit1_->SetTabWidth(state_.TabWidth); }

// The viewer's commands, reached from menus and buttons.
void TForm1::MvClick() {
  viewer_->MvClick(OptionValue(Option::Mdisp), [this] {
    if (!TextPaneVisible()) ShowTextPane(true);
  });
}

void TForm1::Mtextrepaint1Click() { viewer_->Mtextrepaint1Click(); }

void TForm1::MtextnewviewClick() { viewer_->MtextnewviewClick(); }

void TForm1::ToolButton49Click() { viewer_->LoadWholeFile(); }

void TForm1::MjumpClick() { viewer_->MjumpClick(); }

void TForm1::Mlinetop1Click() { viewer_->Mlinetop1Click(); }

void TForm1::Mlinebottom1Click() { viewer_->Mlinebottom1Click(); }

void TForm1::MricheditloadlineClick() { AskDisplayLineLimit(dialogs_, iniPath_, state_); }

void TForm1::MstreamRead1Click() { AskStreamRead(dialogs_, iniPath_, state_); }

void TForm1::Mreadmax1Click() { AskReadLimit(dialogs_, iniPath_, state_); }

}  // namespace sorabu::app
