// Simple editing of the text pane, saving it, and the external editor.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QStandardPaths>
#include <QStyle>
#include <QTextCursor>
#include <QToolBar>

#include <array>

#include "app/browser_selection.h"
#include "app/main_window.h"
#include "app/menu_items.h"
#include "browser/file_view.h"
#include "browser/shell_namespace.h"
#include "fileops/save_file.h"
#include "fileops/split_merge.h"
#include "settings/ini_file.h"
#include "settings/setting_keys.h"
#include "textconv/cp932.h"
#include "textconv/unicode_text.h"
#include "uitext/qt_text.h"
#include "viewer/byte_view.h"
#include "viewer/display.h"
#include "viewer/rtf_writer.h"
#include "viewer/japanese_codes.h"
#include "viewer/text_pane.h"

namespace sorabu::app {

namespace {

using uitext::U;
std::string C(std::string_view utf8) { return uitext::ToCp932(U(utf8)); }
std::string Bytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

// Every line ends in end (the shown file's own line end, or CR LF): CR, LF and CR LF all become
// end, and a last line gets one too.
std::string WithLineEnds(const std::string& text, const std::string& end) {
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      out += end;
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += end;
    } else {
      out += c;
    }
  }
  if (!text.empty() && text.back() != '\n' && text.back() != '\r') out += end;
  return out;
}

}  // namespace

void TForm1::BuildEditCommands() {
  connect(RichEdit1_, &viewer::TTextPane::EditRefused, this, [this] {
    dialogs_.Warning(C("64KBを超える行があるため、このテキストは簡易編集できません。"));
  });
  static const MenuItemSpec kItems[] = {
      {"MediterRich", "MediterRich1", "簡易編集する(&R)", &TForm1::MediterRichClick},
      {},
      {"Mundo", "Mundo1", "元に戻す(&U)", &TForm1::MundoClick},
      {},
      {"Mcut", "Mcut1", "切り取り(&T)", &TForm1::McutClick},
      {"Mcopy1", "Mcopy2", "コピー(&C)", &TForm1::Mcopy1Click},
      {"Mpast", "Mpast1", "貼り付け(&P)", &TForm1::MpastClick},
      {"Mtextdelete", "Mtextdelete1", "選択範囲削除(&D)", &TForm1::MtextdeleteClick},
      {"Mselectall", "Mselectall1", "すべて選択(&A)", &TForm1::MselectallClick},
      {},
      {"Mupperlinecopy1", "Mupperlinecopy2", "行を下に複写", &TForm1::Mupperlinecopy1Click},
      {"Monelinedelete1", "Monelinedelete2", "１行削除", &TForm1::Monelinedelete1Click},
      {},
      {"MTsave1", "MTsave2", "名前を付けて保存(&A)...", &TForm1::MTsave1Click},
      {"MToversave1", "MToversave2", "上書き保存(&S)", &TForm1::MToversave1Click},
      {"Mediter", "Mediter1", "エディターで編集(&E)", &TForm1::MediterClick},
      {},
  };
  InsertTwins(*this, menus_.edit, TMenuEnd::Front, kItems);
  for (QMenu* m : {menus_.edit.main, menus_.edit.popup}) connect(m, &QMenu::aboutToShow, this, &TForm1::Medit1Click);
  Action("MToversave1")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  Action("MToversave1")->setShortcutContext(Qt::WindowShortcut);
  addAction(Action("MToversave1"));

  // The selection delete also stands in the 削除 menu.
  static const MenuItemSpec kDelete[] = {{"Mtextdelete2", "Mtextdelete3", "選択範囲削除(&D)", &TForm1::MtextdeleteClick}, {}};
  InsertTwins(*this, menus_.del, TMenuEnd::Front, kDelete);
  // Saving under a name from the file menus too.
  static const MenuItemSpec kSave[] = {{}, {"Mfilesave1", "Mfilesave2", "テキストを名前を付けて保存(&W)...", &TForm1::MTsave1Click}};
  InsertTwins(*this, menus_.file, BeforeExit(menus_.file), kSave);

  ToolButton(*this, ToolBar2_, "ToolButton10", QStyle::SP_DialogDiscardButton, &TForm1::McutClick);
  ToolButton(*this, ToolBar2_, "ToolButton14", QStyle::SP_FileDialogDetailedView, &TForm1::Mcopy1Click);
  ToolButton(*this, ToolBar2_, "ToolButton19", QStyle::SP_DialogApplyButton, &TForm1::MpastClick);
  ToolButton(*this, ToolBar2_, "ToolButton21", QStyle::SP_DialogResetButton, &TForm1::MtextdeleteClick);
  ToolButton(*this, ToolBar2_, "ToolButton54", QStyle::SP_DialogSaveButton, &TForm1::MToversave1Click);
  ToolButton(*this, ToolBar2_, "ToolButton20", QStyle::SP_DriveFDIcon, &TForm1::MTsave1Click);
  toolButtons_.ToolButton7 = ToolButton(*this, ToolBar2_, "ToolButton7", QStyle::SP_FileDialogStart, &TForm1::MediterRichClick);
  toolButtons_.ToolButton7->setCheckable(true);
  ToolButton(*this, ToolBar1_, "ToolButton30", QStyle::SP_FileIcon, &TForm1::MediterClick);

  AddShortcuts(*this, menus_.shortcuts, {{"MyE", "&E エディターで編集", &TForm1::MediterClick}});
}

