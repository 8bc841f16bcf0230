// The instruction box's title bar, 1000 x 50 XPM data (usable as QPixmap(ttbar_xpm)).
#pragma once

extern const char* const ttbar_xpm[];
