#include "app/FrameGradientStep.h"

Gradient::GRADIENT_STYLE gradientStyleOfType(int type) {
    switch (type) {
    case 1:
        return Gradient::RECTANGULAR;
    case 2:
        return Gradient::RADIAL;
    default:
        return Gradient::LINEAR;
    }
}

FrameLoader::PaintStep frameGradientStep(const QColor& from, const QColor& to, int type, int angle) {
    return
        [from, to, type, angle](_XDisplay* display, unsigned long pixmap, _XGC* gc, int width, int height) {
            Gradient gradient(from, to, Gradient::LINEAR, angle);
            gradient.setStyle(gradientStyleOfType(type));
            gradient.setAngle(angle);
            gradient.createGradientImage(pixmap, width, height, display, gc);
        };
}
