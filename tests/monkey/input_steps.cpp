#include "tests/monkey/input_steps.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QPointer>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace sorabu::monkey {

namespace {

// The widget whose window takes the input: the pop-up or modal one when there is one.
QWidget* Door(QWidget* target) {
  if (QWidget* popup = QApplication::activePopupWidget()) return popup;
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return target;
}

QWindow* WindowOf(QWidget* w) {
  if (w == nullptr) return nullptr;
  QWidget* top = w->window();
  return top->isVisible() ? top->windowHandle() : nullptr;
}

}  // namespace

QWidget* KeyReceiver(QWidget* target) {
  QWidget* door = Door(target);
  if (door == nullptr) door = QApplication::activeWindow();
  return door;
}

void SendKey(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers) {
  QPointer<QWidget> door = KeyReceiver(target);
  if (!door) return;
  if (door == target && target->isVisible() && target->isEnabled()) target->setFocus(Qt::OtherFocusReason);
  if (QWindow* window = WindowOf(door)) QTest::keyClick(window, key, modifiers);
}

void SendCommit(QWidget* target, const QString& text) {
  QWidget* door = KeyReceiver(target);
  if (door == nullptr) return;
  if (door == target && target->isVisible() && target->isEnabled()) target->setFocus(Qt::OtherFocusReason);
  QWidget* focus = door->window()->focusWidget();
  if (focus == nullptr || !focus->testAttribute(Qt::WA_InputMethodEnabled)) return;
  QInputMethodEvent event;
  event.setCommitString(text);
  QCoreApplication::sendEvent(focus, &event);
}

void SendMouse(QWidget* target, MouseStep step, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos) {
  if (target == nullptr || !target->isVisible()) return;
  QWindow* window = WindowOf(target);
  if (window == nullptr) return;
  // A point is kept inside the window, where a real pointer over it would be.
  const QRect inside = target->window()->rect().adjusted(0, 0, -1, -1);
  QPoint at = target->mapTo(target->window(), pos);
  at = QPoint(std::clamp(at.x(), 0, inside.right()), std::clamp(at.y(), 0, inside.bottom()));
  switch (step) {
    case MouseStep::Press: QTest::mousePress(window, button, modifiers, at); break;
    case MouseStep::Move: QTest::mouseMove(window, at); break;
    case MouseStep::Release: QTest::mouseRelease(window, button, modifiers, at); break;
    case MouseStep::Click: QTest::mouseClick(window, button, modifiers, at); break;
    case MouseStep::DoubleClick: QTest::mouseDClick(window, button, modifiers, at); break;
  }
}

void SendWheel(QWidget* target, QPoint pos, int degrees, Qt::KeyboardModifiers modifiers) {
  if (target == nullptr || !target->isVisible()) return;
  if (QApplication::activePopupWidget() || (QApplication::activeModalWidget() && QApplication::activeModalWidget() != target->window()))
    return;
  QWidget* under = target->childAt(pos);
  QWidget* receiver = under ? under : target;
  const QPoint local = receiver->mapFrom(target, pos);
  QWheelEvent event(local, receiver->mapToGlobal(local), QPoint(), QPoint(0, degrees * 8), Qt::NoButton, modifiers,
                    Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(receiver, &event);
}

}  // namespace sorabu::monkey
