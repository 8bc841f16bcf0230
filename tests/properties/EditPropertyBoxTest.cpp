#include "PropertyTestSupport.h"

#include "properties/PropertyListView.h"
#include "properties/PropertyListViewItem.h"
#include "properties/editors/PropertyLviNumber.h"
#include "properties/editors/PropertyLviString.h"
#include "store/DrawingObjectType.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

using namespace proptest;

namespace {

class EditPropertyBoxTest : public BoxTest {
  protected:
    QTreeWidgetItem* findRow(QTreeWidget* list, const QString& name) {
        auto found = list->findItems(name, Qt::MatchExactly | Qt::MatchRecursive, 0);
        return found.isEmpty() ? nullptr : found.first();
    }
};

TEST_F(EditPropertyBoxTest, IsBuiltAsTheBoxOfTheView) {
    EXPECT_FALSE(box->isModal());
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(box->objectName(), "Edit");
    EXPECT_EQ(box->size(), QSize(410, 470));
    ASSERT_EQ(box->tabWidget->count(), 2);
    EXPECT_EQ(box->tabWidget->tabText(0), "Properties");
    EXPECT_EQ(box->tabWidget->tabText(1), "Events");
    EXPECT_EQ(box->tabWidget->widget(0), box->getListView());
    EXPECT_EQ(box->tabWidget->widget(1), box->getEventListView());
    EXPECT_TRUE(box->getListView()->isHeaderHidden());
    EXPECT_TRUE(box->getEventListView()->isHeaderHidden());
    EXPECT_EQ(box->getListView()->headerItem()->text(0), "Property");
    EXPECT_EQ(box->getEventListView()->headerItem()->text(0), "Event");
    EXPECT_EQ(box->getListView()->header()->sectionSize(1), 150);
    EXPECT_EQ(box->getEventListView()->header()->sectionSize(1), 110);
    EXPECT_EQ(box->getListView()->indentation(), 20);
    EXPECT_TRUE(box->objectChooser->isEditable());
    EXPECT_EQ(box->objectChooser->insertPolicy(), QComboBox::NoInsert);
    EXPECT_EQ(box->getHelpLabel()->frameStyle(), QFrame::Box | QFrame::Sunken);
}

TEST_F(EditPropertyBoxTest, SizeLimitsAfterTheFirstShow) {
    auto object = makeSelected(RECTANGLE);
    box->show();
    settle();
    EXPECT_EQ(box->minimumSize(), QSize(400, 465));
    EXPECT_EQ(box->maximumSize(), QSize(410, 470));
    box->resize(200, 200);
    EXPECT_EQ(box->size(), QSize(400, 465));
    box->resize(900, 900);
    EXPECT_EQ(box->size(), QSize(410, 470));
}

TEST_F(EditPropertyBoxTest, ShowingBringsThePropertiesPageAndRefillsTheChooser) {
    auto object = makeSelected(HYPERLINK);
    box->tabWidget->setCurrentIndex(1);
    std::vector<int> pages;
    auto connection =
        QObject::connect(box->tabWidget, &QTabWidget::currentChanged, [&](int i) { pages.push_back(i); });
    box->show();
    settle();
    EXPECT_EQ(box->tabWidget->currentIndex(), 0);
    EXPECT_EQ(pages, std::vector<int>{0}) << "the page change is announced to the selected object";
    EXPECT_EQ(client.resetComboCalls, 1);
    box->hide();
    box->show();
    EXPECT_EQ(client.resetComboCalls, 2);
    EXPECT_EQ(box->objectChooser->count(), 1) << "each show empties the chooser before it is filled";
    QObject::disconnect(connection);
}

TEST_F(EditPropertyBoxTest, HidingOrClosingEmptiesThePropertiesListOnly) {
    for (int kind : {VALIDATIONFIELD, RECTANGLE}) {
        SCOPED_TRACE(kind);
        auto object = makeSelected(kind);
        object->buildEvent = addFrameEvent;
        box->show();
        box->refillList(object.get());
        box->refillEventList(object.get(), 0);
        ASSERT_GT(box->getListView()->topLevelItemCount(), 0);
        QPointer<PropertyLviBase> editor =
            static_cast<PropertyListViewItem*>(box->getListView()->topLevelItem(0)->child(0))
                ->getColumnWidget(1);
        box->hide();
        EXPECT_EQ(box->getListView()->topLevelItemCount(), 0);
        EXPECT_TRUE(editor.isNull());
        EXPECT_EQ(box->getEventListView()->topLevelItemCount(), 1);

        box->show();
        box->refillList(object.get());
        box->close();
        EXPECT_EQ(box->getListView()->topLevelItemCount(), 0);
        EXPECT_EQ(box->getEventListView()->topLevelItemCount(), 1);
        client.selected = nullptr;
    }
}

TEST_F(EditPropertyBoxTest, HidingWithNoSelectedObjectIsSafe) {
    client.selected = nullptr;
    box->show();
    box->hide();
    box->close();
    EXPECT_EQ(box->getListView()->topLevelItemCount(), 0);
}

TEST_F(EditPropertyBoxTest, ClickingARowShowsItsHelp) {
    auto frame = makeSelected(FRAMEOBJECT);
    frame->buildEvent = addFrameEvent;
    box->refillList(frame.get());
    box->refillEventList(frame.get(), 0);
    QLabel* label = box->getHelpLabel();

    box->slot_PropertyHelps(findRow(box->getListView(), "Mouse Delay"));
    EXPECT_TRUE(label->text().contains("seconds")) << label->text().toStdString();
    box->slot_EventPropertyHelps(findRow(box->getEventListView(), "Exit Play"));
    EXPECT_EQ(label->text(), "<font name=Helvetica>Specifies whether or not playback ends.</font>");
    box->slot_EventPropertyHelps(box->getEventListView()->topLevelItem(0));
    EXPECT_EQ(label->text(),
              "<font name=Helvetica>This category contains events that are generated by an action.</font>");
    box->slot_PropertyHelps(nullptr);
    EXPECT_TRUE(label->text().isEmpty());
}

TEST_F(EditPropertyBoxTest, ARowWithoutHelpAndNoSelectedObjectLeaveTheLabelEmpty) {
    auto object = makeSelected(RECTANGLE);
    object->store.addProp("Secret", "", "General", 1, "", 0);
    box->refillList(object.get());
    box->slot_PropertyHelps(findRow(box->getListView(), "Secret"));
    EXPECT_TRUE(box->getHelpLabel()->text().isEmpty());
    QTreeWidgetItem* name = findRow(box->getListView(), "Name");
    client.selected = nullptr;
    box->slot_PropertyHelps(name);
    EXPECT_TRUE(box->getHelpLabel()->text().isEmpty());
}

TEST_F(EditPropertyBoxTest, HyperlinkRowsFindTheHyperLinkHelp) {
    auto link = makeSelected(HYPERLINK);
    box->refillList(link.get());
    box->slot_PropertyHelps(findRow(box->getListView(), "Tooltip"));
    EXPECT_FALSE(box->getHelpLabel()->text().isEmpty());
}

TEST_F(EditPropertyBoxTest, ClickingInTheListUpdatesTheHelpLabel) {
    auto object = makeSelected(RECTANGLE);
    box->show();
    box->refillList(object.get());
    settle();
    PropertyListView* list = box->getListView();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->topLevelItem(0)).center());
    EXPECT_TRUE(box->getHelpLabel()->text().contains("visual appearance"));
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, QPoint(5, list->viewport()->height() - 3));
    EXPECT_TRUE(box->getHelpLabel()->text().isEmpty());
}

