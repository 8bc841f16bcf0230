// A row of the property box's lists. A row owns the in-place editors of its
// columns (only columns 0 and 1 exist) and shows an editor over its cell
// only while the row is the selected one and visible; otherwise the cell
// shows the editor's text.
#pragma once

#include <QPointer>
#include <QRect>
#include <QTreeWidgetItem>

#include <array>

class PropertyLviBase;

class PropertyListViewItem : public QTreeWidgetItem {
  public:
    // A top-level row, placed first in the list; it opens itself and every
    // row after it.
    PropertyListViewItem(QTreeWidget* parent, const QString& name, const QString& value);
    // A child row, placed first under its parent.
    PropertyListViewItem(PropertyListViewItem* parent, const QString& name, const QString& value);
    // Deletes the row's editors.
    ~PropertyListViewItem() override;
    PropertyListViewItem(const PropertyListViewItem&) = delete;
    PropertyListViewItem& operator=(const PropertyListViewItem&) = delete;

    virtual void setColumnWidget(int column, PropertyLviBase* widget, bool active);
    virtual void clearColumnWidget(int column, bool deleteWidget);
    virtual void clearAllColumnWidgets(bool deleteWidget);
    virtual PropertyLviBase* getColumnWidget(int column);
    virtual bool columnWidgetActive(int column);
    // Shows the column's editor over its cell or hides it and copies its
    // text into the cell.
    virtual void testAndResizeWidget(int column);
    virtual void testAndResizeAllWidgets();
    virtual void hideWidgets();
    // testAndResizeAllWidgets on this row and every row under it.
    void updateWidgets();

    // The cell of a column in viewport coordinates, cut at the viewport's
    // right edge; empty when the row is not shown.
    QRect cellRect(int column) const;

  private:
    void init();
    bool editorHasFocus() const;
    void hideEditor(int column);

    std::array<QPointer<PropertyLviBase>, 2> columnWidgets;
    std::array<bool, 2> columnActive{};
};

// The row class of the Events list.
class PropertyEventListViewItem : public PropertyListViewItem {
  public:
    using PropertyListViewItem::PropertyListViewItem;
};
