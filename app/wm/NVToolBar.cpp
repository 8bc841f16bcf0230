#include "app/wm/NVToolBar.h"

#include "app/wm/NVToolBarItem.h"
#include "app/wm/NVToolBarLayout.h"
#include "app/wm/NVToolBoxManager.h"
#include "app/wm/NVWM.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QStyle>
#include <qdrawutil.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {
bool g_toggleFlatOnRelease = false;

Display* dpy() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}
} // namespace

bool NVToolBar::toggleFlatOnRelease() {
    return g_toggleFlatOnRelease;
}

NVToolBar::NVToolBar(QWidget* parent, const char* name, int itemHeight)
    : QFrame(parent), m_parent(parent), m_itemHeight(itemHeight > 0 ? itemHeight : 26) {
    setObjectName(name ? name : "");
    setFrameStyle(QFrame::NoFrame);
    setLineWidth(1);
    setMouseTracking(true);
    init();
}

NVToolBar::~NVToolBar() = default;

void NVToolBar::init() {
    m_position = Top;
    m_lastPosition = Top;
    m_fullWidth = true;
    m_movingEnabled = false;
    m_hasAutoItem = false;
    m_maxWidth = -1;
    m_rows = true;
    resize(width(), m_itemHeight);
}

int NVToolBar::insertWidget(int id, int width, QWidget* widget, int index) {
    auto item = std::make_unique<NVToolBarItem>(widget, NVToolBarItem::WidgetItem, id, false);
    if (widget && widget->parentWidget() != this)
        widget->setParent(this);
    item->resize(width, m_itemHeight - 2);
    item->show();
    int at;
    if (index < 0 || index >= int(m_items.size())) {
        m_items.push_back(std::move(item));
        at = int(m_items.size()) - 1;
    } else {
        m_items.insert(m_items.begin() + index, std::move(item));
        at = index;
    }
    afterItemChange();
    return at;
}

void NVToolBar::afterItemChange() {
    if (m_position == Floating)
        updateRects(true);
    else if (isVisible())
        emit moved(m_position);
}

void NVToolBar::removeItem(int id) {
    for (auto it = m_items.begin(); it != m_items.end();) {
        if ((*it)->ID() == id) {
            if ((*it)->isAuto())
                m_hasAutoItem = false;
            it = m_items.erase(it);
        } else {
            ++it;
        }
    }
    afterItemChange();
}

void NVToolBar::showItem(int id) {
    for (auto& item : m_items)
        if (item->ID() == id) {
            if (item->isAuto())
                m_hasAutoItem = false;
            item->show();
        }
    afterItemChange();
}

void NVToolBar::hideItem(int id) {
    for (auto& item : m_items)
        if (item->ID() == id) {
            if (item->isAuto())
                m_hasAutoItem = false;
            item->hide();
        }
    afterItemChange();
}

void NVToolBar::setItemEnabled(int id, bool enabled) {
    for (auto& item : m_items)
        if (item->ID() == id)
            item->setEnabled(enabled);
}

void NVToolBar::setItemAutoSized(int id, bool autoSized) {
    for (auto& item : m_items)
        if (item->ID() == id) {
            item->autoSize(autoSized);
            m_hasAutoItem = true;
            afterItemChange();
        }
}

void NVToolBar::alignItemRight(int id, bool right) {
    for (auto& item : m_items)
        if (item->ID() == id) {
            item->alignRight(right);
            afterItemChange();
        }
}

void NVToolBar::addConnection(int id, const char* signal, const QObject* receiver, const char* member) {
    for (auto& item : m_items)
        if (item->ID() == id && item->getItem())
            QObject::connect(item->getItem(), signal, receiver, member);
}

QWidget* NVToolBar::getWidget(int id) const {
    for (const auto& item : m_items)
        if (item->ID() == id)
            return item->getItem();
    return nullptr;
}

void NVToolBar::updateRects(bool resizeBar) {
    switch (m_position) {
    case Top:
    case Bottom:
        layoutHorizontal();
        break;
    case Left:
    case Right:
        layoutVertical();
        break;
    case Floating:
        m_maxHeight = height();
        if (m_items.empty())
            layoutHorizontal();
        else if (width() <= height() - 10)
            layoutVertical();
        else if (width() >= height() + 10)
            layoutHorizontal();
        // Between the two thresholds the previous layout stays.
        break;
    case Flat:
        return;
    }
    if (resizeBar) {
        m_inOwnResize = true;
        resize(m_barWidth, m_barHeight);
        m_inOwnResize = false;
    }
}

