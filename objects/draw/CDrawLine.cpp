#include "objects/draw/CDrawLine.h"
#include "objects/draw/StoredRecordHeader.h"

#include "canvas/MouseButtonState.h"
#include "canvas/VLImageHolder.h"
#include "canvas/VelmoraView.h"
#include "canvas/records/StoredText.h"
#include "objects/draw/DrawingColors.h"
#include "objects/draw/LineGeometry.h"
#include "objects/draw/LineStyles.h"
#include "objects/draw/SelectionHandles.h"
#include "objects/draw/XColorPixel.h"
#include "properties/EditPropertyBase.h"
#include "properties/EditPropertyBox.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QScreen>

#include <X11/Xlib.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>

namespace {

Q_LOGGING_CATEGORY(lcLine, "velmora.objects.line", QtWarningMsg)

// The widths a payload from a file may ask X for.
constexpr int MAX_LINE_WIDTH = 255;

int rowNumber(const QString& text) {
    return text.trimmed().toInt();
}

std::string toNameField(const QString& name) {
    std::string s = toStoredText(name);
    if (s.size() > size_t(CDrawLine::NAME_FIELD - 1))
        s.resize(size_t(CDrawLine::NAME_FIELD - 1));
    return s;
}

QColor colorOf(const sDrawLine& l) {
    return QColor(l.red & 0xFF, l.green & 0xFF, l.blue & 0xFF);
}

// The handle square centred on an end point; a point on its edges is in.
QRect handleAround(int x, int y) {
    const int half = CDrawLine::HANDLE_SIZE / 2;
    return QRect(x - half, y - half, CDrawLine::HANDLE_SIZE + 1, CDrawLine::HANDLE_SIZE + 1);
}

void fillHead(Display* d, unsigned long drawable, GC gc, const QPolygon& head) {
    if (head.size() < 3)
        return;
    XPoint points[4];
    const int n = std::min<int>(int(head.size()), 4);
    for (int i = 0; i < n; ++i)
        points[i] = XPoint{short(head.at(i).x()), short(head.at(i).y())};
    XFillPolygon(d, drawable, gc, points, n, Complex, CoordModeOrigin);
}

} // namespace

QPoint CDrawLine::last_pt;

const QStringList& CDrawLine::arrowWords() {
    static const QStringList words{"None", "End", "Start", "Both"};
    return words;
}

// ---- construction ----

CDrawLine::CDrawLine(VLImageHolder* holder, QPaintDevice* device, int number)
    : DrawTools(nullptr, nullptr), m_pImageHolder(holder), m_pPaintDevice(device) {
    m_record.payload = sDrawLine{};
    finishConstruction();
    sDrawLine& l = line();
    takeNewName(number);
    if (m_pImageHolder && m_pImageHolder->getVelmoraView())
        if (EditPropertyBox* box = m_pImageHolder->getVelmoraView()->_get_editprop_box())
            m_nIndex = box->objectChooser->count() - 1;
    l.lineWidth = 1;
    l.lineStyle = LineStyles::SOLID;
    l.arrow = LineGeometry::ARROW_NONE;
    const QColor fore = DrawingColors::foreColor();
    l.red = fore.red();
    l.green = fore.green();
    l.blue = fore.blue();
    setStyleRows();
    setObjectID("L" + std::to_string(number));
}

CDrawLine::CDrawLine(VLImageHolder* holder, const NVAllObjects& record, int number, QPoint offset)
    : DrawTools(nullptr, nullptr), m_pImageHolder(holder) {
    const sDrawLine* stored = record.get<sDrawLine>();
    m_record = record;
    m_record.payload = stored ? *stored : sDrawLine{};
    finishConstruction();
    sDrawLine& l = line();
    l.x1 += offset.x();
    l.y1 += offset.y();
    l.x2 += offset.x();
    l.y2 += offset.y();
    takeNewName(number);
    m_nIndex = number;
    setEndRows();
    setStyleRows();
    setObjectID("L" + std::to_string(number));
}

CDrawLine::CDrawLine(VLImageHolder* holder, sDrawLine payload)
    : DrawTools(nullptr, nullptr), m_pImageHolder(holder) {
    // A name from a file may be longer than its field.
    payload.name = toNameField(fromStoredText(payload.name));
    m_record.payload = std::move(payload);
    finishConstruction();
    m_strOriginalName = fromStoredText(line().name);
    getEditPropertyBase()->setProp_Value("Name", m_strOriginalName);
    setEndRows();
    setStyleRows();
}

