// The monkey itself: draws the next piece of input from the seed and sends it to the window.
//
// An event is a few steps (a key, a click, a drag's press, moves and release); each step is
// posted to the event loop on its own, so a step that opens a nested loop (a pop-up menu's
// exec, a drag, a command the window waits for) does not stop the next one, as a real user's
// next key does not wait either. The draw never depends on the clock: the same seed sends the
// same sequence of choices (what they hit depends on what the window shows then).
//
// The monkey stays in its folder: between events the list, the tree and the current directory
// are brought back when something led them out, pointer input over the tree only meets folders
// of the work folder, and answers to questions name only paths of the run folder.
#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <random>
#include <string>
#include <vector>

class QAction;
class QTimer;
class QWidget;

namespace sorabu::app {
class TForm1;
}

namespace sorabu::monkey {

class TEventLog;
class TLeaveRecorder;
class TRandomDialogs;
class TSandbox;

class TInputDriver : public QObject {
 public:
  struct Limits {
    std::uint64_t events = 0;           // 0: no limit
    std::chrono::milliseconds time{0};  // 0: no limit
  };
  // refill makes the work folder again when the window removed or filled it.
  TInputDriver(app::TForm1& form, TRandomDialogs& dialogs, TLeaveRecorder& recorder, TEventLog& log,
               const TSandbox& sandbox, std::uint64_t seed, std::function<void()> refill);
  void Start(const Limits& limits, std::function<void()> done);
  std::uint64_t Events() const { return events_; }
  std::uint64_t Steps() const { return steps_; }
  int ActionCount() const { return static_cast<int>(actions_.size()); }
  // Where the driver stands (for a run that stopped advancing).
  std::string State() const;
  // How often each kind of event was drawn.
  std::string Summary() const;

 private:
  struct Step {
    std::string what;
    std::function<void()> run;
    bool anywhere = false;  // safe outside the work folder too (an Escape)
  };
  enum Kind {
    ListKey, PaneKey, TreeKey, ComboKey, Typing, Action, ToolButton, Click, Drag, Wheel, MenuBar,
    ReplaceButton, OutsideChange, Pause, Resize, KindCount
  };

  void Tick();
  void Post(Step step);
  // The list, the tree and the current directory are all in the work folder.
  bool InsideWork() const;
  void ReturnToWork();
  void KeepWorkSmall();
  std::vector<Step> NextEvent();
  std::vector<Step> PopupEvent();
  std::vector<Step> KeyEvent(Kind kind);
  std::vector<Step> ClickEvent();
  std::vector<Step> DragEvent();
  std::vector<Step> OutsideChangeEvent();

  std::uint32_t Draw() { return rng_(); }
  std::size_t Pick(std::size_t n) { return n == 0 ? (Draw(), 0) : Draw() % n; }
  bool Chance(int percent) { return static_cast<int>(Draw() % 100) < percent; }
  Qt::KeyboardModifiers Modifiers();
  // Widgets pointer input may go to, and a point in one of them that is safe to touch.
  std::vector<QWidget*> PointerTargets() const;
  bool SafePoint(QWidget* target, QPoint pos) const;
  QPoint PointIn(QWidget* target);
  QString Describe(QWidget* w) const;

  app::TForm1& form_;
  TRandomDialogs& dialogs_;
  TLeaveRecorder& recorder_;
  TEventLog& log_;
  const TSandbox& sandbox_;
  std::function<void()> refill_;
  std::mt19937 rng_;
  std::vector<QPointer<QAction>> actions_;
  QTimer* timer_;
  Limits limits_;
  std::function<void()> done_;
  std::chrono::steady_clock::time_point start_, pauseUntil_;
  std::deque<Step> queue_;
  std::vector<std::string> underWay_;
  bool posted_ = false, finished_ = false;
  std::uint64_t events_ = 0, steps_ = 0, returns_ = 0, nextSizeCheck_ = 2000;
  std::uint64_t kinds_[KindCount] = {};
  std::uint64_t popupEvents_ = 0;
};

}  // namespace sorabu::monkey
