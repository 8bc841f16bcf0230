// The product picture shown by the splash window and the about box.
#pragma once

#include <QPixmap>

namespace product {
constexpr int PICTURE_WIDTH = 419;
constexpr int PICTURE_HEIGHT = 255;
QPixmap picture();
} // namespace product