void TForm1::ShowEditState() {
  const bool editable = RichEdit1_->Editable();
  for (const char* name : {"MediterRich", "MediterRich1"})
    if (QAction* a = Action(name)) a->setText(editable ? U("簡易編集を解除(&R)") : U("簡易編集する(&R)"));
  toolButtons_.ToolButton7->setChecked(editable);
  SetTextStatus(2, editable ? U(" 編集 ") : U(" 閲覧 "));
}

void TForm1::MediterRichClick() {
  RichEdit1_->SetEditable(!RichEdit1_->Editable());
  ShowEditState();
}

void TForm1::Medit1Click() {
  const QMimeData* clip = QApplication::clipboard()->mimeData();
  const bool pasteable = clip != nullptr && clip->hasText();
  const bool selected = RichEdit1_->HasSelection();
  const bool undo = RichEdit1_->document()->isUndoAvailable();
  for (auto [names, on] : {std::pair{std::array{"Mpast", "Mpast1"}, pasteable},
                           std::pair{std::array{"Mcut", "Mcut1"}, selected},
                           std::pair{std::array{"Mcopy1", "Mcopy2"}, selected},
                           std::pair{std::array{"Mtextdelete", "Mtextdelete1"}, selected},
                           std::pair{std::array{"Mundo", "Mundo1"}, undo}})
    for (const char* name : names)
      if (QAction* a = Action(name)) a->setEnabled(on);
  ShowEditState();
  for (const char* name : {"MeditView1", "Meditview2"})
    if (QAction* a = Action(name)) a->setText(TextPaneVisible() ? U("テキスト表示を隠す(&I)") : U("テキスト表示を表示する(&I)"));
}

// Edits run on the editor's document, which a large text shown as bytes gets first (the edit
// follows when it is ready).
void TForm1::McutClick() {
  if (!RichEdit1_->HasSelection()) return;
  RichEdit1_->RunEdit([this] {
    RichEdit1_->cut();
    viewer_->MarkChanged();
  });
}

void TForm1::Mcopy1Click() {
  if (!RichEdit1_->HasSelection()) return;
  RichEdit1_->CopySelection();
  if (RichEdit1_->ShowsBytes()) {
    RichEdit1_->SelectBytes(RichEdit1_->ByteView()->SelectionStart(), 0);
    return;
  }
  QTextCursor c = RichEdit1_->textCursor();
  c.setPosition(c.selectionStart());
  RichEdit1_->setTextCursor(c);
}

