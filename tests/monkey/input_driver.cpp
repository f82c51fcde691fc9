#include "tests/monkey/input_driver.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "app/main_window.h"
#include "browser/combo_view.h"
#include "browser/file_view.h"
#include "browser/folder_view.h"
#include "tests/monkey/corpus.h"
#include "tests/monkey/event_log.h"
#include "tests/monkey/input_steps.h"
#include "tests/monkey/leave_recorder.h"
#include "tests/monkey/random_dialogs.h"
#include "tests/monkey/sandbox.h"
#include "textconv/cp932.h"
#include "viewer/status_panels.h"
#include "viewer/text_pane.h"

namespace fs = std::filesystem;

namespace sorabu::monkey {

namespace {

using K = Qt::Key;

// Keys that mean something in the list, the tree or the pane.
const K kCommonKeys[] = {
    Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home,
    Qt::Key_End, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Backspace, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Space,
    Qt::Key_Delete, Qt::Key_Insert, Qt::Key_Escape, Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F5,
    Qt::Key_F6, Qt::Key_F7, Qt::Key_F8, Qt::Key_F9, Qt::Key_F10, Qt::Key_F11, Qt::Key_F12, Qt::Key_Menu,
    Qt::Key_Asterisk, Qt::Key_Plus, Qt::Key_Minus, Qt::Key_Period, Qt::Key_Slash, Qt::Key_Backslash};
// The window's own chords, drawn more often than chance would.
struct Chord {
  K key;
  Qt::KeyboardModifiers modifiers;
};
const Chord kChords[] = {
    {Qt::Key_F, Qt::ControlModifier}, {Qt::Key_R, Qt::ControlModifier}, {Qt::Key_S, Qt::ControlModifier},
    {Qt::Key_P, Qt::ControlModifier}, {Qt::Key_A, Qt::ControlModifier}, {Qt::Key_C, Qt::ControlModifier},
    {Qt::Key_V, Qt::ControlModifier}, {Qt::Key_X, Qt::ControlModifier}, {Qt::Key_Z, Qt::ControlModifier},
    {Qt::Key_Y, Qt::ControlModifier}, {Qt::Key_F3, Qt::ShiftModifier}, {Qt::Key_Delete, Qt::ShiftModifier},
    {Qt::Key_Home, Qt::ControlModifier}, {Qt::Key_End, Qt::ControlModifier}, {Qt::Key_Down, Qt::ShiftModifier},
    {Qt::Key_PageDown, Qt::ShiftModifier}, {Qt::Key_F, Qt::AltModifier}, {Qt::Key_E, Qt::AltModifier},
    {Qt::Key_V, Qt::AltModifier}, {Qt::Key_S, Qt::AltModifier}, {Qt::Key_H, Qt::AltModifier},
    {Qt::Key_F10, Qt::ShiftModifier}, {Qt::Key_F4, Qt::AltModifier}};

const char* const kTyped[] = {"あいうえお", "漢字", "ｶﾅ", "〜", "😀", "한국어", "abc", " ", "\t", "\n", "１２３", "ソ表"};

QString KeyName(K key, Qt::KeyboardModifiers m) {
  QString mods;
  if (m & Qt::ControlModifier) mods += "Ctrl+";
  if (m & Qt::ShiftModifier) mods += "Shift+";
  if (m & Qt::AltModifier) mods += "Alt+";
  if (m & Qt::MetaModifier) mods += "Meta+";
  return mods + QKeySequence(key).toString();
}

std::string Point(QPoint p) { return "(" + std::to_string(p.x()) + "," + std::to_string(p.y()) + ")"; }

}  // namespace

TInputDriver::TInputDriver(app::TForm1& form, TRandomDialogs& dialogs, TLeaveRecorder& recorder, TEventLog& log,
                           const TSandbox& sandbox, std::uint64_t seed, std::function<void()> refill)
    : QObject(&form), form_(form), dialogs_(dialogs), recorder_(recorder), log_(log), sandbox_(sandbox),
      refill_(std::move(refill)), rng_(static_cast<std::mt19937::result_type>(seed)), timer_(new QTimer(this)) {
  // Every named action of the window, in a fixed order, so a seed draws the same ones.
  std::map<QString, QAction*> named;
  for (QAction* a : form.findChildren<QAction*>())
    if (!a->objectName().isEmpty() && !a->isSeparator()) named.emplace(a->objectName(), a);
  for (auto& [name, a] : named) actions_.emplace_back(a);
  timer_->setInterval(0);
  connect(timer_, &QTimer::timeout, this, &TInputDriver::Tick);
}

void TInputDriver::Start(const Limits& limits, std::function<void()> done) {
  limits_ = limits;
  done_ = std::move(done);
  start_ = std::chrono::steady_clock::now();
  timer_->start();
}

QString TInputDriver::Describe(QWidget* w) const {
  if (w == nullptr) return QStringLiteral("(none)");
  QString name = w->objectName();
  if (name.isEmpty() && w->parentWidget()) name = w->parentWidget()->objectName() + "/";
  return QString::fromLatin1(w->metaObject()->className()) + (name.isEmpty() ? QString() : " " + name);
}

void TInputDriver::Post(Step step) {
  posted_ = true;
  ++steps_;
  QMetaObject::invokeMethod(
      this,
      [this, step = std::move(step)] {
        posted_ = false;
        // The window may have moved between the post and now.
        if (!step.anywhere && !InsideWork()) {
          log_.Add("not sent, the window left the work folder: " + step.what);
          return;
        }
        log_.Add(step.what);
        underWay_.push_back(step.what);
        std::string now;
        for (const std::string& s : underWay_) now += (now.empty() ? "" : " > ") + s;
        log_.SetCurrent(now);
        step.run();
        recorder_.CheckPrinter();
        underWay_.pop_back();
        log_.SetCurrent(underWay_.empty() ? std::string("idle") : underWay_.back());
      },
      Qt::QueuedConnection);
}

void TInputDriver::Tick() {
  if (finished_ || posted_) return;
  if (std::chrono::steady_clock::now() < pauseUntil_) return;
  // A modal window waits for the guard, or a question is open (its loop turns): the window takes
  // no input meanwhile, except that a pop-up menu opened inside that loop is closed, or the
  // question's loop could never end.
  if (QApplication::activeModalWidget()) return;
  if (dialogs_.Asking()) {
    if (QApplication::activePopupWidget())
      Post({"Escape to the pop-up (a question is open)", [] { SendKey(nullptr, Qt::Key_Escape, Qt::NoModifier); }, true});
    return;
  }
  // Every step, not only every event, starts in the work folder: one key of a typed word can
  // take the list to the drive's root, and the next letter would act there (D deletes).
  if (!InsideWork()) {
    if (!queue_.empty()) log_.Add("the rest of the event is dropped: the window left the work folder");
    queue_.clear();
    if (QApplication::activePopupWidget()) {
      Post({"Escape to the pop-up (outside the work folder)", [] { SendKey(nullptr, Qt::Key_Escape, Qt::NoModifier); }, true});
      return;
    }
    // Bringing it back must not cut into the window's own work; meanwhile nothing is sent.
    if (!form_.Busy() && underWay_.empty()) ReturnToWork();
    return;
  }
  if (queue_.empty()) {
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    const bool over = (limits_.events && events_ >= limits_.events) || (limits_.time.count() && elapsed >= limits_.time);
    if (over) {
      // Unwind whatever is open, then hand back.
      if (QApplication::activePopupWidget()) {
        Post({"end: Escape to the pop-up", [] { SendKey(nullptr, Qt::Key_Escape, Qt::NoModifier); }, true});
        return;
      }
      if (!underWay_.empty()) return;
      finished_ = true;
      timer_->stop();
      if (done_) done_();
      return;
    }
    if (events_ >= nextSizeCheck_ && !form_.Busy() && underWay_.empty()) KeepWorkSmall();
    std::vector<Step> steps = QApplication::activePopupWidget() ? PopupEvent() : NextEvent();
    ++events_;
    for (Step& s : steps) queue_.push_back(std::move(s));
    if (queue_.empty()) return;
  }
  Step next = std::move(queue_.front());
  queue_.pop_front();
  Post(std::move(next));
}

bool TInputDriver::InsideWork() const {
  auto inside = [&](const QString& p) { return !p.isEmpty() && sandbox_.InsideWork(QFile::encodeName(p).toStdString()); };
  return inside(form_.FileView1()->Folder()) && inside(form_.FolderView1()->SelectedPath()) && inside(QDir::currentPath());
}

void TInputDriver::KeepWorkSmall() {
  // Copies of copies would fill the disk in a long run: start again from a fresh folder.
  nextSizeCheck_ = events_ + 2000;
  const TFolderSize size = MeasureFolder(sandbox_.Work(), 600u << 20, 30000);
  if (size.bytes > (600u << 20) || size.entries > 30000) {
    log_.Add("the work folder grew too large: filled again");
    sandbox_.ClearWork();
    refill_();
  }
}

void TInputDriver::ReturnToWork() {
  const QString list = form_.FileView1()->Folder();
  const QString tree = form_.FolderView1()->SelectedPath();
  const QString work = QFile::decodeName(sandbox_.Work().c_str());
  std::error_code ec;
  if (!fs::is_directory(sandbox_.Work(), ec)) {
    log_.Add("the work folder is gone: filled again");
    refill_();
  }
  ++returns_;
  log_.Add(("back to the work folder from list " + list + " tree " + tree).toStdString());
  QDir::setCurrent(work);
  form_.GoToFolder(work);
}

Qt::KeyboardModifiers TInputDriver::Modifiers() {
  const std::size_t r = Pick(100);
  if (r < 62) return Qt::NoModifier;
  if (r < 74) return Qt::ShiftModifier;
  if (r < 88) return Qt::ControlModifier;
  if (r < 94) return Qt::AltModifier;
  if (r < 98) return Qt::ControlModifier | Qt::ShiftModifier;
  return Qt::MetaModifier;
}

std::vector<TInputDriver::Step> TInputDriver::NextEvent() {
  // Weights of the kinds, in the order of Kind.
  static const int kWeights[KindCount] = {24, 14, 4, 2, 4, 18, 5, 10, 4, 3, 2, 1, 2, 1, 1};
  int total = 0;
  for (int w : kWeights) total += w;
  int r = static_cast<int>(Pick(static_cast<std::size_t>(total)));
  int kind = 0;
  while (r >= kWeights[kind]) r -= kWeights[kind++];
  ++kinds_[kind];
  switch (static_cast<Kind>(kind)) {
    case ListKey:
    case PaneKey:
    case TreeKey:
    case ComboKey: return KeyEvent(static_cast<Kind>(kind));
    case Typing: {
      QWidget* target = Chance(70) ? static_cast<QWidget*>(form_.RichEdit1()) : form_.FileView1()->CurrentView();
      if (Chance(50)) {
        const QString text = QString::fromUtf8(kTyped[Pick(std::size(kTyped))]);
        return {{"commit \"" + text.toStdString() + "\" to " + Describe(target).toStdString(),
                 [target, text] { SendCommit(target, text); }}};
      }
      std::vector<Step> steps;
      for (std::size_t n = 1 + Pick(8); n > 0; --n) {
        const K key = static_cast<K>(Chance(80) ? Qt::Key_A + static_cast<int>(Pick(26)) : Qt::Key_0 + static_cast<int>(Pick(10)));
        steps.push_back({"type " + KeyName(key, {}).toStdString() + " to " + Describe(target).toStdString(),
                         [target, key] { SendKey(target, key, Qt::NoModifier); }});
      }
      return steps;
    }
    case Action: {
      QPointer<QAction> a = actions_.empty() ? nullptr : actions_[Pick(actions_.size())];
      if (!a) return {};
      return {{"trigger " + a->objectName().toStdString(), [a] {
                 if (a && a->isVisible()) a->trigger();
               }}};
    }
    case ToolButton: {
      std::vector<QToolButton*> buttons;
      for (QToolBar* bar : {form_.ToolBar1(), form_.ToolBar2()})
        for (QToolButton* b : bar->findChildren<QToolButton*>())
          if (b->isVisible()) buttons.push_back(b);
      const std::size_t i = Pick(buttons.size());
      if (buttons.empty()) return {};
      QPointer<QToolButton> b = buttons[i];
      const QString name = b->defaultAction() ? b->defaultAction()->objectName() : b->objectName();
      return {{"click tool button " + name.toStdString(), [b] {
                 if (b) SendMouse(b, MouseStep::Click, Qt::LeftButton, Qt::NoModifier, b->rect().center());
               }}};
    }
    case Click: return ClickEvent();
    case Drag: return DragEvent();
    case Wheel: {
      const std::vector<QWidget*> targets = PointerTargets();
      QPointer<QWidget> t = targets[Pick(targets.size())];
      const QPoint p = PointIn(t);
      const int degrees = (Chance(50) ? 1 : -1) * static_cast<int>(15 * (1 + Pick(8)));
      const Qt::KeyboardModifiers m = Modifiers();
      if (!SafePoint(t, p)) return {};
      return {{"wheel " + std::to_string(degrees) + " over " + Describe(t).toStdString() + Point(p),
               [t, p, degrees, m] { SendWheel(t, p, degrees, m); }}};
    }
    case MenuBar: {
      QMenuBar* bar = form_.menuBar();
      std::vector<QAction*> menus;
      for (QAction* a : bar->actions())
        if (a->isVisible() && !a->isSeparator()) menus.push_back(a);
      const std::size_t i = Pick(menus.size());
      if (menus.empty()) return {};
      QPointer<QAction> a = menus[i];
      return {{"open menu " + a->text().toStdString(), [bar, a] {
                 if (a) SendMouse(bar, MouseStep::Click, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(a).center());
               }}};
    }
    case ReplaceButton: {
      const std::size_t which = Pick(3);
      static const char* const kFinds[] = {"a", "猫", ".", "", "吾輩は", "\r\n"};
      const std::string find = textconv::Utf8ToCp932(kFinds[Pick(std::size(kFinds))]);
      const std::string with = textconv::Utf8ToCp932(Chance(50) ? "ネコ" : "");
      if (!dialogs_.ReplaceOpen()) return {};
      return {{"replace dialog button " + std::to_string(which), [this, which, find, with] {
                 if (!dialogs_.ReplaceOpen()) return;
                 const auto h = dialogs_.Replace();
                 if (which == 0 && h.findNext) h.findNext(find);
                 if (which == 1 && h.replace) h.replace(find, with);
                 if (which == 2 && h.replaceAll) h.replaceAll(find, with);
               }}};
    }
    case OutsideChange: return OutsideChangeEvent();
    case Pause: {
      const int ms = static_cast<int>(Pick(250));
      return {{"pause " + std::to_string(ms) + " ms", [this, ms] {
                 pauseUntil_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
               }}};
    }
    case Resize: {
      const int w = 320 + static_cast<int>(Pick(1300)), h = 240 + static_cast<int>(Pick(900));
      return {{"resize the window to " + std::to_string(w) + "x" + std::to_string(h), [this, w, h] { form_.resize(w, h); }}};
    }
    case KindCount: break;
  }
  return {};
}

std::vector<TInputDriver::Step> TInputDriver::KeyEvent(Kind kind) {
  QWidget* target = nullptr;
  switch (kind) {
    case ListKey: target = form_.FileView1()->CurrentView(); break;
    case PaneKey: target = form_.RichEdit1(); break;
    case TreeKey: target = form_.FolderView1(); break;
    default: target = form_.ComboView1(); break;
  }
  K key;
  Qt::KeyboardModifiers m;
  const std::size_t r = Pick(100);
  if (r < 20) {
    const Chord& c = kChords[Pick(std::size(kChords))];
    key = c.key;
    m = c.modifiers;
  } else if (r < 75) {
    key = kCommonKeys[Pick(std::size(kCommonKeys))];
    m = Modifiers();
  } else {
    key = static_cast<K>(Qt::Key_A + static_cast<int>(Pick(26)));
    m = Chance(85) ? Qt::NoModifier : Modifiers();
  }
  QPointer<QWidget> t = target;
  return {{"key " + KeyName(key, m).toStdString() + " to " + Describe(target).toStdString(), [t, key, m] {
             if (t) SendKey(t, key, m);
           }}};
}

std::vector<QWidget*> TInputDriver::PointerTargets() const {
  QAbstractItemView* list = form_.FileView1()->CurrentView();
  std::vector<QWidget*> all{list->viewport(),
                            form_.RichEdit1()->viewport(),
                            form_.FolderView1()->viewport(),
                            form_.ComboView1(),
                            form_.ToolBar1(),
                            form_.ToolBar2(),
                            form_.StatusBar1(),
                            form_.SBarR(),
                            form_.LFilestring(),
                            form_.RichEdit1()->verticalScrollBar(),
                            &form_};
  if (auto* details = qobject_cast<QTreeView*>(list)) all.push_back(details->header());
  // Other windows of the program on screen (a progress window with its Cancel).
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != &form_ && w->isVisible() && !(w->windowFlags() & Qt::Popup) && w->windowType() != Qt::ToolTip) all.push_back(w);
  std::vector<QWidget*> shown;
  for (QWidget* w : all)
    if (w && w->isVisible() && w->width() > 0 && w->height() > 0) shown.push_back(w);
  if (shown.empty()) shown.push_back(&form_);
  return shown;
}

