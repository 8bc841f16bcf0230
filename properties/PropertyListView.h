// The Properties list of the property box: a two-column tree (name, value)
// whose rows carry in-place editors. The list keeps the selected row's
// editor laid over its value cell and hides every other editor; it re-lays
// them whenever rows, scrolling, selection, size or columns change.
//
// Editors are children of the viewport, so they scroll and clip with it.
#pragma once

#include <QTreeWidget>

class PropertyBoxClient;

class PropertyListView : public QTreeWidget {
    Q_OBJECT
  public:
    PropertyListView(PropertyBoxClient* view, QWidget* parent, const char* name);
    // Deletes every row, and with them their editors, while the list and the
    // editors still exist.
    ~PropertyListView() override;

    // Places, shows or hides the editors of every row.
    void updateWidgets();
    // Hides every editor.
    virtual void hideAll();
    // The parent widget editors of this list are made in.
    QWidget* editorParent() const { return viewport(); }

    // Runs updateWidgets once from the event loop, after pending layout.
    void scheduleUpdate();

  signals:
    // A press or click in the list: the row hit, or null for the empty area.
    void clicked(QTreeWidgetItem* item);

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    void showEvent(QShowEvent* e) override;

  private:
    PropertyBoxClient* m_view;
    bool m_updateQueued = false;
};

// The Events list; the same list, told apart by its class.
class PropertyEventListView : public PropertyListView {
    Q_OBJECT
  public:
    using PropertyListView::PropertyListView;
};