CDrawLine::~CDrawLine() = default;

// The steps every constructor shares.
void CDrawLine::finishConstruction() {
    // Hovering over the handles reaches the line as moves without a button,
    // which only a tracking widget is sent.
    setMouseTracking(true);
    takeHolderContext();
    addMyPropEntrys();
    // The holder keeps a finished creation drag only from an object of a kind.
    drawingObject = LINE;
    m_record.drawingObject = LINE;
    m_record.recordSize = NVAllObjects::STORED_SIZE;
}

void CDrawLine::takeNewName(int number) {
    m_strNewName = QStringLiteral("Line ") + QString::number(number);
    setName(m_strNewName);
    m_strOriginalName = m_strNewName;
    getEditPropertyBase()->setProp_Value("Name", m_strNewName);
    if (m_pImageHolder && m_pImageHolder->getVelmoraView())
        if (EditPropertyBox* box = m_pImageHolder->getVelmoraView()->_get_editprop_box())
            box->objectChooser->addItem(m_strNewName);
}

void CDrawLine::takeHolderContext() {
    if (!m_pImageHolder)
        return;
    m_pImageHolder->initGC();
    const VLImageHolder::DrawTarget target = m_pImageHolder->drawTarget();
    m_pDisplay = target.display;
    m_gcXor = target.xorGC;
    m_window = target.window;
}

unsigned long CDrawLine::bandWindow() const {
    // The holder's window as it is now: Qt may have made it anew since.
    if (m_pImageHolder && m_pImageHolder->drawTarget().window)
        return m_pImageHolder->drawTarget().window;
    return m_window;
}

void CDrawLine::drawPreview(const QLine& l) const {
    const unsigned long window = bandWindow();
    if (!m_pDisplay || !m_gcXor || !window)
        return;
    XDrawLine(m_pDisplay, window, m_gcXor, l.x1(), l.y1(), l.x2(), l.y2());
    // Not XSync(..., True): the connection carries the Expose events the
    // holder repaints from.
    XSync(m_pDisplay, False);
}

void CDrawLine::setName(const QString& name) {
    line().name = toNameField(name);
}

void CDrawLine::addMyPropEntrys() {
    EditPropertyBase* p = getEditPropertyBase();
    if (!p)
        return;
    const QString geometry = QStringLiteral("Geometry");
    const QString appearance = QStringLiteral("Appearance");
    p->addProp("Name", "", "General", 1, "Line", 0);
    p->addProp("X1", "", geometry, 13, "", 0);
    p->addProp("Y1", "", geometry, 13, "", 0);
    p->addProp("X2", "", geometry, 13, "", 0);
    p->addProp("Y2", "", geometry, 13, "", 0);
    p->addProp("Line Width", "", appearance, 13, "", 0);
    p->addProp("Line Style", "", appearance, 16, "", 0);
    p->addProp("Line Color", "", appearance, 5, "", 0);
    p->addProp("Arrow", "", appearance, 7, "", 0);
}

void CDrawLine::setEndRows() {
    EditPropertyBase* p = getEditPropertyBase();
    const sDrawLine& l = payload();
    p->setProp_Value("X1", QString::number(l.x1));
    p->setProp_Value("Y1", QString::number(l.y1));
    p->setProp_Value("X2", QString::number(l.x2));
    p->setProp_Value("Y2", QString::number(l.y2));
}

void CDrawLine::setStyleRows() {
    EditPropertyBase* p = getEditPropertyBase();
    const sDrawLine& l = payload();
    p->setProp_Value("Line Width", QString::number(l.lineWidth));
    // A code outside the lists (a damaged or foreign file) leaves its row empty.
    const int style = l.lineStyle;
    p->setProp_Value("Line Style",
                     style >= 0 && style <= LineStyles::LAST_STYLE ? LineStyles::words()[style] : QString());
    const int arrow = l.arrow;
    p->setProp_Value("Arrow", arrow < arrowWords().size() ? arrowWords()[arrow] : QString());
    p->setProp_Value("Line Color", colorOf(l).name());
}

// ---- simple operations ----

QPoint CDrawLine::startPoint() const {
    return QPoint(payload().x1, payload().y1);
}
QPoint CDrawLine::endPoint() const {
    return QPoint(payload().x2, payload().y2);
}

