#include "properties/PropertyListView.h"

#include "properties/PropertyListViewItem.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QTimer>

PropertyListView::PropertyListView(PropertyBoxClient* view, QWidget* parent, const char* name)
    : QTreeWidget(parent), m_view(view) {
    if (name)
        setObjectName(QString::fromLatin1(name));
    setColumnCount(2);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformRowHeights(true);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::Stretch);

    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
        if (current)
            scrollToItem(current);
        updateWidgets();
    });
    connect(this, &QTreeWidget::itemSelectionChanged, this, &PropertyListView::updateWidgets);
    connect(this, &QTreeWidget::itemExpanded, this, &PropertyListView::updateWidgets);
    connect(this, &QTreeWidget::itemCollapsed, this, &PropertyListView::updateWidgets);
    connect(this, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item, int) { emit clicked(item); });
    connect(header(), &QHeaderView::sectionResized, this, &PropertyListView::scheduleUpdate);
    connect(model(), &QAbstractItemModel::rowsInserted, this, &PropertyListView::scheduleUpdate);
    connect(model(), &QAbstractItemModel::rowsRemoved, this, &PropertyListView::scheduleUpdate);
    connect(model(), &QAbstractItemModel::rowsMoved, this, &PropertyListView::scheduleUpdate);
    connect(model(), &QAbstractItemModel::layoutChanged, this, &PropertyListView::scheduleUpdate);
}

PropertyListView::~PropertyListView() {
    clear();
}

void PropertyListView::updateWidgets() {
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (auto* row = dynamic_cast<PropertyListViewItem*>(topLevelItem(i)))
            row->updateWidgets();
}

void PropertyListView::hideAll() {
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (auto* row = dynamic_cast<PropertyListViewItem*>(topLevelItem(i)))
            row->hideWidgets();
}

void PropertyListView::scheduleUpdate() {
    if (m_updateQueued)
        return;
    m_updateQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_updateQueued = false;
        updateWidgets();
    });
}

void PropertyListView::keyPressEvent(QKeyEvent* e) {
    QTreeWidget::keyPressEvent(e);
    updateWidgets();
}

void PropertyListView::mousePressEvent(QMouseEvent* e) {
    QTreeWidget::mousePressEvent(e);
    updateWidgets();
    // The tree reports clicks on rows only; a press on the empty area is a
    // click on no row, which empties the help label.
    if (!itemAt(e->position().toPoint()))
        emit clicked(nullptr);
}

void PropertyListView::resizeEvent(QResizeEvent* e) {
    QTreeWidget::resizeEvent(e);
    updateWidgets();
    scheduleUpdate();
}

void PropertyListView::scrollContentsBy(int dx, int dy) {
    QTreeWidget::scrollContentsBy(dx, dy);
    updateWidgets();
}

void PropertyListView::updateGeometries() {
    QTreeWidget::updateGeometries();
    scheduleUpdate();
}

void PropertyListView::showEvent(QShowEvent* e) {
    QTreeWidget::showEvent(e);
    scheduleUpdate();
}
