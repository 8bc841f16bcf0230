#include "app/wm/NVToolBoxManager.h"

#include "app/wm/NVWM.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QWidget>

#include <X11/Xlib.h>

namespace {
Display* dpy() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}
} // namespace

NVToolBoxManager::NVToolBoxManager(QWidget* widget, bool rubberBand)
    : m_widget(widget), m_rubberBand(rubberBand), m_timer(new QTimer(this)) {
    Display* d = dpy();
    if (!d)
        return;
    m_screen = DefaultScreen(d);
    m_root = RootWindow(d, m_screen);
    XGCValues v;
    v.function = GXxor;
    v.foreground = BlackPixel(d, m_screen) ^ WhitePixel(d, m_screen);
    v.line_width = 0;
    v.subwindow_mode = IncludeInferiors;
    m_gc = XCreateGC(d, m_root, GCFunction | GCForeground | GCLineWidth | GCSubwindowMode, &v);
}

NVToolBoxManager::~NVToolBoxManager() {
    stop();
    m_hotSpots.clear();
    if (m_gc && dpy())
        XFreeGC(dpy(), static_cast<GC>(m_gc));
}

int NVToolBoxManager::addHotSpot(int x, int y, int w, int h) {
    m_hotSpots.append(QRect(x, y, w, h));
    return int(m_hotSpots.size()) - 1;
}

int NVToolBoxManager::addHotSpot(const QRect& r, bool mapFromParent) {
    QRect spot = r;
    QWidget* parent = m_widget ? m_widget->parentWidget() : nullptr;
    if (mapFromParent && parent)
        spot.moveTopLeft(parent->mapToGlobal(r.topLeft()));
    m_hotSpots.append(spot);
    return int(m_hotSpots.size()) - 1;
}

void NVToolBoxManager::removeHotSpot(int index) {
    if (index < 0 || index >= m_hotSpots.size())
        return;
    m_hotSpots.removeAt(index);
    if (m_currentHotSpot == index)
        m_currentHotSpot = -1;
    else if (m_currentHotSpot > index)
        --m_currentHotSpot;
}

bool NVToolBoxManager::queryPointer(int& x, int& y, unsigned& mask) const {
    Display* d = dpy();
    if (!d)
        return false;
    ::Window rootReturn, child;
    int wx, wy;
    return XQueryPointer(d, m_root, &rootReturn, &child, &x, &y, &wx, &wy, &mask);
}

bool NVToolBoxManager::begin(Mode mode, bool report) {
    if (m_active || !m_widget || !dpy())
        return false;
    m_active = true;
    m_mode = mode;
    m_report = report;

    const QRect frame = m_widget->isWindow() ? NVWM::geometry(m_widget->winId(), true)
                                             : QRect(m_widget->mapToGlobal(QPoint(0, 0)), m_widget->size());
    const QPoint cursor = QCursor::pos();
    m_offsetX = cursor.x() - frame.x();
    m_offsetY = cursor.y() - frame.y();
    m_x = frame.x();
    m_y = frame.y();
    m_w = frame.width();
    m_h = frame.height();

    int px = 0, py = 0;
    unsigned mask = 0;
    queryPointer(px, py, mask);
    m_mouseX = m_prevX = px;
    m_mouseY = m_prevY = py;
    m_startMask = mask;
    if (mode == Mode::Move) {
        m_x = px - m_offsetX;
        m_y = py - m_offsetY;
    }
    return true;
}

void NVToolBoxManager::runLoop() {
    // The loop lives on this stack frame, so that a manager destroyed by a
    // slot run inside it (its destructor stops the drag) leaves it intact.
    QEventLoop loop;
    m_loop = &loop;
    m_timer->start(0);
    QPointer<NVToolBoxManager> self(this);
    loop.exec();
    if (self)
        m_loop = nullptr;
}

void NVToolBoxManager::doMove(bool holdInHotSpot, bool report, bool) {
    if (m_active)
        return;
    m_holdInHotSpot = holdInHotSpot;
    if (!begin(Mode::Move, report))
        return;
    QApplication::setOverrideCursor(Qt::SizeAllCursor);
    connect(m_timer, &QTimer::timeout, this, &NVToolBoxManager::doMoveInternal);
    if (m_rubberBand)
        drawRectangle(m_x, m_y, m_w, m_h);
    runLoop();
}

void NVToolBoxManager::doResize(bool, bool report) {
    if (!begin(Mode::Resize, report))
        return;
    QApplication::setOverrideCursor(Qt::SizeFDiagCursor);
    connect(m_timer, &QTimer::timeout, this, &NVToolBoxManager::doResizeInternal);
    if (m_rubberBand)
        drawRectangle(m_x, m_y, m_w, m_h);
    runLoop();
}

void NVToolBoxManager::doXResize(bool b, bool report) {
    if (m_active)
        return;
    m_widthOnly = true;
    doResize(b, report);
    m_widthOnly = m_heightOnly = false;
}

void NVToolBoxManager::doYResize(bool b, bool report) {
    if (m_active)
        return;
    m_heightOnly = true;
    doResize(b, report);
    m_widthOnly = m_heightOnly = false;
}

