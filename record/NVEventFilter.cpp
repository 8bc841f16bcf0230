#include "record/NVEventFilter.h"

#include <QDebug>
#include <QEvent>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcEvents, "velmora.record.events", QtWarningMsg)

NVEventFilter::NVEventFilter() : QObject(nullptr) {}

bool NVEventFilter::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        qCDebug(lcEvents, "Application Mouse pressed\n");
        break;
    case QEvent::FocusIn:
        qCDebug(lcEvents, "FocusIn\n");
        break;
    case QEvent::WindowActivate:
        qCDebug(lcEvents, "WindowActivate\n");
        break;
    case QEvent::PaletteChange:
    case QEvent::ApplicationPaletteChange:
        qCDebug(lcEvents, "Application Palette Changed\n");
        break;
    default:
        break;
    }
    return false;
}
