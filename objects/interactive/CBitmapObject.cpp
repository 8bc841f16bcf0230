#include "objects/interactive/CBitmapObject.h"

#include "canvas/VLImageHolder.h"
#include "canvas/records/StoredText.h"
#include "media/MediaLibraryInterface.h"
#include "objects/interactive/BitmapRecord.h"
#include "objects/interactive/CEditBitmapObject.h"
#include "objects/interactive/InteractiveHost.h"
#include "objects/interactive/WidgetKindMakers.h"
#include "properties/EditPropertyBase.h"
#include "properties/PropertyEditorType.h"

#include <QFileInfo>

namespace {
const QString kNone = QStringLiteral("[None]");

enum AlignCode : uint8_t { NO_ALIGN, CENTER, TOP_RIGHT, BOTTOM_RIGHT, TOP_LEFT, BOTTOM_LEFT, ALIGN_CODES };

QPixmap placeholder() {
    return QPixmap(QString::fromLatin1(CBitmapObject::PLACEHOLDER));
}
} // namespace

// ---- construction ----

void CBitmapObject::begin(VLImageHolder* holder, QWidget* parent) {
    m_holder = holder;
    addMyPropEntrys();
    if (!parent)
        parent = m_host ? m_host->editorParent() : nullptr;
    m_editor = new CEditBitmapObject(this, parent, m_host);
    drawingObject = BITMAP;
    connect(m_editor, &CEditBitmapObject::signal_selected_bitmap_object, this,
            &CBitmapObject::slot_selected_bitmap_object);
    connect(m_editor, &CEditBitmapObject::signalMovedBitmapObject, this,
            &CBitmapObject::slotMovedBitmapObject);
    if (MediaLibraryInterface* media = getResourceEditor())
        connect(this, &CBitmapObject::signalDeleteIDFromUseArray, this,
                [media](unsigned long id) { media->SlotDeleteIDFromUseArray(id); });
}

CBitmapObject::CBitmapObject(VLImageHolder* holder, QWidget* parent, QPaintDevice*, int number) {
    begin(holder, parent ? parent : static_cast<QWidget*>(holder));
    sBitmapObject& b = bitmap();
    b.stretch = 1;
    b.align = NO_ALIGN;
    nameFromNumber(number);
    setChoiceRows();
    showImageOf(0);
    m_constructionName = fromStoredText(b.name);
}

CBitmapObject::CBitmapObject(VLImageHolder* holder, CBitmapObject& source, int number, QPoint position) {
    begin(holder, holder);
    sBitmapObject& b = bitmap();
    b = source.bitmap();
    b.x = position.x();
    b.y = position.y();
    nameFromNumber(number);
    m_editor->frame().setIndex(number);
    setChoiceRows();
    showImageOf(b.imageId);
    placeLabel();
    drawingObject = source.drawingObject;
    m_constructionName = fromStoredText(b.name);
}

CBitmapObject::CBitmapObject(VLImageHolder* holder, const NVAllObjects& record, int number, QPoint offset) {
    begin(holder, holder);
    NVAllObjects& own = m_editor->record();
    own = record;
    own.drawingObject = BITMAP;
    own.recordSize = NVAllObjects::STORED_SIZE;
    if (!own.get<sBitmapObject>())
        own.payload = sBitmapObject{};
    sBitmapObject& b = bitmap();
    b.x += offset.x();
    b.y += offset.y();
    nameFromNumber(number);
    m_editor->frame().setIndex(number);
    setChoiceRows();
    showImageOf(b.imageId);
    placeLabel();
    if (MediaLibraryInterface* media = getResourceEditor())
        connect(this, &CBitmapObject::signalAddIDOnCopy, this,
                [media](unsigned long id) { media->slotAddIDOnCopy(id); });
    emit signalAddIDOnCopy(b.imageId);
    m_constructionName = fromStoredText(b.name);
}

CBitmapObject::CBitmapObject(VLImageHolder* holder, sBitmapObject stored) {
    begin(holder, holder);
    sBitmapObject& b = bitmap();
    b = std::move(stored);
    setProp("Name", fromStoredText(b.name));
    setGeometryRows();
    setChoiceRows();
    showImageOf(b.imageId);
    placeLabel();
    m_constructionName = fromStoredText(b.name);
}

