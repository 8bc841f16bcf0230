// The holder's mouse handling (creation by the current tool, hit tests,
// single and band selection, group drags) and its link with the property
// box's object chooser and pages.
#include "canvas/VLImageHolder.h"

#include "canvas/CDrawSelection.h"
#include "canvas/DrawTools.h"
#include "canvas/HolderObjectFactory.h"
#include "canvas/MouseButtonState.h"
#include "canvas/VelmoraView.h"
#include "properties/EditPropertyBase.h"
#include "properties/EditPropertyBox.h"
#include "properties/PropertyListView.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QTabWidget>

#include <X11/Xlib.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
Q_LOGGING_CATEGORY(lcMouse, "velmora.canvas.mouse", QtWarningMsg)

bool validIndex(size_t size, int index) {
    return index >= 0 && size_t(index) < size;
}

// Makes `object` the one the box shows: its name, its Events page, the
// caption and, while the box is visible, its rows. The selection is the
// caller's.
void listInBox(EditPropertyBox* box, DrawTools* object) {
    // The field's strings and error go to the string editors, not those of
    // the field pressed last.
    if (object->drawingObject == VALIDATIONFIELD)
        object->selectValidationFromCombo();
    if (!box)
        return;
    EditPropertyBase* props = object->getEditPropertyBase();
    const int kind = object->drawingObject;
    const QString name = QString::fromLatin1(object->getObjectName());
    if (props && kind != HYPERLINK && props->getPropValue("Name").isEmpty())
        props->setProp_Value("Name", name);
    if (props && kind == BITMAP && props->getPropValue("Stretch") == QLatin1String("No")) {
        // The bitmap's real size, not a fixed one.
        int x = 0, y = 0, w = 0, h = 0;
        object->setGeometryEntrys(&x, &y, &w, &h);
        props->setProp_Value("Width", QString::number(w));
        props->setProp_Value("Height", QString::number(h));
    }
    bool events = false;
    if (kind == HYPERLINK || kind == FRAMEOBJECT)
        events = true;
    else if (kind == VALIDATIONFIELD)
        events = props && !props->getPropValue("Validation String").isEmpty() && object->hasEvents;
    if (box->tabWidget)
        box->tabWidget->setTabEnabled(1, events);
    box->setWindowTitle(QStringLiteral("Properties [") + name + QLatin1Char(']'));
    if (box->isVisible() && box->getListView()) {
        PropertyListView* list = box->getListView();
        list->hide();
        list->clear();
        list->show();
        box->refillList(object);
    }
}
} // namespace

bool VLImageHolder::isLooseBand(DrawTools* object) const {
    return object && qobject_cast<CDrawSelection*>(object) &&
           std::find(vObjectList.begin(), vObjectList.end(), object) == vObjectList.end();
}

// ---------------------------------------------------------------- helpers

EditPropertyBox* VLImageHolder::propertyBox() const {
    return view ? view->_get_editprop_box() : nullptr;
}

bool VLImageHolder::eventsPageCurrent() const {
    EditPropertyBox* box = propertyBox();
    return box && box->tabWidget && box->tabWidget->currentIndex() == 1;
}

void VLImageHolder::showPropertiesPage() {
    EditPropertyBox* box = propertyBox();
    if (box && box->tabWidget)
        box->tabWidget->setCurrentIndex(0);
}

void VLImageHolder::setChooserCurrent(int index) {
    EditPropertyBox* box = propertyBox();
    if (!box || !box->objectChooser)
        return;
    if (index < 0)
        index = box->objectChooser->count() - 1;
    if (index >= 0 && index < box->objectChooser->count())
        box->objectChooser->setCurrentIndex(index);
}

void VLImageHolder::removeChooserEntry(int index) {
    EditPropertyBox* box = propertyBox();
    if (!box || !box->objectChooser)
        return;
    if (index < 0)
        index = box->objectChooser->count() - 1;
    if (index >= 0 && index < box->objectChooser->count())
        box->objectChooser->removeItem(index);
}

void VLImageHolder::insertChooserEntry(int index, const QString& name) {
    EditPropertyBox* box = propertyBox();
    if (box && box->objectChooser)
        box->objectChooser->insertItem(index, name);
}

