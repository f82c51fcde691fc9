// The settings file: read at start-up into the window, the options and the viewer's state, and
// written back at close.
#include <QAction>
#include <QDate>
#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QScreen>
#include <QStorageInfo>
#include <QComboBox>
#include <QGuiApplication>
#include <QListView>
#include <QToolBar>
#include <QTreeView>

#include "app/browser_selection.h"
#include "app/main_window.h"
#include "browser/file_view.h"
#include "settings/ini_file.h"
#include "settings/setting_keys.h"
#include "settings/settings_values.h"
#include "uitext/qt_text.h"
#include "viewer/display.h"
#include "viewer/status_panels.h"
#include "viewer/text_pane.h"
#include "uitext/japanese_locale.h"

namespace sorabu::app {

namespace {

struct TFontKeys {
  QFont font;
  QColor colour;
};

int PointSize(const QFont& f) { return f.pointSize() > 0 ? f.pointSize() : qRound(f.pixelSize() * 72.0 / 96.0); }

// Reads Name, Style, Color and Size of a font section; an out-of-range style is skipped, the other
// keys still apply.
TFontKeys ReadFont(const settings::TIniFile& ini, const char* section, const QFont& current, const QColor& colour) {
  TFontKeys result{current, colour};
  const std::string name = ini.ReadString(section, "Name", uitext::ToCp932(current.family()));
  if (!name.empty()) result.font.setFamily(uitext::FromCp932(name));
  const long long style = ini.ReadInt64(section, "Style", 0);
  if (settings::FontStyleInRange(style)) {
    result.font.setBold(style & 1);
    result.font.setItalic(style & 2);
    result.font.setUnderline(style & 4);
    result.font.setStrikeOut(style & 8);
  }
  if (auto c = ini.Find(section, "Color"))
    if (auto bgr = settings::StringToColor(*c)) result.colour = QColor(int(*bgr & 0xFF), int((*bgr >> 8) & 0xFF), int((*bgr >> 16) & 0xFF));
  const int size = ini.ReadInteger(section, "Size", PointSize(current));
  if (size > 0 && size <= 1000) result.font.setPointSize(size);
  return result;
}

void WriteFont(settings::TIniFile& ini, const char* section, const QFont& f, const QColor& colour) {
  ini.WriteString(section, "Name", uitext::ToCp932(f.family()));
  ini.WriteInteger(section, "Style", (f.bold() ? 1 : 0) | (f.italic() ? 2 : 0) | (f.underline() ? 4 : 0) | (f.strikeOut() ? 8 : 0));
  const std::uint32_t bgr = static_cast<std::uint32_t>(colour.red()) | static_cast<std::uint32_t>(colour.green()) << 8 |
                            static_cast<std::uint32_t>(colour.blue()) << 16;
  ini.WriteString(section, "Color", settings::ColorToString(bgr));
  ini.WriteInteger(section, "Size", PointSize(f));
}

}  // namespace

void TForm1::LoadSettings() {
  const settings::TIniFile ini(iniPath_);
  const browser::TViewStyle previousStyle = fileViewStyle_;
  saveFileName_ = uitext::FromCp932(settings::Read(ini, settings::kSaveFileName, uitext::ToCp932(saveFileName_)));
  saveDir_ = uitext::FromCp932(settings::Read(ini, settings::kSaveDir, uitext::ToCp932(saveDir_)));

  const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect(0, 0, 1024, 768);
  int left = settings::Read(ini, settings::kFormLeft, x());
  if (left < 0 || left > screen.width()) left = 0;
  move(left, y());
  int top = settings::Read(ini, settings::kFormTop, y());
  if (top < 0 || top > screen.height()) top = 0;
  move(x(), top);
  int width = settings::Read(ini, settings::kFormWidth, this->width());
  if (width < 0 || width > screen.width()) width = screen.width();
  resize(width, height());
  int height = settings::Read(ini, settings::kFormHeight, this->height());
  if (height < 0 || height > screen.height()) height = screen.height();
  resize(this->width(), height);

  const int panelL = settings::Read(ini, settings::kPanelLWidth, PanelLWidth());
  if (panelL >= 0 && panelL <= this->width()) SetPanelLWidth(panelL);
  const int panelRB = settings::Read(ini, settings::kPanelRBHeight, PanelRBHeight());
  if (panelRB >= 0 && (PanelRHeight() <= 0 || panelRB <= PanelRHeight())) SetPanelRBHeight(panelRB);

  state_.DisplayLineLimit = settings::Read(ini, settings::kDisplayLines);

  const TFontKeys text = ReadFont(ini, settings::kTextFontSection, RichEdit1_->font(), RichEdit1_->palette().color(QPalette::Text));
  ApplyTextFont(text.font);
  QPalette textPalette = RichEdit1_->palette();
  textPalette.setColor(QPalette::Text, text.colour);
  RichEdit1_->setPalette(textPalette);
  const TFontKeys files = ReadFont(ini, settings::kFileFontSection, FileView1_->font(), FileView1_->palette().color(QPalette::Text));
  ApplyFileFont(files.font);

  const std::string directory = settings::Read(ini, settings::kLastFolder, uitext::ToCp932(CurrentFolder()));
  const std::string initFolder = settings::Read(ini, settings::kInitFolder);

  const browser::TViewStyle style =
      browser::ViewStyleOf(settings::Read(ini, settings::kViewStyle, static_cast<int>(previousStyle)));
  for (int i = 0; i < 3; ++i) {
    const int w = settings::Read(ini, settings::kColumnWidths[i], columnWidths_[static_cast<std::size_t>(i)]);
    if (w >= -2) columnWidths_[static_cast<std::size_t>(i)] = w;
    if (w > 0) FileView1_->SetColumnWidth(i + 1, w);
  }
  hotTrack_ = settings::Read(ini, settings::kHotTrack, hotTrack_);

  const bool wrap = settings::Read(ini, settings::kWordWrap, RichEdit1_->WordWrap());
  RichEdit1_->SetWordWrap(wrap);
  toolButtons_.ToolButton39->setChecked(wrap);
  const int tab = settings::Read(ini, settings::kTabWidth);
  if (tab > 0 && tab <= 1000) state_.TabWidth = tab;  // a stop at or before the margin is refused
  SetTabStops();

  for (auto& item : options_) {
    item.value = ini.ReadBool(settings::kOptionsSection, item.key, item.value);
    item.main->setChecked(item.value);
    item.popup->setChecked(item.value);
  }
  ApplyToolButtonSettings(ini);
  LoadApplicationMenu(ini);
  LoadRegisteredFolders(ini);

  // Hot tracking decides the tick, not the Menu key.
  TOptionItem& mouse = options_[static_cast<std::size_t>(Option::Mmousepoint)];
  mouse.value = hotTrack_;
  mouse.main->setChecked(hotTrack_);
  mouse.popup->setChecked(hotTrack_);
  ApplyOptionEffect(Option::Mmousepoint);
  fontDialogFont_ = RichEdit1_->font();
  ApplyOptionEffect(Option::Mrtf);
  ApplyOptionEffect(Option::Mdisp);
  ApplyOptionEffect(Option::Mlhashow);
  ApplyOptionEffect(Option::Mlfline);
  ApplyFileViewStyle(style);

  if (!initFolder.empty()) {
    BrowseTo(uitext::FromCp932(initFolder));
  } else if (!directory.empty()) {
    const QString folder = uitext::FromCp932(directory);
    const QStorageInfo volume(folder);
    if (QDir(folder).exists() && volume.isValid() && volume.isReady() && volume.bytesTotal() > 0) BrowseTo(folder);
  }

  ApplyOptionEffect(Option::Mtoolbar);
  ApplyOptionEffect(Option::Msubtoolbar1);
  ApplyOptionEffect(Option::Mdragdrop1);
}

void TForm1::SaveSettings() {
  settings::TIniFile ini(iniPath_);
  const QLocale locale = uitext::JapaneseLocale();
  const QString cwd = QDir::currentPath();
  const QStorageInfo volume(cwd);
  ini.WriteString("System", "Program", "SORABU");
  ini.WriteString("System", "Version", "5.4");
  ini.WriteString("System", "Date", uitext::ToCp932(locale.toString(QDate::currentDate(), QLocale::ShortFormat)));
  ini.WriteString("System", "Time", uitext::ToCp932(locale.toString(QTime::currentTime(), QLocale::LongFormat)));
  ini.WriteString("System", "Drive", uitext::ToCp932(cwd));
  ini.WriteString("System", "DiskSize", std::to_string(volume.bytesTotal()) + " byte");
  ini.WriteString("System", "DiskFree", std::to_string(volume.bytesFree()) + " byte");
  ini.WriteString("System", "Filename", uitext::ToCp932(QString::fromStdString(iniPath_)));
  settings::Write(ini, settings::kSaveFileName, uitext::ToCp932(saveFileName_));
  settings::Write(ini, settings::kSaveDir, uitext::ToCp932(saveDir_));
  const QRect g = geometry();
  settings::Write(ini, settings::kFormLeft, g.x());
  settings::Write(ini, settings::kFormTop, g.y());
  settings::Write(ini, settings::kFormWidth, g.width());
  settings::Write(ini, settings::kFormHeight, g.height());
  ini.WriteInteger("Form", "Pixelsperinch", logicalDpiX());
  ini.WriteInteger("Form", "State", isMinimized() ? 2 : isMaximized() ? 3 : 1);
  settings::Write(ini, settings::kPanelLWidth, PanelLWidth());
  settings::Write(ini, settings::kPanelRBHeight, PanelRBHeight());
  WriteFont(ini, settings::kTextFontSection, RichEdit1_->font(), RichEdit1_->palette().color(QPalette::Text));
  WriteFont(ini, settings::kFileFontSection, FileView1_->font(), FileView1_->palette().color(QPalette::Text));
  settings::Write(ini, settings::kLastFolder, uitext::ToCp932(CurrentFolder()));
  settings::Write(ini, settings::kViewStyle, static_cast<int>(fileViewStyle_));
  for (int i = 0; i < 3; ++i) {
    // A width the list chose itself stays automatic; one the user dragged is written as it is.
    if (columnWidths_[static_cast<std::size_t>(i)] > 0 || FileView1_->ColumnWidth(i + 1) != 120)
      columnWidths_[static_cast<std::size_t>(i)] = FileView1_->ColumnWidth(i + 1);
    settings::Write(ini, settings::kColumnWidths[i], columnWidths_[static_cast<std::size_t>(i)]);
  }
  settings::Write(ini, settings::kHotTrack, hotTrack_);
  settings::Write(ini, settings::kWordWrap, RichEdit1_->WordWrap());
  settings::Write(ini, settings::kTabWidth, state_.TabWidth);
  for (const auto& item : options_) ini.WriteBool(settings::kOptionsSection, item.key, item.value);
  if (!ini.UpdateFile()) dialogs_.Error(ini.Error());
}

}  // namespace sorabu::app
