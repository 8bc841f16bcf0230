#include "objects/draw/CDrawPolyLine.h"

#include "canvas/MouseButtonState.h"
#include "canvas/VLImageHolder.h"
#include "canvas/VelmoraView.h"
#include "canvas/records/StoredText.h"
#include "objects/draw/DrawingColors.h"
#include "objects/draw/LineGeometry.h"
#include "objects/draw/StoredRecordHeader.h"
#include "objects/draw/XColorPixel.h"
#include "properties/EditPropertyBase.h"
#include "properties/EditPropertyBox.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include <X11/Xlib.h>

#include <algorithm>
#include <climits>

namespace {

// The thicknesses a payload from a file may ask X for.
constexpr int MAX_THICKNESS = 255;
// Points per request; longer paths go in pieces that share their end points.
constexpr size_t MAX_REQUEST_POINTS = 8192;

std::string toNameField(const QString& name) {
    std::string s = toStoredText(name);
    if (s.size() > size_t(CDrawPolyLine::NAME_FIELD - 1))
        s.resize(size_t(CDrawPolyLine::NAME_FIELD - 1));
    return s;
}

QColor colorOf(uint32_t colorRef) {
    const NVColor c = NVColor::fromColorRef(colorRef);
    return QColor(c.red, c.green, c.blue);
}

uint32_t colorRefOf(const QColor& c) {
    return NVColor{c.red(), c.green(), c.blue()}.toColorRef();
}

short toShort(int v) {
    return short(std::clamp(v, int(SHRT_MIN), int(SHRT_MAX)));
}

// Connected lines through the points, in pieces X can take in one request.
void drawPath(Display* d, Drawable drawable, GC gc, const std::vector<XPoint>& points) {
    if (points.size() < 2)
        return;
    for (size_t first = 0; first + 1 < points.size(); first += MAX_REQUEST_POINTS - 1) {
        const size_t n = std::min(MAX_REQUEST_POINTS, points.size() - first);
        XDrawLines(d, drawable, gc, const_cast<XPoint*>(points.data() + first), int(n), CoordModeOrigin);
    }
}

// Draws the path with the colour and thickness, round ends and corners, and
// leaves the GC neutral: foreground 0, background 1, thin solid lines with
// butt ends and mitred corners, solid fill.
void paintPath(Display* d, GC gc, Drawable drawable, const std::vector<XPoint>& points, int thickness,
               uint32_t color) {
    if (!d || !gc || !drawable)
        return;
    const QColor c = colorOf(color);
    const unsigned width = unsigned(std::clamp(thickness, 0, MAX_THICKNESS));
    XGCValues v{};
    v.foreground = XColorPixel::pixelOf(d, c);
    v.line_width = int(width);
    v.line_style = LineSolid;
    v.cap_style = CapRound;
    v.join_style = JoinRound;
    v.fill_style = FillSolid;
    XChangeGC(d, gc, GCForeground | GCLineWidth | GCLineStyle | GCCapStyle | GCJoinStyle | GCFillStyle, &v);
    drawPath(d, drawable, gc, points);
    XGCValues n{};
    n.foreground = 0;
    n.background = 1;
    n.line_width = 0;
    n.line_style = LineSolid;
    n.cap_style = CapButt;
    n.join_style = JoinMiter;
    XChangeGC(d, gc, GCForeground | GCBackground | GCLineWidth | GCLineStyle | GCCapStyle | GCJoinStyle, &n);
}

std::vector<XPoint> xPoints(const std::vector<NVPoint>& points) {
    std::vector<XPoint> out;
    out.reserve(points.size());
    for (const NVPoint& p : points)
        out.push_back(XPoint{toShort(p.x), toShort(p.y)});
    return out;
}

std::vector<XPoint> xPoints(const std::vector<QPoint>& points) {
    std::vector<XPoint> out;
    out.reserve(points.size());
    for (const QPoint& p : points)
        out.push_back(XPoint{toShort(p.x()), toShort(p.y())});
    return out;
}

QPolygon polygonOf(const std::vector<NVPoint>& points) {
    QPolygon out;
    out.reserve(qsizetype(points.size()));
    for (const NVPoint& p : points)
        out << QPoint(p.x, p.y);
    return out;
}

std::vector<QPoint> qPoints(const std::vector<NVPoint>& points, QPoint offset = {}) {
    std::vector<QPoint> out;
    out.reserve(points.size());
    for (const NVPoint& p : points)
        out.push_back(QPoint(p.x, p.y) + offset);
    return out;
}

} // namespace

