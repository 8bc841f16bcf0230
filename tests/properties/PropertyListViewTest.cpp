#include "PropertyTestSupport.h"

#include "properties/EditPropertyEntry.h"
#include "properties/PropertyEditorType.h"
#include "properties/PropertyListView.h"
#include "properties/PropertyListViewItem.h"
#include "properties/editors/PropertyLviString.h"
#include "store/DrawingObjectType.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

using namespace proptest;

namespace {

// A shown list of groups with text rows, each row with its editor.
class PropertyListViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        object = std::make_unique<FakeObject>(RECTANGLE);
        client.selected = object.get();
        list = std::make_unique<PropertyListView>(&client, nullptr, "list");
        list->setHeaderHidden(true);
        list->header()->setSectionResizeMode(1, QHeaderView::Fixed);
        list->header()->resizeSection(1, 150);
        list->resize(320, 300);
    }

    // A group of `rows` rows named "<group> <i>" with values "v<i>".
    PropertyListViewItem* addGroup(const QString& name, int rows) {
        auto* group = new PropertyListViewItem(list.get(), name, QString());
        for (int i = rows - 1; i >= 0; --i) {
            entries.push_back(std::make_unique<EditPropertyEntry>(
                QString("%1 %2").arg(name).arg(i), QString("v%1").arg(i), name, PE_STRING, "", 0));
            auto* editor =
                new PropertyLviString(list->editorParent(), &client, entries.back().get(), nullptr, 0);
            editor->hide();
            auto* row = new PropertyListViewItem(group, entries.back()->name, entries.back()->value);
            row->setColumnWidget(1, editor, true);
        }
        return group;
    }

    PropertyLviBase* editorOf(QTreeWidgetItem* item) {
        return static_cast<PropertyListViewItem*>(item)->getColumnWidget(1);
    }

    void select(QTreeWidgetItem* item) {
        list->setCurrentItem(item);
        settle();
    }

    FakeClient client;
    std::unique_ptr<FakeObject> object;
    std::vector<std::unique_ptr<EditPropertyEntry>> entries;
    std::unique_ptr<PropertyListView> list;
};

TEST_F(PropertyListViewTest, NewRowsComeFirstAndATopLevelRowOpensAllRows) {
    PropertyListViewItem* a = addGroup("A", 2);
    a->setExpanded(false);
    PropertyListViewItem* b = addGroup("B", 2);
    EXPECT_EQ(list->topLevelItem(0), b);
    EXPECT_EQ(b->child(0)->text(0), "B 0");
    EXPECT_TRUE(a->isExpanded()) << "a new top-level row opens every row after it";
}

TEST_F(PropertyListViewTest, OnlyTheSelectedRowsEditorIsShownOverItsValueCell) {
    PropertyListViewItem* group = addGroup("G", 3);
    list->show();
    settle();
    QTreeWidgetItem* first = group->child(0);
    QTreeWidgetItem* second = group->child(1);
    select(first);
    PropertyLviBase* e1 = editorOf(first);
    PropertyLviBase* e2 = editorOf(second);
    EXPECT_TRUE(e1->isVisible());
    EXPECT_FALSE(e2->isVisible());
    const QRect row = list->visualItemRect(first);
    const int left = list->header()->sectionViewportPosition(1);
    EXPECT_EQ(e1->geometry(), QRect(left, row.top(), list->viewport()->width() - left, row.height()));
    EXPECT_EQ(e1->parentWidget(), list->viewport());

    // Typing changes the editor; selecting another row shows its text in the cell.
    static_cast<PropertyLviString*>(e1)->lineEdit()->setText("typed");
    select(second);
    EXPECT_FALSE(e1->isVisible());
    EXPECT_TRUE(e2->isVisible());
    EXPECT_EQ(first->text(1), "typed");
}

TEST_F(PropertyListViewTest, CollapsingTheGroupHidesTheEditor) {
    PropertyListViewItem* group = addGroup("G", 2);
    list->show();
    select(group->child(1));
    ASSERT_TRUE(editorOf(group->child(1))->isVisible());
    group->setExpanded(false);
    settle();
    EXPECT_FALSE(editorOf(group->child(1))->isVisible());
}

