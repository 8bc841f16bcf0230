#include "objects/draw/BoxDrag.h"

#include "canvas/MouseButtonState.h"
#include "canvas/VLImageHolder.h"

#include <QMouseEvent>

#include <algorithm>
#include <cstdlib>

namespace {

SelectionHandles::Box boxOf(const BoxDrag::Edges& s) {
    return {s.left, s.top, s.right - s.left, s.bottom - s.top};
}

} // namespace

void BoxDrag::makeRect(QPoint a, QPoint b, QRect& r) {
    r = QRect(std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::abs(b.x() - a.x()),
              std::abs(b.y() - a.y()));
}

void BoxDrag::press(QMouseEvent* event, Edges box, bool drawing, VLImageHolder* holder,
                    const QRegion& region) {
    const QPoint p = MouseButtonState::position(event);
    m_ptPress = p;
    m_ptBandTopLeft = p;
    m_ptBandBottomRight = p;
    m_bBandShown = false;
    m_nHandle = SelectionHandles::NOT_TESTED;
    if (drawing) {
        if (event->button() == Qt::LeftButton) {
            box.left = box.right = p.x();
            box.top = box.bottom = p.y();
            m_ptStart = p;
        }
        return;
    }
    const SelectionHandles::Box b = boxOf(box);
    if (MouseButtonState::isLeftOnlyPress(event) && holder && holder->checkObjectSelection())
        m_nHandle = SelectionHandles::pickHandle(holder, p, b);
    m_bPressInside = region.contains(p);
    if (m_nHandle == SelectionHandles::INSIDE && !m_bPressInside && holder)
        holder->setObjectSelection(false);
}

void BoxDrag::drawStep(QMouseEvent* event, Edges box, const Surface& surface, ToolBand last) {
    if (!MouseButtonState::isLeftOnlyDrag(event))
        return;
    const QPoint p = MouseButtonState::position(event);
    if (m_bFirstBand)
        m_bFirstBand = false;
    else
        SelectionHandles::drawXorBand(surface.display, surface.xorGC, surface.window,
                                      {last.x, last.y, last.w, last.h});
    box.right = p.x();
    box.bottom = p.y();
    QRect band;
    makeRect(QPoint(box.left, box.top), p, band);
    SelectionHandles::drawXorBand(surface.display, surface.xorGC, surface.window,
                                  {band.x(), band.y(), band.width(), band.height()});
    last.x = band.x();
    last.y = band.y();
    last.w = band.width();
    last.h = band.height();
}

void BoxDrag::selectStep(QMouseEvent* event, Edges box, const Surface& surface, VLImageHolder* holder,
                         QSize screen, bool sizeAllInside) {
    const QPoint p = MouseButtonState::position(event);
    const SelectionHandles::Box b = boxOf(box);
    if (!MouseButtonState::isLeftOnlyDrag(event)) {
        // Hovering: show the handle under the pointer.
        if (holder && holder->checkObjectSelection())
            m_nHandle = SelectionHandles::pickHandle(holder, p, b);
        return;
    }
    const int handle = m_nHandle;
    if (handle == SelectionHandles::INSIDE && !m_bPressInside)
        return;
    if (sizeAllInside && handle == SelectionHandles::INSIDE && holder)
        holder->setCursor(Qt::SizeAllCursor);
    const SelectionHandles::Box lastBand{m_ptBandTopLeft.x(), m_ptBandTopLeft.y(),
                                         m_ptBandBottomRight.x() - m_ptBandTopLeft.x(),
                                         m_ptBandBottomRight.y() - m_ptBandTopLeft.y()};
    const SelectionHandles::Box band =
        SelectionHandles::stepXorBand(surface.display, surface.xorGC, surface.window, handle, b, m_ptPress, p,
                                      screen, lastBand, m_bBandShown);
    m_bBandShown = true;
    m_ptBandTopLeft = QPoint(band.x, band.y);
    m_ptBandBottomRight = QPoint(band.x + band.w, band.y + band.h);
}

void BoxDrag::release(QMouseEvent* event, Edges box, bool drawing, VLImageHolder* holder) {
    if (!drawing) {
        releaseForSelector(box, holder);
        return;
    }
    const QPoint p = MouseButtonState::position(event);
    if (p == m_ptStart)
        return;
    if (box.left < p.x()) {
        box.right = p.x();
    } else {
        box.right = box.left;
        box.left = p.x();
    }
    if (box.top < p.y()) {
        box.bottom = p.y();
    } else {
        box.bottom = box.top;
        box.top = p.y();
    }
}

void BoxDrag::releaseForSelector(Edges box, VLImageHolder* holder) {
    if (m_ptBandTopLeft == m_ptBandBottomRight)
        return;
    if (holder)
        holder->setCursor(Qt::ArrowCursor);
    box.left = m_ptBandTopLeft.x();
    box.top = m_ptBandTopLeft.y();
    box.right = m_ptBandBottomRight.x();
    box.bottom = m_ptBandBottomRight.y();
    m_bBandShown = false;
}