void VLImageHolder::forwardMouse(DrawTools* object, QMouseEvent* e) {
    if (!object)
        return;
    // The same device and time as the original: a copy stamped otherwise
    // resets the device's press time, and the toolkit then sees no double-click.
    QMouseEvent copy(e->type(), e->position(), e->scenePosition(), e->globalPosition(), e->button(),
                     e->buttons(), e->modifiers(), e->pointingDevice());
    copy.setTimestamp(e->timestamp());
    QCoreApplication::sendEvent(object, &copy);
}

int VLImageHolder::hitTest(QPoint point, bool skipClickTargets) {
    for (int i = int(vObjectList.size()) - 1; i >= 1; --i) {
        DrawTools* object = vObjectList[size_t(i)];
        if (!object || (skipClickTargets && object->drawingObject == MOUSECLICK))
            continue;
        draw_tool = object;
        if (object->select(point))
            return i;
    }
    return -1;
}

void VLImageHolder::takeNumberBack(int kind) {
    int* counter = counterOfKind(kind);
    if (!counter)
        return;
    if (*counter > 0)
        --*counter;
    if (validIndex(vLastObjectNumber.size(), current_frame))
        if (int32_t* saved = savedCounterOfKind(vLastObjectNumber[size_t(current_frame)], kind))
            *saved = *counter;
}

DrawTools* VLImageHolder::makeToolObject() {
    int* counter = counterOfKind(currentTool);
    const HolderKindMakers* makers = HolderObjectFactory::current().makersOf(currentTool);
    if (!makers || !counter)
        return nullptr; // no object class for this tool yet
    ++*counter;
    DrawTools* object = makers->newAtTool(this, this, currentTool, *counter);
    if (object)
        connectEditObject(object);
    if (validIndex(vLastObjectNumber.size(), current_frame))
        if (int32_t* saved = savedCounterOfKind(vLastObjectNumber[size_t(current_frame)], currentTool))
            *saved = *counter;
    std::snprintf(newObjectID, sizeof newObjectID, "%s%d", objectIdLetter(currentTool, true), *counter);
    return object;
}

void VLImageHolder::commitNewObject(DrawTools* object, int kind) {
    if (!validIndex(vAllObjects.size(), current_frame))
        return;
    vObjectList.push_back(object);
    object->drawingObject = kind;
    object->setObjectID(newObjectID);
    NVAllObjects record;
    object->getAllObjectStructure(&record);
    record.drawingObject = kind;
    record.recordSize = NVAllObjects::STORED_SIZE;
    record.objectID = newObjectID;
    auto& records = vAllObjects[size_t(current_frame)].AllObjects;
    // Records stay index-aligned with the live objects.
    records.resize(vObjectList.size() - 1);
    records.push_back(std::move(record));
    stUndoCodes.push(UNDO_CREATION);
    stObjectIndexes.push(int(vObjectList.size()) - 1);
    emit signalEnableUndo();
    if (vObjectList.size() > 1)
        emit signalEnableSelectAll();
}

void VLImageHolder::dropCreationRecord(int index) {
    // Walk the undo records from the top, drop the newest creation record of
    // that index, and put the rest back as they were.
    std::vector<int> codes, indexes, counts;
    bool dropped = false;
    while (!stUndoCodes.empty() && !dropped) {
        const int code = stUndoCodes.top();
        stUndoCodes.pop();
        if (code == UNDO_CREATION) {
            const int idx = stObjectIndexes.empty() ? -1 : stObjectIndexes.top();
            if (!stObjectIndexes.empty())
                stObjectIndexes.pop();
            if (idx == index) {
                dropped = true;
                break;
            }
            codes.push_back(code);
            indexes.push_back(idx);
        } else if (code == UNDO_DELETION || code == UNDO_CUT) {
            // Only the indexes move with the walk; the removed objects stay put.
            const int n = stActionCounts.empty() ? 0 : stActionCounts.top();
            codes.push_back(code);
            counts.push_back(n);
            if (!stActionCounts.empty())
                stActionCounts.pop();
            for (int k = 0; k < n && !stObjectIndexes.empty(); ++k) {
                indexes.push_back(stObjectIndexes.top());
                stObjectIndexes.pop();
            }
        } else if (code == UNDO_GEOMETRY) {
            codes.push_back(code);
            if (!stObjectIndexes.empty()) {
                indexes.push_back(stObjectIndexes.top());
                stObjectIndexes.pop();
            }
        } else if (code == UNDO_PASTE) {
            codes.push_back(code);
            counts.push_back(stActionCounts.empty() ? 0 : stActionCounts.top());
            if (!stActionCounts.empty())
                stActionCounts.pop();
        } else {
            codes.push_back(code);
        }
    }
    for (auto it = indexes.rbegin(); it != indexes.rend(); ++it)
        stObjectIndexes.push(*it);
    for (auto it = counts.rbegin(); it != counts.rend(); ++it)
        stActionCounts.push(*it);
    for (auto it = codes.rbegin(); it != codes.rend(); ++it)
        stUndoCodes.push(*it);
    if (stUndoCodes.empty())
        emit signalDisableUndo();
}

