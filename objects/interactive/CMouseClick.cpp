#include "objects/interactive/CMouseClick.h"

#include "canvas/records/StoredText.h"
#include "media/MediaLibraryInterface.h"
#include "objects/draw/SelectionHandles.h"
#include "objects/draw/XColorPixel.h"
#include "objects/interactive/InteractiveHost.h"
#include "properties/EditPropertyBase.h"
#include "properties/PropertyEditorType.h"
#include "store/DatRecords.h"

#include <QMouseEvent>

#include <X11/Xlib.h>
// X names a cursor constant like Qt's enum.
#undef CursorShape

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

const QString kGeneral = QStringLiteral("General");
const QString kGeometry = QStringLiteral("Geometry");
const QString kNone = QStringLiteral("[None]");

int16_t to16(int v) {
    return int16_t(
        std::clamp(v, int(std::numeric_limits<int16_t>::min()), int(std::numeric_limits<int16_t>::max())));
}

// A decimal row value; 0 when it is not a number.
int16_t number16(const QString& v) {
    bool ok = false;
    const int n = v.trimmed().toInt(&ok);
    return ok ? to16(n) : 0;
}

// The cursor of a handle on the click target: the move cursor for the body.
Qt::CursorShape targetCursor(int handle) {
    if (handle == SelectionHandles::INSIDE)
        return Qt::SizeAllCursor;
    return SelectionHandles::cursorForHandle(handle).value_or(Qt::ArrowCursor);
}

} // namespace

CMouseClick::CMouseClick(VLImageHolder* holder, SRect rect, int, int frame)
    : DrawTools(nullptr, nullptr), m_holder(holder), m_host(InteractiveHost::current()), m_frame(frame) {
    addMyPropEntrys();
    m_click.name = DEFAULT_NAME;
    if (m_host)
        m_host->appendObjectName(QString::fromLatin1(DEFAULT_NAME));
    m_click.x = to16(rect.left);
    m_click.y = to16(rect.top);
    m_click.height = to16(rect.bottom - rect.top);
    m_click.width = to16(rect.right - rect.left);
    if (const SPlayBackFrameInfo* p = playback()) {
        m_dwImageID = p->cursorImage;
        m_bTargetDisabled = p->actionDisabled != 0;
    }
    if (EditPropertyBase* props = getEditPropertyBase()) {
        props->setProp_Value("Name", QString::fromLatin1(DEFAULT_NAME));
        setGeometryRows();
        props->setProp_Value("Target", m_bTargetDisabled ? "Disable" : "Enable");
        QString image = kNone;
        if (m_dwImageID != 0) {
            MediaLibraryInterface* media = getResourceEditor();
            image = media ? media->GetTheFileNameFromID(m_dwImageID) : QString();
        }
        props->setProp_Value("Image", image);
    }
    setMouseTracking(true);
    drawingObject = MOUSECLICK;
}

CMouseClick::~CMouseClick() = default;

bool CMouseClick::hasClickTarget(const SPlayBackFrameInfo& p) {
    return p.vType == VALIDATION_MOUSE && p.clickRect.left != p.clickRect.right &&
           p.clickRect.top != p.clickRect.bottom;
}

SPlayBackFrameInfo* CMouseClick::playback() const {
    std::vector<SPlayBackFrameInfo>* table = m_host ? m_host->playbackRecords() : nullptr;
    if (!table || m_frame < 0 || size_t(m_frame) >= table->size())
        return nullptr;
    return &(*table)[size_t(m_frame)];
}

void CMouseClick::addMyPropEntrys() {
    EditPropertyBase* props = getEditPropertyBase();
    if (!props)
        return;
    props->addProp("Name", "", kGeneral, PE_STRING, DEFAULT_NAME, 0);
    props->addProp("Target", "", kGeneral, PE_BOOL, "Enable/Disable", 0);
    props->addProp("Image", "", QStringLiteral("Appearance"), PE_RESOURCE_FILE, "93", 0);
    props->addProp("Left", "", kGeometry, PE_LEFT, "", 0);
    props->addProp("Top", "", kGeometry, PE_TOP, "", 0);
    props->addProp("Width", "", kGeometry, PE_WIDTH, "", 0);
    props->addProp("Height", "", kGeometry, PE_HEIGHT, "", 0);
}

void CMouseClick::setGeometryRows() {
    EditPropertyBase* props = getEditPropertyBase();
    if (!props)
        return;
    props->setProp_Value("Left", QString::number(m_click.x));
    props->setProp_Value("Top", QString::number(m_click.y));
    props->setProp_Value("Width", QString::number(m_click.width));
    props->setProp_Value("Height", QString::number(m_click.height));
}

void CMouseClick::emitGeometry() {
    emit signalSetLeft(m_click.x);
    emit signalSetWidth(std::abs(int(m_click.width)));
    emit signalSetTop(m_click.y);
    emit signalSetHeight(std::abs(int(m_click.height)));
}

