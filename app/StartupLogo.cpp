#include "app/StartupLogo.h"

#include "app/ProductPicture.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>

StartupLogo::StartupLogo(QWidget* parent, const char* name)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::FramelessWindowHint) {
    if (name)
        setObjectName(name);
    setAttribute(Qt::WA_DeleteOnClose);
    QPalette pal = palette();
    pal.setBrush(QPalette::Window, QBrush(product::picture())); // tiled, as a background pixmap is
    setPalette(pal);
    setAutoFillBackground(true);
    QRect desk = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect();
    setGeometry(desk.width() / 2 - 200, desk.height() / 2 - 150, 408, 300);

    auto* closeTimer = new QTimer(this);
    closeTimer->setSingleShot(true);
    connect(closeTimer, &QTimer::timeout, this, &StartupLogo::slotCloseScreen);
    closeTimer->start(500);
}

void StartupLogo::slotCloseScreen() {
    close();
}

bool StartupLogo::event(QEvent* e) {
    // Every event lifts the splash to the top. Raising sends a z-order change
    // synchronously, so that event (and any raise inside a raise) is left alone.
    if (e->type() != QEvent::ZOrderChange && !m_raising && isVisible()) {
        m_raising = true;
        raise();
        m_raising = false;
    }
    return QWidget::event(e);
}