void VLImageHolder::discardCreatedObject(int index) {
    if (!validIndex(vObjectList.size(), index) || index == 0)
        return;
    DrawTools* object = vObjectList[size_t(index)];
    vObjectList.erase(vObjectList.begin() + index);
    if (validIndex(vAllObjects.size(), current_frame)) {
        auto& records = vAllObjects[size_t(current_frame)].AllObjects;
        if (validIndex(records.size(), index))
            records.erase(records.begin() + index);
    }
    removeChooserEntry(index);
    dropCreationRecord(index);
    if (object) {
        takeNumberBack(object->drawingObject);
        if (draw_tool == object)
            draw_tool = vObjectList.empty() ? nullptr : vObjectList.front();
        delete object;
    }
    vSelectedObjectIndex.erase(std::remove(vSelectedObjectIndex.begin(), vSelectedObjectIndex.end(), index),
                               vSelectedObjectIndex.end());
}

void VLImageHolder::pushGeometry(int index) {
    DrawTools* object = vObjectList[size_t(index)];
    if (keepsGeometryAsPoints(object->drawingObject))
        stPointArrays.push(object->getArrayPoints());
    else
        stRects.push(object->getRegion().boundingRect());
    stUndoCodes.push(UNDO_GEOMETRY);
    stObjectIndexes.push(index);
    emit signalEnableUndo();
}

void VLImageHolder::reconnectFramePage(DrawTools* object) {
    EditPropertyBox* box = propertyBox();
    if (!box)
        return;
    if (object && box->tabWidget)
        disconnect(box->tabWidget, nullptr, object, nullptr);
    box->show();
    if (object)
        connectObject(object);
}

// ---------------------------------------------------------------- mouse

void VLImageHolder::mousePressEvent(QMouseEvent* e) {
    mousePressed = true;
    m_pressButton = int(e->button());
    if (current_frame < 0 || editDisabled)
        return;
    if (e->button() != Qt::LeftButton)
        return;
    const QPoint pos = MouseButtonState::position(e);

    moveUndoSaved = false;
    DrawTools* made = nullptr;
    if (currentTool == POLYLINE) {
        // Held for this press only: between the clicks of an entry the rest
        // of the desktop keeps its mouse.
        grabMouse();
        if (polylineClosed) {
            made = makeToolObject();
            if (made) {
                polylineClosed = false;
                polylineStored = false;
            }
        }
    } else if (currentTool != SELECTION) {
        made = makeToolObject();
    }
    if (made)
        draw_tool = made;
    multiMove = false;
    objectSelection = false;
    pressPoint = lastPoint = pos;

    if (currentTool != SELECTION) {
        // A tool without an object class makes nothing and ends here.
        if (!made && (currentTool != POLYLINE || polylineClosed)) {
            draw_tool = nullptr;
            return;
        }
    } else if (!vSelectedObjectIndex.empty()) {
        bool armed = false;
        for (int index : vSelectedObjectIndex) {
            if (!validIndex(vObjectList.size(), index) || !vObjectList[size_t(index)])
                continue;
            draw_tool = vObjectList[size_t(index)];
            if (draw_tool->select(pos) || cursor().shape() != Qt::ArrowCursor) {
                objectSelection = true;
                multiMove = vSelectedObjectIndex.size() > 1;
                armed = true;
                break;
            }
        }
        if (!armed) {
            drawContents();
            const int hit = hitTest(pos, true);
            if (hit >= 0) {
                vSelectedObjectIndex.assign(1, hit);
                objectSelection = true;
            } else {
                draw_tool = new CDrawSelection(this, this);
                vSelectedObjectIndex.clear();
            }
        }
    } else {
        const int hit = hitTest(pos, true);
        if (hit >= 0) {
            vSelectedObjectIndex.assign(1, hit);
            objectSelection = true;
        } else {
            draw_tool = new CDrawSelection(this, this);
        }
    }
    if (vSelectedObjectIndex.size() > 1 && objectSelection && multiMove)
        return; // a group drag starts
    forwardMouse(draw_tool, e);
}