HolderKindMakers CBitmapObject::holderKindMakers() {
    return widgetKindMakers<CBitmapObject, sBitmapObject, StoredBitmap, BitmapRecord>();
}

void CBitmapObject::addMyPropEntrys() {
    EditPropertyBase* props = getEditPropertyBase();
    if (!props)
        return;
    props->addProp("Name", "", "General", PE_STRING, "BitmapObject", 0);
    props->addProp("Left", "", "Geometry", PE_LEFT, "", 0);
    props->addProp("Top", "", "Geometry", PE_TOP, "", 0);
    props->addProp("Width", "", "Geometry", PE_WIDTH, "BITMAPOBJECT", 0);
    props->addProp("Height", "", "Geometry", PE_HEIGHT, "BITMAPOBJECT", 0);
    props->addProp("Stretch", "", "Appearance", PE_BOOL, "", 0);
    props->addProp("Align", "", "Appearance", PE_ALIGN, "BITMAPOBJECT", 0);
    props->addProp("Image File", "", "Appearance", PE_RESOURCE_FILE, "90", 0);
}

void CBitmapObject::setProp(const QString& name, const QString& value) {
    // A byte without a word sets no value.
    if (value.isNull())
        return;
    if (EditPropertyBase* props = getEditPropertyBase())
        props->setProp_Value(name, value);
}

void CBitmapObject::nameFromNumber(int number) {
    const QString name = QStringLiteral("Bitmap Object ") + QString::number(number);
    bitmap().name = toStoredText(name);
    setProp("Name", name);
    if (m_host)
        m_host->appendObjectName(name);
}

void CBitmapObject::setChoiceRows() {
    const sBitmapObject& b = bitmap();
    setProp("Stretch", b.stretch == 0 ? QStringLiteral("No") : QStringLiteral("Yes"));
    setProp("Align", alignWord(b.align));
}

void CBitmapObject::setGeometryRows() {
    const sBitmapObject& b = bitmap();
    setProp("Left", QString::number(b.x));
    setProp("Top", QString::number(b.y));
    setProp("Width", QString::number(b.width));
    setProp("Height", QString::number(b.height));
}

void CBitmapObject::placeLabel() {
    const sBitmapObject& b = bitmap();
    m_editor->setGeometry(b.x, b.y, b.width, b.height);
}

void CBitmapObject::showImageOf(uint32_t id) {
    if (id == 0) {
        setProp("Image File", kNone);
        m_editor->setImage(placeholder());
        return;
    }
    MediaLibraryInterface* media = getResourceEditor();
    const QString path = media ? media->GetTheFileNameFromID(id) : QString();
    DisplayImage(path);
    // A resource the library cannot hand over is read from its source file.
    if (m_editor->image().isNull() && !path.isEmpty())
        m_editor->setImage(QPixmap(path));
    setProp("Image File", QFileInfo(path).fileName());
}

QSize CBitmapObject::holderSize() const {
    const QWidget* parent = m_editor ? m_editor->parentWidget() : nullptr;
    return parent ? parent->size() : QSize();
}

sBitmapObject& CBitmapObject::bitmap() {
    return m_editor->bitmap();
}

const sBitmapObject& CBitmapObject::bitmap() const {
    return m_editor->bitmap();
}

bool CBitmapObject::stretchFlag() const {
    return m_editor && bitmap().stretch != 0;
}

// ---- alignment ----

QString CBitmapObject::alignWord(int code) {
    static const char* const words[ALIGN_CODES] = {"[None]",       "Center",   "Top Right",
                                                   "Bottom Right", "Top Left", "Bottom Left"};
    if (code < 0 || code >= ALIGN_CODES)
        return QString();
    return QString::fromLatin1(words[code]);
}

int CBitmapObject::alignCode(const QString& word) {
    for (int code = 0; code < ALIGN_CODES; ++code)
        if (word == alignWord(code))
            return code;
    return -1;
}

bool CBitmapObject::alignedPosition(int code, QSize holder, QSize label, QPoint& position) {
    const int W = holder.width(), H = holder.height(), w = label.width(), h = label.height();
    switch (code) {
    case CENTER:
        // The label's corner, not its centre, lies at the middle.
        position = QPoint(W / 2, H / 2);
        return true;
    case TOP_RIGHT:
        position = QPoint(W - w, 0);
        return true;
    case BOTTOM_RIGHT:
        position = QPoint(W - w, H - h);
        return true;
    case TOP_LEFT:
        position = QPoint(0, 0);
        return true;
    case BOTTOM_LEFT:
        position = QPoint(0, H - h);
        return true;
    default:
        return false;
    }
}