TEST_F(PropertyListViewTest, TheEditorFollowsItsRowOnScrollAndStaysWhileAnyPartIsShown) {
    PropertyListViewItem* group = addGroup("G", 40);
    list->show();
    settle();
    QTreeWidgetItem* row = group->child(10);
    select(row);
    PropertyLviBase* editor = editorOf(row);
    ASSERT_TRUE(editor->isVisible());
    const int rowHeight = list->visualItemRect(row).height();
    ASSERT_GT(rowHeight, 0);
    const int before = editor->y();

    list->verticalScrollBar()->setValue(list->verticalScrollBar()->value() + 3);
    settle();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->y(), list->visualItemRect(row).top());
    EXPECT_EQ(editor->y(), before - 3 * rowHeight);

    // Scrolled so that the row starts exactly at the top: still editable.
    while (list->visualItemRect(row).top() > 0)
        list->verticalScrollBar()->setValue(list->verticalScrollBar()->value() + 1);
    settle();
    ASSERT_EQ(list->visualItemRect(row).top(), 0);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->y(), 0);

    // Scrolled out of the viewport: hidden.
    list->verticalScrollBar()->setValue(list->verticalScrollBar()->value() + 5);
    settle();
    EXPECT_FALSE(editor->isVisible());
}

TEST_F(PropertyListViewTest, TheEditorEndsAtTheVerticalScrollBar) {
    PropertyListViewItem* group = addGroup("G", 40);
    list->show();
    select(group->child(0));
    ASSERT_TRUE(list->verticalScrollBar()->isVisible());
    PropertyLviBase* editor = editorOf(group->child(0));
    EXPECT_EQ(editor->geometry().right(), list->viewport()->width() - 1);
}

TEST_F(PropertyListViewTest, KeysAndResizingMoveTheEditorWithItsCell) {
    PropertyListViewItem* group = addGroup("G", 3);
    list->show();
    select(group->child(0));
    list->setFocus();
    QTest::keyClick(list.get(), Qt::Key_Down);
    settle();
    EXPECT_EQ(list->currentItem(), group->child(1));
    EXPECT_FALSE(editorOf(group->child(0))->isVisible());
    PropertyLviBase* editor = editorOf(group->child(1));
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->y(), list->visualItemRect(group->child(1)).top());

    list->resize(400, 300);
    settle();
    EXPECT_EQ(editor->geometry().right(), list->viewport()->width() - 1);
    EXPECT_EQ(editor->x(), list->header()->sectionViewportPosition(1));
}

TEST_F(PropertyListViewTest, DeletingARowDeletesItsEditor) {
    PropertyListViewItem* group = addGroup("G", 2);
    QPointer<PropertyLviBase> editor = editorOf(group->child(0));
    ASSERT_TRUE(editor);
    delete group->child(0);
    EXPECT_TRUE(editor.isNull());
    QPointer<PropertyLviBase> other = editorOf(group->child(0));
    list->clear();
    EXPECT_TRUE(other.isNull());
}

TEST_F(PropertyListViewTest, OnlyColumnsZeroAndOneExist) {
    PropertyListViewItem* group = addGroup("G", 1);
    auto* row = static_cast<PropertyListViewItem*>(group->child(0));
    PropertyLviBase* editor = row->getColumnWidget(1);
    auto stray = std::make_unique<PropertyLviBase>(list->editorParent(), &client, nullptr, nullptr, 0);
    row->setColumnWidget(2, stray.get(), true);
    row->setColumnWidget(-1, stray.get(), true);
    EXPECT_EQ(row->getColumnWidget(2), nullptr);
    EXPECT_EQ(row->getColumnWidget(-1), nullptr);
    EXPECT_FALSE(row->columnWidgetActive(2));
    EXPECT_EQ(row->getColumnWidget(1), editor);
    EXPECT_TRUE(row->columnWidgetActive(1));
    row->clearColumnWidget(5, true);
    EXPECT_EQ(row->getColumnWidget(1), editor);
}

TEST_F(PropertyListViewTest, APressOnTheEmptyAreaIsAClickOnNoRow) {
    addGroup("G", 1);
    list->show();
    settle();
    std::vector<QTreeWidgetItem*> clicks;
    QObject::connect(list.get(), &PropertyListView::clicked,
                     [&](QTreeWidgetItem* item) { clicks.push_back(item); });
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(10, list->viewport()->height() - 5));
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], nullptr);
    const QRect first = list->visualItemRect(list->topLevelItem(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first.center());
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[1], list->topLevelItem(0));
}

} // namespace