// ---- construction ----

CDrawPolyLine::CDrawPolyLine(VLImageHolder* holder, QPaintDevice* device, int number)
    : DrawTools(nullptr, nullptr), m_pImageHolder(holder), m_pPaintDevice(device) {
    m_record.payload = sPoly{};
    if (m_pImageHolder)
        m_pImageHolder->setMouseTracking(true);
    m_bEntering = true;
    addMyPropEntrys();
    takeHolderContext();

    const QString name = QStringLiteral("Polyline ") + QString::number(number);
    setName(name);
    getEditPropertyBase()->setProp_Value("Name", name);
    appendToChooser(name);
    sPoly& p = poly();
    p.made = 1;
    p.thickness = 1;
    p.color = colorRefOf(DrawingColors::foreColor());
    setKind();
    commonRows();
    m_strOriginalName = name;
}

CDrawPolyLine::CDrawPolyLine(VLImageHolder* holder, const NVAllObjects& record, int number, QPoint offset)
    : DrawTools(nullptr, nullptr), m_pImageHolder(holder) {
    const sPoly* stored = record.get<sPoly>();
    m_record.payload = stored ? *stored : sPoly{};
    if (m_pImageHolder)
        m_pImageHolder->setMouseTracking(true);
    addMyPropEntrys();
    takeHolderContext();

    // Two blanks: pasted polylines have always been named so.
    const QString name = QStringLiteral("Polyline  ") + QString::number(number);
    setName(name);
    getEditPropertyBase()->setProp_Value("Name", name);
    appendToChooser(name);
    for (NVPoint& p : poly().points) {
        p.x += offset.x();
        p.y += offset.y();
    }
    setKind();
    commonRows();
    m_strOriginalName = name;
}

CDrawPolyLine::CDrawPolyLine(VLImageHolder* holder, sPoly payload)
    : DrawTools(nullptr, nullptr), m_pImageHolder(holder) {
    setMouseTracking(true);
    // A name from a file may be longer than its field.
    payload.name = toNameField(fromStoredText(payload.name));
    m_record.payload = std::move(payload);
    addMyPropEntrys();
    takeHolderContext();
    getEditPropertyBase()->setProp_Value("Name", fromStoredText(poly().name));
    setKind();
    commonRows();
    m_strOriginalName = fromStoredText(poly().name);
}

CDrawPolyLine::~CDrawPolyLine() = default;

void CDrawPolyLine::takeHolderContext() {
    if (!m_pImageHolder)
        return;
    m_pImageHolder->initGC();
    const VLImageHolder::DrawTarget target = m_pImageHolder->drawTarget();
    m_pDisplay = target.display;
    m_gcXor = target.xorGC;
    m_window = target.window;
}

void CDrawPolyLine::commonRows() {
    EditPropertyBase* p = getEditPropertyBase();
    p->setProp_Value("Thickness", QString::number(payload().thickness));
    p->setProp_Value("Color", colorOf(payload().color).name());
}

void CDrawPolyLine::setName(const QString& name) {
    poly().name = toNameField(name);
}

void CDrawPolyLine::appendToChooser(const QString& name) {
    if (!m_pImageHolder || !m_pImageHolder->getVelmoraView())
        return;
    if (EditPropertyBox* box = m_pImageHolder->getVelmoraView()->_get_editprop_box()) {
        box->objectChooser->addItem(name);
        m_nIndex = box->objectChooser->count() - 1;
    }
}

void CDrawPolyLine::setKind() {
    drawingObject = POLYLINE;
    m_record.drawingObject = POLYLINE;
    m_record.recordSize = NVAllObjects::STORED_SIZE;
}

void CDrawPolyLine::addMyPropEntrys() {
    EditPropertyBase* p = getEditPropertyBase();
    if (!p)
        return;
    p->addProp("Name", "", "General", 1, "PolyLine", 0);
    p->addProp("Color", "", "Appearance", 5, "", 0);
    p->addProp("Thickness", "", "Geometry", 13, "", 0);
}

// ---- the holder's row ----

bool CDrawPolyLine::toStored(const NVAllObjects& record, sAllObjects& stored) {
    const sPoly* p = record.get<sPoly>();
    if (!p)
        return false;
    stored = storedHeaderOf(record);
    stored.payload = *p;
    return true;
}

