// The holder's keyboard, deletion, select all and colours, the object
// clipboard, and undo of the current frame's edits.
#include "canvas/VLImageHolder.h"

#include "canvas/DrawTools.h"
#include "canvas/HolderObjectFactory.h"
#include "canvas/VelmoraView.h"
#include "properties/EditPropertyBox.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QTabWidget>

#include <X11/Xlib.h>

#include <algorithm>
#include <cstdio>

namespace {
bool validIndex(size_t size, int index) {
    return index >= 0 && size_t(index) < size;
}

// The wait cursor for the length of a scope.
class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
} // namespace

// ---------------------------------------------------------------- records and uses

NVAllObjects VLImageHolder::currentRecordOf(DrawTools* object, int index) {
    NVAllObjects record;
    if (validIndex(vAllObjects.size(), current_frame)) {
        const auto& records = vAllObjects[size_t(current_frame)].AllObjects;
        if (validIndex(records.size(), index))
            record = records[size_t(index)];
    }
    object->getAllObjectStructure(&record);
    record.drawingObject = object->drawingObject;
    record.recordSize = NVAllObjects::STORED_SIZE;
    if (record.objectID.empty())
        record.objectID = object->getObjectIDText();
    return record;
}

void VLImageHolder::releaseUses(const NVAllObjects& record) {
    for (uint32_t id : resourceIdsOf(record))
        emit signalReduceIDOnDelete(id);
}

void VLImageHolder::takeUsesAgain(const NVAllObjects& record) {
    for (uint32_t id : resourceIdsOf(record))
        emit signalAddIDOnCopy(id);
}

DrawTools* VLImageHolder::takeOut(int index) {
    DrawTools* object = vObjectList[size_t(index)];
    releaseUses(currentRecordOf(object, index));
    vObjectList.erase(vObjectList.begin() + index);
    if (validIndex(vAllObjects.size(), current_frame)) {
        auto& records = vAllObjects[size_t(current_frame)].AllObjects;
        if (validIndex(records.size(), index))
            records.erase(records.begin() + index);
    }
    if (isaControl(object->drawingObject))
        object->hide();
    removeChooserEntry(index);
    if (draw_tool == object)
        draw_tool = vObjectList.front();
    return object;
}

// ---------------------------------------------------------------- keys

void VLImageHolder::keyPressEvent(QKeyEvent* e) {
    EditPropertyBox* box = propertyBox();
    if (box && box->isVisible())
        return;
    if (!vSelectedObjectIndex.empty() && current_frame >= 0 && !editDisabled) {
        int dx = 0, dy = 0;
        switch (e->key()) {
        case Qt::Key_Delete:
            deleteObjectOnKeyPress();
            drawContents();
            break;
        case Qt::Key_Left:
            dx = -1;
            break;
        case Qt::Key_Up:
            dy = -1;
            break;
        case Qt::Key_Right:
            dx = 1;
            break;
        case Qt::Key_Down:
            dy = 1;
            break;
        default:
            drawContents();
            break;
        }
        if (dx || dy) {
            if (!moveUndoSaved) {
                for (int index : vSelectedObjectIndex)
                    if (validIndex(vObjectList.size(), index))
                        pushGeometry(index);
                stGeometryCounts.push(int(vSelectedObjectIndex.size()));
                moveUndoSaved = true;
            }
            for (int index : vSelectedObjectIndex) {
                if (!validIndex(vObjectList.size(), index))
                    continue;
                draw_tool = vObjectList[size_t(index)];
                draw_tool->updatePosition(dx, dy);
                if (holderDisplay)
                    XFlush(holderDisplay);
            }
            drawContents();
        }
    }
    if (e->key() == Qt::Key_F10 && box) {
        if (eventsPageCurrent()) {
            showPropertiesPage();
            if (draw_tool && draw_tool->drawingObject == HYPERLINK)
                box->tabWidget->setTabEnabled(1, true);
            else
                slotResetCombo();
        }
        box->show();
    }
}