QPoint TInputDriver::PointIn(QWidget* target) {
  const int x = static_cast<int>(Pick(static_cast<std::size_t>(std::max(1, target->width()))));
  const int y = static_cast<int>(Pick(static_cast<std::size_t>(std::max(1, target->height()))));
  return {x, y};
}

// Pointer input over the tree only meets folders of the work folder (or no folder): a click on
// another folder's node could start renaming it.
bool TInputDriver::SafePoint(QWidget* target, QPoint pos) const {
  if (target == nullptr) return false;
  browser::TFolderView* tree = form_.FolderView1();
  QWidget* port = tree->viewport();
  if (target->window() != port->window()) return true;
  const QPoint inPort = port->mapFrom(target->window(), target->mapTo(target->window(), pos));
  if (!port->isVisible() || !port->rect().contains(inPort)) return true;
  QTreeWidgetItem* item = tree->itemAt(inPort);
  if (item == nullptr) return true;
  const QString id = browser::TFolderView::NodeId(item);
  return sandbox_.InsideWork(QFile::encodeName(id).toStdString());
}

std::vector<TInputDriver::Step> TInputDriver::ClickEvent() {
  const std::vector<QWidget*> targets = PointerTargets();
  QPointer<QWidget> t = targets[Pick(targets.size())];
  QPoint p = PointIn(t);
  // Over the tree, aim at the work folder's own nodes now and then, or nothing would open them.
  browser::TFolderView* tree = form_.FolderView1();
  if (t == tree->viewport() && Chance(60)) {
    std::vector<QTreeWidgetItem*> inside;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
      if (sandbox_.InsideWork(QFile::encodeName(browser::TFolderView::NodeId(*it)).toStdString()) &&
          tree->visualItemRect(*it).isValid())
        inside.push_back(*it);
    if (!inside.empty()) p = tree->visualItemRect(inside[Pick(inside.size())]).center();
  }
  const std::size_t r = Pick(100);
  const Qt::MouseButton button = r < 68 ? Qt::LeftButton : r < 92 ? Qt::RightButton : Qt::MiddleButton;
  const bool twice = button == Qt::LeftButton && Chance(15);
  const Qt::KeyboardModifiers m = Chance(75) ? Qt::NoModifier : Modifiers();
  if (!SafePoint(t, p)) return {};
  const std::string what = std::string(twice ? "double-click " : "click ") +
                           (button == Qt::LeftButton ? "left" : button == Qt::RightButton ? "right" : "middle") +
                           (m ? " " + KeyName(Qt::Key_unknown, m).toStdString() : "") + " on " + Describe(t).toStdString() +
                           Point(p);
  return {{what, [t, p, button, m, twice] {
             if (t) SendMouse(t, twice ? MouseStep::DoubleClick : MouseStep::Click, button, m, p);
           }}};
}