void VLImageHolder::mouseMoveEvent(QMouseEvent* e) {
    setMouseTracking(true);
    const QPoint pos = MouseButtonState::position(e);
    emit signalMouseMovePositions(pos);
    if (current_frame < 0 || editDisabled)
        return;
    const bool onScreen =
        screenRegion ? screenRegion->contains(pos) : QRect(0, 0, m_screenWidth, m_screenHeight).contains(pos);
    if (draw_tool && vSelectedObjectIndex.size() <= 1 && onScreen) {
        forwardMouse(draw_tool, e);
        return;
    }
    const bool leftOnly = MouseButtonState::isLeftOnlyDrag(e);
    if (draw_tool && vSelectedObjectIndex.size() >= 2 && leftOnly && multiMove) {
        if (!moveUndoSaved) {
            for (int index : vSelectedObjectIndex)
                if (validIndex(vObjectList.size(), index))
                    pushGeometry(index);
            stGeometryCounts.push(int(vSelectedObjectIndex.size()));
            moveUndoSaved = true;
        }
        const int dx = pos.x() - lastPoint.x();
        const int dy = pos.y() - lastPoint.y();
        lastPoint = pos;
        for (int index : vSelectedObjectIndex) {
            if (!validIndex(vObjectList.size(), index))
                continue;
            draw_tool = vObjectList[size_t(index)];
            draw_tool->updatePosition(dx, dy);
            if (holderDisplay)
                XFlush(holderDisplay);
        }
    } else if (draw_tool && vSelectedObjectIndex.size() >= 2 && leftOnly && !multiMove) {
        vSelectedObjectIndex.clear();
    }
}

