// A two-colour gradient painted with Xlib into a drawable: linear (lines swept
// across the area at an angle), radial (shrinking filled ellipses) or
// rectangular (shrinking rectangle outlines). The frame fill of blank frames
// is its one user.
//
// The caller owns the display, the drawable and the graphics context. The
// painter leaves the context's foreground at the last colour, and the linear
// painter its line width at 3 for slanted angles. An empty area paints
// nothing.
//
// The geometry is kept as designed, odd as some of it is: slanted lines end
// at (p, width), the radial boxes reach 200 pixels further left and up, and
// the linear painter's colour exchange for angles 90 to 269 stays in the
// object, so painting twice runs the second gradient the other way.
#pragma once

#include <QColor>

struct _XDisplay;
struct _XGC;

class Gradient {
  public:
    enum GRADIENT_STYLE : int { LINEAR = 0, RADIAL = 1, RECTANGULAR = 2 };

    Gradient(const QColor& from, const QColor& to, GRADIENT_STYLE style, int angle);
    ~Gradient() = default;

    void setStyle(GRADIENT_STYLE style) { m_style = style; }
    // Degrees; any value, taken modulo 360 when painting.
    void setAngle(int angle) { m_angle = angle; }

    // Paints width x height pixels of the drawable from its top-left corner
    // in the style; any other style paints nothing.
    void createGradientImage(unsigned long& drawable, int width, int height, _XDisplay* display, _XGC*& gc);
    void createLinearGradient(unsigned long& drawable, int width, int height, _XDisplay* display, _XGC*& gc);
    void createRadialGradient(unsigned long& drawable, int width, int height, _XDisplay* display, _XGC*& gc);
    void createRectGradient(unsigned long& drawable, int width, int height, _XDisplay* display, _XGC*& gc);

    // The colour at t (0 from, 1 to): per channel from - round(difference x t),
    // halves rounded away from zero.
    static QColor colorAt(const QColor& from, const QColor& to, double t);
    // Nearest integer, halves away from zero.
    static int roundHalfAway(double d);

    const QColor& fromColor() const { return m_from; }
    const QColor& toColor() const { return m_to; }
    GRADIENT_STYLE style() const { return m_style; }
    int angle() const { return m_angle; }

  private:
    // Shared by the radial and rectangular painters: shrinking shapes about
    // the centre, from the to colour outwards towards the from colour.
    template <typename DrawShape>
    void shrinkingShapes(int width, int height, _XDisplay* display, _XGC* gc, DrawShape draw);
    void setForeground(_XDisplay* display, _XGC* gc, double t);

    QColor m_from;
    QColor m_to;
    GRADIENT_STYLE m_style;
    int m_angle;
};
