// Button tests of the canvas's mouse handlers, one per case, shared by the
// image holder and every object.
//
// QMouseEvent::buttons() is the state after the event: it lacks the button
// of a release and holds the button of a press. The tests below are written
// against that, so that "left button only" means the same at every event.
#pragma once

#include <QMouseEvent>

class MouseButtonState {
  public:
    // The buttons held before the event, whatever its type.
    static Qt::MouseButtons buttonsBefore(const QMouseEvent* e) {
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            return e->buttons() & ~Qt::MouseButtons(e->button());
        case QEvent::MouseButtonRelease:
            return e->buttons() | e->button();
        default:
            return e->buttons();
        }
    }

    // A press of the left button while no other button is held.
    static bool isLeftOnlyPress(const QMouseEvent* e) {
        return e->button() == Qt::LeftButton && buttonsBefore(e) == Qt::NoButton;
    }

    // A motion with the left button held and nothing else: no other button,
    // no modifier key. Every drag of the canvas tests this.
    static bool isLeftOnlyDrag(const QMouseEvent* e) {
        return e->type() == QEvent::MouseMove && e->buttons() == Qt::LeftButton &&
               e->modifiers() == Qt::NoModifier;
    }

    // A release of the left button that leaves no button held and comes with
    // no modifier key.
    static bool isLeftOnlyRelease(const QMouseEvent* e) {
        return e->button() == Qt::LeftButton && e->buttons() == Qt::NoButton &&
               e->modifiers() == Qt::NoModifier;
    }

    // The position in the receiving widget's coordinates, as whole pixels.
    static QPoint position(const QMouseEvent* e) { return e->position().toPoint(); }
};
