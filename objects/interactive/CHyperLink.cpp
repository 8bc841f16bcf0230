#include "objects/interactive/CHyperLink.h"

#include "canvas/HolderObjectFactory.h"
#include "canvas/MouseButtonState.h"
#include "canvas/VLImageHolder.h"
#include "canvas/VelmoraView.h"
#include "canvas/records/StoredText.h"
#include "media/MediaLibraryInterface.h"
#include "objects/draw/StoredRecordHeader.h"
#include "objects/draw/XColorPixel.h"
#include "objects/interactive/CHyperLinkRecord.h"
#include "objects/interactive/InteractiveHost.h"
#include "properties/EditPropertyBase.h"
#include "properties/EditPropertyBox.h"
#include "properties/PropertyEditorType.h"
#include "properties/PropertyLviBase.h"

#include <QComboBox>
#include <QFileInfo>
#include <QMouseEvent>

#include <X11/Xlib.h>
#include <X11/Xlibint.h> // XESetCloseDisplay
#include <X11/Xutil.h>
#undef min
#undef max

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>
#include <utility>

namespace {

constexpr uint8_t ARROW_POINTER = 1;
const NVColor NEW_BACK_COLOR{199, 195, 199};

int rowNumber(const QString& text) {
    return text.trimmed().toInt();
}

std::string toField(const QString& text, int field) {
    std::string s = toStoredText(text);
    if (s.size() > size_t(field - 1))
        s.resize(size_t(field - 1));
    return s;
}

QColor colorOf(const NVColor& c) {
    return QColor(c.red & 0xFF, c.green & 0xFF, c.blue & 0xFF);
}

std::vector<sHyperLinkEvent> sixNewEvents() {
    std::vector<sHyperLinkEvent> events(size_t(CHyperLink::EVENT_COUNT));
    for (sHyperLinkEvent& e : events)
        e.mousePointer = ARROW_POINTER;
    return events;
}

// Loaded X fonts by display and pattern: loading one at every draw is slow
// and leaks server fonts. A display's entries go when it closes, so that a
// later connection at the same address does not find them.
std::mutex fontLock;
std::map<std::pair<Display*, QByteArray>, XFontStruct*>& fontCache() {
    static std::map<std::pair<Display*, QByteArray>, XFontStruct*> fonts;
    return fonts;
}

int forgetDisplayFonts(Display* d, XExtCodes*) {
    const std::lock_guard<std::mutex> guard(fontLock);
    auto& fonts = fontCache();
    for (auto it = fonts.begin(); it != fonts.end();) {
        if (it->first.first == d) {
            if (it->second)
                XFreeFontInfo(nullptr, it->second, 1);
            it = fonts.erase(it);
        } else {
            ++it;
        }
    }
    return 0;
}

XFontStruct* cachedFont(Display* d, const QString& pattern) {
    const std::lock_guard<std::mutex> guard(fontLock);
    auto& fonts = fontCache();
    const auto key = std::make_pair(d, pattern.toLatin1());
    auto it = fonts.find(key);
    if (it != fonts.end())
        return it->second;
    const bool firstOfDisplay =
        std::none_of(fonts.begin(), fonts.end(), [d](const auto& e) { return e.first.first == d; });
    if (firstOfDisplay)
        if (XExtCodes* codes = XAddExtension(d))
            XESetCloseDisplay(d, codes->extension, forgetDisplayFonts);
    XFontStruct* f = XLoadQueryFont(d, key.second.constData());
    fonts[key] = f;
    return f;
}

// The font the caption is drawn with: the record's font when the server has
// it, else courier 18, else "fixed", else none.
XFontStruct* drawingFont(Display* d, const NVFont& font) {
    if (XFontStruct* f = cachedFont(d, CHyperLink::getFontString(font)))
        return f;
    if (XFontStruct* f = cachedFont(d, QStringLiteral("*courier-medium-r*18*")))
        return f;
    return cachedFont(d, QStringLiteral("fixed"));
}

} // namespace

int CHyperLink::x_point = 0;
int CHyperLink::y_point = 0;
int CHyperLink::r_width = 0;
int CHyperLink::r_height = 0;

// ---- words ----

const QStringList& CHyperLink::attributeWords() {
    static const QStringList words{"3D", "Rounded", "Shadowed", "Rectangle", "Clear", "Windows 98"};
    return words;
}
const QStringList& CHyperLink::alignWords() {
    static const QStringList words{"Left", "Centre", "Right", "Top", "Bottom"};
    return words;
}
const QStringList& CHyperLink::buttonStyleWords() {
    static const QStringList words{"Push Button", "Radio", "Check Box"};
    return words;
}

QString CHyperLink::fontText(const NVFont& f) {
    const QChar q('"');
    return q + fromStoredText(f.family) + q + QString::number(f.pointSize) + q + QString::number(f.weight) +
           q + (f.bold() ? QStringLiteral("Bold") : QString()) + q +
           (f.italic ? QStringLiteral("Italic") : QString());
}

QString CHyperLink::getFontString(const NVFont& f) {
    const QString family = fromStoredText(f.family);
    int size = f.pointSize;
    if (size == 16 || size == 18)
        size = 18;
    else if (size >= 20)
        size = 24;
    if (family == QLatin1String("terminal"))
        size = 14;
    const QString weight = f.bold() ? QStringLiteral("bold") : QStringLiteral("medium");
    const bool oblique = family == QLatin1String("courier") || family == QLatin1String("helvetica") ||
                         family == QLatin1String("fixed");
    const QString slant = !f.italic ? QStringLiteral("r")
                          : oblique ? QStringLiteral("o")
                                    : QStringLiteral("i");
    return QStringLiteral("*%1-%2-%3*%4*").arg(family, weight, slant).arg(size);
}

