#include "objects/interactive/InPlaceEditorFrame.h"

#include "canvas/DrawTools.h"
#include "objects/interactive/InteractiveHost.h"
#include "properties/EditPropertyBase.h"

#include <QMouseEvent>
#include <QWidget>

#include <cstdlib>

InPlaceEditorFrame::Client::~Client() = default;

InPlaceEditorFrame::Policy InPlaceEditorFrame::Policy::textField() {
    Policy p;
    p.placesAtEveryLeftRelease = true;
    return p;
}

InPlaceEditorFrame::Policy InPlaceEditorFrame::Policy::instructionBox() {
    Policy p;
    p.sizeAllDuringDrag = true;
    return p;
}

InPlaceEditorFrame::Policy InPlaceEditorFrame::Policy::validationField() {
    Policy p;
    p.minSize = SelectionHandles::MIN_BAND_SIZE;
    p.creationNeedsForwarded = true;
    p.crossAtArmedPress = false;
    p.holderArrowWithoutHandle = false;
    p.sizeAllDuringDrag = true;
    p.dropsFocusAtPress = true;
    p.redrawBeforeSelectedOnResize = false;
    return p;
}

InPlaceEditorFrame::Policy InPlaceEditorFrame::Policy::bitmap() {
    Policy p;
    p.creationNeedsForwarded = true;
    p.crossAtArmedPress = false;
    p.holderArrowWithoutHandle = false;
    p.redrawBeforeSelectedOnResize = false;
    return p;
}

InPlaceEditorFrame::InPlaceEditorFrame(const Policy& policy, Client* client, DrawTools* owner,
                                       QWidget* holder, InteractiveHost* host)
    : m_policy(policy), m_client(client), m_owner(owner), m_holder(holder), m_host(host) {
    // A native window of its own: X clips the holder's XOR outlines at it.
    // Hover moves without a button reach only widgets that track the mouse.
    if (QWidget* w = m_client ? m_client->frameWidget() : nullptr) {
        w->setAttribute(Qt::WA_NativeWindow);
        w->setMouseTracking(true);
    }
}

QPoint InPlaceEditorFrame::holderPosition(const QMouseEvent* event) const {
    // Forwarded copies keep the global position, so this holds for events
    // from the holder, the editor and its children alike.
    if (m_holder)
        return m_holder->mapFromGlobal(event->globalPosition()).toPoint();
    return event->position().toPoint();
}

void InPlaceEditorFrame::mousePressEvent(QMouseEvent* event) {
    press(holderPosition(event), event->button());
}

void InPlaceEditorFrame::mouseMoveEvent(QMouseEvent* event) {
    move(holderPosition(event), event->buttons(), event->modifiers());
}

void InPlaceEditorFrame::mouseReleaseEvent(QMouseEvent* event) {
    release(holderPosition(event), event->button(), event->buttons(), event->modifiers());
}

bool InPlaceEditorFrame::locked() const {
    return m_host && m_host->checkFrameStatus();
}

QSize InPlaceEditorFrame::screen() const {
    return m_host ? m_host->screenSize() : SelectionHandles::screenSizeOf(nullptr);
}

void InPlaceEditorFrame::redraw() {
    if (m_host)
        m_host->drawContents();
}

void InPlaceEditorFrame::drawBand(const Box& b) {
    if (m_host)
        m_host->drawBand(QRect(b.x, b.y, b.w, b.h));
}

void InPlaceEditorFrame::setHolderCursorFor(int handle) {
    if (!m_host)
        return;
    if (const auto shape = SelectionHandles::cursorForHandle(handle))
        m_host->setHolderCursor(*shape);
}

void InPlaceEditorFrame::writeRows(const Box& b) {
    EditPropertyBase* props = m_owner ? m_owner->getEditPropertyBase() : nullptr;
    if (!props)
        return;
    props->setProp_Value("Left", QString::number(b.x));
    props->setProp_Value("Top", QString::number(b.y));
    props->setProp_Value("Width", QString::number(b.w));
    props->setProp_Value("Height", QString::number(b.h));
}

void InPlaceEditorFrame::placeWidget(const Box& b) {
    if (QWidget* w = m_client->frameWidget())
        w->setGeometry(b.x, b.y, b.w, b.h);
}

InPlaceEditorFrame::Box InPlaceEditorFrame::outline() const {
    return Box{m_outlineTopLeft.x(), m_outlineTopLeft.y(), m_outlineBottomRight.x() - m_outlineTopLeft.x(),
               m_outlineBottomRight.y() - m_outlineTopLeft.y()};
}

void InPlaceEditorFrame::makeRect(QPoint a, QPoint b, QRect& r) {
    r = QRect(std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::abs(b.x() - a.x()),
              std::abs(b.y() - a.y()));
}

