#include "objects/draw/DrawRect.h"
#include "objects/draw/StoredRecordHeader.h"

#include "canvas/MouseButtonState.h"
#include "canvas/VLImageHolder.h"
#include "canvas/VelmoraView.h"
#include "canvas/records/StoredText.h"
#include "objects/draw/DrawingColors.h"
#include "objects/draw/LineStyles.h"
#include "objects/draw/XColorPixel.h"
#include "properties/EditPropertyBase.h"
#include "properties/EditPropertyBox.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

// Fill tiles in X bitmap order: one byte a row, bit 0 the leftmost pixel; a
// set bit takes the border colour, a clear bit the fill colour.
const unsigned char vertical_bits[] = {0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88};
const unsigned char horizontal_bits[] = {0xff, 0x00, 0x00, 0x00};
const unsigned char crosshatch_bits[] = {0xff, 0x88, 0x88, 0x88};
const unsigned char left30_bits[] = {0x03, 0x0c, 0x30, 0xc0};
const unsigned char right30_bits[] = {0xc0, 0x30, 0x0c, 0x03};
const unsigned char crosshatch45_bits[] = {0x11, 0x0a, 0x04, 0x0a, 0x11, 0xa0, 0x40, 0xa0};

constexpr int LAST_PATTERN = 6;
// The border widths a payload from a file may ask X for.
constexpr int MAX_BORDER_WIDTH = 255;

// A row's value as a number: text that is not a number reads as 0.
int rowNumber(const QString& text) {
    return text.trimmed().toInt();
}

std::string toNameField(const QString& name) {
    std::string s = toStoredText(name);
    if (s.size() > size_t(DrawRect::NAME_FIELD - 1))
        s.resize(size_t(DrawRect::NAME_FIELD - 1));
    return s;
}

QColor borderColorOf(const sDrawRect& s) {
    return QColor(s.borderRed & 0xFF, s.borderGreen & 0xFF, s.borderBlue & 0xFF);
}
QColor fillColorOf(const sDrawRect& s) {
    return QColor(s.fillRed & 0xFF, s.fillGreen & 0xFF, s.fillBlue & 0xFF);
}

} // namespace

int DrawRect::x_point = 0;
int DrawRect::y_point = 0;
int DrawRect::r_width = 0;
int DrawRect::r_height = 0;

// ---- words and tiles ----

const QStringList& DrawRect::fillPatternWords() {
    static const QStringList words{"Solid",          "Left Diagonal", "Cross",   "Diagonal Cross",
                                   "Right Diagonal", "Horizontal",    "Vertical"};
    return words;
}

const QStringList& DrawRect::fillModeWords() {
    static const QStringList words{"Opaque", "Transparent"};
    return words;
}

DrawRect::Tile DrawRect::fillTile(int pattern) {
    switch (pattern) {
    case 1:
        return {4, left30_bits};
    case 2:
        return {4, crosshatch_bits};
    case 3:
        return {8, crosshatch45_bits};
    case 4:
        return {4, right30_bits};
    case 5:
        return {4, horizontal_bits};
    case 6:
        return {8, vertical_bits};
    default:
        return {};
    }
}

int32_t DrawRect::kindOfShape(int32_t shape) {
    switch (shape) {
    case SHAPE_ROUNDRECT:
        return ROUNDRECT;
    case SHAPE_ELLIPSE:
        return ELLIPSE;
    default:
        return RECTANGLE;
    }
}

int32_t DrawRect::shapeOfKind(int32_t kind) {
    switch (kind) {
    case RECTANGLE:
        return SHAPE_RECTANGLE;
    case ROUNDRECT:
        return SHAPE_ROUNDRECT;
    case ELLIPSE:
        return SHAPE_ELLIPSE;
    default:
        return 0;
    }
}