bool CDrawPolyLine::fromStored(const sAllObjects& stored, NVAllObjects& record) {
    const sPoly* p = stored.get<sPoly>();
    if (!p)
        return false;
    record = liveHeaderOf(stored);
    record.payload = *p;
    return true;
}

HolderKindMakers CDrawPolyLine::holderKindMakers() {
    HolderKindMakers m;
    m.newAtTool = [](VLImageHolder* holder, QPaintDevice* device, int, int number) -> DrawTools* {
        return new CDrawPolyLine(holder, device, number);
    };
    m.ofRecord = [](VLImageHolder* holder, const NVAllObjects& record) -> DrawTools* {
        const sPoly* p = record.get<sPoly>();
        return p ? new CDrawPolyLine(holder, *p) : nullptr;
    };
    m.pasted = [](VLImageHolder* holder, const NVAllObjects& record, int number,
                  QPoint offset) -> DrawTools* {
        return record.get<sPoly>() ? new CDrawPolyLine(holder, record, number, offset) : nullptr;
    };
    m.toStored = &CDrawPolyLine::toStored;
    m.fromStored = &CDrawPolyLine::fromStored;
    return m;
}

// ---- simple operations ----

QRect CDrawPolyLine::canvasRect() const {
    if (m_pImageHolder)
        return m_pImageHolder->rect();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        return screen->geometry();
    return QRect(0, 0, INT_MAX / 2, INT_MAX / 2);
}

bool CDrawPolyLine::strictlyInside(QPoint p) const {
    // The border rows and columns are outside.
    const QRect r = canvasRect();
    return p.x() > r.left() && p.x() < r.right() && p.y() > r.top() && p.y() < r.bottom();
}

unsigned long CDrawPolyLine::bandWindow() const {
    // The holder's window as it is now: Qt may have made it anew since.
    if (m_pImageHolder && m_pImageHolder->drawTarget().window)
        return m_pImageHolder->drawTarget().window;
    return m_window;
}

bool CDrawPolyLine::select(QPoint point) {
    const LineGeometry::PolylineHit hit = LineGeometry::polylineHit(getArrayPoints(), point);
    m_nGrabbed = hit.part == LineGeometry::PolylineHit::VERTEX ? hit.index : -1;
    return hit.part != LineGeometry::PolylineHit::NONE;
}

void CDrawPolyLine::select(Display* d, GC gc, unsigned long& drawable) {
    m_nUpdatePreviewCount = 0;
    if (!d || !gc || !drawable)
        return;
    XSetFillStyle(d, gc, FillSolid);
    XSetForeground(d, gc, XColorPixel::pixelOf(d, 0, 0, 255));
    for (const NVPoint& p : payload().points)
        XFillRectangle(d, drawable, gc, p.x - 3, p.y - 3, 6, 6);
}

QRegion CDrawPolyLine::getRegion() {
    return LineGeometry::polylineRegion(getArrayPoints());
}

QPolygon CDrawPolyLine::getArrayPoints() {
    return polygonOf(payload().points);
}

void CDrawPolyLine::restorePoly(QPolygon points) {
    std::vector<NVPoint>& own = poly().points;
    const size_t n = std::min(own.size(), size_t(points.size()));
    for (size_t i = 0; i < n; ++i)
        own[i] = NVPoint{points.at(qsizetype(i)).x(), points.at(qsizetype(i)).y()};
}

bool CDrawPolyLine::isInvalidDoubleClick() {
    const std::vector<NVPoint>& points = payload().points;
    if (points.empty())
        return true;
    return std::all_of(points.begin(), points.end(), [&](const NVPoint& p) { return p == points.front(); });
}

void CDrawPolyLine::finishEntry() {
    if (!m_bEntering)
        return;
    if (m_entry.size() >= 2) {
        std::vector<NVPoint>& points = poly().points;
        points.clear();
        for (const QPoint& p : m_entry)
            points.push_back(NVPoint{p.x(), p.y()});
    }
    m_entry.clear();
    m_bEntering = false;
}

bool CDrawPolyLine::keepWithinVLI() {
    if (m_bEntering) {
        if (m_entry.empty() || m_entry.back() != m_ptRubberEnd)
            m_entry.push_back(m_ptRubberEnd);
        finishEntry();
    }
    // An entry whose vertices all lie on one spot makes no polyline, however it ends.
    return payload().points.size() > 1 && !isInvalidDoubleClick();
}

