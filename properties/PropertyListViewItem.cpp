#include "properties/PropertyListViewItem.h"

#include "properties/PropertyLviBase.h"

#include <QApplication>
#include <QHeaderView>
#include <QTreeWidget>

namespace {

bool validColumn(int column) {
    return column == 0 || column == 1;
}

void expandWithChildren(QTreeWidgetItem* item) {
    item->setExpanded(true);
    for (int i = 0; i < item->childCount(); ++i)
        expandWithChildren(item->child(i));
}

} // namespace

PropertyListViewItem::PropertyListViewItem(QTreeWidget* parent, const QString& name, const QString& value) {
    init();
    setText(0, name);
    setText(1, value);
    if (!parent)
        return;
    parent->insertTopLevelItem(0, this);
    for (int i = 0; i < parent->topLevelItemCount(); ++i)
        expandWithChildren(parent->topLevelItem(i));
}

PropertyListViewItem::PropertyListViewItem(PropertyListViewItem* parent, const QString& name,
                                           const QString& value) {
    init();
    setText(0, name);
    setText(1, value);
    if (parent)
        parent->insertChild(0, this);
}

PropertyListViewItem::~PropertyListViewItem() {
    clearAllColumnWidgets(true);
}

void PropertyListViewItem::init() {
    columnWidgets = {};
    columnActive = {false, false};
}

void PropertyListViewItem::setColumnWidget(int column, PropertyLviBase* widget, bool active) {
    if (!validColumn(column))
        return;
    columnWidgets[size_t(column)] = widget;
    columnActive[size_t(column)] = active;
}

void PropertyListViewItem::clearColumnWidget(int column, bool deleteWidget) {
    if (!validColumn(column) || !columnWidgets[size_t(column)])
        return;
    PropertyLviBase* w = columnWidgets[size_t(column)];
    columnWidgets[size_t(column)] = nullptr;
    if (!deleteWidget)
        return;
    if (w->isCommitting()) {
        // Its control is still emitting the change being applied.
        w->detachObject();
        w->hide();
        w->deleteLater();
    } else {
        delete w;
    }
}

void PropertyListViewItem::clearAllColumnWidgets(bool deleteWidget) {
    clearColumnWidget(0, deleteWidget);
    clearColumnWidget(1, deleteWidget);
}

PropertyLviBase* PropertyListViewItem::getColumnWidget(int column) {
    return validColumn(column) ? columnWidgets[size_t(column)].data() : nullptr;
}

bool PropertyListViewItem::columnWidgetActive(int column) {
    return validColumn(column) && columnActive[size_t(column)];
}

QRect PropertyListViewItem::cellRect(int column) const {
    QTreeWidget* tree = treeWidget();
    if (!tree || !validColumn(column))
        return QRect();
    const QRect row = tree->visualItemRect(this);
    if (!row.isValid())
        return QRect();
    const QHeaderView* header = tree->header();
    const int left = header->sectionViewportPosition(column);
    int width = header->sectionSize(column);
    const int right = tree->viewport()->width();
    if (left + width > right)
        width = right - left;
    if (width <= 0)
        return QRect();
    return QRect(left, row.top(), width, row.height());
}

bool PropertyListViewItem::editorHasFocus() const {
    QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return false;
    for (const auto& w : columnWidgets)
        if (w && (w == focus || w->isAncestorOf(focus)))
            return true;
    return false;
}

void PropertyListViewItem::hideEditor(int column) {
    PropertyLviBase* w = columnWidgets[size_t(column)];
    if (w->isVisible())
        w->hide();
    const QString displayed = w->getDisplayedText();
    const QString cell = displayed.isEmpty() ? w->getText() : displayed;
    if (text(column) != cell)
        setText(column, cell);
    if (w->hasFocus() || w->isAncestorOf(QApplication::focusWidget()))
        w->clearFocus();
}

void PropertyListViewItem::testAndResizeWidget(int column) {
    if (!validColumn(column) || !columnWidgets[size_t(column)])
        return;
    PropertyLviBase* w = columnWidgets[size_t(column)];
    QTreeWidget* tree = treeWidget();
    bool show = tree && tree->currentItem() == this && isSelected() && columnActive[size_t(column)] &&
                !isHidden() && (!parent() || parent()->isExpanded());
    QRect cell;
    if (show) {
        cell = cellRect(column);
        // Shown whenever any part of the cell is inside the viewport, so a
        // row scrolled to the very top can still be edited.
        show = cell.isValid() && cell.intersects(tree->viewport()->rect());
    }
    if (!show) {
        hideEditor(column);
        return;
    }
    if (w->geometry() != cell)
        w->setGeometry(cell);
    if (!w->isVisible())
        w->show();
    w->raise();
    if (!editorHasFocus())
        w->setFocus();
}

void PropertyListViewItem::testAndResizeAllWidgets() {
    for (int c = 0; c < 2; ++c)
        if (columnWidgets[size_t(c)])
            testAndResizeWidget(c);
}

void PropertyListViewItem::hideWidgets() {
    for (auto& w : columnWidgets)
        if (w)
            w->hide();
    for (int i = 0; i < childCount(); ++i)
        if (auto* row = dynamic_cast<PropertyListViewItem*>(child(i)))
            row->hideWidgets();
}

void PropertyListViewItem::updateWidgets() {
    testAndResizeAllWidgets();
    for (int i = 0; i < childCount(); ++i)
        if (auto* row = dynamic_cast<PropertyListViewItem*>(child(i)))
            row->updateWidgets();
}
