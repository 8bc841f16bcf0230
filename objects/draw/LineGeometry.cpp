#include "objects/draw/LineGeometry.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

// The angle unit of the segment bands.
constexpr float DEGREE = 0.0174533f;

QPolygon quad(QPoint a, QPoint b, QPoint c, QPoint d) {
    QPolygon q(4);
    q.setPoint(0, a);
    q.setPoint(1, b);
    q.setPoint(2, c);
    q.setPoint(3, d);
    return q;
}

QPoint half(QPoint p) {
    return QPoint(p.x() / 2, p.y() / 2);
}

// Halfway between a head's tip and the middle of its base, halvings
// truncated toward zero.
QPoint shaftEnd(QPoint tip, QPoint wingA, QPoint wingB) {
    return half(half(wingA + wingB) + tip);
}

} // namespace

LineGeometry::HeadSize LineGeometry::headSize(int lineWidth, int arrow) {
    HeadSize size;
    size.length = 2 * lineWidth + 7;
    if (arrow == ARROW_BOTH)
        size.halfWidth = int(lineWidth * 4.0 / 3.0 + 4.0);
    else
        size.halfWidth = 4 * lineWidth / 3 + 4;
    return size;
}

bool LineGeometry::getArrow(QPoint a, QPoint b, int length, int halfWidth, QPoint& w1, QPoint& w2, QPoint& w3,
                            QPoint& w4) {
    if (a == b)
        return false;
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const double len = std::sqrt(dx * dx + dy * dy);
    const double cosine = dx / len;
    const double sine = dy / len;
    // Each product is truncated on its own.
    const int hs = int(halfWidth * sine);
    const int lc = int(length * cosine);
    const int ls = int(length * sine);
    const int hc = int(halfWidth * cosine);
    w1 = QPoint(a.x() + lc - hs, a.y() + ls + hc);
    w2 = QPoint(a.x() + lc + hs, a.y() + ls - hc);
    w3 = QPoint(b.x() - lc - hs, b.y() - ls + hc);
    w4 = QPoint(b.x() - lc + hs, b.y() - ls - hc);
    return true;
}

LineGeometry::ArrowedLine LineGeometry::arrowedLine(QPoint start, QPoint end, int lineWidth, int arrow) {
    ArrowedLine line;
    line.shaftStart = start;
    line.shaftEnd = end;
    const bool atStart = arrow == ARROW_START || arrow == ARROW_BOTH;
    const bool atEnd = arrow == ARROW_END || arrow == ARROW_BOTH;
    if (!atStart && !atEnd)
        return line;
    const HeadSize size = headSize(lineWidth, arrow);
    QPoint w1, w2, w3, w4;
    if (!getArrow(start, end, size.length, size.halfWidth, w1, w2, w3, w4))
        return line;
    if (atStart) {
        line.startHead = quad(w1, start, w2, w1);
        line.shaftStart = shaftEnd(start, w1, w2);
    }
    if (atEnd) {
        line.endHead = quad(w3, end, w4, w3);
        line.shaftEnd = shaftEnd(end, w3, w4);
    }
    return line;
}

QPolygon LineGeometry::lineHitPolygon(QPoint start, QPoint end) {
    const int dx = end.x() - start.x();
    const int dy = end.y() - start.y();
    const int r = LINE_REACH;
    if (std::abs(dy - dx) > 4)
        return quad(start + QPoint(-r, -r), start + QPoint(r, r), end + QPoint(r, r), end + QPoint(-r, -r));
    // Along the down-right diagonal the offsets above would flatten the
    // polygon onto the line.
    return quad(start + QPoint(-r, r), start + QPoint(r, -r), end + QPoint(r, -r), end + QPoint(-r, r));
}

QRegion LineGeometry::lineHitRegion(QPoint start, QPoint end) {
    if (start == end)
        return QRegion();
    return QRegion(lineHitPolygon(start, end), Qt::OddEvenFill);
}

bool LineGeometry::lineHit(QPoint start, QPoint end, QPoint point) {
    return lineHitRegion(start, end).contains(point);
}

QPolygon LineGeometry::segmentBand(QPoint from, QPoint to) {
    const int x1 = from.x(), y1 = from.y(), x2 = to.x(), y2 = to.y();
    // A vertical or zero-length segment has no slope: it takes the last band.
    if (x1 != x2) {
        const float slope = float(y1 - y2) / float(x1 - x2);
        const float angle = std::atan(slope) / DEGREE;
        if (angle > 50 && angle < 60)
            return quad({x1 - 5, y1 + 5}, {x1 + 5, y1 - 5}, {x2 + 5, y2 - 5}, {x2 - 5, y2 + 5});
        if (angle >= 35 && angle <= 50)
            return quad({x1 - 5, y1 + 10}, {x1 + 5, y1 - 5}, {x2 + 5, y2 - 10}, {x2 - 5, y2 + 5});
    }
    return quad({x1 - 5, y1 - 5}, {x1 + 5, y1 + 5}, {x2 + 5, y2 + 5}, {x2 - 5, y2 - 5});
}

QRegion LineGeometry::polylineRegion(const QPolygon& points) {
    QRegion region;
    for (int i = 0; i + 1 < points.size(); ++i)
        region += QRegion(segmentBand(points.at(i), points.at(i + 1)), Qt::OddEvenFill);
    return region;
}

LineGeometry::PolylineHit LineGeometry::polylineHit(const QPolygon& points, QPoint point) {
    PolylineHit hit;
    // A truncated distance of at most 7 is a squared distance below 64.
    const int64_t reach = VERTEX_REACH + 1;
    for (int i = int(points.size()) - 1; i >= 0; --i) {
        const int64_t dx = points.at(i).x() - point.x();
        const int64_t dy = points.at(i).y() - point.y();
        if (dx * dx + dy * dy < reach * reach) {
            hit.part = PolylineHit::VERTEX;
            hit.index = i;
            return hit;
        }
    }
    for (int i = 0; i + 1 < points.size(); ++i) {
        if (QRegion(segmentBand(points.at(i), points.at(i + 1)), Qt::OddEvenFill).contains(point)) {
            hit.part = PolylineHit::SEGMENT;
            hit.index = i;
            return hit;
        }
    }
    return hit;
}
