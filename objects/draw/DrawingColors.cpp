#include "objects/draw/DrawingColors.h"

#include "objects/draw/CColorBar.h"

#include <QApplication>

QPointer<CColorBar> DrawingColors::s_colorBar;

void DrawingColors::setColorBar(CColorBar* bar) {
    s_colorBar = bar;
}

CColorBar* DrawingColors::colorBar() {
    if (s_colorBar)
        return s_colorBar;
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return nullptr;
    for (QWidget* w : QApplication::allWidgets())
        if (auto* bar = qobject_cast<CColorBar*>(w))
            return bar;
    return nullptr;
}

QColor DrawingColors::foreColor() {
    if (CColorBar* bar = colorBar())
        return bar->getDefaultForeColor();
    return QColor(255, 255, 255);
}

QColor DrawingColors::backColor() {
    if (CColorBar* bar = colorBar())
        return bar->getDefaultBackColor();
    return QColor(176, 196, 222);
}
