#include "properties/PropertyBoxClient.h"

#include "record/NVUtil.h"

#include <QGuiApplication>
#include <QScreen>

PropertyBoxClient::~PropertyBoxClient() = default;

QSize PropertyBoxClient::getScreenResolution() {
    const auto [w, h] = NVUtil::getScreenResolution();
    if (w > 0 && h > 0)
        return QSize(w, h);
    // No X connection of our own could be opened: take the screen Qt shows
    // the box on, if any.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        return screen->size();
    return QSize();
}