void CHyperLink::makeRect(QPoint a, QPoint b, QRect& r) {
    BoxDrag::makeRect(a, b, r);
}

// ---- construction ----

std::vector<uint32_t> CHyperLink::pasteUses(const sHyperLink& s) {
    std::vector<uint32_t> ids;
    for (const sHyperLinkEvent& e : s.events)
        for (uint32_t id : {e.validationImageId, e.validationSoundId, e.validationVideoId})
            if (id)
                ids.push_back(id);
    // The images whatever their value: the media library ignores 0.
    ids.push_back(s.clickedImageId);
    ids.push_back(s.mouseOverImageId);
    return ids;
}

CHyperLink::CHyperLink(VLImageHolder* holder, QPaintDevice* device, int number)
    : DrawTools(nullptr, nullptr), m_pPaintDevice(device), m_pImageHolder(holder) {
    m_record.payload = sHyperLink{};
    sHyperLink& s = payload();
    common();
    m_strNewName = QStringLiteral("Hyperlink ") + QString::number(number);
    setName(m_strNewName);
    m_strOriginalName = m_strNewName;
    s.caption = s.name;
    appendToChooser(m_strNewName);
    if (m_pImageHolder && m_pImageHolder->getVelmoraView())
        if (EditPropertyBox* box = m_pImageHolder->getVelmoraView()->_get_editprop_box())
            m_nIndex = box->objectChooser->count() - 1;
    NVFont font;
    font.family = "courier";
    font.pointSize = 18;
    font.weight = NVFont::WEIGHT_NORMAL;
    s.font = font;
    s.foreColor = NVColor{0, 0, 0};
    s.backColor = NEW_BACK_COLOR;
    s.events = sixNewEvents();
    s.align = 1;
    setRows();
    // Rows a new hyperlink leaves empty until the creation drag ends.
    EditPropertyBase* p = getEditPropertyBase();
    for (const char* row : {"Font", "Left", "Top", "Width", "Height"})
        p->setProp_Value(row, QString());
    m_drag.restartToolBand();
}

CHyperLink::CHyperLink(VLImageHolder* holder, const NVAllObjects& record, int number, QPoint offset)
    : DrawTools(nullptr, nullptr), m_pImageHolder(holder) {
    const sHyperLink* src = record.get<sHyperLink>();
    m_record.payload = src ? *src : sHyperLink{};
    sHyperLink& s = payload();
    const int w = std::abs(s.x - s.right), h = std::abs(s.y - s.bottom);
    s.x += offset.x();
    s.y += offset.y();
    s.right = s.x + w;
    s.bottom = s.y + h;
    common();
    m_strNewName = QStringLiteral("Hyperlink ") + QString::number(number);
    setName(m_strNewName);
    m_strOriginalName = m_strNewName;
    appendToChooser(m_strNewName);
    m_nIndex = number;
    // Six events, each owning its own block; pointer events carry none.
    std::vector<sHyperLinkEvent> events = sixNewEvents();
    for (size_t i = 0; i < events.size() && i < s.events.size(); ++i) {
        events[i] = s.events[i];
        if (i >= size_t(CHyperLinkRecord::CLICK_EVENTS))
            events[i].dialog.reset();
    }
    s.events = std::move(events);
    setRows();
    if (MediaLibraryInterface* media = getResourceEditor())
        connect(this, &CHyperLink::signalAddIDOnCopy, this,
                [media](unsigned long id) { media->slotAddIDOnCopy(id); });
    for (uint32_t id : pasteUses(s))
        emit signalAddIDOnCopy(id);
}

CHyperLink::CHyperLink(VLImageHolder* holder, sHyperLink payload)
    : DrawTools(nullptr, nullptr), m_pImageHolder(holder) {
    payload.name = toField(fromStoredText(payload.name), NAME_FIELD);
    // The events are taken over; a count other than six is mended.
    std::vector<sHyperLinkEvent> events = sixNewEvents();
    for (size_t i = 0; i < events.size() && i < payload.events.size(); ++i)
        events[i] = std::move(payload.events[i]);
    payload.events = std::move(events);
    if (!payload.font)
        payload.font = NVFont{"courier", 18};
    m_record.payload = std::move(payload);
    common();
    m_strOriginalName = fromStoredText(this->payload().name);
    setRows();
}

CHyperLink::~CHyperLink() = default;

void CHyperLink::common() {
    m_host = InteractiveHost::current();
    connect(this, &CHyperLink::signalEventNo, this, &CHyperLink::slotForEvents);
    setMouseTracking(true);
    addMyPropEntrys();
    drawingObject = HYPERLINK;
    m_record.drawingObject = HYPERLINK;
    m_record.recordSize = NVAllObjects::STORED_SIZE;
    takeHolderContext();
    if (MediaLibraryInterface* media = getResourceEditor())
        connect(this, &CHyperLink::signalDeleteIDFromUseArray, this,
                [media](unsigned long id) { media->SlotDeleteIDFromUseArray(id); });
}

void CHyperLink::takeHolderContext() {
    if (!m_pImageHolder)
        return;
    m_pImageHolder->initGC();
    const VLImageHolder::DrawTarget target = m_pImageHolder->drawTarget();
    m_pDisplay = target.display;
    m_gcXor = target.xorGC;
    m_window = target.window;
}

unsigned long CHyperLink::bandWindow() const {
    if (m_pImageHolder && m_pImageHolder->drawTarget().window)
        return m_pImageHolder->drawTarget().window;
    return m_window;
}

void CHyperLink::setName(const QString& name) {
    payload().name = toField(name, NAME_FIELD);
}

void CHyperLink::appendToChooser(const QString& name) {
    if (!m_pImageHolder || !m_pImageHolder->getVelmoraView())
        return;
    if (EditPropertyBox* box = m_pImageHolder->getVelmoraView()->_get_editprop_box())
        box->objectChooser->addItem(name);
}