void NVToolBoxManager::doMoveInternal() {
    if (!m_active || m_mode != Mode::Move)
        return;
    int px = 0, py = 0;
    unsigned mask = 0;
    if (!queryPointer(px, py, mask))
        return;
    m_mouseX = px;
    m_mouseY = py;
    if (mask != m_startMask) {
        stop();
        return;
    }
    if (px == m_prevX && py == m_prevY)
        return;
    m_prevX = px;
    m_prevY = py;
    m_x = px - m_offsetX;
    m_y = py - m_offsetY;

    int found = -1;
    for (int i = 0; i < m_hotSpots.size(); ++i)
        if (m_hotSpots[i].contains(px, py)) {
            found = i;
            break;
        }
    bool enteredEarlier = false;
    if (found >= 0) {
        if (found != m_currentHotSpot) {
            m_currentHotSpot = found;
            emit onHotSpot(found);
        } else {
            enteredEarlier = true;
        }
        m_outsideReported = false;
    } else if (!m_outsideReported) {
        emit onHotSpot(-1);
        m_outsideReported = true;
        m_currentHotSpot = -1;
    }
    if (!m_active)
        return; // a receiver stopped the drag
    if (enteredEarlier && m_holdInHotSpot)
        return;

    if (m_rubberBand) {
        deleteLastRectangle();
        drawRectangle(m_x, m_y, m_w, m_h);
        XFlush(dpy());
    } else if (m_widget) {
        QPoint to(m_x, m_y);
        if (QWidget* parent = m_widget->parentWidget(); parent && !m_widget->isWindow())
            to = parent->mapFromGlobal(to);
        m_widget->move(to);
    }
    XSync(dpy(), False);
    if (m_report)
        emit posChanged(m_x, m_y);
}

void NVToolBoxManager::doResizeInternal() {
    if (!m_active || m_mode != Mode::Resize)
        return;
    int px = 0, py = 0;
    unsigned mask = 0;
    if (!queryPointer(px, py, mask))
        return;
    if (mask != m_startMask) {
        m_mouseX = px;
        m_mouseY = py;
        stop();
        return;
    }
    if (m_widthOnly)
        py = m_prevY;
    if (m_heightOnly)
        px = m_prevX;
    m_mouseX = px;
    m_mouseY = py;
    if (px == m_prevX && py == m_prevY)
        return;
    m_w += px - m_prevX;
    m_h += py - m_prevY;
    m_prevX = px;
    m_prevY = py;
    if (m_rubberBand) {
        deleteLastRectangle();
        drawRectangle(m_x, m_y, m_w, m_h);
        XFlush(dpy());
    } else if (m_widget) {
        m_widget->resize(qMax(1, m_w), qMax(1, m_h));
    }
    XSync(dpy(), False);
    if (m_report)
        emit sizeChanged(m_w, m_h);
}

void NVToolBoxManager::setGeometry(int x, int y, int w, int h) {
    if (!m_active)
        return;
    m_x = x;
    m_y = y;
    m_w = w;
    m_h = h;
    if (m_rubberBand)
        deleteLastRectangle(); // the next step draws the new one
    else if (m_widget)
        m_widget->resize(qMax(1, w), qMax(1, h));
}

void NVToolBoxManager::setGeometry(int index) {
    if (index < 0 || index >= m_hotSpots.size())
        return;
    const QRect& r = m_hotSpots[index];
    setGeometry(r.x(), r.y(), r.width(), r.height());
}

void NVToolBoxManager::stop() {
    if (!m_active)
        return;
    m_timer->stop();
    m_timer->disconnect(this);
    QApplication::restoreOverrideCursor();
    deleteLastRectangle();
    if (dpy())
        XFlush(dpy());
    const Mode mode = m_mode;
    m_active = false;
    m_mode = Mode::Idle;
    if (m_rubberBand && m_widget) {
        if (mode == Mode::Move) {
            QPoint to(m_x, m_y);
            if (QWidget* parent = m_widget->parentWidget(); parent && !m_widget->isWindow())
                to = parent->mapFromGlobal(to);
            m_widget->move(to);
        } else if (mode == Mode::Resize) {
            m_widget->resize(qMax(1, m_w), qMax(1, m_h));
        }
    }
    if (m_report) {
        if (mode == Mode::Move)
            emit posChanged(m_x, m_y);
        if (mode == Mode::Resize)
            emit sizeChanged(m_w, m_h);
    }
    if (m_loop)
        m_loop->quit();
}

void NVToolBoxManager::drawOutlines(int x, int y, int w, int h) {
    Display* d = dpy();
    if (!d || !m_gc)
        return;
    // X takes unsigned sizes: a size dragged below zero draws a 1-pixel outline.
    auto draw = [&](int rx, int ry, int rw, int rh) {
        XDrawRectangle(d, m_root, static_cast<GC>(m_gc), rx, ry, unsigned(qMax(1, rw)),
                       unsigned(qMax(1, rh)));
    };
    draw(x, y, w, h);
    if (w > 2)
        w -= 2;
    if (h > 2)
        h -= 2;
    draw(x + 1, y + 1, w, h);
    if (w > 2)
        w -= 2;
    if (h > 2)
        h -= 2;
    draw(x + 2, y + 2, w, h);
}

void NVToolBoxManager::drawRectangle(int x, int y, int w, int h) {
    m_lastX = x;
    m_lastY = y;
    m_lastW = w;
    m_lastH = h;
    drawOutlines(x, y, w, h);
    m_erased = false;
}

void NVToolBoxManager::deleteLastRectangle() {
    if (m_erased)
        return;
    drawOutlines(m_lastX, m_lastY, m_lastW, m_lastH);
    m_erased = true;
}