QString DrawRect::kindWord(int32_t shape) {
    switch (shape) {
    case SHAPE_ROUNDRECT:
        return QStringLiteral("Round Rectangle");
    case SHAPE_ELLIPSE:
        return QStringLiteral("Ellipse");
    default:
        return QStringLiteral("Rectangle");
    }
}

void DrawRect::makeRect(QPoint a, QPoint b, QRect& r) {
    BoxDrag::makeRect(a, b, r);
}

// ---- construction ----

DrawRect::DrawRect() : DrawTools(nullptr, nullptr) {
    m_record.payload = sDrawRect{};
}

DrawRect::DrawRect(VLImageHolder* holder, QPaintDevice* device, int shape, int number)
    : DrawTools(nullptr, nullptr), m_pPaintDevice(device), m_pImageHolder(holder) {
    m_record = NVAllObjects{};
    m_record.payload = sDrawRect{};
    sDrawRect& s = rect();
    s.borderWidth = 0;
    setMouseTracking(true);
    s.shape = shape;
    addMyPropEntrys();
    takeHolderContext();
    m_drag.restartToolBand();

    m_strNewName = kindWord(shape) + QLatin1Char(' ') + QString::number(number);
    setName(m_strNewName);
    getEditPropertyBase()->setProp_Value("Name", m_strNewName);
    appendToChooser(m_strNewName);
    m_strOriginalName = m_strNewName;
    s.cornerRadius = shape == SHAPE_ROUNDRECT ? NEW_CORNER_RADIUS : 0;
    if (m_pImageHolder)
        if (EditPropertyBox* box = m_pImageHolder->getVelmoraView()
                                       ? m_pImageHolder->getVelmoraView()->_get_editprop_box()
                                       : nullptr)
            m_nIndex = box->objectChooser->count() - 1;

    s.borderWidth = NEW_BORDER_WIDTH;
    s.borderStyle = 0;
    s.fillPattern = 0;
    s.fillMode = 0;
    setStyleRows();

    const QColor fore = DrawingColors::foreColor();
    const QColor back = DrawingColors::backColor();
    s.borderRed = fore.red();
    s.borderGreen = fore.green();
    s.borderBlue = fore.blue();
    s.fillRed = back.red();
    s.fillGreen = back.green();
    s.fillBlue = back.blue();
    setColorRows();
    setKindByShape();
}

DrawRect::DrawRect(VLImageHolder* holder, NVAllObjects record, int number, QPoint offset)
    : DrawTools(nullptr, nullptr), m_pImageHolder(holder) {
    m_record = NVAllObjects{};
    const sDrawRect* stored = record.get<sDrawRect>();
    m_record.payload = stored ? *stored : sDrawRect{};
    placeAsNew(QPoint(rect().left + offset.x(), rect().top + offset.y()), number);
}

DrawRect::DrawRect(VLImageHolder* holder, sDrawRect payload)
    : DrawTools(nullptr, nullptr), m_pImageHolder(holder) {
    m_record = NVAllObjects{};
    setMouseTracking(true);
    // A name from a file may be longer than its field.
    payload.name = toNameField(fromStoredText(payload.name));
    m_record.payload = std::move(payload);
    addMyPropEntrys();
    EditPropertyBase* props = getEditPropertyBase();
    props->setProp_Value("Name", fromStoredText(rect().name));
    setGeometryRows();
    takeHolderContext();
    m_drag.restartToolBand();
    setStyleRows();
    setColorRows();
    setKindByShape();
    m_strOriginalName = kindWord(rect().shape);
}

DrawRect::DrawRect(VLImageHolder* holder, DrawRect& source, int number, QPoint position)
    : DrawTools(nullptr, nullptr), m_pPaintDevice(source.m_pPaintDevice), m_pImageHolder(holder) {
    m_record = NVAllObjects{};
    m_record.payload = source.payload();
    placeAsNew(position, number);
    drawingObject = source.drawingObject;
}

