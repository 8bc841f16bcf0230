// The move and resize scheme of the in-place editors (text field, instruction
// box, validation field, bitmap): the creation band of a new object, moving
// it by its body, resizing it by one of the eight handles, hover cursors, the
// click that selects it, the right click that shows the property box, and the
// outline of a nudge or group move.
//
// Each editor widget owns one frame and forwards its mouse handlers and the
// owner's select, getRegion, updatePosition and getIndex to it. The steps are
// the same for every editor; a Policy carries what differs between them.
//
// Every position is brought to image-holder coordinates once, from the
// event's global position, whatever the event came through: the holder (via
// the owner), the editor itself, or a child of the editor.
#pragma once

#include "objects/draw/SelectionHandles.h"

#include <QPoint>
#include <QRect>
#include <QRegion>
#include <Qt>

class DrawTools;
class InteractiveHost;
class QMouseEvent;
class QWidget;
struct _XDisplay;
struct _XGC;

class InPlaceEditorFrame {
  public:
    using Box = SelectionHandles::Box;

    struct Policy {
        // Smallest width and height of a drag outline.
        int minSize = 1;
        // An armed press starts a creation only when the owner forwarded it;
        // otherwise it is a plain press.
        bool creationNeedsForwarded = false;
        // The holder's cursor becomes the cross at an armed press.
        bool crossAtArmedPress = true;
        // The holder's cursor becomes the arrow when a press hits no handle.
        bool holderArrowWithoutHandle = true;
        // The editor shows the four-way cursor during a drag.
        bool sizeAllDuringDrag = false;
        // The editor gives up the keyboard focus at a press.
        bool dropsFocusAtPress = false;
        // At a resize release: repaint the holder, then signal (else signal
        // first).
        bool redrawBeforeSelectedOnResize = true;
        // Every left release places the widget at the rectangle.
        bool placesAtEveryLeftRelease = false;

        static Policy textField();
        static Policy instructionBox();
        static Policy validationField();
        static Policy bitmap();
    };

    // What the frame asks of its editor.
    class Client {
      public:
        using Box = SelectionHandles::Box;
        virtual ~Client();
        // The object rectangle of the record, in holder pixels.
        virtual Box frameRect() const = 0;
        // Sets the record's rectangle; the widget is left where it is.
        virtual void setFrameRect(const Box& rect) = 0;
        // The editor widget.
        virtual QWidget* frameWidget() const = 0;
        virtual void emitSelected() = 0;
        // The widget's geometry from before a move.
        virtual void emitMoved(const QRect& before) = 0;
        // The owner's interaction flag: the press was forwarded by the holder.
        virtual bool forwarded() const = 0;
        // Whether the body may move and the handles may resize (the bitmap's
        // alignment and stretch).
        virtual bool mayMove() const { return true; }
        virtual bool mayResize() const { return true; }
        // The validation field's hooks at an armed press and after the
        // handle test; the instruction box's hook at every release.
        virtual void armedPressHook() {}
        virtual void afterHandleTestHook() {}
        virtual void releaseHook() {}

      protected:
        // The rectangle of a payload with x, y, width and height, and back.
        template <class Payload> static Box boxOf(const Payload& p) {
            return Box{p.x, p.y, p.width, p.height};
        }
        template <class Payload> static void setBox(Payload& p, const Box& b) {
            p.x = b.x;
            p.y = b.y;
            p.width = b.w;
            p.height = b.h;
        }
    };

    // owner: whose property store gets the geometry rows; holder: the widget
    // positions are mapped to. Marks the client's widget as a native window.
    InPlaceEditorFrame(const Policy& policy, Client* client, DrawTools* owner, QWidget* holder,
                       InteractiveHost* host);

    const Policy& policy() const { return m_policy; }

    // The event's position in holder coordinates.
    QPoint holderPosition(const QMouseEvent* event) const;

    void mousePressEvent(QMouseEvent* event);
    void mouseMoveEvent(QMouseEvent* event);
    void mouseReleaseEvent(QMouseEvent* event);

    // The steps, with positions in holder coordinates. buttons and
    // modifiers are the state after the event.
    void press(QPoint pos, Qt::MouseButton button);
    void move(QPoint pos, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
    void release(QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons,
                 Qt::KeyboardModifiers modifiers);

    // True when the point lies in the rectangle, edges included.
    bool select(QPoint point) const;
    void select() {}
    // Paints the handles into the drawable; the holder has just repainted, so
    // no nudge outline is left to erase.
    void select(_XDisplay* display, _XGC* gc, unsigned long& drawable);
    QRegion getRegion() const;
    // One nudge or group-move step: draws the moved outline and moves the
    // record's rectangle; the widget follows at the next showing.
    void updatePosition(int dx, int dy);
    int getIndex() const { return m_index; }
    // The record's rectangle, through the client.
    Box rect() const { return m_client->frameRect(); }
    void setRect(const Box& r) { m_client->setFrameRect(r); }
    void setIndex(int index) { m_index = index; }

    // The normalised rectangle of two points.
    static void makeRect(QPoint a, QPoint b, QRect& r);

    // The handle of the last press or hover; -1 before any.
    int handle() const { return m_handle; }
    bool pressedOnce() const { return m_pressed; }
    bool pressInside() const { return m_inside; }
    // The outline last drawn by a move or resize drag (x, y, w, h).
    Box outline() const;
    bool outlineDrawn() const { return m_outlineDrawn; }

  private:
    void bandStep(QPoint pos);
    void dragStep(QPoint pos);
    void hover(QPoint pos);
    void writeRows(const Box& b);
    void placeWidget(const Box& b);
    void drawBand(const Box& b);
    void setHolderCursorFor(int handle);
    bool locked() const;
    void redraw();
    QSize screen() const;

    Policy m_policy;
    Client* m_client;        // not owned
    DrawTools* m_owner;      // not owned
    QWidget* m_holder;       // not owned
    InteractiveHost* m_host; // not owned

    QPoint m_anchor; // rectangle's top-left, or the press of a creation
    QPoint m_corner; // rectangle's bottom-right, or the creation's pointer
    QPoint m_pressPoint;
    QPoint m_outlineTopLeft;
    QPoint m_outlineBottomRight;
    bool m_outlineDrawn = false;
    bool m_pressed = false;
    bool m_inside = false;
    int m_handle = SelectionHandles::NOT_TESTED;
    int m_index = 0;

    // The creation band last drawn; none before the first band step.
    bool m_firstBand = true;
    Box m_lastBand;

    int m_nudgeCount = 0;
    Box m_nudge;
};