void VLImageHolder::deleteObjectOnKeyPress() {
    WaitCursor wait;
    EditPropertyBox* box = propertyBox();
    if ((!box || !box->isVisible()) && !vSelectedObjectIndex.empty() && current_frame >= 0) {
        int removed = 0;
        for (int index : vSelectedObjectIndex) {
            if (!validIndex(vObjectList.size(), index) || index == 0)
                continue;
            if (vObjectList[size_t(index)]->drawingObject == MOUSECLICK)
                continue;
            stObjectIndexes.push(index);
            stRemovedObjects.push(takeOut(index));
            objectSelection = false;
            ++removed;
        }
        if (removed > 0) {
            stUndoCodes.push(UNDO_DELETION);
            stActionCounts.push(removed);
        }
        setChooserCurrent(0);
        vSelectedObjectIndex.clear();
        emit signalDisableCutCopy();
        if (removed > 0)
            emit signalEnableUndo();
        drawContents();
    }
    if (vObjectList.size() <= 1)
        emit signalDisableSelectAll();
}

void VLImageHolder::slotSelectAllObjects() {
    emit signal_select_region();
    vSelectedObjectIndex.clear();
    for (int i = int(vObjectList.size()) - 1; i >= 1; --i) {
        DrawTools* object = vObjectList[size_t(i)];
        if (!object || object->drawingObject == MOUSECLICK)
            continue;
        vSelectedObjectIndex.push_back(i);
        objectSelection = true;
    }
    drawContents();
    if (vObjectList.size() > 2)
        emit signalEnableCutCopy();
}

void VLImageHolder::changedForeColor(QColor& color) {
    for (int index : vSelectedObjectIndex)
        if (validIndex(vObjectList.size(), index))
            vObjectList[size_t(index)]->changeForeColor(color);
    drawContents();
}

void VLImageHolder::changedBackColor(QColor& color) {
    for (int index : vSelectedObjectIndex)
        if (validIndex(vObjectList.size(), index))
            vObjectList[size_t(index)]->changeBackColor(color);
    drawContents();
}

// ---------------------------------------------------------------- clipboard

void VLImageHolder::slotCutCopyObjects(int mode) {
    if (current_frame < 0)
        return;
    stObjectClipboard = {};
    snCountPaste = 0;
    int removed = 0;
    for (int index : vSelectedObjectIndex) {
        if (!validIndex(vObjectList.size(), index) || index == 0)
            continue;
        DrawTools* object = vObjectList[size_t(index)];
        const NVAllObjects record = currentRecordOf(object, index);
        if (validIndex(vAllObjects.size(), current_frame)) {
            auto& records = vAllObjects[size_t(current_frame)].AllObjects;
            if (validIndex(records.size(), index))
                records[size_t(index)] = record;
        }
        // A copy of its own: later edits of the object leave the clipboard alone.
        stObjectClipboard.push(record);
        // The recorded click target stays on its frame, as with Delete.
        if (mode == CUT && object->drawingObject != MOUSECLICK) {
            stObjectIndexes.push(index);
            stRemovedObjects.push(takeOut(index));
            ++removed;
        }
    }
    if (mode == COPY) {
        emit signalEnableCutCopy();
    } else {
        if (removed > 0) {
            stUndoCodes.push(UNDO_CUT);
            stActionCounts.push(removed);
        }
        vSelectedObjectIndex.clear();
        objectSelection = false;
        emit signalDisableCutCopy();
        if (removed > 0)
            emit signalEnableUndo();
        if (vObjectList.size() <= 1)
            emit signalDisableSelectAll();
    }
    drawContents();
    emit signalEnablePaste();
}

DrawTools* VLImageHolder::makePastedObject(const NVAllObjects& record) {
    const int kind = record.drawingObject;
    int* counter = counterOfKind(kind);
    if (!counter)
        return nullptr;
    const HolderKindMakers* makers = HolderObjectFactory::current().makersOf(kind);
    if (!makers)
        return nullptr; // no paste constructor for this kind
    DrawTools* object = makers->pasted(this, record, *counter + 1, sqpPos);
    if (!object)
        return nullptr;
    ++*counter;
    if (validIndex(vLastObjectNumber.size(), current_frame))
        if (int32_t* saved = savedCounterOfKind(vLastObjectNumber[size_t(current_frame)], kind))
            *saved = *counter;
    std::snprintf(newObjectID, sizeof newObjectID, "%s%d", objectIdLetter(kind, false), *counter);
    connectObject(object);
    return object;
}