std::vector<TInputDriver::Step> TInputDriver::DragEvent() {
  const std::vector<QWidget*> targets = PointerTargets();
  QPointer<QWidget> from = targets[Pick(targets.size())];
  const QPoint p1 = PointIn(from);
  // The drop lands in the same widget or, now and then, in the list or the tree.
  QWidget* to = from;
  const std::size_t r = Pick(100);
  if (r < 20) to = form_.FileView1()->CurrentView()->viewport();
  else if (r < 35) to = form_.FolderView1()->viewport();
  const QPoint end = PointIn(to);
  const Qt::KeyboardModifiers m = Chance(80) ? Qt::NoModifier : Modifiers();
  const int moves = 2 + static_cast<int>(Pick(5));
  if (from->window() != to->window()) to = from;
  const QPoint p2 = from->mapFrom(from->window(), to->mapTo(to->window(), end));
  if (!SafePoint(from, p1) || !SafePoint(from, p2)) return {};
  std::vector<Step> steps;
  const std::string name = Describe(from).toStdString();
  steps.push_back({"drag press on " + name + Point(p1), [from, p1, m] {
                     if (from) SendMouse(from, MouseStep::Press, Qt::LeftButton, m, p1);
                   }});
  for (int i = 1; i <= moves; ++i) {
    const QPoint p = p1 + (p2 - p1) * i / moves;
    steps.push_back({"drag move on " + name + Point(p), [from, p] {
                       if (from) SendMouse(from, MouseStep::Move, Qt::NoButton, Qt::NoModifier, p);
                     }});
  }
  steps.push_back({"drag release on " + name + Point(p2), [from, p2, m] {
                     if (from) SendMouse(from, MouseStep::Release, Qt::LeftButton, m, p2);
                   }});
  return steps;
}