void CHyperLink::addMyPropEntrys() {
    EditPropertyBase* p = getEditPropertyBase();
    if (!p)
        return;
    const QString general = QStringLiteral("General");
    const QString geometry = QStringLiteral("Geometry");
    const QString appearance = QStringLiteral("Appearance");
    p->addProp("Name", "", general, 1, "Hyperlink", 0);
    p->addProp("Left", "", geometry, 27, "", 0);
    p->addProp("Top", "", geometry, 28, "", 0);
    p->addProp("Width", "", geometry, 29, "", 0);
    p->addProp("Height", "", geometry, 30, "", 0);
    p->addProp("Clicked Image", "", general, 15, "90", 0);
    p->addProp("Mouse Over Image", "", general, 15, "90", 0);
    p->addProp("Tooltip", "", general, 1, "", 0);
    p->addProp("Attribute", "", appearance, 10, "HYPERLINK", 0);
    p->addProp("Align Text", "", appearance, 14, "", 0);
    p->addProp("Button Style", "", appearance, 19, "", 0);
    p->addProp("Caption", "", appearance, 1, "", 0);
    p->addProp("Font", "", appearance, 6, "", 0);
    p->addProp("Fore Color", "", appearance, 5, "", 0);
    p->addProp("Back Color", "", appearance, 5, "", 0);
    p->addProp("Transparent", "", appearance, 2, "HYPERLINK", 0);
}

void CHyperLink::setRows() {
    EditPropertyBase* p = getEditPropertyBase();
    const sHyperLink& s = payload();
    auto word = [](const QStringList& words, int code) {
        return code >= 0 && code < words.size() ? words[code] : QString();
    };
    p->setProp_Value("Name", fromStoredText(s.name));
    p->setProp_Value("Caption", fromStoredText(s.caption));
    setGeometryRows();
    p->setProp_Value("Fore Color", colorOf(s.foreColor).name());
    p->setProp_Value("Back Color", colorOf(s.backColor).name());
    p->setProp_Value("Tooltip", fromStoredText(s.toolTip));
    p->setProp_Value("Attribute", word(attributeWords(), s.attribute));
    p->setProp_Value("Button Style", word(buttonStyleWords(), s.buttonStyle));
    p->setProp_Value("Align Text", word(alignWords(), s.align));
    p->setProp_Value("Transparent", s.transparent == 0   ? QStringLiteral("No")
                                    : s.transparent == 1 ? QStringLiteral("Yes")
                                                         : QString());
    // The author's font stays in the record and its row even when the
    // X server draws it with a fallback.
    p->setProp_Value("Font", s.font ? fontText(*s.font) : QString());
    MediaLibraryInterface* media = getResourceEditor();
    auto imageRow = [media](uint32_t id) {
        if (id == 0)
            return QStringLiteral("[None]");
        return media ? QFileInfo(media->GetTheFileNameFromID(id)).fileName() : QString();
    };
    p->setProp_Value("Clicked Image", imageRow(s.clickedImageId));
    p->setProp_Value("Mouse Over Image", imageRow(s.mouseOverImageId));
}

void CHyperLink::setGeometryRows() {
    EditPropertyBase* p = getEditPropertyBase();
    const sHyperLink& s = payload();
    p->setProp_Value("Left", QString::number(s.x));
    p->setProp_Value("Top", QString::number(s.y));
    p->setProp_Value("Width", QString::number(std::abs(s.right - s.x)));
    p->setProp_Value("Height", QString::number(std::abs(s.bottom - s.y)));
}

void CHyperLink::emitGeometry() {
    const sHyperLink& s = payload();
    emit signalSetLeft(s.x);
    emit signalSetWidth(s.right - s.x);
    emit signalSetTop(s.y);
    emit signalSetHeight(s.bottom - s.y);
}

// ---- simple operations ----

QRect CHyperLink::area() const {
    const sHyperLink& s = payload();
    return QRect(std::min(s.x, s.right), std::min(s.y, s.bottom), std::abs(s.right - s.x),
                 std::abs(s.bottom - s.y));
}

bool CHyperLink::select(QPoint p) {
    return area().contains(p);
}
void CHyperLink::select() {}
void CHyperLink::select(Display* display, GC gc, unsigned long& drawable) {
    const sHyperLink& s = payload();
    SelectionHandles::EditItemsPaintRects(display, gc, drawable, s.x, s.y, s.right - s.x, s.bottom - s.y);
    m_nOutlineCount = 0;
}
QRegion CHyperLink::getRegion() {
    return QRegion(area());
}
bool CHyperLink::keepWithinVLI() {
    const sHyperLink& s = payload();
    return s.right != s.x && s.bottom != s.y;
}
int CHyperLink::getIndex() const {
    return m_nIndex;
}
void CHyperLink::setPastingPosition() {
    m_ptPasting = QPoint(payload().x, payload().y);
}
QPoint CHyperLink::getPastingPosition() const {
    return m_ptPasting;
}
const char* CHyperLink::getObjectName() const {
    return payload().name.c_str();
}
void* CHyperLink::getObjectStructure() {
    return &payload();
}

void CHyperLink::restoreGeometry(QRect r) {
    // Right and bottom are edges: a rectangle from getRegion() comes back
    // the same size.
    sHyperLink& s = payload();
    s.x = r.x();
    s.y = r.y();
    s.right = r.x() + r.width();
    s.bottom = r.y() + r.height();
}

bool CHyperLink::getAllObjectStructure(NVAllObjects* target) {
    // Events and blocks are values: the copy owns its own.
    return copyRecordKeepingId(m_record, target);
}

int CHyperLink::getORResult(const NVAllObjects& record) {
    const int16_t mask = CHyperLinkRecord::eventMask(record);
    qDebug("orResult===%x", unsigned(uint16_t(mask)));
    return mask;
}