// Undo of an object's creation destroys it while its rows are listed: the
// rows go with it and no edit reaches it.
TEST_F(EditPropertyBoxTest, RowsOfADestroyedObjectAreDropped) {
    auto object = makeSelected(HYPERLINK);
    object->buildEvent = addHyperlinkPointerEvent;
    box->show();
    box->refillList(object.get());
    box->refillEventList(object.get(), 4);
    settle();
    QTreeWidgetItem* nameRow = findRow(box->getListView(), "Name");
    QPointer<PropertyLviBase> editor = static_cast<PropertyListViewItem*>(nameRow)->getColumnWidget(1);
    ASSERT_TRUE(editor);
    client.selected = nullptr;
    object.reset();
    EXPECT_EQ(box->getListView()->topLevelItemCount(), 0);
    EXPECT_EQ(box->getEventListView()->topLevelItemCount(), 0);
    EXPECT_TRUE(editor.isNull());
    EXPECT_TRUE(client.calls.empty());
}

TEST_F(EditPropertyBoxTest, AnEditorWhoseObjectIsGoneCommitsNothing) {
    auto object = makeSelected(RECTANGLE);
    EditPropertyEntry entry("Name", "x", "General", 1, "Rectangle", 0);
    PropertyLviString editor(nullptr, &client, &entry, nullptr, 0);
    client.selected = nullptr;
    object.reset();
    editor.lineEdit()->setText("changed");
    EXPECT_TRUE(client.calls.empty());
    EXPECT_EQ(editor.getSelectedItem(), nullptr);
}

