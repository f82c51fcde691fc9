// How one piece of input reaches the window: through the window system's door (QTest on the
// QWindow), so that Qt routes it as it routes a real user's input: to the focus widget, to an
// open pop-up menu first, never to a window a modal one blocks, through the shortcut map.
#pragma once

#include <QPoint>
#include <QString>
#include <Qt>

class QWidget;

namespace sorabu::monkey {

// A key pressed and released on the focus widget of target's window, after target took the
// focus (as a click or Tab would give it). target null: the window of the active pop-up or
// modal widget, or the active window.
void SendKey(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers);
// Text committed by the input method (how Japanese arrives) to the focus widget.
void SendCommit(QWidget* target, const QString& text);
enum class MouseStep { Press, Move, Release, Click, DoubleClick };
// A mouse step at pos (in target's coordinates) through target's window.
void SendMouse(QWidget* target, MouseStep step, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
// A wheel turn over pos; dropped, as Qt would, when a modal or pop-up window is open elsewhere.
void SendWheel(QWidget* target, QPoint pos, int degrees, Qt::KeyboardModifiers modifiers);
// The widget a real key would reach (the pop-up's, the modal's, or the active window's focus).
QWidget* KeyReceiver(QWidget* target);

}  // namespace sorabu::monkey