void CHyperLink::setGeometryEntrys(int* x, int* y, int* width, int* height) {
    const sHyperLink& s = payload();
    if (x)
        *x = s.x;
    if (y)
        *y = s.y;
    if (width)
        *width = std::abs(s.right - s.x);
    if (height)
        *height = std::abs(s.bottom - s.y);
}

void CHyperLink::slotFontSelected(QFont& font) {
    payload().font = NVFont::fromQFont(font);
}

QString CHyperLink::Prop2Str(const QString& name) {
    EditPropertyEntry* e = getEditPropertyBase()->getProp(name);
    return e ? e->value : QString();
}

// ---- applying the rows ----

void CHyperLink::repaintItem() {
    if (m_host)
        applyProperty(m_host->selectedPropertyRow());
    // Whatever was applied, even nothing: the geometry editors and the canvas follow.
    emitGeometry();
    if (m_pImageHolder) {
        m_pImageHolder->drawContents();
        m_pImageHolder->setCurrentObject(m_pImageHolder->getSelectedItem());
    }
}

void CHyperLink::applyProperty(const QString& row) {
    EditPropertyBase* p = getEditPropertyBase();
    sHyperLink& s = payload();
    const QString v = Prop2Str(row);
    if (row == QLatin1String("Name")) {
        if (v.length() <= NAME_LIMIT) {
            QString applied = v.trimmed();
            if (applied.isEmpty())
                applied = m_strOriginalName;
            setName(applied);
            p->setProp_Value("Name", applied);
        }
    } else if (row == QLatin1String("Left") && !v.isEmpty()) {
        const int w = s.right - s.x;
        s.x = rowNumber(v);
        s.right = s.x + w;
    } else if (row == QLatin1String("Top") && !v.isEmpty()) {
        const int h = s.bottom - s.y;
        s.y = rowNumber(v);
        s.bottom = s.y + h;
    } else if (row == QLatin1String("Width") && !v.isEmpty()) {
        s.right = s.x + rowNumber(v);
    } else if (row == QLatin1String("Height") && !v.isEmpty()) {
        s.bottom = s.y + rowNumber(v);
    } else if (row == QLatin1String("Tooltip")) {
        if (!v.isEmpty() && v.size() < TOOLTIP_LENGTH)
            s.toolTip = toStoredText(v);
    } else if (row == QLatin1String("Clicked Image") || row == QLatin1String("Mouse Over Image")) {
        uint32_t& id = row == QLatin1String("Clicked Image") ? s.clickedImageId : s.mouseOverImageId;
        if (!v.isEmpty()) {
            if (id)
                emit signalDeleteIDFromUseArray(id);
            id = v == QLatin1String("[None]") ? 0 : uint32_t(p->getPropValueId(row));
        }
    } else if (row == QLatin1String("Attribute")) {
        if (const int code = attributeWords().indexOf(v); code >= 0)
            s.attribute = uint8_t(code);
    } else if (row == QLatin1String("Align Text")) {
        // Only "Center" applies code 1; the "Centre" the constructors write
        // leaves the code as it is.
        static const QStringList applied{"Left", "Center", "Right", "Top", "Bottom"};
        if (const int code = applied.indexOf(v); code >= 0)
            s.align = uint8_t(code);
    } else if (row == QLatin1String("Button Style")) {
        if (const int code = buttonStyleWords().indexOf(v); code >= 0)
            s.buttonStyle = uint8_t(code);
    } else if (row == QLatin1String("Caption")) {
        // The stored field keeps 254 characters; the row shows what is kept.
        const QString kept = v.left(CAPTION_LIMIT);
        s.caption = toStoredText(kept);
        if (kept != v)
            p->setProp_Value("Caption", kept);
    } else if (row == QLatin1String("Fore Color") || row == QLatin1String("Back Color")) {
        const QColor c(v);
        if (c.isValid())
            (row == QLatin1String("Fore Color") ? s.foreColor : s.backColor) =
                NVColor{c.red(), c.green(), c.blue()};
    } else if (row == QLatin1String("Transparent")) {
        if (v == QLatin1String("No"))
            s.transparent = 0;
        else if (v == QLatin1String("Yes"))
            s.transparent = 1;
    }
}

// ---- drawing ----

void CHyperLink::draw(Display* display, GC gc, unsigned long& drawable) {
    sHyperLink& s = payload();
    s.width = s.right - s.x;
    s.height = s.bottom - s.y;
    paint(display, gc, drawable, s);
}

