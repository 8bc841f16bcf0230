// The colour bar's current colours as the drawing objects take them for a
// new object: the fore colour for borders and lines, the back colour for
// fills.
#pragma once

#include <QColor>
#include <QPointer>

class CColorBar;

class DrawingColors {
  public:
    // The colour bar to read; the main window sets it once it has made the
    // bar. Without one, the first CColorBar among the application's widgets
    // is used, and without any the bar's starting colours.
    static void setColorBar(CColorBar* bar);
    static CColorBar* colorBar();

    static QColor foreColor();
    static QColor backColor();

  private:
    static QPointer<CColorBar> s_colorBar;
};