void CMouseClick::writeClickRect() {
    if (SPlayBackFrameInfo* p = playback())
        p->clickRect = SRect{m_click.x, m_click.y, m_click.x + m_click.width, m_click.y + m_click.height};
}

void CMouseClick::raiseToDrawnMinimum() {
    if (m_click.width < DRAWN_MIN_WIDTH)
        m_click.width = DRAWN_MIN_WIDTH;
    if (m_click.height < DRAWN_MIN_HEIGHT)
        m_click.height = DRAWN_MIN_HEIGHT;
}

bool CMouseClick::select(QPoint p) {
    return p.x() >= m_click.x && p.x() <= m_click.x + m_click.width - 1 && p.y() >= m_click.y &&
           p.y() <= m_click.y + m_click.height - 1;
}

// The target takes no part in selection by rubber band.
QRegion CMouseClick::getRegion() {
    return QRegion();
}

const char* CMouseClick::getObjectName() const {
    return m_click.name.c_str();
}

bool CMouseClick::getAllObjectStructure(NVAllObjects* target) {
    if (target)
        target->payload = m_click;
    return true;
}

QString CMouseClick::Prop2Str(const QString& name) {
    EditPropertyBase* props = getEditPropertyBase();
    EditPropertyEntry* e = props ? props->getProp(name) : nullptr;
    return e ? e->value : QString();
}

int CMouseClick::PropValueId(const QString& name) {
    EditPropertyBase* props = getEditPropertyBase();
    EditPropertyEntry* e = props ? props->getProp(name) : nullptr;
    return e ? e->valueId : 0;
}

QRect CMouseClick::lastBand() const {
    return QRect(m_ptBandTopLeft.x(), m_ptBandTopLeft.y(), m_ptBandBottomRight.x() - m_ptBandTopLeft.x(),
                 m_ptBandBottomRight.y() - m_ptBandTopLeft.y());
}

void CMouseClick::draw(_XDisplay* display, _XGC* gc, unsigned long& drawable) {
    raiseToDrawnMinimum();
    if (!display || !gc || !drawable)
        return;
    const int x = m_click.x, y = m_click.y;
    const int r = x + m_click.width, b = y + m_click.height;
    XGCValues values;
    values.foreground = XColorPixel::pixelOf(display, 255, 0, 0);
    values.line_width = 1;
    values.line_style = LineSolid;
    XChangeGC(display, gc, GCForeground | GCLineWidth | GCLineStyle, &values);
    XSetLineAttributes(display, gc, 1, LineSolid, CapRound, JoinRound);
    const XPoint marks[8][3] = {
        {{short(x), short(y + 8)}, {short(x), short(y)}, {short(x + 8), short(y)}},
        {{short(r - 8), short(y)}, {short(r), short(y)}, {short(r), short(y + 8)}},
        {{short(r), short(b - 8)}, {short(r), short(b)}, {short(r - 8), short(b)}},
        {{short(x + 8), short(b)}, {short(x), short(b)}, {short(x), short(b - 8)}},
        {{short(x + 2), short(y + 8)}, {short(x + 2), short(y + 2)}, {short(x + 8), short(y + 2)}},
        {{short(r - 8), short(y + 2)}, {short(r - 2), short(y + 2)}, {short(r - 2), short(y + 8)}},
        {{short(r - 2), short(b - 8)}, {short(r - 2), short(b - 2)}, {short(r - 8), short(b - 2)}},
        {{short(x + 8), short(b - 2)}, {short(x + 2), short(b - 2)}, {short(x + 2), short(b - 8)}},
    };
    for (const auto& mark : marks)
        XDrawLines(display, drawable, gc, const_cast<XPoint*>(mark), 3, CoordModeOrigin);
}

void CMouseClick::drawBand(const QRect& band) {
    if (m_host)
        m_host->drawBand(band);
}

void CMouseClick::press(QPoint pointer) {
    m_ptPress = pointer;
    m_nHandle = SelectionHandles::NOT_TESTED;
    m_bPressed = true;
    m_bBandDrawn = false;
    m_ptBandTopLeft = m_ptBandBottomRight = pointer;
    const bool selection = m_host && m_host->objectSelection();
    if (selection) {
        m_nHandle = SelectionHandles::ItemsGetClickedRects(pointer.x(), pointer.y(), m_click.x, m_click.y,
                                                           std::abs(int(m_click.width)),
                                                           std::abs(int(m_click.height)));
        if (m_host)
            m_host->setHolderCursor(targetCursor(m_nHandle));
    } else if (m_host) {
        m_host->setHolderCursor(Qt::ArrowCursor);
    }
    m_bPressInside = select(pointer);
    if (!m_bPressInside) {
        if (m_host)
            m_host->setHolderCursor(Qt::ArrowCursor);
        if (m_nHandle <= SelectionHandles::INSIDE && m_host)
            m_host->setObjectSelection(false);
    }
    emitGeometry();
}