// A pasted or copied shape: same size at `topLeft`, a new name and its rows.
void DrawRect::placeAsNew(QPoint topLeft, int number) {
    sDrawRect& s = rect();
    const int w = std::abs(s.right - s.left);
    const int h = std::abs(s.bottom - s.top);
    s.left = topLeft.x();
    s.top = topLeft.y();
    s.right = s.left + w;
    s.bottom = s.top + h;
    takeHolderContext();
    m_drag.restartToolBand();
    addMyPropEntrys();

    m_strNewName = kindWord(s.shape) + QLatin1Char(' ') + QString::number(number);
    setName(m_strNewName);
    getEditPropertyBase()->setProp_Value("Name", m_strNewName);
    appendToChooser(m_strNewName);
    m_strOriginalName = m_strNewName;
    m_nIndex = number;

    setGeometryRows();
    setStyleRows();
    setColorRows();
    setKindByShape();
}

DrawRect::~DrawRect() = default;

void DrawRect::takeHolderContext() {
    if (!m_pImageHolder)
        return;
    m_pImageHolder->initGC();
    const VLImageHolder::DrawTarget target = m_pImageHolder->drawTarget();
    m_pDisplay = target.display;
    m_gcXor = target.xorGC;
    m_window = target.window;
}

unsigned long DrawRect::bandWindow() const {
    // The holder's window as it is now: Qt may have made it anew since.
    if (m_pImageHolder && m_pImageHolder->drawTarget().window)
        return m_pImageHolder->drawTarget().window;
    return m_window;
}

void DrawRect::setName(const QString& name) {
    rect().name = toNameField(name);
}

void DrawRect::appendToChooser(const QString& name) {
    if (!m_pImageHolder || !m_pImageHolder->getVelmoraView())
        return;
    if (EditPropertyBox* box = m_pImageHolder->getVelmoraView()->_get_editprop_box())
        box->objectChooser->addItem(name);
}

void DrawRect::setKindByShape() {
    drawingObject = kindOfShape(rect().shape);
    m_record.drawingObject = drawingObject;
    m_record.recordSize = NVAllObjects::STORED_SIZE;
}

void DrawRect::addMyPropEntrys() {
    EditPropertyBase* p = getEditPropertyBase();
    if (!p)
        return;
    const QString general = QStringLiteral("General");
    const QString geometry = QStringLiteral("Geometry");
    const QString appearance = QStringLiteral("Appearance");
    p->addProp("Name", "", general, 1, kindWord(rect().shape), 0);
    p->addProp("Left", "", geometry, 27, "", 0);
    p->addProp("Top", "", geometry, 28, "", 0);
    p->addProp("Width", "", geometry, 29, "", 0);
    p->addProp("Height", "", geometry, 30, "", 0);
    p->addProp("Border Style", "", appearance, 16, "", 0);
    p->addProp("Border Width", "", appearance, 13, "", 0);
    p->addProp("Border Color", "", appearance, 5, "", 0);
    p->addProp("Fill Color", "", appearance, 5, "", 0);
    p->addProp("Fill Pattern", "", appearance, 17, "", 0);
    p->addProp("Fill Mode", "", appearance, 18, "", 0);
}

void DrawRect::setGeometryRows() {
    EditPropertyBase* p = getEditPropertyBase();
    const sDrawRect& s = payload();
    p->setProp_Value("Left", QString::number(s.left));
    p->setProp_Value("Top", QString::number(s.top));
    p->setProp_Value("Width", QString::number(std::abs(s.right - s.left)));
    p->setProp_Value("Height", QString::number(std::abs(s.bottom - s.top)));
}

void DrawRect::setStyleRows() {
    EditPropertyBase* p = getEditPropertyBase();
    const sDrawRect& s = payload();
    p->setProp_Value("Border Width", QString::number(s.borderWidth));
    // A code outside the lists (a damaged or foreign file) leaves its row empty.
    const int style = s.borderStyle;
    p->setProp_Value("Border Style",
                     style >= 0 && style <= LineStyles::LAST_STYLE ? LineStyles::words()[style] : QString());
    const int pattern = s.fillPattern;
    p->setProp_Value("Fill Pattern", pattern <= LAST_PATTERN ? fillPatternWords()[pattern] : QString());
    const int mode = s.fillMode;
    p->setProp_Value("Fill Mode", mode <= 1 ? fillModeWords()[mode] : QString());
}