int CDrawPolyLine::getIndex() const {
    return m_nIndex;
}

void CDrawPolyLine::setPastingPosition() {
    const std::vector<NVPoint>& points = payload().points;
    if (!points.empty())
        m_ptPasting = QPoint(points.front().x, points.front().y);
}

QPoint CDrawPolyLine::getPastingPosition() const {
    return m_ptPasting;
}

const char* CDrawPolyLine::getObjectName() const {
    return payload().name.c_str();
}

void* CDrawPolyLine::getObjectStructure() {
    return &poly();
}

bool CDrawPolyLine::getAllObjectStructure(NVAllObjects* target) {
    return copyRecordKeepingId(m_record, target);
}

void CDrawPolyLine::changeForeColor(QColor& color) {
    poly().color = colorRefOf(color);
    getEditPropertyBase()->setProp_Value("Color", color.name());
}

QString CDrawPolyLine::Prop2Str(const QString& name) {
    EditPropertyEntry* e = getEditPropertyBase()->getProp(name);
    return e ? e->value : QString();
}

void CDrawPolyLine::repaintItem() {
    EditPropertyBase* p = getEditPropertyBase();
    sPoly& s = poly();

    const QString name = Prop2Str("Name");
    if (name.length() <= NAME_LIMIT) {
        QString applied = name.trimmed();
        if (applied.isEmpty())
            applied = m_strOriginalName;
        setName(applied);
        p->setProp_Value("Name", applied);
    }
    QString v = Prop2Str("Thickness");
    if (!v.isEmpty())
        s.thickness = v.trimmed().toInt();
    // A text that names no colour leaves the colour as it is.
    v = Prop2Str("Color");
    if (!v.isEmpty()) {
        const QColor c = QColor::fromString(v);
        if (c.isValid())
            s.color = colorRefOf(c);
    }
    if (m_pImageHolder) {
        m_pImageHolder->drawContents();
        m_pImageHolder->setCurrentObject(m_pImageHolder->getSelectedItem());
    }
}

// ---- drawing ----

void CDrawPolyLine::draw(Display* display, GC gc, unsigned long& drawable) {
    if (m_bEntering)
        paintPath(display, gc, drawable, xPoints(m_entry), payload().thickness, payload().color);
    else
        paint(display, gc, drawable, payload());
}

void CDrawPolyLine::paint(Display* display, GC gc, unsigned long drawable, const sPoly& s) {
    paintPath(display, gc, drawable, xPoints(s.points), s.thickness, s.color);
}

void CDrawPolyLine::drawXorPath(const std::vector<QPoint>& path) {
    const unsigned long window = bandWindow();
    if (!m_pDisplay || !m_gcXor || !window)
        return;
    drawPath(m_pDisplay, window, m_gcXor, xPoints(path));
    // Never discard events here: the connection carries the holder's Expose events.
    XSync(m_pDisplay, False);
}

void CDrawPolyLine::updatePosition(int dx, int dy) {
    if (m_nUpdatePreviewCount != 0)
        drawXorPath(m_updatePreview);
    else
        m_nUpdatePreviewCount = 1;
    m_updatePreview = qPoints(payload().points, QPoint(dx, dy));
    drawXorPath(m_updatePreview);
    for (NVPoint& p : poly().points) {
        p.x += dx;
        p.y += dy;
    }
}

// ---- mouse ----

void CDrawPolyLine::mousePressEvent(QMouseEvent* event) {
    setMouseTracking(true);
    const QPoint p = MouseButtonState::position(event);
    if (!strictlyInside(p) || event->button() != Qt::LeftButton)
        return;
    if (currentlySelectedObject == POLYLINE) {
        if (!m_bEntering)
            return;
        // The toolkit delivers the second press of a double-click before the
        // double-click itself: a press on the last vertex adds none.
        if (m_entry.empty() || m_entry.back() != p)
            m_entry.push_back(p);
        m_ptRubberEnd = p;
        m_ptPress = p;
        // The holder's repaint at every release wipes the band.
        m_bRubberShown = false;
        return;
    }
    if (currentlySelectedObject != SELECTION || !select(p))
        return;
    if (m_nGrabbed < 0) {
        m_ptPress = p;
        m_bMoving = true;
        m_bDragging = false;
        m_previousPreview = qPoints(payload().points);
        m_offset = QPoint(0, 0);
    } else {
        m_bDragging = true;
        m_bMoving = false;
        m_ptDrag = p;
    }
    m_bPreviewShown = false;
}