std::vector<TInputDriver::Step> TInputDriver::PopupEvent() {
  ++popupEvents_;
  const std::size_t r = Pick(100);
  const std::size_t pick = Draw();
  if (r < 15) return {{"Escape to the pop-up", [] { SendKey(nullptr, Qt::Key_Escape, Qt::NoModifier); }}};
  if (r < 45) {
    const K key = Chance(60) ? Qt::Key_Down : Qt::Key_Up;
    return {{"key " + KeyName(key, {}).toStdString() + " to the pop-up", [key] { SendKey(nullptr, key, Qt::NoModifier); }}};
  }
  if (r < 55) {
    const K key = Chance(50) ? Qt::Key_Right : Qt::Key_Left;
    return {{"key " + KeyName(key, {}).toStdString() + " to the pop-up", [key] { SendKey(nullptr, key, Qt::NoModifier); }}};
  }
  if (r < 65) return {{"Return to the pop-up", [] { SendKey(nullptr, Qt::Key_Return, Qt::NoModifier); }}};
  if (r < 95) {
    return {{"click an item of the pop-up", [this, pick] {
               QWidget* popup = QApplication::activePopupWidget();
               if (popup == nullptr) return;
               if (auto* menu = qobject_cast<QMenu*>(popup)) {
                 std::vector<QAction*> items;
                 for (QAction* a : menu->actions())
                   if (a->isVisible() && !a->isSeparator()) items.push_back(a);
                 if (items.empty()) return;
                 QAction* a = items[pick % items.size()];
                 log_.Add("  the pop-up's item " + a->text().toStdString() + " " + a->objectName().toStdString());
                 SendMouse(menu, MouseStep::Click, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(a).center());
                 return;
               }
               const QPoint p(static_cast<int>(pick % static_cast<std::size_t>(std::max(1, popup->width()))),
                              static_cast<int>((pick / 7) % static_cast<std::size_t>(std::max(1, popup->height()))));
               SendMouse(popup, MouseStep::Click, Qt::LeftButton, Qt::NoModifier, p);
             }}};
  }
  return {{"click beside the pop-up", [this] {
             SendMouse(form_.RichEdit1()->viewport(), MouseStep::Click, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
           }}};
}

std::vector<TInputDriver::Step> TInputDriver::OutsideChangeEvent() {
  const std::size_t what = Pick(4);
  const std::string name = "ext-" + std::to_string(Pick(6)) + ".txt";
  const fs::path path = sandbox_.Work() / name;
  const std::size_t size = Pick(5000);
  return {{"another program " + std::string(what == 0 ? "writes " : what == 1 ? "appends to " : what == 2 ? "removes " : "renames ") + name,
           [path, what, size] {
             std::error_code ec;
             if (what == 0 || what == 1) {
               std::ofstream out(path, std::ios::binary | (what == 0 ? std::ios::trunc : std::ios::app));
               out << std::string(size, 'x') << "\r\n";
             } else if (what == 2) {
               fs::remove(path, ec);
             } else {
               fs::rename(path, path.parent_path() / ("moved-" + path.filename().native()), ec);
             }
           }}};
}

std::string TInputDriver::State() const {
  std::string s = "posted " + std::to_string(posted_) + ", queued " + std::to_string(queue_.size()) + ", asking " +
                  std::to_string(dialogs_.Asking()) + ", busy " + std::to_string(form_.Busy());
  if (QWidget* m = QApplication::activeModalWidget()) s += ", modal " + std::string(m->metaObject()->className());
  if (QWidget* p = QApplication::activePopupWidget()) s += ", pop-up " + std::string(p->metaObject()->className());
  for (const std::string& u : underWay_) s += ", under way: " + u;
  return s;
}

std::string TInputDriver::Summary() const {
  static const char* const kNames[KindCount] = {"list keys", "pane keys", "tree keys", "combo keys", "typing", "actions",
                                                "tool buttons", "clicks", "drags", "wheel", "menu bar", "replace buttons",
                                                "outside changes", "pauses", "resizes"};
  std::string s;
  for (int k = 0; k < KindCount; ++k) s += std::string(k ? ", " : "") + kNames[k] + " " + std::to_string(kinds_[k]);
  s += ", pop-up events " + std::to_string(popupEvents_) + ", returns to the work folder " + std::to_string(returns_);
  return s;
}

}  // namespace sorabu::monkey