void DrawRect::setColorRows() {
    EditPropertyBase* p = getEditPropertyBase();
    p->setProp_Value("Border Color", borderColorOf(payload()).name());
    p->setProp_Value("Fill Color", fillColorOf(payload()).name());
}

void DrawRect::emitGeometry() {
    const sDrawRect& s = payload();
    emit signalSetLeft(s.left);
    emit signalSetWidth(std::abs(s.right - s.left));
    emit signalSetTop(s.top);
    emit signalSetHeight(std::abs(s.bottom - s.top));
}

// ---- simple operations ----

QRect DrawRect::area() const {
    // Edges in either order (a stored record may hold them reversed); right
    // and bottom lie outside.
    const sDrawRect& s = payload();
    return QRect(std::min(s.left, s.right), std::min(s.top, s.bottom), std::abs(s.right - s.left),
                 std::abs(s.bottom - s.top));
}

bool DrawRect::select(QPoint p) {
    return area().contains(p);
}

void DrawRect::select() {}

void DrawRect::select(Display* display, GC gc, unsigned long& drawable) {
    const sDrawRect& s = payload();
    SelectionHandles::EditItemsPaintRects(display, gc, drawable, s.left, s.top, s.right - s.left,
                                          s.bottom - s.top);
    m_nOutlineCount = 0;
}

QRegion DrawRect::getRegion() {
    return QRegion(area());
}

bool DrawRect::keepWithinVLI() {
    const sDrawRect& s = payload();
    return s.right != s.left && s.bottom != s.top;
}

int DrawRect::getIndex() const {
    return m_nIndex;
}
void DrawRect::setPastingPosition() {
    m_ptPasting = QPoint(payload().left, payload().top);
}
QPoint DrawRect::getPastingPosition() const {
    return m_ptPasting;
}
const char* DrawRect::getObjectName() const {
    return payload().name.c_str();
}
void* DrawRect::getObjectStructure() {
    return &rect();
}

void DrawRect::restoreGeometry(QRect r) {
    // Right and bottom are edges, not QRect's last pixel: a rectangle taken
    // from getRegion() comes back the same size.
    sDrawRect& s = rect();
    s.left = r.x();
    s.top = r.y();
    s.right = r.x() + r.width();
    s.bottom = r.y() + r.height();
}

bool DrawRect::getAllObjectStructure(NVAllObjects* target) {
    return copyRecordKeepingId(m_record, target);
}

void DrawRect::setGeometryEntrys(int* x, int* y, int* width, int* height) {
    const sDrawRect& s = payload();
    if (x)
        *x = s.left;
    if (y)
        *y = s.top;
    if (width)
        *width = std::abs(s.right - s.left);
    if (height)
        *height = std::abs(s.bottom - s.top);
}

void DrawRect::changeForeColor(QColor& color) {
    sDrawRect& s = rect();
    s.borderRed = color.red();
    s.borderGreen = color.green();
    s.borderBlue = color.blue();
    getEditPropertyBase()->setProp_Value("Border Color", color.name());
}

void DrawRect::changeBackColor(QColor& color) {
    sDrawRect& s = rect();
    s.fillRed = color.red();
    s.fillGreen = color.green();
    s.fillBlue = color.blue();
    getEditPropertyBase()->setProp_Value("Fill Color", color.name());
}

QString DrawRect::Prop2Str(const QString& name) {
    EditPropertyEntry* e = getEditPropertyBase()->getProp(name);
    return e ? e->value : QString();
}

// ---- applying the rows ----