bool CDrawLine::select(QPoint point) {
    const QPoint d = endPoint() - startPoint();
    qCDebug(lcLine, " difference =%d", std::abs(d.y() - d.x()));
    return LineGeometry::lineHit(startPoint(), endPoint(), point);
}

void CDrawLine::select(Display* display, GC gc, unsigned long& drawable) {
    const sDrawLine& l = payload();
    PaintBorderRects(display, gc, drawable, l.x1, l.y1, l.x2, l.y2);
    m_nUpdatePreviews = 0;
}

void CDrawLine::PaintBorderRects(Display* d, GC gc, unsigned long drawable, int x1, int y1, int x2, int y2) {
    m_rcStartHandle = handleAround(x1, y1);
    m_rcEndHandle = handleAround(x2, y2);
    if (!d || !gc || !drawable)
        return;
    const int half = HANDLE_SIZE / 2;
    XSetFillStyle(d, gc, FillSolid);
    XSetForeground(d, gc, XColorPixel::pixelOf(d, 0, 0, 255));
    XFillRectangle(d, drawable, gc, x1 - half, y1 - half, HANDLE_SIZE, HANDLE_SIZE);
    XFillRectangle(d, drawable, gc, x2 - half, y2 - half, HANDLE_SIZE, HANDLE_SIZE);
    XSetForeground(d, gc, 0);
    XSetFillStyle(d, gc, FillSolid);
}

QRegion CDrawLine::getRegion() {
    return LineGeometry::lineHitRegion(startPoint(), endPoint());
}

QPolygon CDrawLine::getArrayPoints() {
    return QPolygon({startPoint(), endPoint()});
}

void CDrawLine::restorePoly(QPolygon points) {
    if (points.size() < 2)
        return;
    sDrawLine& l = line();
    l.x1 = points.at(0).x();
    l.y1 = points.at(0).y();
    l.x2 = points.at(1).x();
    l.y2 = points.at(1).y();
}

int CDrawLine::getIndex() const {
    return m_nIndex;
}
void CDrawLine::setPastingPosition() {
    m_ptPasting = startPoint();
}
QPoint CDrawLine::getPastingPosition() const {
    return m_ptPasting;
}
const char* CDrawLine::getObjectName() const {
    return payload().name.c_str();
}
void* CDrawLine::getObjectStructure() {
    return &line();
}

bool CDrawLine::getAllObjectStructure(NVAllObjects* target) {
    return copyRecordKeepingId(m_record, target);
}

void CDrawLine::changeForeColor(QColor& color) {
    sDrawLine& l = line();
    l.red = color.red();
    l.green = color.green();
    l.blue = color.blue();
    getEditPropertyBase()->setProp_Value("Line Color", color.name());
}

// ---- applying the rows ----

void CDrawLine::repaintItem() {
    EditPropertyBase* p = getEditPropertyBase();
    sDrawLine& l = line();

    const QString name = p->getPropValue("Name");
    if (name.length() <= NAME_LIMIT) {
        QString applied = name.trimmed();
        if (applied.isEmpty())
            applied = m_strOriginalName;
        setName(applied);
        p->setProp_Value("Name", applied);
    }

    const struct {
        const char* row;
        int32_t* value;
    } ends[] = {{"X1", &l.x1}, {"Y1", &l.y1}, {"X2", &l.x2}, {"Y2", &l.y2}};
    for (const auto& e : ends) {
        const QString v = p->getPropValue(e.row);
        if (!v.isEmpty())
            *e.value = rowNumber(v);
    }
    QString v = p->getPropValue("Line Width");
    if (!v.isEmpty())
        l.lineWidth = int16_t(rowNumber(v));

    // A text that names no colour leaves the colour as it is.
    v = p->getPropValue("Line Color");
    if (!v.isEmpty()) {
        const QColor c = QColor::fromString(v);
        if (c.isValid()) {
            l.red = c.red();
            l.green = c.green();
            l.blue = c.blue();
        }
    }
    if (const int code = LineStyles::codeOf(p->getPropValue("Line Style")); code >= 0)
        l.lineStyle = int8_t(code);
    if (const int code = int(arrowWords().indexOf(p->getPropValue("Arrow"))); code >= 0)
        l.arrow = uint8_t(code);

    if (m_pImageHolder) {
        m_pImageHolder->drawContents();
        m_pImageHolder->setCurrentObject(m_pImageHolder->getSelectedItem());
    }
}

// ---- drawing ----