// ---- the canvas's operations ----

// ---- properties ----

int CBitmapObject::PropValueId(const QString& name) {
    EditPropertyBase* props = getEditPropertyBase();
    EditPropertyEntry* e = props ? props->getProp(name) : nullptr;
    return e ? e->valueId : 0;
}

void CBitmapObject::applyProperty(const QString& row) {
    if (!m_editor || row.isEmpty())
        return;
    sBitmapObject& b = bitmap();
    const QString v = Prop2Str(row);
    if (row == QLatin1String("Name")) {
        // The limit applies to the text as entered, before trimming.
        if (v.size() <= NAME_LIMIT) {
            QString name = v.trimmed();
            if (name.isEmpty())
                name = m_constructionName;
            b.name = toStoredText(name);
        }
        setProp("Name", fromStoredText(b.name));
    } else if (row == QLatin1String("Left") || row == QLatin1String("Top")) {
        // An aligned bitmap stays where its alignment put it.
        if (v.isEmpty() || b.align != NO_ALIGN)
            return;
        (row == QLatin1String("Left") ? b.x : b.y) = v.toInt();
        m_editor->move(b.x, b.y);
    } else if (row == QLatin1String("Width") || row == QLatin1String("Height")) {
        if (v.isEmpty())
            return;
        (row == QLatin1String("Width") ? b.width : b.height) = v.toInt();
        m_editor->resize(b.width, b.height);
    } else if (row == QLatin1String("Align")) {
        const int code = alignCode(v);
        if (code >= 0) {
            b.align = uint8_t(code);
            QPoint placed;
            if (alignedPosition(code, holderSize(), QSize(b.width, b.height), placed)) {
                b.x = placed.x();
                b.y = placed.y();
            }
        }
        setProp("Left", QString::number(b.x));
        setProp("Top", QString::number(b.y));
        m_editor->move(b.x, b.y);
    } else if (row == QLatin1String("Stretch")) {
        if (v == QLatin1String("Yes")) {
            b.stretch = 1;
        } else if (v == QLatin1String("No")) {
            b.stretch = 0;
            b.width = UNSTRETCHED_SIZE;
            b.height = UNSTRETCHED_SIZE;
            m_editor->setGeometry(b.x, b.y, b.width, b.height);
        }
        emit signalStretch();
    } else if (row == QLatin1String("Image File")) {
        if (v.isEmpty())
            return;
        const uint32_t previous = b.imageId;
        if (v == kNone) {
            b.imageId = 0;
            m_editor->setImage(placeholder());
        } else {
            // The library counted the new image when the author chose it.
            b.imageId = uint32_t(PropValueId(row));
            MediaLibraryInterface* media = getResourceEditor();
            const QString path = media ? media->GetTheFileNameFromID(b.imageId) : QString();
            DisplayImage(path);
            setProp("Image File", path);
        }
        emit signalDeleteIDFromUseArray(previous);
    }
}

void CBitmapObject::DisplayImage(const QString& path) {
    MediaLibraryInterface* media = getResourceEditor();
    if (!media || !m_editor)
        return;
    unsigned long size = 0;
    const std::vector<uint8_t> bytes = media->ReadImageData(path, &size);
    if (size == 0)
        return;
    if (bytes.empty()) {
        // A compressed resource (a BMP) is shown from its source file.
        m_editor->setImage(QPixmap(path));
        return;
    }
    QPixmap image;
    if (image.loadFromData(bytes.data(), uint(bytes.size())))
        m_editor->setImage(image);
}

// ---- slots ----

void CBitmapObject::slot_selected_bitmap_object(DrawTools*) {
    relaySelected();
}

void CBitmapObject::slotMovedBitmapObject(QRect before) {
    relayMoved(before);
}

void CBitmapObject::slotObjectName() {
    setProp("Image File", QString::fromStdString(bitmap().name));
}

void CBitmapObject::emitSelectedEditObject() {
    emit signal_selected_edit_object(this);
}
