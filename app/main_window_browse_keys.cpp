// The keys of the file list and the folder tree (the tree shares the list's handlers): the keys
// handled on key-down, the command letters (each also as the half-width katakana the same key
// gives in kana input mode), and the modifier part of the display gate.
#include <QAbstractItemView>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>

#include "app/main_window.h"
#include "browser/file_view.h"
#include "browser/folder_view.h"
#include "viewer/display.h"

namespace sorabu::app {

namespace {

// The half-width katakana on the key of each command letter (JIS kana layout).
struct TKanaKey {
  char16_t kana;
  char letter;
};
constexpr TKanaKey kKanaKeys[] = {
    {u'ﾚ', ';'}, {u'ﾁ', 'A'}, {u'ｺ', 'B'}, {u'ｿ', 'C'}, {u'ｼ', 'D'}, {u'ｲ', 'E'}, {u'ﾊ', 'F'}, {u'ｷ', 'G'},
    {u'ｸ', 'H'}, {u'ﾆ', 'I'}, {u'ﾏ', 'J'}, {u'ﾉ', 'K'}, {u'ﾘ', 'L'}, {u'ﾓ', 'M'}, {u'ﾐ', 'N'}, {u'ﾗ', 'O'},
    {u'ｾ', 'P'}, {u'ﾀ', 'Q'}, {u'ｽ', 'R'}, {u'ﾄ', 'S'}, {u'ｶ', 'T'}, {u'ﾅ', 'U'}, {u'ﾋ', 'V'}, {u'ﾃ', 'W'},
    {u'ｻ', 'X'}, {u'ﾂ', 'Z'}, {u'ｰ', '\\'}};

}  // namespace

char CommandLetter(const QString& text) {
  if (text.size() != 1) return 0;
  const char16_t c = text.at(0).unicode();
  for (const TKanaKey& k : kKanaKeys)
    if (k.kana == c) return k.letter;
  if (c >= u'a' && c <= u'z') return static_cast<char>(c - u'a' + 'A');
  if ((c >= u'A' && c <= u'Z') || c == u';' || c == u'\\') return static_cast<char>(c);
  return 0;
}

bool TForm1::FileView1KeyDown(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  state_.ShiftDown = mods.testFlag(Qt::ShiftModifier);
  state_.CtrlDown = mods.testFlag(Qt::ControlModifier);
  switch (event->key()) {
    case Qt::Key_Backspace:
      ToolButton55Click();
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      const QString path = FileView1_->SelectedPath();
      if (FileView1_->RowCount() == 0 || path.isEmpty() || !QFileInfo(path).isDir()) return false;
      GoToFolder(path);
      return true;
    }
    case Qt::Key_Alt:
      state_.AltDown = true;
      return true;
    case Qt::Key_Escape:
      close();
      return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
      state_.DisplayEnabled = mods != Qt::ShiftModifier;
      return false;
    case Qt::Key_X:
    case Qt::Key_C:
    case Qt::Key_V:
      // Files of the list; the tree's keys leave them alone.
      if (mods != Qt::ControlModifier || FolderView1_->hasFocus()) break;
      if (event->key() == Qt::Key_V) FileView1PasteFiles();
      else FileView1CopyFiles(event->key() == Qt::Key_X);
      return true;
    case Qt::Key_Delete:
      if (mods.testFlag(Qt::ShiftModifier)) MydClick();
      else MfiledeleteClick();
      return true;
    default:
      break;
  }
  if (event->modifiers().testFlag(Qt::KeypadModifier) && event->key() >= Qt::Key_1 && event->key() <= Qt::Key_4) {
    SetFileViewStyle(browser::ViewStyleOf(event->key() - Qt::Key_1 + 1));
    return true;
  }
  if (mods & (Qt::ControlModifier | Qt::AltModifier)) return false;
  return FileView1KeyPress(event->text());
}

void TForm1::FileView1KeyUp(QKeyEvent* event) {
  Qt::KeyboardModifiers mods = event->modifiers();
  if (event->key() == Qt::Key_Shift) mods &= ~Qt::ShiftModifier;
  if (event->key() == Qt::Key_Control) mods &= ~Qt::ControlModifier;
  if (!mods.testFlag(Qt::ShiftModifier)) state_.ShiftDown = false;
  if (!mods.testFlag(Qt::ControlModifier)) state_.CtrlDown = false;
  state_.DisplayEnabled = true;
}

bool TForm1::FileView1KeyPress(const QString& text) {
  switch (CommandLetter(text)) {
    case 'N': MrefreshClick(); return true;
    case 'O': MdriveClick(); return true;
    case 'L': MfolderClick(); return true;
    case 'W': MextClick(); return true;
    case 'S': MsortClick(); return true;
    case 'X': MfileexeClick(); return true;
    case 'Q': close(); return true;
    case '\\': MyyClick(); return true;
    case 'V': viewer_->LoadWholeFile(); return true;
    case 'T': RunFileCommand("Mtojis1Click"); return true;
    case 'B': RunFileCommand("Mdump1Click"); return true;
    case 'J': MjumpClick(); return true;
    case 'D': MfiledeleteClick(); return true;
    case 'C': MfilecopyClick(); return true;
    case 'M': MfilemoveClick(); return true;
    case 'R': MrenameClick(); return true;
    case 'A': MpropatyClick(); return true;
    case 'K': MmkdirClick(); return true;
    case 'E': MediterClick(); return true;
    case 'U': MlhaUClick(); return true;
    case 'P': MlhaPClick(); return true;
    case 'I': MlhalistClick(); return true;
    case ';': MycClick(); return true;
    case 'F': MfClick(); return true;
    case 'H': MhClick(); return true;
    case 'G': MtorokuClick(); return true;
    case 'Z': {
      const QPoint client(qMax(PanelR_->x(), 0), qMax(height() / 4, 0));
      PopupMenu1_->popup(mapToGlobal(client));
      return true;
    }
    default:
      return false;
  }
}

}  // namespace sorabu::app