void CMouseClick::move(QPoint pointer, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    if (DrawTools::currentlySelectedObject != SELECTION || drawingObject != MOUSECLICK || !m_host)
        return;
    const int w = std::abs(int(m_click.width)), h = std::abs(int(m_click.height));
    if (buttons != Qt::LeftButton || modifiers != Qt::NoModifier) {
        // Hover: the cursor of the handle under the pointer.
        if (m_host->objectSelection()) {
            const int handle =
                SelectionHandles::ItemsGetClickedRects(pointer.x(), pointer.y(), m_click.x, m_click.y, w, h);
            m_host->setHolderCursor(handle == SelectionHandles::INSIDE ? Qt::ArrowCursor
                                                                       : targetCursor(handle));
        }
        return;
    }
    if (!m_bPressed)
        return;
    const int handle = m_nHandle;
    if (handle == SelectionHandles::INSIDE && !m_bPressInside)
        return;
    if (handle == SelectionHandles::INSIDE)
        m_host->setHolderCursor(Qt::SizeAllCursor);
    // Erase the band last drawn; XOR drawing it again removes it.
    if (m_bBandDrawn)
        drawBand(lastBand());
    const SelectionHandles::Box atPress{m_click.x, m_click.y, m_click.width, m_click.height};
    const QRect last = lastBand();
    const SelectionHandles::Box lastBox{last.x(), last.y(), last.width(), last.height()};
    const SelectionHandles::Box band =
        SelectionHandles::dragBand(handle, atPress, m_ptPress, pointer, m_host->screenSize(), lastBox);
    m_ptBandTopLeft = QPoint(band.x, band.y);
    m_ptBandBottomRight = QPoint(band.x + band.w, band.y + band.h);
    drawBand(lastBand());
    m_bBandDrawn = true;
}

void CMouseClick::release(QPoint) {
    if (m_host)
        m_host->setHolderCursor(Qt::ArrowCursor);
    // Without a drawn band there is nothing to take: a release must not
    // collapse the click rectangle to the press point.
    if (m_bBandDrawn && m_ptBandTopLeft != m_ptBandBottomRight) {
        m_click.x = to16(m_ptBandTopLeft.x());
        m_click.y = to16(m_ptBandTopLeft.y());
        m_click.width = to16(m_ptBandBottomRight.x() - m_ptBandTopLeft.x());
        m_click.height = to16(m_ptBandBottomRight.y() - m_ptBandTopLeft.y());
        writeClickRect();
    }
    m_bBandDrawn = false;
    setGeometryRows();
    emitGeometry();
}

void CMouseClick::repaintItem() {
    EditPropertyBase* props = getEditPropertyBase();
    if (!props)
        return;
    const QString name = Prop2Str("Name");
    if (name.size() <= NAME_LIMIT) {
        const QString trimmed = name.trimmed();
        m_click.name = trimmed.isEmpty() ? std::string(DEFAULT_NAME) : toStoredText(trimmed);
    }
    props->setProp_Value("Name", fromStoredText(m_click.name));

    const QString left = Prop2Str("Left"), top = Prop2Str("Top"), width = Prop2Str("Width"),
                  height = Prop2Str("Height");
    if (!left.isEmpty())
        m_click.x = number16(left);
    if (!top.isEmpty())
        m_click.y = number16(top);
    if (!width.isEmpty())
        m_click.width = number16(width);
    if (!height.isEmpty())
        m_click.height = number16(height);

    const QString target = Prop2Str("Target");
    if (target == "Enable")
        m_bTargetDisabled = false;
    else if (target == "Disable")
        m_bTargetDisabled = true;
    SPlayBackFrameInfo* p = playback();
    if (p)
        p->actionDisabled = m_bTargetDisabled ? 1 : 0;

    const QString image = Prop2Str("Image");
    if (!image.isEmpty())
        m_dwImageID = image == kNone ? 0 : uint32_t(PropValueId("Image"));
    if (p)
        p->cursorImage = m_dwImageID;

    // An apply writes at least the drawn size, the size of a recorded click
    // rectangle; drawing raises it the same way.
    raiseToDrawnMinimum();
    if (m_host) {
        m_host->drawContents();
        m_host->setCurrentObject(m_host->selectedItem());
    }
    writeClickRect();
    setGeometryRows();
    emitGeometry();
}

void CMouseClick::mousePressEvent(QMouseEvent* event) {
    press(event->position().toPoint());
}

void CMouseClick::mouseMoveEvent(QMouseEvent* event) {
    move(event->position().toPoint(), event->buttons(), event->modifiers());
}

void CMouseClick::mouseReleaseEvent(QMouseEvent* event) {
    release(event->position().toPoint());
}