void CDrawLine::draw(Display* display, GC gc, unsigned long& drawable) {
    paint(display, gc, drawable, payload());
}

void CDrawLine::paint(Display* d, GC gc, unsigned long drawable, const sDrawLine& l) {
    if (!d || !gc || !drawable)
        return;
    // Codes outside the list draw solid; widths beyond reason are capped.
    const int style = l.lineStyle >= 0 && l.lineStyle <= LineStyles::LAST_STYLE ? l.lineStyle : 0;
    const int width = std::clamp<int>(l.lineWidth, 0, MAX_LINE_WIDTH);
    const QByteArray dashes = LineStyles::dashList(style);
    const LineGeometry::ArrowedLine shape =
        LineGeometry::arrowedLine(QPoint(l.x1, l.y1), QPoint(l.x2, l.y2), width, l.arrow);

    // Every value the line and its heads depend on, caps and joins included:
    // another object may have left any of them.
    XGCValues v{};
    v.foreground = XColorPixel::pixelOf(d, l.red & 0xFF, l.green & 0xFF, l.blue & 0xFF);
    v.line_width = width;
    v.line_style = dashes.isEmpty() ? LineSolid : LineOnOffDash;
    v.cap_style = CapButt;
    v.join_style = JoinMiter;
    v.fill_style = FillSolid;
    XChangeGC(d, gc, GCForeground | GCLineWidth | GCLineStyle | GCCapStyle | GCJoinStyle | GCFillStyle, &v);
    if (!dashes.isEmpty())
        XSetDashes(d, gc, 0, dashes.constData(), int(dashes.size()));

    if (style != LineStyles::NONE)
        XDrawLine(d, drawable, gc, shape.shaftStart.x(), shape.shaftStart.y(), shape.shaftEnd.x(),
                  shape.shaftEnd.y());
    fillHead(d, drawable, gc, shape.startHead);
    fillHead(d, drawable, gc, shape.endHead);

    XGCValues neutral{};
    neutral.foreground = 0;
    neutral.line_width = 0;
    neutral.line_style = LineSolid;
    neutral.cap_style = CapButt;
    neutral.join_style = JoinMiter;
    neutral.fill_style = FillSolid;
    XChangeGC(d, gc, GCForeground | GCLineWidth | GCLineStyle | GCCapStyle | GCJoinStyle | GCFillStyle,
              &neutral);
}

void CDrawLine::updatePosition(int dx, int dy) {
    if (m_nUpdatePreviews > 0)
        drawPreview(m_lnUpdatePreview); // erases it
    else
        ++m_nUpdatePreviews;
    sDrawLine& l = line();
    m_lnUpdatePreview = QLine(l.x1 + dx, l.y1 + dy, l.x2 + dx, l.y2 + dy);
    drawPreview(m_lnUpdatePreview);
    l.x1 += dx;
    l.y1 += dy;
    l.x2 += dx;
    l.y2 += dy;
}

// ---- mouse ----

bool CDrawLine::editingDisabled() const {
    return m_pImageHolder && m_pImageHolder->checkFrameStatus();
}

QSize CDrawLine::screenSize() const {
    return SelectionHandles::screenSizeOf(m_pDisplay);
}