void VLImageHolder::mouseReleaseEvent(QMouseEvent* e) {
    // The polyline's press took the grab; its release gives it back.
    if (e->button() == Qt::LeftButton && mouseGrabber() == this)
        releaseMouse();
    if (current_frame < 0 || editDisabled) {
        mousePressed = false;
        return;
    }
    const QPoint pos = MouseButtonState::position(e);
    lastPoint = pos;
    const Qt::MouseButton button = e->button();
    const auto cursorShape = cursor().shape();

    if (button == Qt::RightButton && (cursorShape == Qt::ArrowCursor || cursorShape == Qt::CrossCursor)) {
        if (currentTool == POLYLINE)
            releaseMouse();
        objectSelection = false;
        emit signal_select_region();
        vSelectedObjectIndex.clear();
        const int hit = hitTest(pos, false);
        if (hit >= 0) {
            draw_tool = vObjectList[size_t(hit)];
            if (holderDisplay)
                draw_tool->select(holderDisplay, pixmapGC, offscreenPixmap);
            vSelectedObjectIndex.push_back(hit);
            objectSelection = true;
            EditPropertyBox* box = propertyBox();
            if (box && box->isVisible()) {
                if (eventsPageCurrent()) {
                    // A hyperlink refills the chooser itself on the page
                    // change; its pick stays connected.
                    showPropertiesPage();
                    if (draw_tool->drawingObject == HYPERLINK)
                        qCDebug(lcMouse, "draw_tool->drawingObject==HYPERLINK");
                    else
                        slotResetCombo();
                } else {
                    slotResetCombo();
                }
            } else if (box) {
                reconnectFramePage(draw_tool);
            }
        }
    } else if (button != Qt::LeftButton) {
        // Other buttons do nothing.
    } else {
        const bool moved = pos != pressPoint;
        if (currentTool != SELECTION && currentTool != POLYLINE && moved && mousePressed && draw_tool &&
            draw_tool->drawingObject != SELECTION) {
            mousePressed = false;
            DrawTools* made = draw_tool;
            forwardMouse(made, e);
            if (!made->keepWithinVLI()) {
                // Released in its start column or row: no area, so no object.
                takeNumberBack(currentTool);
                delete made;
                draw_tool = nullptr;
                emit signal_select_region();
                removeChooserEntry(-1);
            } else {
                commitNewObject(made, currentTool);
                drawContents();
                EditPropertyBox* box = propertyBox();
                if (box && box->isVisible()) {
                    if (eventsPageCurrent())
                        showPropertiesPage();
                    setChooserCurrent(-1);
                }
            }
        } else if (currentTool == POLYLINE) {
            if (draw_tool) {
                forwardMouse(draw_tool, e);
                if (!polylineStored && !polylineClosed) {
                    commitNewObject(draw_tool, POLYLINE);
                    polylineStored = true;
                }
            }
        } else if (currentTool != SELECTION && !moved) {
            if (draw_tool && draw_tool->drawingObject != SELECTION && mousePressed) {
                takeNumberBack(currentTool);
                delete draw_tool;
                draw_tool = nullptr;
                emit signal_select_region();
                removeChooserEntry(-1);
            }
        } else if (currentTool == SELECTION && !moved) {
            if (!doubleClicked) {
                if (isLooseBand(draw_tool)) {
                    delete draw_tool;
                    draw_tool = nullptr;
                }
                vSelectedObjectIndex.clear();
                const int hit = hitTest(pos, false);
                if (hit >= 0) {
                    draw_tool = vObjectList[size_t(hit)];
                    vSelectedObjectIndex.assign(1, hit);
                    objectSelection = true;
                    if (propertyBox()) {
                        if (eventsPageCurrent()) {
                            showPropertiesPage();
                            if (draw_tool->drawingObject != HYPERLINK)
                                slotResetCombo();
                        } else {
                            slotResetCombo();
                        }
                    }
                } else {
                    objectSelection = false;
                    emit signalDisableCutCopy();
                }
            }
        } else if (currentTool == SELECTION && vSelectedObjectIndex.size() == 1 && draw_tool &&
                   draw_tool->drawingObject != SELECTION) {
            const int index = vSelectedObjectIndex.front();
            DrawTools* object = draw_tool;
            const bool polyline = keepsGeometryAsPoints(object->drawingObject);
            const bool target = object->drawingObject == MOUSECLICK;
            const QPolygon points = polyline ? object->getArrayPoints() : QPolygon();
            const QRect rect = object->getRegion().boundingRect();
            forwardMouse(object, e);
            if (!objectSelection) {
                vSelectedObjectIndex.clear();
                emit signalDisableCutCopy();
            } else if (!target) {
                if (polyline)
                    stPointArrays.push(points);
                else
                    stRects.push(rect);
                stGeometryCounts.push(1);
                stUndoCodes.push(UNDO_GEOMETRY);
                stObjectIndexes.push(index);
                emit signalEnableUndo();
            }
            drawContents();
            EditPropertyBox* box = propertyBox();
            if (box && box->isVisible()) {
                if (eventsPageCurrent())
                    showPropertiesPage();
                else
                    slotResetCombo();
            }
        } else if (currentTool == SELECTION && vSelectedObjectIndex.size() >= 2) {
            objectSelection = true;
            drawContents();
        } else if (currentTool == SELECTION) {
            objectSelection = false;
            vSelectedObjectIndex.clear();
            QRect band;
            CDrawSelection::makeRect(pressPoint, pos, band);
            if (isLooseBand(draw_tool)) {
                forwardMouse(draw_tool, e);
                delete draw_tool;
                draw_tool = nullptr;
            }
            // A band with no width or height touches nothing.
            if (!band.isEmpty()) {
                for (int i = int(vObjectList.size()) - 1; i >= 1; --i) {
                    DrawTools* object = vObjectList[size_t(i)];
                    if (!object)
                        continue;
                    draw_tool = object;
                    if (object->getRegion().intersects(band)) {
                        vSelectedObjectIndex.push_back(i);
                        objectSelection = true;
                    }
                }
            }
        }
    }

    // Closing steps of every release.
    mousePressed = false;
    drawContents();
    if (vSelectedObjectIndex.empty())
        emit signalDisableCutCopy();
    if (!objectSelection && currentTool == SELECTION) {
        if (isLooseBand(draw_tool))
            delete draw_tool;
        draw_tool = vObjectList.empty() ? nullptr : vObjectList.front();
        EditPropertyBox* box = propertyBox();
        if (box && box->isVisible()) {
            if (eventsPageCurrent())
                showPropertiesPage();
            else
                slotResetCombo();
        }
        if (button == Qt::RightButton && box && !box->isVisible() && draw_tool)
            reconnectFramePage(draw_tool);
    } else if (objectSelection) {
        emit signalEnableCutCopy();
    }
    doubleClicked = false;
}

