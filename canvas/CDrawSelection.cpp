#include "canvas/CDrawSelection.h"

#include "canvas/MouseButtonState.h"
#include "canvas/VLImageHolder.h"

#include <QMouseEvent>

#include <X11/Xlib.h>

#include <algorithm>
#include <cstdlib>

int CDrawSelection::lastX = 0;
int CDrawSelection::lastY = 0;
int CDrawSelection::lastWidth = 0;
int CDrawSelection::lastHeight = 0;

CDrawSelection::CDrawSelection() : DrawTools(nullptr, nullptr) {
    drawingObject = SELECTION;
}

CDrawSelection::CDrawSelection(VLImageHolder* holder, QPaintDevice*)
    : DrawTools(nullptr, nullptr), m_holder(holder) {
    drawingObject = SELECTION;
    if (!m_holder)
        return;
    m_holder->initGC();
    const VLImageHolder::DrawTarget target = m_holder->drawTarget();
    m_display = target.display;
    m_window = target.window;
    m_xorGC = target.xorGC;
}

CDrawSelection::~CDrawSelection() = default;

void CDrawSelection::makeRect(QPoint a, QPoint b, QRect& r) {
    r = QRect(std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::abs(a.x() - b.x()),
              std::abs(a.y() - b.y()));
}

void CDrawSelection::drawLast() {
    if (!m_display || !m_window || !m_xorGC)
        return;
    XDrawRectangle(m_display, m_window, m_xorGC, lastX, lastY, unsigned(lastWidth), unsigned(lastHeight));
}

void CDrawSelection::mousePressEvent(QMouseEvent* event) {
    m_firstMove = true;
    const QPoint p = MouseButtonState::position(event);
    m_startX = m_currentX = p.x();
    m_startY = m_currentY = p.y();
}

void CDrawSelection::mouseMoveEvent(QMouseEvent* event) {
    if (!MouseButtonState::isLeftOnlyDrag(event))
        return;
    const QPoint p = MouseButtonState::position(event);
    m_currentX = p.x();
    m_currentY = p.y();
    if (m_firstMove)
        m_firstMove = false;
    else
        drawLast();
    makeRect(QPoint(m_startX, m_startY), p, m_band);
    lastX = m_band.x();
    lastY = m_band.y();
    lastWidth = m_band.width();
    lastHeight = m_band.height();
    drawLast();
    if (m_display)
        XFlush(m_display);
}

void CDrawSelection::mouseReleaseEvent(QMouseEvent*) {
    if (m_display)
        XFlush(m_display);
}