void CDrawLine::mousePressEvent(QMouseEvent* event) {
    if (editingDisabled())
        return;
    const QPoint p = MouseButtonState::position(event);
    if (currentlySelectedObject != SELECTION) {
        m_bFirstDrawPreview = true;
        sDrawLine& l = line();
        l.x1 = l.x2 = p.x();
        l.y1 = l.y2 = p.y();
        last_pt = p;
        m_ptNewStart = p;
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    m_ptPress = p;
    m_bGrabbed = select(p);
    if (m_bGrabbed)
        m_bFirstMovePreview = true;
}

void CDrawLine::mouseMoveEvent(QMouseEvent* event) {
    if (editingDisabled())
        return;
    const bool leftOnly = MouseButtonState::isLeftOnlyDrag(event);
    if (currentlySelectedObject == LINE) {
        if (!leftOnly)
            return;
        const QPoint p = MouseButtonState::position(event);
        if (m_bFirstDrawPreview)
            m_bFirstDrawPreview = false;
        else
            drawPreview(m_lnDrawPreview);
        m_lnDrawPreview = QLine(m_ptNewStart, p);
        drawPreview(m_lnDrawPreview);
        last_pt = p;
        return;
    }
    if (currentlySelectedObject != SELECTION)
        return;
    if (leftOnly)
        dragForSelector(event);
    else
        hoverForSelector(event);
}

void CDrawLine::hoverForSelector(QMouseEvent* event) {
    const bool rightOnly = event->buttons() == Qt::RightButton && event->modifiers() == Qt::NoModifier;
    if (rightOnly)
        return;
    const QPoint p = MouseButtonState::position(event);
    m_bStartArmed = m_rcStartHandle.contains(p);
    m_bEndArmed = m_rcEndHandle.contains(p);
    if (!m_pImageHolder)
        return;
    m_pImageHolder->setCursor(Qt::ArrowCursor);
    if ((m_bStartArmed || m_bEndArmed) && m_pImageHolder->checkObjectSelection()) {
        m_pImageHolder->setCursor(Qt::SizeVerCursor);
        m_bFirstHandlePreview = true;
    }
}

void CDrawLine::dragForSelector(QMouseEvent* event) {
    if (!m_pImageHolder)
        return;
    const QPoint p = MouseButtonState::position(event);
    const auto shape = m_pImageHolder->cursor().shape();
    if (shape == Qt::SizeVerCursor && (m_bStartArmed || m_bEndArmed)) {
        // The other end stays; dragged end points are not bounded.
        QPoint& previous = m_bStartArmed ? m_ptStartHandlePrevious : m_ptEndHandlePrevious;
        if (m_bFirstHandlePreview) {
            m_bFirstHandlePreview = false;
            m_ptFixed = m_bStartArmed ? endPoint() : startPoint();
        } else {
            drawPreview(QLine(m_ptFixed, previous));
        }
        drawPreview(QLine(m_ptFixed, p));
        previous = p;
        last_pt = p;
        m_nUpdatePreviews = 0;
        return;
    }
    if (shape != Qt::ArrowCursor)
        return;
    const QPoint offset = m_ptPress - p;
    const QPoint start = startPoint() - offset;
    const QPoint end = endPoint() - offset;
    const QSize screen = screenSize();
    auto onScreen = [&screen](QPoint q) {
        return q.x() >= 0 && q.x() <= screen.width() && q.y() >= 0 && q.y() <= screen.height();
    };
    // A move that would leave the screen leaves the preview where it was.
    if (!m_bGrabbed || !onScreen(start) || !onScreen(end))
        return;
    if (m_bFirstMovePreview)
        m_bFirstMovePreview = false;
    else
        drawPreview(m_lnMovePreview);
    m_lnMovePreview = QLine(start, end);
    drawPreview(m_lnMovePreview);
    m_ptLastPreviewStart = start;
    last_pt = end;
    m_bMoved = true;
    m_nUpdatePreviews = 0;
}

void CDrawLine::mouseReleaseEvent(QMouseEvent* event) {
    if (editingDisabled())
        return;
    const bool leftOnly = MouseButtonState::isLeftOnlyRelease(event);
    if (currentlySelectedObject == LINE) {
        if (leftOnly && last_pt != m_ptNewStart) {
            sDrawLine& l = line();
            l.x2 = last_pt.x();
            l.y2 = last_pt.y();
            qCDebug(lcLine, "st %d %d ep %d %d", l.x1, l.y1, l.x2, l.y2);
        }
    } else if (currentlySelectedObject == SELECTION && leftOnly) {
        releaseForSelector(event);
    }
    setEndRows();
}

void CDrawLine::releaseForSelector(QMouseEvent*) {
    if (!m_pImageHolder)
        return;
    const auto shape = m_pImageHolder->cursor().shape();
    sDrawLine& l = line();
    if (shape == Qt::SizeVerCursor && (m_bStartArmed || m_bEndArmed)) {
        const bool start = m_bStartArmed;
        (start ? m_bStartArmed : m_bEndArmed) = false;
        m_pImageHolder->setCursor(Qt::ArrowCursor);
        // A press and release without a drag move leaves the line as it was.
        if (!m_bFirstHandlePreview) {
            (start ? l.x1 : l.x2) = last_pt.x();
            (start ? l.y1 : l.y2) = last_pt.y();
        }
    } else if (shape == Qt::ArrowCursor && m_bMoved) {
        m_bMoved = false;
        l.x1 = m_ptLastPreviewStart.x();
        l.y1 = m_ptLastPreviewStart.y();
        l.x2 = last_pt.x();
        l.y2 = last_pt.y();
    }
}