void VLImageHolder::mouseDoubleClickEvent(QMouseEvent* e) {
    if (current_frame < 0 || editDisabled || currentTool != POLYLINE || !draw_tool)
        return;
    forwardMouse(draw_tool, e);
    releaseMouse();
    polylineClosed = true;
    if (validIndex(vAllObjects.size(), current_frame) &&
        !vAllObjects[size_t(current_frame)].AllObjects.empty()) {
        NVAllObjects& last = vAllObjects[size_t(current_frame)].AllObjects.back();
        draw_tool->getAllObjectStructure(&last);
        last.drawingObject = currentTool;
        last.recordSize = NVAllObjects::STORED_SIZE;
        last.objectID = newObjectID;
    }
    const int lastIndex = int(vObjectList.size()) - 1;
    vSelectedObjectIndex.assign(1, lastIndex);
    if (holderDisplay)
        draw_tool->select(holderDisplay, pixmapGC, offscreenPixmap);
    // An unacceptable polyline goes at once, whatever lies on the undo stack.
    if (draw_tool->isInvalidDoubleClick()) {
        discardCreatedObject(lastIndex);
        vSelectedObjectIndex.clear();
    }
    emit signal_select_region();
    doubleClicked = true;
    drawContents();
}

// ---------------------------------------------------------------- property box link

int VLImageHolder::slot_select_draw_object(int tool) {
    if (currentTool == POLYLINE && !polylineClosed) {
        if (mouseGrabber() == this)
            releaseMouse();
        polylineClosed = true;
        if (draw_tool && !draw_tool->keepWithinVLI()) {
            const auto it = std::find(vObjectList.begin(), vObjectList.end(), draw_tool);
            if (it != vObjectList.end()) {
                discardCreatedObject(int(it - vObjectList.begin()));
            } else {
                delete draw_tool;
            }
            draw_tool = vObjectList.empty() ? nullptr : vObjectList.front();
        } else if (draw_tool && polylineStored && validIndex(vAllObjects.size(), current_frame)) {
            // The record was taken at the first release, before the entry had points.
            auto& records = vAllObjects[size_t(current_frame)].AllObjects;
            const auto it = std::find(vObjectList.begin(), vObjectList.end(), draw_tool);
            const size_t index = size_t(it - vObjectList.begin());
            if (it != vObjectList.end() && index < records.size()) {
                const std::string id = records[index].objectID;
                draw_tool->getAllObjectStructure(&records[index]);
                records[index].drawingObject = POLYLINE;
                records[index].recordSize = NVAllObjects::STORED_SIZE;
                records[index].objectID = id;
            }
        }
    }
    currentTool = tool;
    if (tool != SELECTION)
        vSelectedObjectIndex.clear();
    objectSelection = false;
    DrawTools::currentlySelectedObject = tool;
    return tool;
}

void VLImageHolder::slotCheckFrameStatus(bool disabled) {
    editDisabled = disabled;
    if (disabled) {
        vSelectedObjectIndex.clear();
        objectSelection = false;
        drawContents();
    }
}

void VLImageHolder::slotResetCombo() {
    EditPropertyBox* box = propertyBox();
    if (!box || !box->objectChooser)
        return;
    QComboBox* chooser = box->objectChooser;
    if (m_chooserConnection)
        disconnect(m_chooserConnection);
    disconnect(chooser, &QComboBox::activated, this, &VLImageHolder::slotItemSelectedFromProperty);
    // The entry of the object the box shows: the only selected one, or the
    // frame object when none or several are selected.
    const int current = vSelectedObjectIndex.size() == 1 ? vSelectedObjectIndex.front() : 0;
    {
        const QSignalBlocker blocker(chooser);
        chooser->clear();
        for (DrawTools* object : vObjectList)
            chooser->addItem(object ? QString::fromLatin1(object->getObjectName()) : QString());
        if (current >= 0 && current < chooser->count())
            chooser->setCurrentIndex(current);
    }
    if (!box->isVisible())
        return;
    // Browsing the open list highlights; the closed chooser's keys and
    // wheel only pick.
    m_chooserConnection =
        connect(chooser, &QComboBox::highlighted, this, &VLImageHolder::slotItemSelectedFromProperty);
    connect(chooser, &QComboBox::activated, this, &VLImageHolder::slotItemSelectedFromProperty);
    // The rows follow the selection, which stays as it is.
    DrawTools* shown = getSelectedItem();
    if (shown && !eventsPageCurrent() && box->listedObject() != shown)
        listInBox(box, shown);
}

