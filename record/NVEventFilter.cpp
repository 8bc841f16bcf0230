#include "record/NVEventFilter.h"

#include <QDebug>
#include <QEvent>

NVEventFilter::NVEventFilter() : QObject(nullptr) {}

bool NVEventFilter::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        qDebug("Application Mouse pressed\n");
        break;
    case QEvent::FocusIn:
        qDebug("FocusIn\n");
        break;
    case QEvent::WindowActivate:
        qDebug("WindowActivate\n");
        break;
    case QEvent::PaletteChange:
    case QEvent::ApplicationPaletteChange:
        qDebug("Application Palette Changed\n");
        break;
    default:
        break;
    }
    return false;
}
