// Keyboard, deletion, select all, colours, the object clipboard and undo on
// the canvas.
#include "app/HolderObjectKinds.h"
#include "canvas/DrawTools.h"
#include "objects/draw/DrawRect.h"
#include "properties/EditPropertyBox.h"
#include "store/DatRecords.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalSpy>

namespace {
// Before Xlib, which defines KeyPress.
void sendKey(QObject* receiver, int key) {
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(receiver, &e);
}
} // namespace

// Xlib after the toolkit headers.
#include "HolderFixture.h"

namespace {

using canvastest::HolderTest;

// A stand-in for a kind whose objects use media-library resources.
class ResourceObject : public DrawTools {
  public:
    explicit ResourceObject(NVAllObjects record)
        : DrawTools(nullptr, "stand-in"), m_record(std::move(record)) {
        drawingObject = m_record.drawingObject;
        setObjectID(m_record.objectID);
    }
    bool getAllObjectStructure(NVAllObjects* target) override {
        if (target)
            *target = m_record;
        return true;
    }
    const char* getObjectName() const override { return m_record.objectID.c_str(); }
    QRegion getRegion() override { return QRegion(0, 0, 10, 10); }

  private:
    NVAllObjects m_record;
};

NVAllObjects bitmapRecord(const char* id, uint32_t image) {
    NVAllObjects r;
    r.drawingObject = BITMAP;
    r.objectID = id;
    sBitmapObject b;
    b.imageId = image;
    r.payload = b;
    return r;
}

NVAllObjects validationRecord(const char* id) {
    NVAllObjects r;
    r.drawingObject = VALIDATIONFIELD;
    r.objectID = id;
    sValidationField v;
    v.dialog = sMessageDialogBlock{};
    v.dialog->icon0 = 61;
    sMultiValidationString s;
    s.text = "yes";
    sValidationKey key;
    key.event = sValidationKeyEvent{};
    key.event->imageId = 62;
    key.event->iconId = 63;
    s.keys.push_back(key);
    v.strings.list.push_back(s);
    r.payload = v;
    return r;
}

QList<unsigned long long> ids(const QSignalSpy& spy) {
    QList<unsigned long long> out;
    for (const auto& args : spy)
        out << args.at(0).toULongLong();
    return out;
}

class HolderEditTest : public HolderTest {
  protected:
    void SetUp() override {
        HolderTest::SetUp();
        if (HasFatalFailure())
            return;
        installHolderObjectKinds();
        showPattern(800, 600);
        holder->setPlaybackRecords(&playback);
        playback.assign(2, SPlayBackFrameInfo{});
        holder->get_no_frames(2);
        holder->addFrameStructureToList(1);
        holder->slot_get_current_frame(0);
        sLastObjectNumber counters = VLImageHolder::currentCounters();
        counters.numRects = 0;
        VLImageHolder::setCurrentCounters(counters);
        internals(holder).vLastObjectNumber[0] = sLastObjectNumber{};
    }
    void send(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(p), QPointF(p), QPointF(holder->mapToGlobal(p)), button, buttons,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(holder, &e);
    }
    void drag(QPoint from, QPoint to) {
        send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, from + (to - from) / 2, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }
    void drawRect(QRect r) {
        holder->slot_select_draw_object(RECTANGLE);
        drag(r.topLeft(), r.topLeft() + QPoint(r.width(), r.height()));
        holder->slot_select_draw_object(SELECTION);
    }
    void key(int k) { sendKey(holder, k); }
    void addStandIn(const NVAllObjects& record) {
        auto* object = new ResourceObject(record);
        internals(holder).vObjectList.push_back(object);
        internals(holder).vAllObjects[0].AllObjects.push_back(record);
        view->_get_editprop_box()->objectChooser->addItem(QString::fromStdString(record.objectID));
    }
    const sDrawRect& rectOf(size_t index) const {
        return *static_cast<DrawRect*>(holder->liveObjects()[index])->record().get<sDrawRect>();
    }
    QStringList chooserItems() const {
        QStringList items;
        QComboBox* c = view->_get_editprop_box()->objectChooser;
        for (int i = 0; i < c->count(); ++i)
            items << c->itemText(i);
        return items;
    }
    std::vector<SPlayBackFrameInfo> playback;
};

TEST_F(HolderEditTest, CopyThreeAndPasteThreeTimes) {
    drawRect(QRect(20, 20, 40, 40));
    drawRect(QRect(100, 20, 40, 40));
    drawRect(QRect(200, 20, 40, 40));
    holder->slotSelectAllObjects();
    ASSERT_EQ(std::vector<int>({3, 2, 1}), holder->selectedIndexes());
    holder->slotCutCopyObjects(COPY);
    ASSERT_EQ(3u, internals(holder).stObjectClipboard.size());
    for (int paste = 0; paste < 3; ++paste)
        holder->slotPasteObjects();
    ASSERT_EQ(13u, holder->liveObjects().size());
    ASSERT_EQ(13u, holder->allObjects()[0].AllObjects.size());
    // Pastes lie 0, 5 and 10 pixels right and down, in the copied order.
    const int lefts[] = {20, 100, 200};
    for (int paste = 0; paste < 3; ++paste)
        for (int k = 0; k < 3; ++k) {
            const sDrawRect& r = rectOf(size_t(4 + 3 * paste + k));
            EXPECT_EQ(lefts[k] + 5 * paste, r.left) << paste << " " << k;
            EXPECT_EQ(20 + 5 * paste, r.top);
        }
    EXPECT_EQ(std::vector<int>({12, 11, 10}), holder->selectedIndexes());
    EXPECT_STREQ("R12", holder->liveObjects()[12]->getObjectIDText());

    // A pasted object moves alone.
    holder->liveObjects()[4]->updatePosition(7, 0);
    EXPECT_EQ(25, rectOf(7).left);
    EXPECT_EQ(20, rectOf(1).left);

    holder->slotUndoAction();
    EXPECT_EQ(10u, holder->liveObjects().size());
    EXPECT_EQ(10u, holder->allObjects()[0].AllObjects.size());
    EXPECT_EQ(3u, internals(holder).stObjectClipboard.size());
    EXPECT_EQ(10, view->_get_editprop_box()->objectChooser->count());
}

TEST_F(HolderEditTest, CopyFrameChangePasteStartsAtOffsetZero) {
    drawRect(QRect(20, 20, 40, 40));
    holder->slotSelectAllObjects();
    holder->slotCutCopyObjects(COPY);
    holder->slotPasteObjects();
    holder->slot_get_current_frame(1);
    holder->slotPasteObjects();
    ASSERT_EQ(2u, holder->liveObjects().size());
    EXPECT_EQ(20, rectOf(1).left);
}

TEST_F(HolderEditTest, CutThenUndoRestoresIndexesSelectionAndUseCounts) {
    drawRect(QRect(20, 20, 40, 40));
    addStandIn(bitmapRecord("B1", 31));
    addStandIn(validationRecord("T1"));
    drawRect(QRect(200, 20, 40, 40));
    holder->assignIDValue(999); // whatever a field reported last is not this field's
    const QStringList before = chooserItems();
    internals(holder).vSelectedObjectIndex = {3, 2};
    QSignalSpy released(holder, &VLImageHolder::signalReduceIDOnDelete);
    QSignalSpy taken(holder, &VLImageHolder::signalAddIDOnCopy);
    holder->slotCutCopyObjects(CUT);
    EXPECT_EQ(3u, holder->liveObjects().size());
    EXPECT_EQ(3u, holder->allObjects()[0].AllObjects.size());
    EXPECT_EQ(QList<unsigned long long>({61, 62, 63, 31}), ids(released));
    EXPECT_EQ(2u, internals(holder).stObjectClipboard.size());

    holder->slotUndoAction();
    ASSERT_EQ(5u, holder->liveObjects().size());
    EXPECT_EQ(BITMAP, holder->liveObjects()[2]->drawingObject);
    EXPECT_EQ(VALIDATIONFIELD, holder->liveObjects()[3]->drawingObject);
    EXPECT_EQ(BITMAP, holder->allObjects()[0].AllObjects[2].drawingObject);
    EXPECT_EQ(std::vector<int>({3, 2}), holder->selectedIndexes()) << "descending, as selections are";
    EXPECT_EQ(before, chooserItems());
    EXPECT_EQ(QList<unsigned long long>({31, 61, 62, 63}), ids(taken));
    EXPECT_EQ(2u, internals(holder).stObjectClipboard.size());
}

TEST_F(HolderEditTest, PasteSkipsRecordsWithoutAPasteConstructor) {
    drawRect(QRect(20, 20, 40, 40));
    NVAllObjects target;
    target.drawingObject = MOUSECLICK;
    target.payload = sMouseClick{};
    internals(holder).stObjectClipboard = {};
    internals(holder).stObjectClipboard.push(bitmapRecord("B1", 31));
    internals(holder).stObjectClipboard.push(target);
    internals(holder).stObjectClipboard.push(static_cast<DrawRect*>(holder->liveObjects()[1])->record());
    holder->slotPasteObjects();
    // The rectangle and the bitmap are pasted; the click target is not.
    EXPECT_EQ(4u, holder->liveObjects().size());
    EXPECT_EQ(4u, holder->allObjects()[0].AllObjects.size());
    EXPECT_EQ(2, internals(holder).stActionCounts.top());
    EXPECT_EQ(3u, internals(holder).stObjectClipboard.size());
    holder->slotUndoAction();
    EXPECT_EQ(2u, holder->liveObjects().size());
}

TEST_F(HolderEditTest, RightFiveTimesThenUndoInOneStepSameSize) {
    drawRect(QRect(20, 20, 40, 40));
    drawRect(QRect(100, 20, 40, 40));
    while (!internals(holder).stUndoCodes.empty())
        internals(holder).stUndoCodes.pop();
    holder->slotSelectAllObjects();
    internals(holder).moveUndoSaved = false;
    for (int i = 0; i < 5; ++i)
        key(Qt::Key_Right);
    EXPECT_EQ(25, rectOf(1).left);
    EXPECT_EQ(105, rectOf(2).left);
    holder->slotUndoAction();
    EXPECT_TRUE(internals(holder).stUndoCodes.empty());
    for (size_t i : {size_t(1), size_t(2)}) {
        const sDrawRect& r = rectOf(i);
        EXPECT_EQ(i == 1 ? 20 : 100, r.left);
        EXPECT_EQ(40, r.right - r.left) << "the size survives the undo";
        EXPECT_EQ(40, r.bottom - r.top);
    }
}

TEST_F(HolderEditTest, DeleteLeavesTheClickTargetAndUndoBringsBackTheOthers) {
    playback[0].vType = VALIDATION_MOUSE;
    playback[0].clickRect = SRect{300, 300, 340, 340};
    holder->getMouseActionFrames(playback);
    drawRect(QRect(20, 20, 40, 40));
    drawRect(QRect(100, 20, 40, 40));
    ASSERT_EQ(4u, holder->liveObjects().size());
    ASSERT_EQ(MOUSECLICK, holder->liveObjects()[1]->drawingObject);
    const QStringList before = chooserItems();
    DrawTools* a = holder->liveObjects()[2];
    DrawTools* b = holder->liveObjects()[3];
    internals(holder).vSelectedObjectIndex = {3, 2, 1};
    key(Qt::Key_Delete);
    ASSERT_EQ(2u, holder->liveObjects().size());
    EXPECT_EQ(MOUSECLICK, holder->liveObjects()[1]->drawingObject);
    EXPECT_EQ(2, internals(holder).stActionCounts.top());
    holder->slotUndoAction();
    ASSERT_EQ(4u, holder->liveObjects().size());
    EXPECT_EQ(a, holder->liveObjects()[2]);
    EXPECT_EQ(b, holder->liveObjects()[3]);
    EXPECT_EQ(std::vector<int>({3, 2}), holder->selectedIndexes()) << "descending, as selections are";
    EXPECT_EQ(before, chooserItems());
    EXPECT_EQ(4u, holder->allObjects()[0].AllObjects.size());
}

TEST_F(HolderEditTest, KeysAndDeleteDoNothingWhileTheBoxIsOpen) {
    drawRect(QRect(20, 20, 40, 40));
    holder->slotSelectAllObjects();
    view->_get_editprop_box()->show();
    key(Qt::Key_Delete);
    key(Qt::Key_Right);
    holder->deleteObjectOnKeyPress();
    EXPECT_EQ(2u, holder->liveObjects().size());
    EXPECT_EQ(20, rectOf(1).left);
    view->_get_editprop_box()->hide();
}

TEST_F(HolderEditTest, UndoOfAFrameDeletionTogglesTheStoredRangeAndLeavesNoRecord) {
    drawRect(QRect(20, 20, 40, 40));
    const size_t codes = internals(holder).stUndoCodes.size();
    QList<QPair<int, int>> toggled;
    // The strip answers a toggle with a new deletion report, as it does.
    QObject::connect(holder, &VLImageHolder::signalUnDeleteFrames, holder, [&](int first, int last) {
        toggled << qMakePair(first, last);
        holder->slotPushFrameDeletion(first, last);
    });
    holder->slotPushFrameDeletion(3, 5);
    holder->slotUndoAction();
    ASSERT_EQ(1, toggled.size());
    EXPECT_EQ(qMakePair(3, 5), toggled.front());
    EXPECT_EQ(codes, internals(holder).stUndoCodes.size());
    EXPECT_TRUE(internals(holder).stFrameRanges.empty());
    // A toggle that reports nothing leaves the earlier records alone.
    QObject::disconnect(holder, &VLImageHolder::signalUnDeleteFrames, holder, nullptr);
    holder->slotPushFrameDeletion(1, 1);
    holder->slotUndoAction();
    EXPECT_EQ(codes, internals(holder).stUndoCodes.size());
    EXPECT_EQ(UNDO_CREATION, internals(holder).stUndoCodes.top());
}

TEST_F(HolderEditTest, SelectAllSkipsTheFrameObjectAndClickTarget) {
    playback[0].vType = VALIDATION_MOUSE;
    playback[0].clickRect = SRect{300, 300, 340, 340};
    holder->getMouseActionFrames(playback);
    holder->slotSelectAllObjects();
    EXPECT_TRUE(holder->selectedIndexes().empty());
    EXPECT_FALSE(holder->checkObjectSelection());
}

TEST_F(HolderEditTest, ColourGoesToTheSelectedObjectsOnly) {
    drawRect(QRect(20, 20, 40, 40));
    drawRect(QRect(100, 20, 40, 40));
    const sDrawRect before = rectOf(2);
    QColor red(255, 0, 0);
    holder->changedForeColor(red);
    EXPECT_EQ(before.borderRed, rectOf(1).borderRed);
    internals(holder).vSelectedObjectIndex = {1};
    holder->changedForeColor(red);
    EXPECT_EQ(255, rectOf(1).borderRed);
    EXPECT_EQ(before.borderRed, rectOf(2).borderRed);
}

TEST_F(HolderEditTest, UndoOfACreationRemovesTheObjectAndItsNumber) {
    drawRect(QRect(20, 20, 40, 40));
    ASSERT_EQ(2u, holder->liveObjects().size());
    holder->slotUndoAction();
    EXPECT_EQ(1u, holder->liveObjects().size());
    EXPECT_EQ(1u, holder->allObjects()[0].AllObjects.size());
    EXPECT_EQ(1, view->_get_editprop_box()->objectChooser->count());
    EXPECT_TRUE(internals(holder).stUndoCodes.empty());
    EXPECT_TRUE(internals(holder).stObjectIndexes.empty());
}

} // namespace