void DrawRect::repaintItem() {
    EditPropertyBase* p = getEditPropertyBase();
    sDrawRect& s = rect();

    const QString name = Prop2Str("Name");
    if (name.length() <= NAME_LIMIT) {
        QString applied = name.trimmed();
        if (applied.isEmpty())
            applied = m_strOriginalName;
        setName(applied);
        p->setProp_Value("Name", applied);
    }

    QString v = Prop2Str("Left");
    if (!v.isEmpty()) {
        const int w = std::abs(s.right - s.left);
        s.left = rowNumber(v);
        s.right = s.left + w;
    }
    v = Prop2Str("Top");
    if (!v.isEmpty()) {
        const int h = std::abs(s.bottom - s.top);
        s.top = rowNumber(v);
        s.bottom = s.top + h;
    }
    v = Prop2Str("Width");
    if (!v.isEmpty()) {
        const int n = rowNumber(v);
        if (n >= MIN_ROW_SIZE)
            s.right = s.left + n;
        else
            p->setProp_Value("Width", QString::number(std::abs(s.right - s.left)));
    }
    v = Prop2Str("Height");
    if (!v.isEmpty()) {
        const int n = rowNumber(v);
        if (n >= MIN_ROW_SIZE)
            s.bottom = s.top + n;
        else
            p->setProp_Value("Height", QString::number(std::abs(s.bottom - s.top)));
    }

    // A text that names no colour leaves the colour as it is.
    v = Prop2Str("Fill Color");
    if (!v.isEmpty()) {
        const QColor c = QColor::fromString(v);
        if (c.isValid()) {
            s.fillRed = c.red();
            s.fillGreen = c.green();
            s.fillBlue = c.blue();
        }
    }
    v = Prop2Str("Border Color");
    if (!v.isEmpty()) {
        const QColor c = QColor::fromString(v);
        if (c.isValid()) {
            s.borderRed = c.red();
            s.borderGreen = c.green();
            s.borderBlue = c.blue();
        }
    }

    v = Prop2Str("Border Width");
    if (!v.isEmpty())
        s.borderWidth = rowNumber(v);

    v = Prop2Str("Border Style");
    if (!v.isEmpty()) {
        const int code = LineStyles::codeOf(v);
        if (code >= 0)
            s.borderStyle = int8_t(code);
    }
    v = Prop2Str("Fill Mode");
    if (v == "Transparent")
        s.fillMode = 1;
    else if (v == "Opaque")
        s.fillMode = 0;
    v = Prop2Str("Fill Pattern");
    if (!v.isEmpty()) {
        const int code = int(fillPatternWords().indexOf(v));
        if (code == 0) {
            if (s.fillMode != 1)
                s.fillPattern = 0;
        } else if (code > 0) {
            s.fillPattern = uint8_t(code);
        }
    }

    emitGeometry();
    if (m_pImageHolder) {
        m_pImageHolder->drawContents();
        m_pImageHolder->setCurrentObject(m_pImageHolder->getSelectedItem());
    }
}

// ---- drawing ----

void DrawRect::draw(Display* display, GC gc, unsigned long& drawable) {
    paint(display, gc, drawable, payload());
}