void NVToolBar::layoutHorizontal() {
    m_rows = true;
    int available;
    if (m_position == Floating)
        available = m_hasAutoItem ? qMax(width(), 166) : width();
    else
        available = m_maxWidth != -1 ? m_maxWidth : (m_parent ? m_parent->width() : width());
    std::vector<NVToolBarLayout::Item> in;
    for (const auto& item : m_items)
        in.push_back({item->width(), item->isRight(), item->isAuto()});
    const auto r = NVToolBarLayout::rows(in, available, m_fullWidth, m_itemHeight);
    for (size_t n = 0; n < m_items.size(); ++n) {
        m_items[n]->move(r.positions[n].x(), r.positions[n].y());
        if (r.widths[n] != in[n].width)
            m_items[n]->resize(r.widths[n], m_items[n]->height());
    }
    m_barWidth = r.barWidth;
    m_barHeight = r.barHeight;
}

void NVToolBar::layoutVertical() {
    m_rows = false;
    // Without a set maximum a docked column runs to the parent's height.
    int maxHeight = m_maxHeight;
    if (maxHeight < 0)
        maxHeight = m_parent ? m_parent->height() : height();
    std::vector<NVToolBarLayout::Item> in;
    for (const auto& item : m_items)
        in.push_back({item->width(), item->isRight(), item->isAuto()});
    const auto r = NVToolBarLayout::columns(in, maxHeight, m_itemHeight);
    for (size_t n = 0; n < m_items.size(); ++n) {
        m_items[n]->move(r.positions[n].x(), r.positions[n].y());
        if (r.widths[n] != in[n].width)
            m_items[n]->resize(r.widths[n], m_items[n]->height());
    }
    m_barWidth = r.barWidth;
    m_barHeight = r.barHeight;
}

QSize NVToolBar::barSizeHint() const {
    int w = 16;
    for (const auto& item : m_items)
        w += 3 + (item->isAuto() ? 150 : item->width());
    return QSize(w, -1);
}

void NVToolBar::setMaxWidth(int w) {
    m_maxWidth = w;
    updateRects(true);
}

void NVToolBar::enableMoving(bool on) {
    m_movingEnabled = on;
    update();
}

bool NVToolBar::motifLook() const {
    // The Style menu's looks carry their name as the style's object name.
    return style() && style()->objectName().startsWith("motif");
}

void NVToolBar::setBarPos(BarPosition pos) {
    if (pos == m_position)
        return;
    if (pos == Floating) {
        m_lastPosition = m_position;
        m_position = Floating;
        m_dockedX = x();
        m_dockedY = y();
        m_dockedFlags = windowFlags();
        const QPoint global = mapToGlobal(QPoint(0, 0));
        hide();
        setParent(nullptr, Qt::Tool);
        move(global);
        if (Display* d = dpy()) {
            if (m_parent)
                XSetTransientForHint(d, winId(), m_parent->window()->winId());
            NVWM::setDecoration(winId(), 2);
            if (m_parent)
                NVWM::moveToDesktop(winId(), NVWM::desktop(m_parent->window()->winId()));
        }
        if (!m_title.isEmpty())
            setWindowTitle(m_title);
        else if (m_parent)
            setWindowTitle(m_parent->window()->windowTitle() + " [tools]");
        setMouseTracking(true);
        m_savedFullWidth = m_fullWidth;
        if (!m_hasAutoItem)
            m_fullWidth = false;
        else
            resize(int(width() * 0.7), height());
        updateRects(true);
        emit moved(Floating);
        setMinimumSize(m_itemHeight, m_itemHeight);
        return;
    }
    if (pos == Flat) {
        setFlat(true);
        return;
    }
    if (m_position == Floating) {
        m_position = pos;
        hide();
        setParent(m_parent, m_dockedFlags);
        move(m_dockedX, m_dockedY);
        show();
        setMinimumSize(30, 10);
        setMouseTracking(true);
        m_fullWidth = m_savedFullWidth;
        updateRects(true);
        emit moved(pos);
        return;
    }
    m_position = pos;
    emit moved(pos);
}

void NVToolBar::setFlat(bool flat) {
    if (flat) {
        if (m_position == Floating || m_position == Flat)
            return;
        m_lastPosition = m_position;
        m_position = Flat;
        m_rows = false;
        resize(30, 10);
        for (auto& item : m_items)
            item->move(100, 100);
        emit moved(Flat);
    } else {
        if (m_position != Flat)
            return;
        setBarPos(m_lastPosition);
        emit moved(m_position);
    }
}

bool NVToolBar::enable(BarStatus status) {
    const bool wasVisible = isVisible();
    if (status == Hide || (status == Toggle && wasVisible))
        hide();
    else
        show();
    return isVisible() == wasVisible;
}

