// Geometry of lines with arrow heads and of polylines, without X: the size
// and wing points of the filled heads, where the shaft of an arrowed line
// runs, the hit polygon of a line and the hit test of a polyline (vertices
// first, then the band around each segment).
//
// Points are frame pixels. The drawing code hands them to X as 16-bit
// points; the frame keeps every coordinate well inside that range.
// Regions follow X's pixel rules: a pixel belongs to a polygon when its
// centre lies inside, and of the edges only the top and left ones count.
#pragma once

#include <QPoint>
#include <QPolygon>
#include <QRegion>

#include <cstdint>

class LineGeometry {
  public:
    // Arrow codes of the line record.
    enum Arrow : uint8_t { ARROW_NONE = 0, ARROW_END = 1, ARROW_START = 2, ARROW_BOTH = 3 };

    struct HeadSize {
        int length = 0;
        int halfWidth = 0;
        bool operator==(const HeadSize& o) const { return length == o.length && halfWidth == o.halfWidth; }
    };

    // Head of a line of width w: length 2w + 7, half width 4w / 3 + 4. Both
    // heads together take the half width in floating point, which differs
    // from the integer form only for negative widths.
    static HeadSize headSize(int lineWidth, int arrow);

    // Wing points of the heads of the line from a to b: w1 and w2 beside
    // the start head, w3 and w4 beside the end head, each a head's length
    // along the line from its tip and its half width to either side. False,
    // leaving the results as they were, when a and b coincide.
    static bool getArrow(QPoint a, QPoint b, int length, int halfWidth, QPoint& w1, QPoint& w2, QPoint& w3,
                         QPoint& w4);

    // What to draw for a line with its arrow code: the shaft, and each head
    // as the closed polygon (wing, tip, wing, first wing again). A head's
    // shaft end moves to halfway between the tip and the head's base, so a
    // wide shaft stays inside the head. Coincident ends and arrow codes
    // outside 0..3 give the whole line and no heads.
    struct ArrowedLine {
        QPoint shaftStart;
        QPoint shaftEnd;
        QPolygon startHead;
        QPolygon endHead;
    };
    static ArrowedLine arrowedLine(QPoint start, QPoint end, int lineWidth, int arrow);

    // Reach of the line's hit polygon from each end, along both axes.
    static constexpr int LINE_REACH = 7;

    // The four corners around the line: the ends moved by (-7, -7) and
    // (+7, +7), or, for a line within 4 pixels of the down-right diagonal
    // (|dy - dx| <= 4), by (-7, +7) and (+7, -7).
    static QPolygon lineHitPolygon(QPoint start, QPoint end);
    // The hit polygon as a region (even-odd rule); empty when the ends
    // coincide.
    static QRegion lineHitRegion(QPoint start, QPoint end);
    // Whether the point lies in the line's hit region; never for a line
    // whose ends coincide.
    static bool lineHit(QPoint start, QPoint end, QPoint point);

    // A vertex is hit when the distance, truncated to whole pixels, is at
    // most this.
    static constexpr int VERTEX_REACH = 7;

    // The band around the segment from one point to the next, chosen by
    // the segment's angle (positive when it runs down to the right): above
    // 50 and below 60 degrees, 35 to 50 degrees, or any other angle, which
    // includes vertical and zero-length segments.
    static QPolygon segmentBand(QPoint from, QPoint to);
    // The union of all segment bands.
    static QRegion polylineRegion(const QPolygon& points);

    struct PolylineHit {
        enum Part { NONE, VERTEX, SEGMENT };
        Part part = NONE;
        // The vertex, or the segment's first vertex; -1 for none.
        int index = -1;
        bool operator==(const PolylineHit& o) const { return part == o.part && index == o.index; }
    };
    // Vertices from the last to the first, so that the highest index within
    // reach wins; then the segment bands from the first.
    static PolylineHit polylineHit(const QPolygon& points, QPoint point);
};