void CDrawPolyLine::mouseMoveEvent(QMouseEvent* event) {
    setMouseTracking(true);
    const QPoint p = MouseButtonState::position(event);
    if (!strictlyInside(p))
        return;
    if (currentlySelectedObject == POLYLINE) {
        const Qt::MouseButtons held = event->buttons();
        if (!m_bEntering || m_entry.empty() || held == Qt::LeftButton || held == Qt::RightButton)
            return;
        const QPoint last = m_entry.back();
        if (m_bRubberShown)
            drawXorPath({last, m_ptRubberEnd});
        drawXorPath({last, p});
        m_bRubberShown = true;
        m_ptRubberEnd = p;
        return;
    }
    if (currentlySelectedObject != SELECTION || !MouseButtonState::isLeftOnlyDrag(event))
        return;
    if (m_bMoving)
        Move(event, payload());
    else if (m_bDragging)
        moveVertexPreview(p);
}

void CDrawPolyLine::Move(QMouseEvent* event, const sPoly& s) {
    const QPoint p = MouseButtonState::position(event);
    const bool startInside = std::all_of(m_previousPreview.begin(), m_previousPreview.end(),
                                         [this](QPoint q) { return strictlyInside(q); });
    if (startInside) {
        const QPoint saved = m_offset;
        m_offset += p - m_ptPress;
        std::vector<QPoint> preview = qPoints(s.points, m_offset);
        if (std::all_of(preview.begin(), preview.end(), [this](QPoint q) { return strictlyInside(q); })) {
            // Erase exactly what is on the window: nothing before the first preview.
            if (m_bPreviewShown)
                drawXorPath(m_previousPreview);
            drawXorPath(preview);
            m_bPreviewShown = true;
            m_previousPreview = std::move(preview);
        } else {
            m_offset = saved;
        }
    }
    m_ptPress = p;
}

void CDrawPolyLine::moveVertexPreview(QPoint pointer) {
    const std::vector<NVPoint>& points = payload().points;
    const int n = int(points.size());
    const int g = m_nGrabbed;
    if (g < 0 || g >= n)
        return;
    auto path = [&](QPoint at) {
        std::vector<QPoint> out;
        if (g > 0)
            out.push_back(QPoint(points[size_t(g - 1)].x, points[size_t(g - 1)].y));
        out.push_back(at);
        if (g + 1 < n)
            out.push_back(QPoint(points[size_t(g + 1)].x, points[size_t(g + 1)].y));
        return out;
    };
    if (m_bPreviewShown)
        drawXorPath(path(m_ptDrag));
    drawXorPath(path(pointer));
    m_bPreviewShown = true;
    m_ptDrag = pointer;
    m_offset = QPoint(0, 0);
}

void CDrawPolyLine::mouseReleaseEvent(QMouseEvent* event) {
    setMouseTracking(true);
    const QPoint p = MouseButtonState::position(event);
    // A release outside the canvas applies nothing; the next press on the
    // polyline starts afresh.
    if (!strictlyInside(p) || event->button() != Qt::LeftButton)
        return;
    if (currentlySelectedObject != SELECTION)
        return;
    if (m_bMoving) {
        for (NVPoint& q : poly().points) {
            q.x += m_offset.x();
            q.y += m_offset.y();
        }
        m_offset = QPoint(0, 0);
        m_bMoving = false;
    } else if (m_bDragging) {
        std::vector<NVPoint>& points = poly().points;
        if (m_nGrabbed >= 0 && size_t(m_nGrabbed) < points.size())
            points[size_t(m_nGrabbed)] = NVPoint{p.x(), p.y()};
        m_bDragging = false;
        m_offset = QPoint(0, 0);
    }
    m_bPreviewShown = false;
}

void CDrawPolyLine::mouseDoubleClickEvent(QMouseEvent* event) {
    setMouseTracking(true);
    const QPoint p = MouseButtonState::position(event);
    if (!strictlyInside(p) || event->button() != Qt::LeftButton)
        return;
    if (currentlySelectedObject != POLYLINE || !m_bEntering)
        return;
    // The double-click's own press already added its vertex. With fewer
    // than two vertices the polyline stays without points, and the holder
    // removes it.
    if (m_entry.size() >= 2)
        finishEntry();
}