void VLImageHolder::slotItemSelectedFromProperty(int index) {
    EditPropertyBox* box = propertyBox();
    if (eventsPageCurrent()) {
        if (draw_tool && draw_tool->drawingObject == VALIDATIONFIELD)
            draw_tool->selectValidationFromCombo();
        return;
    }
    if (!validIndex(vObjectList.size(), index) || !vObjectList[size_t(index)])
        return;
    draw_tool = vObjectList[size_t(index)];
    if (box && box->isVisible()) {
        emit signal_select_region();
        if (index == 0) {
            vSelectedObjectIndex.clear();
            objectSelection = false;
        } else {
            vSelectedObjectIndex.assign(1, index);
            objectSelection = true;
        }
        // Browsing the open list leaves the chooser naming the entry listed
        // last, also when the list is closed without a pick.
        if (box->objectChooser && box->objectChooser->currentIndex() != index) {
            const QSignalBlocker blocker(box->objectChooser);
            box->objectChooser->setCurrentIndex(index);
        }
    }
    listInBox(box, draw_tool);
    drawContents();
}

void VLImageHolder::slot_selected_edit_object(DrawTools* object) {
    if (editDisabled || !object)
        return;
    auto indexOf = [this](DrawTools* o) {
        for (int i = int(vObjectList.size()) - 1; i >= 1; --i)
            if (vObjectList[size_t(i)] == o)
                return i;
        return -1;
    };
    EditPropertyBox* box = propertyBox();
    if (currentTool != SELECTION) {
        emit signal_select_region();
        draw_tool = object;
        vSelectedObjectIndex.assign(1, std::max(0, indexOf(object)));
        objectSelection = true;
        drawContents();
    } else if (object != draw_tool) {
        const int k = indexOf(object);
        if (k < 0)
            return;
        vSelectedObjectIndex.clear();
        drawContents();
        draw_tool = object;
        vSelectedObjectIndex.assign(1, k);
        objectSelection = true;
        drawContents();
        if (box && box->isVisible()) {
            if (eventsPageCurrent())
                showPropertiesPage();
            slotResetCombo();
        }
    } else if (vSelectedObjectIndex.empty()) {
        const int k = indexOf(object);
        if (k < 0)
            return;
        vSelectedObjectIndex.assign(1, k);
        objectSelection = true;
        if (!box)
            return;
        if (eventsPageCurrent()) {
            showPropertiesPage();
            if (object->drawingObject != VALIDATIONFIELD)
                slotResetCombo();
        } else if (box->isVisible()) {
            slotResetCombo();
        }
    } else if (object->drawingObject == VALIDATIONFIELD) {
        if (box && box->isVisible() && eventsPageCurrent())
            showPropertiesPage();
        else
            slotResetCombo();
    } else if (box && box->isVisible()) {
        slotResetCombo();
    }
}

void VLImageHolder::slotMovedEditObject(QRect rect) {
    if (vSelectedObjectIndex.empty())
        return; // no object to give the rectangle back to
    stRects.push(rect);
    stUndoCodes.push(UNDO_GEOMETRY);
    stObjectIndexes.push(vSelectedObjectIndex.front());
    stGeometryCounts.push(1);
    qCDebug(lcMouse, " vSelectedObjectIndex.size() %d", int(vSelectedObjectIndex.size()));
    emit signalEnableUndo();
}

DrawTools* VLImageHolder::getSelectedItem() const {
    if (vObjectList.empty())
        return nullptr;
    if (vSelectedObjectIndex.size() == 1 && validIndex(vObjectList.size(), vSelectedObjectIndex.front()))
        return vObjectList[size_t(vSelectedObjectIndex.front())];
    return vObjectList.front();
}

void VLImageHolder::slotPushFrameDeletion(int first, int last) {
    stFrameRanges.push({std::min(first, last), std::max(first, last)});
    stUndoCodes.push(UNDO_FRAME_DELETION);
    EditPropertyBox* box = propertyBox();
    if (box && box->isVisible())
        box->hide();
    emit signalEnableUndo();
}

void VLImageHolder::slotPushFrameDeletion() {
    slotPushFrameDeletion(-1, -1);
}

void VLImageHolder::slotPushFrameUnDeletion(int) {}
