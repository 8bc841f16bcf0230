// The frame fill's gradient step: a Gradient painted over the plain fill.
#pragma once

#include "canvas/FrameLoader.h"
#include "objects/draw/Gradient.h"

#include <QColor>

// The painter's style of a frame gradient type: 0 linear, 1 rectangular,
// 2 radial; any other type linear.
Gradient::GRADIENT_STYLE gradientStyleOfType(int type);

// The step that paints a gradient of the type and angle from `from` to `to`.
FrameLoader::PaintStep frameGradientStep(const QColor& from, const QColor& to, int type, int angle);