bool InPlaceEditorFrame::select(QPoint p) const {
    const Box r = m_client->frameRect();
    return p.x() >= r.x && p.x() <= r.x + r.w && p.y() >= r.y && p.y() <= r.y + r.h;
}

void InPlaceEditorFrame::select(_XDisplay* display, _XGC* gc, unsigned long& drawable) {
    const Box r = m_client->frameRect();
    SelectionHandles::EditItemsPaintRects(display, gc, drawable, r.x, r.y, r.w, r.h);
    m_nudgeCount = 0;
}

QRegion InPlaceEditorFrame::getRegion() const {
    const Box r = m_client->frameRect();
    return QRegion(r.x, r.y, r.w, r.h);
}

void InPlaceEditorFrame::updatePosition(int dx, int dy) {
    if (m_nudgeCount == 0)
        m_nudgeCount = 1;
    else
        drawBand(m_nudge);
    Box r = m_client->frameRect();
    m_nudge = Box{r.x + dx, r.y + dy, r.w, r.h};
    drawBand(m_nudge);
    r.x += dx;
    r.y += dy;
    m_client->setFrameRect(r);
}

void InPlaceEditorFrame::press(QPoint pos, Qt::MouseButton button) {
    if (locked())
        return;
    QWidget* widget = m_client->frameWidget();
    if (m_policy.dropsFocusAtPress && widget)
        widget->clearFocus();
    m_pressPoint = pos;
    m_outlineTopLeft = m_outlineBottomRight = pos;
    m_outlineDrawn = false;
    m_pressed = true;
    if (button != Qt::LeftButton)
        return;

    const bool armed = DrawTools::currentlySelectedObject != SELECTION;
    if (armed && (!m_policy.creationNeedsForwarded || m_client->forwarded())) {
        if (m_policy.crossAtArmedPress && m_host)
            m_host->setHolderCursor(Qt::CrossCursor);
        m_client->armedPressHook();
        m_anchor = m_corner = pos;
        return;
    }

    if (widget)
        widget->setCursor(Qt::ArrowCursor);
    const Box r = m_client->frameRect();
    m_anchor = QPoint(r.x, r.y);
    m_corner = QPoint(r.x + r.w, r.y + r.h);
    m_handle = SelectionHandles::ItemsGetClickedRects(pos.x(), pos.y(), r.x, r.y, r.w, r.h);
    setHolderCursorFor(m_handle);
    if (m_handle == SelectionHandles::INSIDE && m_policy.holderArrowWithoutHandle && m_host)
        m_host->setHolderCursor(Qt::ArrowCursor);
    m_client->afterHandleTestHook();
    m_inside = select(pos);
    if (m_handle == SelectionHandles::INSIDE && !m_inside && m_host)
        m_host->setObjectSelection(false);
}

void InPlaceEditorFrame::move(QPoint pos, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    if (locked())
        return;
    // The holder repaints under a moving pointer: no nudge outline is left.
    m_nudgeCount = 0;
    const bool leftOnly = buttons == Qt::LeftButton && modifiers == Qt::NoModifier;
    if (DrawTools::currentlySelectedObject != SELECTION) {
        if (leftOnly && m_client->forwarded())
            bandStep(pos);
        return;
    }
    if (leftOnly)
        dragStep(pos);
    else
        hover(pos);
}

void InPlaceEditorFrame::bandStep(QPoint pos) {
    if (m_firstBand)
        m_firstBand = false;
    else
        drawBand(m_lastBand);
    m_corner = pos;
    Box r = m_client->frameRect();
    r.w = pos.x() - m_anchor.x();
    r.h = pos.y() - m_anchor.y();
    m_client->setFrameRect(r);
    QRect band;
    makeRect(m_anchor, pos, band);
    m_lastBand = Box{band.x(), band.y(), band.width(), band.height()};
    drawBand(m_lastBand);
}