void VLImageHolder::slotPasteObjects() {
    WaitCursor wait;
    if (!editDisabled && validIndex(vAllObjects.size(), current_frame)) {
        auto& records = vAllObjects[size_t(current_frame)].AllObjects;
        records.resize(vObjectList.size());
        vSelectedObjectIndex.clear();
        std::stack<NVAllObjects> taken;
        int made = 0;
        sqpPos = QPoint(5 * snCountPaste, 5 * snCountPaste);
        while (!stObjectClipboard.empty()) {
            NVAllObjects source = stObjectClipboard.top();
            stObjectClipboard.pop();
            // Every paste makes its objects from a fresh copy of the record.
            if (DrawTools* object = makePastedObject(source)) {
                draw_tool = object;
                vObjectList.push_back(object);
                object->drawingObject = source.drawingObject;
                object->setObjectID(newObjectID);
                NVAllObjects record;
                object->getAllObjectStructure(&record);
                record.drawingObject = source.drawingObject;
                record.recordSize = NVAllObjects::STORED_SIZE;
                record.objectID = newObjectID;
                records.push_back(std::move(record));
                ++made;
            }
            taken.push(std::move(source));
        }
        for (int k = 0; k < made; ++k)
            vSelectedObjectIndex.push_back(int(vObjectList.size()) - 1 - k);
        stActionCounts.push(made);
        stUndoCodes.push(UNDO_PASTE);
        ++snCountPaste;
        objectSelection = true;
        drawContents();
        emit signalEnableUndo();
        emit signalEnableCutCopy();
        while (!taken.empty()) {
            stObjectClipboard.push(std::move(taken.top()));
            taken.pop();
        }
    }
    if (vObjectList.size() > 1)
        emit signalEnableSelectAll();
}

// ---------------------------------------------------------------- undo

void VLImageHolder::slotUndoAction() {
    if (stUndoCodes.empty())
        return;
    switch (stUndoCodes.top()) {
    case UNDO_CREATION:
        stUndoCodes.pop();
        destroyObject();
        break;
    case UNDO_DELETION:
        stUndoCodes.pop();
        undoDeletion();
        break;
    case UNDO_GEOMETRY:
        restoreGeometry();
        break;
    case UNDO_CUT:
        stUndoCodes.pop();
        undoCut();
        break;
    case UNDO_PASTE:
        stUndoCodes.pop();
        undoPaste();
        break;
    case UNDO_FRAME_DELETION: {
        stUndoCodes.pop();
        std::pair<int, int> range{-1, -1};
        if (!stFrameRanges.empty()) {
            range = stFrameRanges.top();
            stFrameRanges.pop();
        }
        const size_t before = stUndoCodes.size();
        // The frames that were marked, not whatever the strip selects now.
        if (range.first >= 0)
            emit signalUnDeleteFrames(range.first, range.second);
        else
            emit signalUnDeleteFrame(4);
        // The toggle reports itself as a new deletion; that record is not kept.
        if (stUndoCodes.size() > before && stUndoCodes.top() == UNDO_FRAME_DELETION) {
            stUndoCodes.pop();
            if (!stFrameRanges.empty())
                stFrameRanges.pop();
        }
        break;
    }
    default:
        stUndoCodes.pop();
        break;
    }
    drawContents();
    if (stUndoCodes.empty())
        emit signalDisableUndo();
    if (vSelectedObjectIndex.empty())
        emit signalDisableCutCopy();
}

void VLImageHolder::destroyObject() {
    if (!stObjectIndexes.empty())
        stObjectIndexes.pop();
    if (vObjectList.size() <= 1)
        return;
    DrawTools* object = vObjectList.back();
    draw_tool = object;
    if (isaControl(object->drawingObject))
        object->hide();
    releaseUses(currentRecordOf(object, int(vObjectList.size()) - 1));
    vObjectList.pop_back();
    draw_tool = vObjectList.front();
    if (validIndex(vAllObjects.size(), current_frame)) {
        auto& records = vAllObjects[size_t(current_frame)].AllObjects;
        if (records.size() > vObjectList.size())
            records.resize(vObjectList.size());
    }
    delete object;
    objectSelection = false;
    multiMove = false;
    vSelectedObjectIndex.clear();
    removeChooserEntry(-1);
    if (vObjectList.size() <= 1)
        emit signalDisableSelectAll();
}

