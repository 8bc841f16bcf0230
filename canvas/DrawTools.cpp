#include "canvas/DrawTools.h"

#include "media/MediaLibraryInterface.h"
#include "properties/EditPropertyBase.h"

#include <algorithm>
#include <cstring>

int32_t DrawTools::currentlySelectedObject = VALIDATIONFIELD;
MediaLibraryInterface* DrawTools::s_mediaLibrary = nullptr;

DrawTools::DrawTools(QWidget* parent, const char* name)
    : QWidget(parent), m_properties(std::make_unique<EditPropertyBase>(true)),
      m_mediaLibrary(s_mediaLibrary) {
    if (name)
        setObjectName(QString::fromLatin1(name));
}

DrawTools::~DrawTools() = default;

void DrawTools::setMediaLibrary(MediaLibraryInterface* mediaLibrary) {
    s_mediaLibrary = mediaLibrary;
}

int DrawTools::get_no_frames(int frames, bool) {
    return frames;
}

void DrawTools::setObjectID(const std::string& id) {
    const size_t n = std::min(id.size(), OBJECT_ID_LENGTH - 1);
    std::memcpy(objectID, id.data(), n);
    std::memset(objectID + n, 0, OBJECT_ID_LENGTH - n);
}

bool DrawTools::keepWithinVLI() {
    return true;
}
void DrawTools::draw() {}
void DrawTools::draw(_XDisplay*, _XGC*, unsigned long&) {}
bool DrawTools::select(QPoint) {
    return true;
}
void DrawTools::select() {}
void DrawTools::select(_XDisplay*, _XGC*, unsigned long&) {}
QRegion DrawTools::getRegion() {
    return QRegion(0, 0, 0, 0);
}
QPolygon DrawTools::getArrayPoints() {
    return QPolygon();
}
void DrawTools::updatePosition(int, int) {}
int DrawTools::getIndex() const {
    return 0;
}
void DrawTools::setPastingPosition() {}
QPoint DrawTools::getPastingPosition() const {
    return QPoint(0, 0);
}
const char* DrawTools::getObjectName() const {
    return nullptr;
}
void DrawTools::restoreGeometry(QRect) {}
void* DrawTools::getObjectStructure() {
    return nullptr;
}
NVFrame* DrawTools::getFrameObjectStructure() {
    return nullptr;
}
bool DrawTools::targetDisabled() const {
    return false;
}
void DrawTools::selectValidationFromCombo() {}
void DrawTools::restorePoly(QPolygon) {}
bool DrawTools::isInvalidDoubleClick() {
    return false;
}
QString DrawTools::getWrittenText() const {
    return QString();
}
void DrawTools::GetFileData(char*, short&) {}
EditPropertyBase* DrawTools::getEditPropertyBase() {
    return m_properties.get();
}
MediaLibraryInterface* DrawTools::getResourceEditor() {
    return m_mediaLibrary;
}
void DrawTools::addEventPropEntrys(int) {}
void DrawTools::addEventPropEntrys(int, int) {}
void DrawTools::setEventProperty(int) {}
void DrawTools::setEventProperty(int, int) {}
void DrawTools::removedKey(int, int) {}
void DrawTools::resizeMultiStringVector(int) {}
void DrawTools::loadValidationStrings() {}
int DrawTools::getORResult(const NVAllObjects&) {
    return 0;
}
int DrawTools::getFrameFillColor(unsigned long) {
    return 0;
}
bool DrawTools::getAllObjectStructure(NVAllObjects*) {
    return true;
}
void DrawTools::repaintItem() {}
void DrawTools::setGeometryEntrys(int*, int*, int*, int*) {}
void DrawTools::changeForeColor(QColor&) {}
void DrawTools::changeBackColor(QColor&) {}
int DrawTools::getObjectID() {
    return 0;
}
void DrawTools::slotFontSelected(QFont&) {}
void DrawTools::slotEnterEventItems(QWidget*) {}
