// Conversion between the holder's per-frame records and the stored records
// of the output file, the reset of the per-frame store, and the write-back of
// the live objects before making.
#include "canvas/VLImageHolder.h"

#include "canvas/DrawTools.h"
#include "canvas/VelmoraView.h"
#include "objects/draw/DrawRectRecord.h"
#include "properties/EditPropertyBox.h"
#include "store/DatRecords.h"

#include <QComboBox>

#include <algorithm>
#include <climits>

void VLImageHolder::getNoFramesOnFileOpen(int frames) {
    if (frames <= 0) {
        vLastObjectNumber.clear();
        setCurrentCounters(sLastObjectNumber{});
    } else {
        total_frames = frames;
        vAllObjects.assign(size_t(frames), StrAllObjects{});
        vLastObjectNumber.assign(size_t(frames), sLastObjectNumber{});
        m_kept.assign(size_t(frames), {});
        current_frame = -1;
    }
    if (!vObjectList.empty()) {
        for (DrawTools* object : vObjectList)
            if (object && isaControl(object->drawingObject)) object->hide();
        EditPropertyBox* box = view ? view->_get_editprop_box() : nullptr;
        if (box && box->objectChooser) box->objectChooser->clear();
        emit signalDisableUndo();
        // The objects are gone for good: nothing can bring them back.
        destroyLiveObjects();
        clearUndo();
        drawContents();
    }
    vSelectedObjectIndex.clear();
    if (frames <= 0) {
        vAllObjects.clear();
        m_kept.clear();
        total_frames = 0;
        current_frame = -1;
    }
}

void VLImageHolder::updateObjects() {
    if (current_frame < 0 || size_t(current_frame) >= vAllObjects.size()) return;
    auto& records = vAllObjects[size_t(current_frame)].AllObjects;
    for (size_t i = 0; i < vObjectList.size(); ++i) {
        DrawTools* object = vObjectList[i];
        if (!object) continue;
        draw_tool = object;
        if (records.size() <= i) records.resize(i + 1);
        object->getAllObjectStructure(&records[i]);
        records[i].drawingObject = object->drawingObject;
        records[i].recordSize = NVAllObjects::STORED_SIZE;
    }
    if (size_t(current_frame) < vLastObjectNumber.size())
        vLastObjectNumber[size_t(current_frame)] = currentCounters();
}