void NVToolBar::slotHotSpot(int index) {
    if (!m_moveManager)
        return;
    switch (index) {
    case -1:
        setBarPos(Floating);
        break;
    case 0:
        setBarPos(Top);
        break;
    case 1:
        setBarPos(Bottom);
        break;
    case 2:
        setBarPos(Left);
        break;
    case 3:
        setBarPos(Right);
        break;
    default:
        break;
    }
    if (m_position != Floating) {
        const QPoint global = m_parent ? m_parent->mapToGlobal(pos()) : pos();
        m_moveManager->setGeometry(global.x(), global.y(), width(), height());
    }
    if (isHidden())
        show();
}

void NVToolBar::ContextCallback(int) {
    setBarPos(Top);
    repaint();
}

void NVToolBar::paintEvent(QPaintEvent*) {
    m_barWidth = width();
    m_barHeight = height();
    QPainter p(this);
    const QPalette& pal = palette();
    const QBrush brush(pal.color(backgroundRole()));
    const bool motif = motifLook();
    const int W = m_barWidth, H = m_barHeight;

    if (m_movingEnabled) {
        const QRect strip = m_rows ? QRect(0, 0, 9, H) : QRect(0, 0, W, 9);
        if (motif) {
            qDrawShadePanel(&p, strip, pal, false, 1, &brush);
            p.setPen(pal.color(QPalette::Light));
            if (m_rows)
                p.drawLine(9, 0, 9, H);
            else
                p.drawLine(0, 9, W, 9);
            if (m_rows) {
                p.setPen(pal.color(QPalette::Light));
                for (int a = 3; a < H - 4; a += 3) {
                    p.drawPoint(1, a + 1);
                    p.drawPoint(4, a);
                }
                p.setPen(pal.color(QPalette::Dark));
                for (int a = 4; a < H - 4; a += 3) {
                    p.drawPoint(2, a + 1);
                    p.drawPoint(5, a);
                }
            } else {
                p.setPen(pal.color(QPalette::Light));
                for (int a = 3; a < W - 4; a += 3) {
                    p.drawPoint(a + 1, 1);
                    p.drawPoint(a, 4);
                }
                p.setPen(pal.color(QPalette::Dark));
                for (int a = 4; a < W - 4; a += 3) {
                    p.drawPoint(a + 1, 2);
                    p.drawPoint(a, 5);
                }
            }
        } else {
            if (m_rows)
                p.setClipRect(0, 2, 6, H - 4);
            qDrawPlainRect(&p, strip, pal.color(QPalette::Mid), 0, &brush);
            if (!m_rows)
                p.setClipRect(2, 0, W - 4, 6);
            const QColor light = pal.color(QPalette::Light), dark = pal.color(QPalette::Dark);
            if (m_rows) {
                for (int a = -6; a <= H + 5; a += 6)
                    for (int k = 0; k < 4; ++k) {
                        p.setPen(k < 2 ? light : dark);
                        p.drawLine(0, H - a + k, H, k - a);
                    }
            } else {
                for (int a = -15; a <= W + 15; a += 6)
                    for (int k = 0; k < 4; ++k) {
                        p.setPen(k < 2 ? light : dark);
                        p.drawLine(W - a + k, 15, W - a + k + 15, 0);
                    }
            }
            p.setClipping(false);
        }
    }
    if (m_position != Floating) {
        if (motif)
            qDrawShadePanel(&p, 0, 0, W, H, pal, false, 1);
        else
            qDrawShadeRect(&p, 0, 0, W, H, pal, true, 1, 0);
    }
}

void NVToolBar::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    if (m_position == Floating && !m_inOwnResize)
        updateRects(true);
}

void NVToolBar::closeEvent(QCloseEvent* event) {
    if (m_position == Floating) {
        // Closing the tool window docks the bar where it was.
        setBarPos(m_lastPosition);
        event->ignore();
        return;
    }
    event->accept();
}

void NVToolBar::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const bool onHandle = m_rows ? at.x() <= 8 : at.y() <= 8;
    if (!onHandle)
        return;
    m_pressPos = at;
    if (!m_movingEnabled)
        return;
    if (event->button() == Qt::MiddleButton && m_position != Floating)
        setFlat(m_position != Flat);
    else if (m_position != Flat)
        g_toggleFlatOnRelease = true;
}

void NVToolBar::mouseMoveEvent(QMouseEvent* event) {
    if (m_moveManager)
        return;
    if (event->buttons() == Qt::LeftButton)
        g_toggleFlatOnRelease = false;
}

void NVToolBar::mouseReleaseEvent(QMouseEvent*) {
    if (m_moveManager)
        m_moveManager->stop();
    // The flag stays set, so each later release toggles again.
    if (g_toggleFlatOnRelease && m_position != Floating)
        setFlat(m_position != Flat);
}

void NVToolBar::leaveEvent(QEvent* event) {
    if (m_moveManager)
        return;
    QFrame::leaveEvent(event);
}