TEST_F(EditPropertyBoxTest, EditorsAreBoundToTheListedObject) {
    auto listed = makeSelected(RECTANGLE);
    FakeObject other(ELLIPSE);
    box->refillList(listed.get());
    client.selected = &other;
    auto* row = static_cast<PropertyListViewItem*>(findRow(box->getListView(), "Name"));
    auto* editor = static_cast<PropertyLviString*>(row->getColumnWidget(1));
    editor->lineEdit()->setText("Renamed");
    EXPECT_EQ(listed->store.getPropValue("Name"), "Renamed");
    ASSERT_EQ(client.callsOf("repaint").size(), 1u);
    EXPECT_EQ(client.callsOf("repaint")[0].object, listed.get());
}

} // namespace

namespace {

// An object whose apply rebuilds the Properties list: the editor that
// committed is still inside its control's change handler, so it must
// outlive that handler.
TEST_F(EditPropertyBoxTest, AnApplyMayRebuildTheListOfTheCommittingEditor) {
    auto object = makeSelected(RECTANGLE);
    box->show();
    box->refillList(object.get());
    settle();
    client.onRepaint = [this](FakeObject* o, const QString&) {
        box->getListView()->clear();
        box->refillList(o);
    };
    auto* row = static_cast<PropertyListViewItem*>(
        box->getListView()->findItems("Name", Qt::MatchExactly | Qt::MatchRecursive, 0).first());
    QPointer<PropertyLviBase> editor = row->getColumnWidget(1);
    auto* line = static_cast<PropertyLviString*>(editor.data())->lineEdit();
    QTest::keyClicks(line, "xy");
    EXPECT_EQ(object->store.getPropValue("Name"), "Object 1x") << "the old editor commits nothing more";
    settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(editor.isNull());
    EXPECT_EQ(box->getListView()->topLevelItemCount(), 3);

    client.onRepaint = nullptr;
    auto* fresh = static_cast<PropertyListViewItem*>(
        box->getListView()->findItems("Border Width", Qt::MatchExactly | Qt::MatchRecursive, 0).first());
    auto* spin = static_cast<PropertyLviNumber*>(fresh->getColumnWidget(1))->spinBox();
    spin->setValue(7);
    EXPECT_EQ(object->store.getPropValue("Border Width"), "7");
}

} // namespace

namespace {

// A drag narrows the Width row's range while "Image File" is selected: the
// clamped Width commits, and an object that applies the list's selected row
// finds "Width" selected while it applies; the author's row comes back.
TEST_F(EditPropertyBoxTest, AClampedRowIsTheSelectedRowWhileItIsApplied) {
    auto bitmap = makeSelected(BITMAP);
    box->show();
    box->refillList(bitmap.get());
    settle();
    PropertyListView* list = box->getListView();
    QTreeWidgetItem* image = list->findItems("Image File", Qt::MatchExactly | Qt::MatchRecursive, 0).first();
    list->setCurrentItem(image);
    settle();
    std::vector<QString> selectedDuringApply;
    client.onRepaint = [&](FakeObject*, const QString&) {
        selectedDuringApply.push_back(list->currentItem() ? list->currentItem()->text(0) : QString());
    };
    bitmap->width = 100;
    emit bitmap->signalSetWidth(100);
    bitmap->left = 900;
    emit bitmap->signalSetLeft(900);
    const auto repaints = client.callsOf("repaint");
    ASSERT_EQ(repaints.size(), 1u);
    EXPECT_EQ(repaints[0].name, "Width");
    EXPECT_EQ(selectedDuringApply, std::vector<QString>{"Width"});
    EXPECT_EQ(bitmap->store.getPropValue("Width"), "124");
    EXPECT_EQ(bitmap->store.getPropValue("Image File"), "[None]");
    EXPECT_EQ(list->currentItem(), image);
    settle();
    auto* imageRow = static_cast<PropertyListViewItem*>(image);
    auto* widthRow = static_cast<PropertyListViewItem*>(
        list->findItems("Width", Qt::MatchExactly | Qt::MatchRecursive, 0).first());
    EXPECT_FALSE(widthRow->getColumnWidget(1)->isVisible());
    EXPECT_EQ(widthRow->text(1), "124");
    // The selected row keeps its editor shown, untouched by the other row's apply.
    ASSERT_NE(imageRow->getColumnWidget(1), nullptr);
    EXPECT_TRUE(imageRow->getColumnWidget(1)->isVisible());
    EXPECT_EQ(imageRow->getColumnWidget(1)->getText(), "[None]");
}

} // namespace