void TForm1::MpastClick() {
  const QMimeData* clip = QApplication::clipboard()->mimeData();
  if (clip == nullptr || !clip->hasText()) return;
  RichEdit1_->RunEdit([this] {
    RichEdit1_->paste();
    viewer_->MarkChanged();
  });
}

void TForm1::MtextdeleteClick() {
  if (!RichEdit1_->Editable() || !RichEdit1_->HasSelection()) return;
  RichEdit1_->RunEdit([this] {
    RichEdit1_->textCursor().removeSelectedText();
    viewer_->MarkChanged();
  });
}

void TForm1::MselectallClick() { RichEdit1_->SelectEverything(); }

void TForm1::MundoClick() {
  if (RichEdit1_->ShowsBytes()) return;
  RichEdit1_->undo();
  viewer_->MarkChanged();
}

void TForm1::Mupperlinecopy1Click() {
  if (RichEdit1_->IsEmptyText()) return;
  RichEdit1_->RunEdit([this] {
    RichEdit1_->DuplicateCaretLine();
    viewer_->MarkChanged();
  });
}

void TForm1::Monelinedelete1Click() {
  if (RichEdit1_->IsEmptyText()) return;
  RichEdit1_->RunEdit([this] {
    RichEdit1_->DeleteCaretLine();
    viewer_->MarkChanged();
  });
}

// True (after saying so) when target is the file shown but the pane does not hold all of it.
bool TForm1::WouldLoseText(const QString& target) {
  // Writing a part of a file, or something else the pane shows (a listing, a dump), over that
  // file would lose the rest of it.
  const QString clean = QDir::cleanPath(QFileInfo(target).absoluteFilePath());
  const QString shown = selection_->SelectedPath();
  const bool isShownFile = !shown.isEmpty() && QDir::cleanPath(QFileInfo(shown).absoluteFilePath()) == clean;
  if (!isShownFile || (!RichEdit1_->WholeFile().isEmpty() && QDir::cleanPath(RichEdit1_->WholeFile()) == clean)) return false;
  dialogs_.Warning(C("表示しているのはファイルの一部か別の内容です。上書きするとファイルの残りが失われるため保存しません。"
                     "全行を表示 (V) してから保存して下さい。"));
  return true;
}

// Writes the pane to target (plain or RTF by its extension), with the ".$$$" backup when asked.
bool TForm1::SavePane(const QString& target, bool backup) {
  // The extension chooses the form: .rtf as rich text, .txt as plain text, others as the pane is.
  const QString ext = QFileInfo(target).suffix().toUpper();
  if (ext == QLatin1String("RTF")) RichEdit1_->SetPlainTextMode(false);
  else if (ext == QLatin1String("TXT")) RichEdit1_->SetPlainTextMode(true);
  std::string bytes = RichEdit1_->PlainTextMode()
                          ? WithLineEnds(RichEdit1_->TextBytes(),
                                         OptionValue(Option::Mlfline) ? RichEdit1_->LineEnd() : std::string("\r\n"))
                          : viewer::WriteRtf(RichEdit1_->RichDocument(), uitext::ToCp932Text(RichEdit1_->font().family()));
  // A UTF-16 file is shown as UTF-8 and written back as it was read.
  const textconv::TextForm source = RichEdit1_->SourceForm();
  if (RichEdit1_->PlainTextMode() && (source == textconv::TextForm::Utf16LE || source == textconv::TextForm::Utf16BE))
    bytes = textconv::Utf8ToUtf16WithMark(bytes, source == textconv::TextForm::Utf16LE);
  // So is an EUC or JIS file, after a yes when the code has no place for some of its characters.
  if (RichEdit1_->PlainTextMode() && (source == textconv::TextForm::EucJp || source == textconv::TextForm::Jis)) {
    std::size_t unmappable = 0;
    std::string encoded = viewer::Utf8ToJapanese(bytes, source, &unmappable);
    const char* code = source == textconv::TextForm::Jis ? "JIS" : "EUC";
    if (unmappable > 0 &&
        !dialogs_.Confirm(C("保存"), C(std::string(code) + " で表せない文字が " + std::to_string(unmappable) +
                                      " 文字あります。「?」に置き換えて保存しますか？"))) {
      RichEdit1_->SetPlainTextMode(!OptionValue(Option::Mrtf));
      return false;
    }
    bytes = std::move(encoded);
  }
  RichEdit1_->SetPlainTextMode(!OptionValue(Option::Mrtf));
  const std::string path = Bytes(target);
  std::string error;
  if (!fileops::SaveFile(path, bytes, backup ? fileops::WithExtension(path, ".$$$") : std::string(), error)) {
    dialogs_.Error(uitext::ToCp932(target) + " : " + textconv::Utf8ToCp932(error));
    return false;
  }
  return true;
}