void DrawRect::paint(Display* d, GC gc, unsigned long drawable, const sDrawRect& s) {
    if (!d || !gc || !drawable)
        return;
    XSetLineAttributes(d, gc, 1, LineSolid, CapButt, JoinMiter);
    const unsigned long fillPixel = XColorPixel::pixelOf(d, s.fillRed, s.fillGreen, s.fillBlue);
    const unsigned long borderPixel = XColorPixel::pixelOf(d, s.borderRed, s.borderGreen, s.borderBlue);

    // A stored record may hold its edges in either order; X takes sizes unsigned.
    const int left = std::min(s.left, s.right), right = std::max(s.left, s.right);
    const int top = std::min(s.top, s.bottom), bottom = std::max(s.top, s.bottom);
    const int w = right - left, h = bottom - top;
    // Codes outside the lists draw solid; widths beyond reason are capped.
    const int style = s.borderStyle >= 0 && s.borderStyle <= LineStyles::LAST_STYLE ? s.borderStyle : 0;
    const int pattern = s.fillPattern <= LAST_PATTERN ? s.fillPattern : 0;
    const int borderWidth = std::clamp(s.borderWidth, 0, MAX_BORDER_WIDTH);
    const QByteArray dashes = LineStyles::dashList(style);

    Pixmap tile = 0;
    if (const Tile t = fillTile(pattern); t.bits) {
        Window root = 0;
        int gx = 0, gy = 0;
        unsigned gw = 0, gh = 0, gb = 0, depth = 0;
        if (XGetGeometry(d, drawable, &root, &gx, &gy, &gw, &gh, &gb, &depth))
            tile = XCreatePixmapFromBitmapData(d, drawable,
                                               reinterpret_cast<char*>(const_cast<unsigned char*>(t.bits)), 8,
                                               unsigned(t.height), borderPixel, fillPixel, depth);
    }

    auto applyFill = [&] {
        XSetForeground(d, gc, fillPixel);
        if (tile) {
            XSetTile(d, gc, tile);
            XSetFillStyle(d, gc, FillTiled);
        } else {
            XSetFillStyle(d, gc, FillSolid);
        }
    };
    auto applyBorder = [&] {
        XSetFillStyle(d, gc, FillSolid);
        XGCValues v{};
        v.foreground = borderPixel;
        v.line_width = borderWidth;
        v.line_style = dashes.isEmpty() ? LineSolid : LineOnOffDash;
        v.cap_style = CapButt;
        v.join_style = JoinMiter;
        XChangeGC(d, gc, GCForeground | GCLineWidth | GCLineStyle | GCCapStyle | GCJoinStyle, &v);
        if (!dashes.isEmpty())
            XSetDashes(d, gc, 0, dashes.constData(), int(dashes.size()));
    };
    const bool opaque = s.fillMode == 0;
    const bool outlined = style != LineStyles::NONE;

    switch (s.shape) {
    case SHAPE_RECTANGLE:
        applyFill();
        if (opaque)
            XFillRectangle(d, drawable, gc, left, top, unsigned(w), unsigned(h));
        applyBorder();
        if (borderWidth != 0 && outlined)
            XDrawRectangle(d, drawable, gc, left, top, unsigned(w), unsigned(h));
        break;
    case SHAPE_ROUNDRECT: {
        const int dia = 2 * std::max<int>(s.cornerRadius, 0);
        const int r = dia / 2;
        const unsigned ud = unsigned(dia);
        applyFill();
        if (opaque) {
            XFillArc(d, drawable, gc, left, top, ud, ud, 90 * 64, 90 * 64);
            XFillArc(d, drawable, gc, left, bottom - dia, ud, ud, 180 * 64, 90 * 64);
            XFillArc(d, drawable, gc, right - dia, bottom - dia, ud, ud, 270 * 64, 90 * 64);
            XFillArc(d, drawable, gc, right - dia, top, ud, ud, 0, 90 * 64);
            if (h - dia > 0)
                XFillRectangle(d, drawable, gc, left, top + r, unsigned(r), unsigned(h - dia + 1));
            if (w - dia > 0)
                XFillRectangle(d, drawable, gc, left + r, top, unsigned(w - dia + 1), unsigned(h + 1));
            if (h - dia > 0)
                XFillRectangle(d, drawable, gc, right - r, top + r, unsigned(r), unsigned(h - dia + 1));
        }
        applyBorder();
        if (borderWidth != 0 && outlined) {
            XDrawArc(d, drawable, gc, left, top, ud, ud, 90 * 64, 90 * 64);
            XDrawLine(d, drawable, gc, left, top + r, left, bottom - r + 1);
            XDrawArc(d, drawable, gc, left, bottom - dia, ud, ud, 180 * 64, 90 * 64);
            XDrawLine(d, drawable, gc, left + r, bottom, right - r + 1, bottom);
            XDrawArc(d, drawable, gc, right - dia, bottom - dia, ud, ud, 270 * 64, 90 * 64);
            XDrawLine(d, drawable, gc, right, bottom - r, right, top + r - 1);
            XDrawArc(d, drawable, gc, right - dia, top, ud, ud, 0, 90 * 64);
            XDrawLine(d, drawable, gc, right - r, top, left + r - 1, top);
        }
        break;
    }
    case SHAPE_ELLIPSE:
        applyFill();
        if (opaque)
            XFillArc(d, drawable, gc, left, top, unsigned(w), unsigned(h), 0, 360 * 64);
        applyBorder();
        // The ellipse has no width test: width 0 is X's thin line.
        if (outlined)
            XDrawArc(d, drawable, gc, left, top, unsigned(w), unsigned(h), 0, 360 * 64);
        break;
    default:
        break;
    }

    if (tile)
        XFreePixmap(d, tile);
    XGCValues v{};
    v.foreground = 0;
    v.background = 1;
    v.line_width = 0;
    v.line_style = LineSolid;
    v.cap_style = CapButt;
    v.join_style = JoinMiter;
    v.fill_style = FillSolid;
    XChangeGC(
        d, gc,
        GCForeground | GCBackground | GCLineWidth | GCLineStyle | GCCapStyle | GCJoinStyle | GCFillStyle, &v);
}