void VLImageHolder::undoRemoval(bool clearSelectionFlag) {
    vSelectedObjectIndex.clear();
    if (clearSelectionFlag)
        objectSelection = false;
    drawContents();
    const int n = stActionCounts.empty() ? 0 : stActionCounts.top();
    for (int k = 0; k < n && !stObjectIndexes.empty() && !stRemovedObjects.empty(); ++k) {
        int index = stObjectIndexes.top();
        stObjectIndexes.pop();
        DrawTools* object = stRemovedObjects.top();
        stRemovedObjects.pop();
        index = std::clamp(index, 1, int(vObjectList.size()));
        vObjectList.insert(vObjectList.begin() + index, object);
        draw_tool = object;
        NVAllObjects record;
        object->getAllObjectStructure(&record);
        record.drawingObject = object->drawingObject;
        record.recordSize = NVAllObjects::STORED_SIZE;
        record.objectID = object->getObjectIDText();
        if (validIndex(vAllObjects.size(), current_frame)) {
            auto& records = vAllObjects[size_t(current_frame)].AllObjects;
            records.insert(records.begin() + std::min(size_t(index), records.size()), record);
        }
        vSelectedObjectIndex.insert(vSelectedObjectIndex.begin(), index);
        insertChooserEntry(index, QString::fromLatin1(object->getObjectName()));
        takeUsesAgain(record);
    }
    if (!stActionCounts.empty())
        stActionCounts.pop();
    setChooserCurrent(-1);
    objectSelection = true;
    if (vObjectList.size() > 1)
        emit signalEnableSelectAll();
}

void VLImageHolder::undoDeletion() {
    undoRemoval(true);
}

void VLImageHolder::undoCut() {
    undoRemoval(false);
}

void VLImageHolder::undoPaste() {
    const int n = stActionCounts.empty() ? 0 : stActionCounts.top();
    for (int k = 0; k < n && vObjectList.size() > 1; ++k) {
        const int index = int(vObjectList.size()) - 1;
        DrawTools* object = vObjectList.back();
        const NVAllObjects record = currentRecordOf(object, index);
        vObjectList.pop_back();
        if (validIndex(vAllObjects.size(), current_frame)) {
            auto& records = vAllObjects[size_t(current_frame)].AllObjects;
            if (records.size() > vObjectList.size())
                records.resize(vObjectList.size());
        }
        if (isaControl(object->drawingObject))
            object->hide();
        objectSelection = false;
        removeChooserEntry(index);
        releaseUses(record);
        if (draw_tool == object)
            draw_tool = vObjectList.front();
        // Nothing refers to an undone paste's objects any more.
        delete object;
    }
    objectSelection = false;
    vSelectedObjectIndex.clear();
    if (!stActionCounts.empty())
        stActionCounts.pop();
    if (vObjectList.size() <= 1)
        emit signalDisableSelectAll();
}

void VLImageHolder::restoreGeometry() {
    const int n = stGeometryCounts.empty() ? 0 : stGeometryCounts.top();
    for (int k = 0; k < n && !stObjectIndexes.empty(); ++k) {
        const int index = stObjectIndexes.top();
        stObjectIndexes.pop();
        DrawTools* object = validIndex(vObjectList.size(), index) ? vObjectList[size_t(index)] : nullptr;
        const bool polyline = object && keepsGeometryAsPoints(object->drawingObject);
        if (polyline && !stPointArrays.empty()) {
            draw_tool = object;
            object->restorePoly(stPointArrays.top());
            stPointArrays.pop();
        } else if (!polyline && !stRects.empty()) {
            if (object) {
                draw_tool = object;
                // Right and bottom come back as left + width and top + height.
                object->restoreGeometry(stRects.top());
            }
            stRects.pop();
        }
        if (!stUndoCodes.empty())
            stUndoCodes.pop();
    }
    if (!stGeometryCounts.empty())
        stGeometryCounts.pop();
    else if (!stUndoCodes.empty() && stUndoCodes.top() == UNDO_GEOMETRY)
        stUndoCodes.pop(); // a record without its count
}