void TForm1::MTsave1Click() {
  if (Busy()) return;
  QString shown = selection_->SelectedPath();
  const QFileInfo info(shown);
  const QString folder = shown.isEmpty() ? FileView1_->Folder() : info.absolutePath();
  const auto answer = dialogs_.SaveFileName(C("テキストに名前を付けて保存"), uitext::ToCp932(folder),
                                            uitext::ToCp932(info.fileName()));
  if (!answer) return;
  const QString target = uitext::FromCp932(*answer);
  if (WouldLoseText(target)) return;
  saveDir_ = QFileInfo(target).absolutePath();
  saveFileName_ = QFileInfo(target).fileName();
  if (!SavePane(target, OptionValue(Option::Mbackup1))) return;
  if (OptionValue(Option::Mtodiropen1)) {
    GoToFolder(saveDir_);
    state_.DialogResult = uitext::ToCp932(saveDir_ + QLatin1Char('/'));
    shown = QDir(saveDir_).filePath(info.fileName());
  }
  MrefreshClick();
  viewer_->SelectAndShow(shown);
}

void TForm1::MToversave1Click() {
  if (Busy()) return;
  const QString target = selection_->SelectedPath();
  if (target.isEmpty() || browser::IsVirtual(target) || QFileInfo(target).isDir()) return;
  if (WouldLoseText(target)) return;
  saveDir_ = QFileInfo(target).absolutePath();
  saveFileName_ = QFileInfo(target).fileName();
  const bool backup = OptionValue(Option::Mbackup1);
  if (!SavePane(target, backup)) return;
  if (backup) {
    MrefreshClick();
    viewer_->SelectAndShow(target);
  } else {
    QFile::remove(QFile::decodeName(QByteArray::fromStdString(fileops::WithExtension(Bytes(target), ".$$$"))));
  }
  viewer_->ShowFileInfo();
  viewer_->MarkSaved();
}

// The stored editor when it is installed; empty for the desktop's own choice.
QString TForm1::EditorProgram() const {
  const std::string stored = settings::Read(settings::TIniFile(iniPath_), settings::kEditor);
  const QString program = uitext::FromCp932(stored);
  if (program.isEmpty() || program.compare(QLatin1String("NOTEPAD.EXE"), Qt::CaseInsensitive) == 0) return {};
  const QFileInfo info(program);
  if (info.isAbsolute()) return info.isExecutable() && info.isFile() ? program : QString();
  return QStandardPaths::findExecutable(program);
}

void TForm1::MediterClick() {
  const QString path = selection_->SelectedPath();
  if (path.isEmpty() || browser::IsVirtual(path)) return;
  const QString folder = FileView1_->Folder();
  // The stored program when it is installed, else the desktop's own choice for the file. The
  // path is one argument, so names with blanks arrive whole.
  const QString program = EditorProgram();
  if (!program.isEmpty()) launcher_(program, {path}, folder);
  else launcher_(QStringLiteral("xdg-open"), {path}, folder);
}

}  // namespace sorabu::app