void DrawRect::updatePosition(int dx, int dy) {
    sDrawRect& s = rect();
    if (m_nOutlineCount == 0) {
        ++m_nOutlineCount;
    } else {
        SelectionHandles::drawXorBand(m_pDisplay, m_gcXor, bandWindow(),
                                      {m_rcOutline[0], m_rcOutline[1], m_rcOutline[2], m_rcOutline[3]});
    }
    const SelectionHandles::Box outline{s.left + dx, s.top + dy, std::abs(s.right - s.left),
                                        std::abs(s.bottom - s.top)};
    SelectionHandles::drawXorBand(m_pDisplay, m_gcXor, bandWindow(), outline);
    m_rcOutline = {outline.x, outline.y, outline.w, outline.h};
    s.left += dx;
    s.right += dx;
    s.top += dy;
    s.bottom += dy;
}

// ---- mouse ----

bool DrawRect::editingDisabled() const {
    return m_pImageHolder && m_pImageHolder->checkFrameStatus();
}

QSize DrawRect::screenSize() const {
    return SelectionHandles::screenSizeOf(m_pDisplay);
}

BoxDrag::Edges DrawRect::edges() {
    sDrawRect& s = rect();
    return {s.left, s.top, s.right, s.bottom};
}

BoxDrag::Surface DrawRect::bandSurface() const {
    return {m_pDisplay, m_gcXor, bandWindow()};
}

void DrawRect::mousePressEvent(QMouseEvent* event) {
    if (editingDisabled())
        return;
    m_drag.press(event, edges(), currentlySelectedObject != SELECTION, m_pImageHolder, getRegion());
    emitGeometry();
}

void DrawRect::mouseMoveEvent(QMouseEvent* event) {
    if (editingDisabled())
        return;
    m_nOutlineCount = 0;
    if (currentlySelectedObject != SELECTION)
        m_drag.drawStep(event, edges(), bandSurface(), {x_point, y_point, r_width, r_height});
    else
        m_drag.selectStep(event, edges(), bandSurface(), m_pImageHolder, screenSize(), true);
}

void DrawRect::mouseReleaseEvent(QMouseEvent* event) {
    if (editingDisabled())
        return;
    m_drag.release(event, edges(), currentlySelectedObject != SELECTION, m_pImageHolder);
    setGeometryRows();
    emitGeometry();
}
