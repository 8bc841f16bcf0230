// The use counts of media library resources across the project's life: a
// choice in a resource row, the make (which resets the project), the opening
// of the made file, a deletion on the canvas, re-choices and New.
#include "MainWindowFixture.h"

#include "canvas/DrawTools.h"
#include "canvas/VLImageHolder.h"
#include "canvas/VelmoraView.h"
#include "media/CResourceEditor.h"
#include "media/ResourceStore.h"
#include "media/ResourceUseTable.h"
#include "properties/EditPropertyBase.h"
#include "properties/EditPropertyBox.h"
#include "properties/PropertyListView.h"
#include "properties/PropertyListViewItem.h"
#include "properties/editors/PropertyLviResourceEditorFile.h"
#include "store/DrawingObjectType.h"
#include "store/VlmFile.h"

#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>

using mainwin::MainWindowTest;

namespace {

using Choice = PropertyLviResourceEditorFile::Choice;
constexpr uint32_t A = 0x03010001, B = 0x03010002, CURSOR = 0x05010001;

class ResourceUses : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ResourceUseTable::instance().clear();
        // The media library dialog as the program runs it: OK counts the choice.
        PropertyLviResourceEditorFile::setResourceDialog([this](QWidget*, int category, uint32_t) {
            EXPECT_EQ(category, 91);
            ResourceUseTable::instance().countChoice(m_next.id, m_newObject);
            return std::optional<Choice>(m_next);
        });
    }
    void TearDown() override {
        PropertyLviResourceEditorFile::setResourceDialog({});
        ResourceUseTable::instance().clear();
        MainWindowTest::TearDown();
    }

    DrawTools* frameObject() {
        auto* o = qobject_cast<DrawTools*>(w->getView()->getSelectedItem());
        EXPECT_NE(o, nullptr);
        EXPECT_EQ(o ? o->drawingObject : -1, FRAMEOBJECT);
        return o;
    }
    // Lists the object in the property box; the editor of its "Audio File Name" row.
    PropertyLviResourceEditorFile* audioRow(DrawTools* object) {
        EditPropertyBox* box = w->getView()->_get_editprop_box();
        box->getListView()->clear();
        box->refillList(object);
        const auto rows =
            box->getListView()->findItems("Audio File Name", Qt::MatchExactly | Qt::MatchRecursive, 0);
        if (rows.size() != 1)
            return nullptr;
        auto* row = static_cast<PropertyListViewItem*>(rows.first());
        return dynamic_cast<PropertyLviResourceEditorFile*>(row->getColumnWidget(1));
    }
    // The author presses "..." on that row and picks a resource.
    void choose(DrawTools* object, const Choice& choice) {
        m_next = choice;
        PropertyLviResourceEditorFile* editor = audioRow(object);
        ASSERT_NE(editor, nullptr);
        editor->getButton()->click();
    }
    int32_t count(uint32_t id) const { return ResourceUseTable::instance().countOf(id); }
    // Answers the next "Save Frames?" with No.
    void answerNo(const std::function<void()>& action) {
        QTimer timer;
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                for (QAbstractButton* b : box->buttons())
                    if (b->text() == "&No ")
                        b->click();
        });
        timer.start();
        action();
    }

    Choice m_next;
    bool m_newObject = true;
};

TEST_F(ResourceUses, CountsFollowTheProject) {
    w->slotEditAppendFrames();
    ASSERT_EQ(w->project().m_dwFrameCount, 1u);
    DrawTools* x = frameObject();
    ASSERT_NE(x, nullptr);
    // The main window's library: sounds are kept by path, numbered in import order.
    auto* library = dynamic_cast<CResourceEditor*>(x->getResourceEditor());
    ASSERT_NE(library, nullptr);
    for (const auto& [id, path] :
         {std::pair<uint32_t, std::string>{A, home() + "/take.wav"}, {B, home() + "/other.wav"}}) {
        QFile f(QString::fromStdString(path));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(44, '\0'));
        f.close();
        EXPECT_EQ(library->store().importFile(QString::fromStdString(path)), id);
    }

    choose(x, {QString::fromStdString(home() + "/take.wav"), A});
    EXPECT_EQ(x->getEditPropertyBase()->getPropValue("Audio File Name"), "take.wav");
    EXPECT_EQ(count(A), 1);
    // A cursor image in the frame's playback record (no recorded press: not written).
    w->project().m_vPlayBackFrameInfo[0].cursorImage = CURSOR;

    // The make writes the sound's record, reports nothing missing and resets
    // the project, which empties the table.
    testing::internal::CaptureStderr();
    w->slotFileMake();
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_EQ(w->project().m_dwFrameCount, 0u) << err;
    EXPECT_EQ(err.find("not in the media library"), std::string::npos) << err;
    EXPECT_TRUE(ResourceUseTable::instance().entries().empty());
    const std::string vlm = home() + "/zedaro/Untitled.vlm";
    {
        VlmFile f;
        ASSERT_EQ(f.openToRead(vlm), 0);
        ASSERT_EQ(f.ScapResourceCount(), 1u);
        VlmResourceRecord r;
        ASSERT_EQ(f.ScapResourceRead(r, 0), 0);
        EXPECT_EQ(r.resourceId(), A);
        EXPECT_EQ(r.fullPath(), home() + "/take.wav");
    }

    // Opening it counts the frame object's use and the cursor image's.
    w->openFromArgv(vlm.c_str());
    ASSERT_EQ(w->project().m_dwFrameCount, 1u);
    ASSERT_EQ(w->project().m_vPlayBackFrameInfo[0].cursorImage, CURSOR);
    EXPECT_EQ(ResourceUseTable::instance().entries(), (std::vector<UseStruct>{{A, 1}, {CURSOR, 1}}));

    // Deleting the object on the canvas frees its resource; undoing takes it back.
    VLImageHolder* holder = w->imageHolder();
    emit holder->signalReduceIDOnDelete(A);
    EXPECT_FALSE(ResourceUseTable::instance().isInUse(A));
    emit holder->signalAddIDOnCopy(A);
    EXPECT_EQ(count(A), 1);

    // A second frame's object chooses A, B, A: A has its two users, B none.
    w->slotEditAppendFrames();
    ASSERT_EQ(w->project().m_dwFrameCount, 2u);
    DrawTools* y = frameObject();
    ASSERT_NE(y, nullptr);
    ASSERT_EQ(y->getEditPropertyBase()->getPropValue("Audio File Name"), "[None]")
        << "the new frame's object";
    choose(y, {QString::fromStdString(home() + "/take.wav"), A});
    choose(y, {QString::fromStdString(home() + "/other.wav"), B});
    choose(y, {QString::fromStdString(home() + "/take.wav"), A});
    EXPECT_EQ(ResourceUseTable::instance().entries(), (std::vector<UseStruct>{{CURSOR, 1}, {A, 2}}));

    // Typing into the row ("[None]") frees Y's use.
    PropertyLviResourceEditorFile* row = audioRow(y);
    ASSERT_NE(row, nullptr);
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QCoreApplication::sendEvent(row->getLineEdit(), &typed);
    EXPECT_EQ(y->getEditPropertyBase()->getPropValue("Audio File Name"), "[None]");
    EXPECT_EQ(ResourceUseTable::instance().entries(), (std::vector<UseStruct>{{CURSOR, 1}, {A, 1}}));

    // New closes the project: nothing is in use.
    answerNo([&] { w->slotFileNew(); });
    EXPECT_EQ(w->project().m_dwFrameCount, 0u);
    EXPECT_TRUE(ResourceUseTable::instance().entries().empty());
}

} // namespace