void CHyperLink::paint(Display* d, GC gc, unsigned long drawable, const sHyperLink& s) {
    if (!d || !gc || !drawable)
        return;
    XSetLineAttributes(d, gc, 1, LineSolid, CapButt, JoinMiter);
    XSetFillStyle(d, gc, FillSolid);
    const int L = s.x, T = s.y, R = s.right, B = s.bottom;
    const int W = R - L, H = B - T;
    const unsigned long back = XColorPixel::pixelOf(d, s.backColor.red, s.backColor.green, s.backColor.blue);
    const unsigned long fore = XColorPixel::pixelOf(d, s.foreColor.red, s.foreColor.green, s.foreColor.blue);
    const unsigned long white = XColorPixel::pixelOf(d, 255, 255, 255);
    const unsigned long grey = XColorPixel::pixelOf(d, 223, 223, 223);
    const unsigned long black = XColorPixel::pixelOf(d, 0, 0, 0);
    auto line = [&](unsigned long pixel, int width, int x1, int y1, int x2, int y2) {
        XSetForeground(d, gc, pixel);
        XSetLineAttributes(d, gc, unsigned(width), LineSolid, CapButt, JoinMiter);
        XDrawLine(d, drawable, gc, x1, y1, x2, y2);
    };
    auto fill = [&] {
        XSetForeground(d, gc, back);
        XSetFillStyle(d, gc, FillSolid);
        if (!s.transparent && W > 0 && H > 0)
            XFillRectangle(d, drawable, gc, L, T, unsigned(W), unsigned(H));
    };
    switch (s.attribute) {
    case 0: // 3D
        fill();
        line(white, 1, L, T, R + 1, T);
        line(white, 1, L, B + 1, L, T);
        line(black, 1, R, T, R, B);
        line(black, 1, R + 1, B, L, B);
        line(grey, 1, L + 1, T + 1, R, T + 1);
        line(grey, 1, L + 1, B - 1, L + 1, T + 1);
        line(black, 1, R - 1, T + 1, R - 1, B);
        line(black, 1, R - 1, B - 1, L + 1, B - 1);
        break;
    case 1: { // Rounded
        const int dd = 14, r = 7;
        const unsigned ud = unsigned(dd);
        XSetForeground(d, gc, back);
        if (!s.transparent) {
            XFillArc(d, drawable, gc, L, T, ud, ud, 90 * 64, 90 * 64);
            XFillArc(d, drawable, gc, L, B - dd, ud, ud, 180 * 64, 90 * 64);
            XFillArc(d, drawable, gc, R - dd, B - dd, ud, ud, 270 * 64, 90 * 64);
            XFillArc(d, drawable, gc, R - dd, T, ud, ud, 0, 90 * 64);
            if (H - dd > 0)
                XFillRectangle(d, drawable, gc, L, T + r, unsigned(r), unsigned(H - dd + 1));
            if (W - dd > 0)
                XFillRectangle(d, drawable, gc, L + r, T, unsigned(W - dd + 1), unsigned(H + 1));
            if (H - dd > 0)
                XFillRectangle(d, drawable, gc, R - r, T + r, unsigned(r), unsigned(H - dd + 1));
        }
        XSetForeground(d, gc, black);
        XSetLineAttributes(d, gc, 2, LineSolid, CapButt, JoinMiter);
        XDrawArc(d, drawable, gc, L, T, ud, ud, 90 * 64, 90 * 64);
        XDrawLine(d, drawable, gc, L, T + r, L, B - r + 1);
        XDrawArc(d, drawable, gc, L, B - dd, ud, ud, 180 * 64, 90 * 64);
        XDrawLine(d, drawable, gc, L + r, B, R - r + 1, B);
        XDrawArc(d, drawable, gc, R - dd, B - dd, ud, ud, 270 * 64, 90 * 64);
        XDrawLine(d, drawable, gc, R, B - r, R, T + r - 1);
        XDrawArc(d, drawable, gc, R - dd, T, ud, ud, 0, 90 * 64);
        XDrawLine(d, drawable, gc, R - r, T, L + r - 1, T);
        break;
    }
    case 2: // Shadowed
        fill();
        line(black, 8, R + 3, T + 5, R + 3, B);
        line(black, 8, R + 7, B + 3, L + 5, B + 3);
        break;
    case 3: { // Rectangle
        fill();
        XPoint pts[5] = {{short(L), short(T)},
                         {short(R), short(T)},
                         {short(R), short(B)},
                         {short(L), short(B)},
                         {short(L), short(T)}};
        XSetForeground(d, gc, black);
        XSetLineAttributes(d, gc, 2, LineSolid, CapButt, JoinMiter);
        XDrawLines(d, drawable, gc, pts, 5, CoordModeOrigin);
        break;
    }
    case 4: // Clear
    case 5: // Windows 98
        fill();
        break;
    default:
        break;
    }

    const int m = T + H / 2;
    if (s.buttonStyle == 2) {
        XSetForeground(d, gc, white);
        XSetFillStyle(d, gc, FillSolid);
        XFillRectangle(d, drawable, gc, L + 18, m - 6, 12, 12);
        line(black, 2, L + 16, m - 6, L + 30, m - 6);
        line(black, 2, L + 17, m - 6, L + 17, m + 6);
    } else if (s.buttonStyle == 1) {
        XSetForeground(d, gc, white);
        XSetFillStyle(d, gc, FillSolid);
        XFillArc(d, drawable, gc, L + 17, m - 7, 15, 15, 0, 360 * 64);
        XSetForeground(d, gc, black);
        XSetLineAttributes(d, gc, 1, LineSolid, CapButt, JoinMiter);
        XDrawArc(d, drawable, gc, L + 17, m - 7, 15, 15, 4200, 7000);
    }

    // The record's font when the server has it, else courier 18, else
    // "fixed"; without any font no caption is drawn.
    const NVFont font = s.font ? *s.font : NVFont{"courier", 18};
    XFontStruct* fs = drawingFont(d, font);
    const bool marked = s.buttonStyle == 1 || s.buttonStyle == 2;
    const int indent = marked ? 40 : 5;
    // A clip of no width clips everything: X would take a negative one as huge.
    XRectangle clip{short(L + indent), short(T), (unsigned short)std::max(0, W - indent),
                    (unsigned short)std::max(0, H)};
    XSetClipRectangles(d, gc, 0, 0, &clip, 1, Unsorted);
    if (fs && W > 5 && H > 5 && !s.caption.empty() && s.align <= 4) {
        XSetFont(d, gc, fs->fid);
        XSetForeground(d, gc, fore);
        const int n = int(s.caption.size());
        const int tw = XTextWidth(fs, s.caption.data(), n);
        const int fh = fs->ascent + fs->descent;
        int x = L + (W - tw) / 2 + 10, y = T + H / 2 + 7;
        if (s.align == 0)
            x = marked ? L + 40 : L + 10;
        else if (s.align == 2)
            x = L + W - tw;
        else if (s.align == 3)
            y = T + fh;
        else if (s.align == 4)
            y = T + H - 5;
        XDrawString(d, drawable, gc, x, y, s.caption.data(), n);
    }
    XSetClipMask(d, gc, None);
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

void CHyperLink::updatePosition(int dx, int dy) {
    sHyperLink& s = payload();
    if (m_nOutlineCount == 0)
        ++m_nOutlineCount;
    else
        SelectionHandles::drawXorBand(m_pDisplay, m_gcXor, bandWindow(),
                                      {m_rcOutline[0], m_rcOutline[1], m_rcOutline[2], m_rcOutline[3]});
    const SelectionHandles::Box outline{s.x + dx, s.y + dy, s.width, s.height};
    SelectionHandles::drawXorBand(m_pDisplay, m_gcXor, bandWindow(), outline);
    m_rcOutline = {outline.x, outline.y, outline.w, outline.h};
    s.x += dx;
    s.right += dx;
    s.y += dy;
    s.bottom += dy;
}

// ---- mouse ----

bool CHyperLink::editingDisabled() const {
    return m_pImageHolder && m_pImageHolder->checkFrameStatus();
}

BoxDrag::Edges CHyperLink::edges() {
    sHyperLink& s = payload();
    return {s.x, s.y, s.right, s.bottom};
}

BoxDrag::Surface CHyperLink::bandSurface() const {
    return {m_pDisplay, m_gcXor, bandWindow()};
}

void CHyperLink::mousePressEvent(QMouseEvent* event) {
    if (editingDisabled())
        return;
    const sHyperLink before = payload();
    m_drag.press(event, edges(), currentlySelectedObject != SELECTION, m_pImageHolder, getRegion());
    emit signalSetLeft(before.x);
    emit signalSetWidth(before.right - before.x);
    emit signalSetTop(before.y);
    emit signalSetHeight(before.bottom - before.y);
}

void CHyperLink::mouseMoveEvent(QMouseEvent* event) {
    if (editingDisabled())
        return;
    m_nOutlineCount = 0;
    if (currentlySelectedObject != SELECTION)
        m_drag.drawStep(event, edges(), bandSurface(), {x_point, y_point, r_width, r_height});
    else
        m_drag.selectStep(event, edges(), bandSurface(), m_pImageHolder,
                          SelectionHandles::screenSizeOf(m_pDisplay), false);
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* event) {
    if (editingDisabled())
        return;
    m_drag.release(event, edges(), currentlySelectedObject != SELECTION, m_pImageHolder);
    setGeometryRows();
}

// ---- the holder's row ----

HolderKindMakers CHyperLink::holderKindMakers() {
    HolderKindMakers m;
    m.newAtTool = [](VLImageHolder* holder, QPaintDevice* device, int, int number) -> DrawTools* {
        return new CHyperLink(holder, device, number);
    };
    m.ofRecord = [](VLImageHolder* holder, const NVAllObjects& record) -> DrawTools* {
        const sHyperLink* p = record.get<sHyperLink>();
        return p ? new CHyperLink(holder, *p) : nullptr;
    };
    m.pasted = [](VLImageHolder* holder, const NVAllObjects& record, int number,
                  QPoint offset) -> DrawTools* {
        return record.get<sHyperLink>() ? new CHyperLink(holder, record, number, offset) : nullptr;
    };
    m.toStored = [](const NVAllObjects& record, sAllObjects& stored) {
        if (!record.get<sHyperLink>())
            return false;
        stored = CHyperLinkRecord::toStored(record);
        return true;
    };
    m.fromStored = [](const sAllObjects& stored, NVAllObjects& record) {
        if (!stored.get<StoredHyperLink>())
            return false;
        record = CHyperLinkRecord::fromStored(stored);
        return true;
    };
    return m;
}

// ---- events ----

namespace {
const QString kNone = QStringLiteral("[None]");
const QString kEvents = QStringLiteral("Events");

QString lastComponent(const std::string& path) {
    return QFileInfo(fromStoredText(path)).fileName();
}

QString exitWord(uint8_t exitPlay) {
    return exitPlay == 0 ? QStringLiteral("Off") : exitPlay == 1 ? QStringLiteral("On") : QString();
}

const struct {
    const char* word;
    uint8_t code;
} kPointers[] = {{"Finger", 14}, {"Arrow", 1}, {"Hourglass", 13}, {"Crosshair", 2}, {"Ibeam", 3}};

// A copy of at most `limit` characters; false (and nothing stored) when
// the text is longer.
bool storeText(std::string& field, const QString& text, int limit) {
    if (text.size() > limit)
        return false;
    field = toStoredText(text);
    return true;
}
} // namespace

const QStringList& CHyperLink::eventNames() {
    static const QStringList names{"On Left Single Click",  "On Right Single Click", "On Left Double Click",
                                   "On Right Double Click", "On Mouse Enter",        "On Mouse Leave"};
    return names;
}

QString CHyperLink::resourceName(uint32_t id) {
    if (id == 0)
        return kNone;
    MediaLibraryInterface* media = getResourceEditor();
    return media ? QFileInfo(media->GetTheFileNameFromID(id)).fileName() : QString();
}

QString CHyperLink::gotoWord(int32_t code) const {
    if (code == 0)
        return QStringLiteral("0");
    if (code == -1)
        return QStringLiteral("Next");
    if (code == -2)
        return QStringLiteral("Previous");
    if (std::vector<SPlayBackFrameInfo>* table = m_host ? m_host->playbackRecords() : nullptr)
        for (const SPlayBackFrameInfo& p : *table)
            if (int32_t(p.frameNumber) == code)
                return fromStoredText(p.name());
    return QString();
}

QString CHyperLink::PropHypEventStr(int event, const QString& name) {
    EditPropertyEntry* e = getEditPropertyBase()->getEventProperties(event, name);
    return e ? e->value : QString();
}
int CHyperLink::PropHypEventValueId(int event, const QString& name) {
    EditPropertyEntry* e = getEditPropertyBase()->getEventProperties(event, name);
    return e ? e->valueId : 0;
}
QString CHyperLink::PropEventStr(int event, const QString& name) {
    EditPropertyEntry* e = getEditPropertyBase()->getProperties(event, name);
    return e ? e->value : QString();
}
int CHyperLink::PropEventValueId(int event, const QString& name) {
    EditPropertyEntry* e = getEditPropertyBase()->getProperties(event, name);
    return e ? e->valueId : 0;
}

void CHyperLink::addEventPropEntrys(int event) {
    EditPropertyBase* p = getEditPropertyBase();
    if (!p || event < 0 || event >= EVENT_COUNT)
        return;
    const sHyperLinkEvent& e = payload().events[size_t(event)];
    if (event >= CHyperLinkRecord::CLICK_EVENTS) {
        p->addEventProperties(event, "Audio File Name", "", kEvents, PE_RESOURCE_FILE, "91", 0);
        p->addEventProperties(event, "Mouse Pointer", "", kEvents, PE_MOUSE_POINTER, "", 0);
        p->addEventProperties(event, "Exit Play", "", kEvents, PE_BOOL, "On/Off", 0);
        p->setEventPropValueId(event, "Audio File Name", int(e.audioId));
        p->setEventPropValue(event, "Audio File Name", resourceName(e.audioId));
        QString pointer;
        for (const auto& k : kPointers)
            if (k.code == e.mousePointer)
                pointer = QString::fromLatin1(k.word);
        p->setEventPropValue(event, "Mouse Pointer", pointer);
        p->setEventPropValue(event, "Exit Play", exitWord(e.exitPlay));
        return;
    }
    p->addProperties(event, "Play VLM File", "", kEvents, PE_FILENAME, "VlmFile", 0);
    p->addProperties(event, "Run External File", "", kEvents, PE_FILENAME, "", 0);
    p->addProperties(event, "Open URL", "", kEvents, PE_STRING, "", 0);
    p->addProperties(event, "Validation Image", "", kEvents, PE_RESOURCE_FILE, "90", 0);
    p->addProperties(event, "Validation Sound", "", kEvents, PE_RESOURCE_FILE, "91", 0);
    p->addProperties(event, "Validation Video", "", kEvents, PE_RESOURCE_FILE, "92", 0);
    p->addProperties(event, "Validation Frame (Go To)", "", kEvents, PE_VALIDATION_FRAME, "", 0);
    p->addProperties(event, "Validation Error Message", "", kEvents, PE_VALIDATION_ERROR, "", 0);
    p->addProperties(event, "Validation Message", "", kEvents, PE_VALIDATION_MESSAGE, "", 0);
    p->addProperties(event, "Validation Target", "", kEvents, PE_VALIDATE_TARGET, "", 0);
    p->addProperties(event, "Exit Play", "", kEvents, PE_BOOL, "On/Off", 0);

    p->setEventPropertyValueId(event, "Validation Frame (Go To)", e.gotoFrame);
    p->setEventPropertyValue(event, "Validation Frame (Go To)", gotoWord(e.gotoFrame));
    // The field whose ID is the stored target: positions change when a
    // field is deleted, IDs do not.
    QString target = e.validationTarget == 0 ? kNone : QString();
    if (e.validationTarget != 0 && m_host)
        for (int pos = 1; pos <= m_host->validationFieldCount(); ++pos)
            if (m_host->validationFieldId(pos) == e.validationTarget) {
                target = m_host->validationFieldName(pos);
                break;
            }
    p->setEventPropertyValueId(event, "Validation Target", e.validationTarget);
    p->setEventPropertyValue(event, "Validation Target", target);
    const struct {
        const char* row;
        uint32_t id;
    } resources[] = {{"Validation Image", e.validationImageId},
                     {"Validation Sound", e.validationSoundId},
                     {"Validation Video", e.validationVideoId}};
    for (const auto& r : resources) {
        p->setEventPropertyValueId(event, r.row, int(r.id));
        p->setEventPropertyValue(event, r.row, resourceName(r.id));
    }
    p->setEventPropertyValue(event, "Play VLM File", e.playFile.empty() ? kNone : lastComponent(e.playFile));
    p->setEventPropertyValue(event, "Run External File",
                             e.runFile.empty() ? kNone : lastComponent(e.runFile));
    p->setEventPropertyValue(event, "Open URL", fromStoredText(e.url));
    p->setEventPropertyValue(event, "Exit Play", exitWord(e.exitPlay));
}

void CHyperLink::setEventProperty(int event) {
    if (m_host)
        applyEventProperty(event, m_host->selectedEventRow());
}

void CHyperLink::storeDialog(sHyperLinkEvent& e, bool error) {
    const uint8_t flag = error ? PropertyLviBase::bNotFirstError : PropertyLviBase::bNotFirstMessage;
    sValidMessageRecord& record = error ? PropertyLviBase::m_sValidError : PropertyLviBase::m_sValidMessage;
    std::string& text = error ? e.errorMessage : e.message;
    // The event fields keep 255 error and 257 message characters.
    const size_t limit = size_t(error ? ERROR_LIMIT : MESSAGE_LIMIT);
    if (flag != 1) {
        text.clear();
        if (e.dialog) {
            (error ? e.dialog->caption1 : e.dialog->caption0).clear();
            (error ? e.dialog->icon1 : e.dialog->icon0) = 0;
        }
        return;
    }
    text = record.text.substr(0, limit);
    record.text.clear();
    if (!e.dialog)
        e.dialog = sMessageDialogBlock{};
    (error ? e.dialog->caption1 : e.dialog->caption0) = record.caption;
    record.caption.clear();
    (error ? e.dialog->icon1 : e.dialog->icon0) = record.iconId;
    e.dialogLength =
        int16_t(sMessageDialogBlock::SIZE + e.dialog->caption0Length() + e.dialog->caption1Length());
}

void CHyperLink::applyEventProperty(int event, const QString& row) {
    if (event < 0 || event >= EVENT_COUNT || row.isEmpty())
        return;
    sHyperLinkEvent& e = payload().events[size_t(event)];
    const QString key = row.toLower();
    if (event >= CHyperLinkRecord::CLICK_EVENTS) {
        const QString v = PropEventStr(event, row);
        if (v.isEmpty())
            return;
        if (key == "audio file name") {
            if (e.audioId)
                emit signalDeleteIDFromUseArray(e.audioId);
            e.audioId = v == kNone ? 0 : uint32_t(PropEventValueId(event, row));
        } else if (key == "mouse pointer") {
            for (const auto& k : kPointers)
                if (v == QLatin1String(k.word))
                    e.mousePointer = k.code;
        } else if (key == "exit play") {
            if (v == "On")
                e.exitPlay = 1;
            else if (v == "Off")
                e.exitPlay = 0;
        }
        return;
    }
    const QString v = PropHypEventStr(event, row);
    const int id = PropHypEventValueId(event, row);
    if (key == "validation frame (go to)") {
        if (v == "0") {
            e.gotoFrame = 0;
        } else if (v == "Next") {
            e.gotoFrame = -1;
        } else if (v == "Previous") {
            e.gotoFrame = -2;
        } else {
            // An index outside the playback records changes nothing.
            std::vector<SPlayBackFrameInfo>* table = m_host ? m_host->playbackRecords() : nullptr;
            if (table && id >= 0 && size_t(id) < table->size())
                e.gotoFrame = int32_t((*table)[size_t(id)].frameNumber);
        }
    } else if (key == "validation target") {
        if (!v.isEmpty())
            e.validationTarget = v == kNone ? 0 : int16_t(m_host ? m_host->validationFieldId(id) : 0);
    } else if (key == "validation image" || key == "validation sound" || key == "validation video") {
        uint32_t& field = key == "validation image"   ? e.validationImageId
                          : key == "validation sound" ? e.validationSoundId
                                                      : e.validationVideoId;
        if (!v.isEmpty()) {
            if (field)
                emit signalDeleteIDFromUseArray(field);
            field = v == kNone ? 0 : uint32_t(id);
        }
    } else if (key == "open url") {
        storeText(e.url, v, PATH_LIMIT);
    } else if (key == "run external file") {
        if (v == kNone)
            e.runFile.clear();
        else
            storeText(e.runFile, v, PATH_LIMIT);
    } else if (key == "play vlm file") {
        if (v == kNone)
            e.playFile.clear();
        else if (!v.isEmpty())
            storeText(e.playFile, v, PATH_LIMIT);
    } else if (key == "validation message") {
        storeDialog(e, false);
    } else if (key == "validation error message") {
        storeDialog(e, true);
    } else if (key == "exit play") {
        if (v == "On")
            e.exitPlay = 1;
        else if (v == "Off")
            e.exitPlay = 0;
    }
    // An empty block goes, whatever row was stored.
    if (e.dialog && !CHyperLinkRecord::blockHoldsSomething(*e.dialog)) {
        if (e.message.empty() && e.errorMessage.empty())
            e.dialogLength = 0;
        e.dialog.reset();
    }
}

void CHyperLink::loadMessageRecords(const sHyperLinkEvent& e) {
    if (e.dialogLength == 0) {
        PropertyLviBase::bNotFirstMessage = 0;
        PropertyLviBase::bNotFirstError = 0;
        return;
    }
    sValidMessageRecord& m = PropertyLviBase::m_sValidMessage;
    if (!e.message.empty()) {
        PropertyLviBase::bNotFirstMessage = 1;
        m.text = e.message;
        if (e.dialog) {
            m.caption = e.dialog->caption0;
            m.iconId = e.dialog->icon0;
        }
    } else if (e.dialog && !e.dialog->caption0.empty()) {
        PropertyLviBase::bNotFirstMessage = 1;
        m.text.clear();
        m.caption = e.dialog->caption0;
        m.iconId = e.dialog->icon0;
    }
    sValidMessageRecord& r = PropertyLviBase::m_sValidError;
    if (!e.errorMessage.empty()) {
        PropertyLviBase::bNotFirstError = 1;
        r.text = e.errorMessage;
        if (e.dialog) {
            r.caption = e.dialog->caption1;
            r.iconId = e.dialog->icon1;
        } else {
            r.caption.clear();
        }
    } else if (e.dialog) {
        if (!e.dialog->caption1.empty()) {
            PropertyLviBase::bNotFirstError = 1;
            r.text.clear();
            r.caption = e.dialog->caption1;
            r.iconId = e.dialog->icon1;
        } else {
            r.text.clear();
            r.caption.clear();
        }
    }
}

void CHyperLink::slotForEvents(int event) {
    if (!m_host || m_host->propertyPageIndex() != 1 || event < 0 || event >= EVENT_COUNT)
        return;
    payload().currentEvent = int16_t(event);
    if (event >= CHyperLinkRecord::CLICK_EVENTS) {
        m_host->refillEventList(this, event);
        return;
    }
    m_host->refillHyperEventList(this, event);
    loadMessageRecords(payload().events[size_t(event)]);
}

void CHyperLink::slotEnterEventItems(QWidget* page) {
    if (!m_host || m_host->selectedItem() != this)
        return;
    const int index = m_host->propertyPageIndex();
    if (m_host->isEventsPage(page) && index == 1) {
        m_host->setEventChooser(eventNames(), this, [this](int e) { slotForEvents(e); });
        emit signalEventNo(0);
    } else if (m_host->isPropertiesPage(page)) {
        m_host->resetCombo();
    }
}