void InPlaceEditorFrame::dragStep(QPoint pos) {
    const Box r = m_client->frameRect();
    m_anchor = QPoint(r.x, r.y);
    int handle = m_handle;
    if (!m_pressed) {
        handle = m_host && m_host->objectSelection()
                     ? SelectionHandles::ItemsGetClickedRects(pos.x(), pos.y(), r.x, r.y, r.w, r.h)
                     : SelectionHandles::NOT_TESTED;
    }
    if (handle == SelectionHandles::INSIDE && !m_inside)
        return;
    const QSize scr = screen();
    const bool offScreen = pos.x() > scr.width() || pos.y() > scr.height();
    // Beyond the screen the outline stays where it is; before one was drawn
    // there is none to keep.
    if (offScreen && !m_outlineDrawn)
        return;
    // A bitmap with an alignment does not move, one that is not stretched
    // does not resize: the outline stays on the rectangle.
    int effective = handle;
    if (handle == SelectionHandles::INSIDE && !m_client->mayMove())
        effective = SelectionHandles::NOT_TESTED;
    else if (handle >= SelectionHandles::TOP_LEFT && !m_client->mayResize())
        effective = SelectionHandles::NOT_TESTED;
    QWidget* widget = m_client->frameWidget();
    if (m_policy.sizeAllDuringDrag && widget)
        widget->setCursor(Qt::SizeAllCursor);
    if (m_outlineDrawn)
        drawBand(outline());
    const Box band =
        SelectionHandles::dragBand(effective, r, m_pressPoint, pos, scr, outline(), m_policy.minSize);
    drawBand(band);
    m_outlineTopLeft = QPoint(band.x, band.y);
    m_outlineBottomRight = QPoint(band.x + band.w, band.y + band.h);
    m_outlineDrawn = true;
    writeRows(band);
}

void InPlaceEditorFrame::hover(QPoint pos) {
    const Box r = m_client->frameRect();
    m_anchor = QPoint(r.x, r.y);
    m_corner = QPoint(r.x + r.w, r.y + r.h);
    if (m_host && m_host->objectSelection()) {
        m_handle = SelectionHandles::ItemsGetClickedRects(pos.x(), pos.y(), r.x, r.y, r.w, r.h);
        setHolderCursorFor(m_handle);
    }
    if (m_handle == SelectionHandles::INSIDE && m_host)
        m_host->setHolderCursor(Qt::ArrowCursor);
    if (QWidget* widget = m_client->frameWidget())
        widget->setCursor(Qt::ArrowCursor);
}

void InPlaceEditorFrame::release(QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons,
                                 Qt::KeyboardModifiers modifiers) {
    if (locked())
        return;
    m_corner = pos;
    Box r = m_client->frameRect();
    const QSize scr = screen();
    if (m_outlineBottomRight.x() > scr.width())
        m_outlineTopLeft.setX(scr.width() - r.w);
    if (m_outlineBottomRight.y() > scr.height())
        m_outlineTopLeft.setY(scr.height() - r.h);

    const bool left = button == Qt::LeftButton && buttons == Qt::NoButton && modifiers == Qt::NoModifier;
    const bool right = button == Qt::RightButton && buttons == Qt::NoButton && modifiers == Qt::NoModifier;
    QWidget* widget = m_client->frameWidget();
    const bool armed = DrawTools::currentlySelectedObject != SELECTION;
    if (left) {
        if (m_corner != m_pressPoint && armed && m_client->forwarded()) {
            // Creation. A release on the start's row or column has no area:
            // the rectangle is left empty, and the holder takes the object back.
            if (pos.x() != m_anchor.x() && pos.y() != m_anchor.y()) {
                QRect band;
                makeRect(m_anchor, pos, band);
                r = Box{band.x(), band.y(), band.width(), band.height()};
                m_client->setFrameRect(r);
                placeWidget(r);
            } else {
                r.w = r.h = 0;
                m_client->setFrameRect(r);
            }
        } else if (armed) {
            m_client->emitSelected();
        } else if (m_corner == m_pressPoint) {
            m_client->emitSelected();
            redraw();
        } else if (m_handle == SelectionHandles::INSIDE && m_inside) {
            if (widget)
                widget->setCursor(Qt::ArrowCursor);
            const QRect before = widget ? widget->geometry() : QRect();
            m_client->emitSelected();
            m_client->emitMoved(before);
            if (m_outlineDrawn) {
                r.x = m_outlineTopLeft.x();
                r.y = m_outlineTopLeft.y();
                m_client->setFrameRect(r);
            }
            placeWidget(r);
            redraw();
        } else if (m_handle >= SelectionHandles::TOP_LEFT && m_handle <= SelectionHandles::RIGHT_MIDDLE) {
            // Without a drawn outline there is nothing to apply.
            if (m_outlineDrawn) {
                r = outline();
                m_client->setFrameRect(r);
                placeWidget(r);
            }
            if (m_policy.redrawBeforeSelectedOnResize) {
                redraw();
                m_client->emitSelected();
            } else {
                m_client->emitSelected();
                redraw();
            }
        }
        if (m_policy.placesAtEveryLeftRelease && r.w > 0 && r.h > 0)
            placeWidget(r);
    } else if (right) {
        m_client->emitSelected();
        if (m_host)
            m_host->showPropertyBox();
    }
    m_outlineDrawn = false;
    writeRows(m_client->frameRect());
    m_client->releaseHook();
}
