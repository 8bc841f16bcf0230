#include "properties/EditPropertyBox.h"

#include "properties/EditPropertyBase.h"
#include "properties/EditPropertyEntry.h"
#include "properties/PropertyBoxClient.h"
#include "properties/PropertyHelpTable.h"
#include "properties/PropertyListView.h"
#include "properties/PropertyListViewItem.h"
#include "properties/PropertyLviBase.h"
#include "properties/PropertyRowEditors.h"
#include "store/DrawingObjectType.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int BOX_WIDTH = 410;
constexpr int BOX_HEIGHT = 470;
constexpr int BOX_MIN_WIDTH = 400;
constexpr int BOX_MIN_HEIGHT = 465;
constexpr int PROPERTY_VALUE_WIDTH = 150;
constexpr int EVENT_VALUE_WIDTH = 110;
constexpr int TREE_STEP = 20;

bool sameText(const QString& a, const QString& b) {
    return a.toUpper() == b.toUpper();
}

bool isEventsCategory(const QString& category) {
    return sameText(category, QStringLiteral("Events"));
}

// The 12 x 16 mark of the Events group row.
QIcon propicon() {
    QPixmap pm(12, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(0, 0, 128));
    p.setBrush(QColor(255, 255, 192));
    p.drawRect(1, 1, 9, 13);
    p.drawLine(3, 5, 8, 5);
    p.drawLine(3, 8, 8, 8);
    p.drawLine(3, 11, 6, 11);
    return QIcon(pm);
}

std::vector<QTreeWidgetItem*> childrenOf(QTreeWidgetItem* parent) {
    std::vector<QTreeWidgetItem*> v;
    for (int i = 0; i < parent->childCount(); ++i)
        v.push_back(parent->child(i));
    return v;
}

std::vector<QTreeWidgetItem*> topLevelOf(QTreeWidget* tree) {
    std::vector<QTreeWidgetItem*> v;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        v.push_back(tree->topLevelItem(i));
    return v;
}

// Element i of a row buffer, or null past its end.
QTreeWidgetItem* at(const std::vector<QTreeWidgetItem*>& v, size_t i) {
    return i < v.size() ? v[i] : nullptr;
}

// Places `item` directly behind its sibling `after`; skipped when either is
// missing or they are not siblings.
void moveAfter(QTreeWidget* tree, QTreeWidgetItem* item, QTreeWidgetItem* after) {
    if (!item || !after || item == after || item->parent() != after->parent())
        return;
    const bool expanded = item->isExpanded();
    if (QTreeWidgetItem* parent = item->parent()) {
        parent->takeChild(parent->indexOfChild(item));
        parent->insertChild(parent->indexOfChild(after) + 1, item);
    } else {
        tree->takeTopLevelItem(tree->indexOfTopLevelItem(item));
        tree->insertTopLevelItem(tree->indexOfTopLevelItem(after) + 1, item);
    }
    item->setExpanded(expanded);
}

// Orders a group's rows ascending by their name, by character codes.
void sortRows(QTreeWidgetItem* group) {
    QList<QTreeWidgetItem*> rows = group->takeChildren();
    std::stable_sort(rows.begin(), rows.end(),
                     [](QTreeWidgetItem* a, QTreeWidgetItem* b) { return a->text(0) < b->text(0); });
    group->addChildren(rows);
}

QTreeWidgetItem* topLevelNamed(QTreeWidget* tree, const QString& name) {
    for (QTreeWidgetItem* r : topLevelOf(tree))
        if (sameText(r->text(0), name))
            return r;
    return nullptr;
}

void detachEditors(QTreeWidgetItem* item) {
    if (auto* row = dynamic_cast<PropertyListViewItem*>(item))
        for (int c = 0; c < 2; ++c)
            if (PropertyLviBase* w = row->getColumnWidget(c))
                w->detachObject();
    for (int i = 0; i < item->childCount(); ++i)
        detachEditors(item->child(i));
}

} // namespace

EditPropertyBox::EditPropertyBox(PropertyBoxClient* view, QWidget* parent, const char* name, bool,
                                 unsigned int)
    : QDialog(parent), view(view) {
    if (name)
        setObjectName(QString::fromLatin1(name));
    setModal(false);
    helpRows.resize(PropertyHelpTable::TABLE_ROWS);
    fillStatus();
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(BOX_WIDTH, BOX_HEIGHT);

    boxLayout = new QVBoxLayout(this);
    boxLayout->setContentsMargins(3, 3, 3, 3);
    boxLayout->setSpacing(3);
    tabWidget = new QTabWidget(this);

    objectChooser = new QComboBox(this);
    objectChooser->setEditable(true);
    // Its entries stand for the frame's objects (or events) by position: typed
    // text is never inserted, or every later pick would reach the wrong one.
    objectChooser->setInsertPolicy(QComboBox::NoInsert);

    propertyList = new PropertyListView(view, tabWidget, "propertyList");
    propertyList->setHeaderLabels({QStringLiteral("Property"), QStringLiteral("Value")});
    propertyList->setIndentation(TREE_STEP);
    propertyList->setRootIsDecorated(true);
    propertyList->setHeaderHidden(true);
    propertyList->header()->setSectionResizeMode(1, QHeaderView::Fixed);
    propertyList->header()->resizeSection(1, PROPERTY_VALUE_WIDTH);

    eventList = new PropertyEventListView(view, tabWidget, "eventList");
    eventList->setHeaderLabels({QStringLiteral("Event"), QStringLiteral("Value")});
    eventList->setRootIsDecorated(true);
    eventList->setHeaderHidden(true);
    eventList->header()->setSectionResizeMode(1, QHeaderView::Fixed);
    eventList->header()->resizeSection(1, EVENT_VALUE_WIDTH);

    tabWidget->addTab(propertyList, QStringLiteral("Properties"));
    tabWidget->addTab(eventList, QStringLiteral("Events"));

    helpLabel = new QLabel(QString(), this);
    helpLabel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    helpLabel->setLineWidth(1);
    helpLabel->setTextFormat(Qt::RichText);
    helpLabel->setWordWrap(true);

    boxLayout->addWidget(objectChooser, 0);
    boxLayout->addWidget(tabWidget, 0);
    boxLayout->addWidget(helpLabel, 0);

    connect(propertyList, &PropertyListView::clicked, this, &EditPropertyBox::slot_PropertyHelps);
    connect(eventList, &PropertyListView::clicked, this, &EditPropertyBox::slot_EventPropertyHelps);
}

EditPropertyBox::~EditPropertyBox() {
    // The lists go first, while the editors' objects may still be asked.
    // Removing the pages must not announce page changes to the objects.
    tabWidget->blockSignals(true);
    delete propertyList;
    propertyList = nullptr;
    delete eventList;
    eventList = nullptr;
}

// ---- showing, hiding, closing, resizing ----

void EditPropertyBox::showEvent(QShowEvent* e) {
    if (tabWidget->currentWidget() == eventList)
        tabWidget->setCurrentIndex(0);
    // The box is visible by now: the canvas lists its selected object
    // without changing the selection.
    if (view)
        view->slotResetCombo();
    QDialog::showEvent(e);
}

void EditPropertyBox::hideEvent(QHideEvent* e) {
    QDialog::hideEvent(e);
    emptyPropertyList();
}

void EditPropertyBox::closeEvent(QCloseEvent* e) {
    QDialog::closeEvent(e);
    emptyPropertyList();
}

void EditPropertyBox::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    setMinimumSize(BOX_MIN_WIDTH, BOX_MIN_HEIGHT);
}

void EditPropertyBox::emptyPropertyList() {
    if (!propertyList)
        return;
    // No selected object (no frame shown, a reset under way) counts as any
    // kind other than a validation field.
    QObject* selected = view ? view->getSelectedItem() : nullptr;
    if (selected && view->drawingObject(selected) == VALIDATIONFIELD) {
        propertyList->clear();
    } else {
        while (propertyList->topLevelItemCount() > 0)
            delete propertyList->takeTopLevelItem(0);
    }
}

// ---- help ----

void EditPropertyBox::setPropertyStatus(int row, const QString& kindKey, const QString& propertyName,
                                        const QString& helpText) {
    if (row < 0 || row >= int(helpRows.size()))
        return;
    helpRows[size_t(row)] = sPropertyStatus{kindKey, propertyName, helpText};
}

void EditPropertyBox::fillStatus() {
    const auto& rows = PropertyHelpTable::rows();
    for (size_t i = 0; i < rows.size(); ++i)
        setPropertyStatus(int(i), rows[i].kindKey, rows[i].propertyName, rows[i].helpText);
    setPropertyStatus(int(rows.size()), QString(), QString(), QString());
}

void EditPropertyBox::slot_PropertyHelps(QTreeWidgetItem* item) {
    showHelp(item);
}

void EditPropertyBox::slot_EventPropertyHelps(QTreeWidgetItem* item) {
    showHelp(item);
}

void EditPropertyBox::showHelp(QTreeWidgetItem* item) {
    helpLabel->setText(QLatin1String(""));
    QObject* selected = view ? view->getSelectedItem() : nullptr;
    if (!item)
        return;
    if (!selected) {
        helpLabel->setText(QString());
        return;
    }
    EditPropertyBase* store = view->getEditPropertyBase(selected);
    const QString kindKey = store ? store->getPropData(QStringLiteral("Name")) : QString();
    helpLabel->setText(PropertyHelpTable::lookup(helpRows, kindKey, item->text(0)));
}

// ---- the row being applied ----

EditPropertyBox::ApplyingRow::ApplyingRow(EditPropertyBox* box, QObject* object, const QString& name) {
    if (!box || !object || object != box->m_listed || !box->propertyList)
        return;
    PropertyListView* list = box->propertyList;
    QTreeWidgetItem* current = list->currentItem();
    if (current && current->parent() && current->text(0) == name)
        return;
    QTreeWidgetItem* row = nullptr;
    for (QTreeWidgetItem* group : topLevelOf(list))
        for (QTreeWidgetItem* child : childrenOf(group))
            if (!row && child->text(0) == name)
                row = child;
    if (!row)
        return;
    m_list = list;
    m_previous = current;
    m_changed = true;
    makeCurrent(row);
}

EditPropertyBox::ApplyingRow::~ApplyingRow() {
    if (!m_changed || !m_list)
        return;
    // The apply may have rebuilt the list; restore only a row still in it.
    QTreeWidgetItem* previous = nullptr;
    for (QTreeWidgetItem* group : topLevelOf(m_list)) {
        if (group == m_previous)
            previous = group;
        for (QTreeWidgetItem* child : childrenOf(group))
            if (child == m_previous)
                previous = child;
    }
    makeCurrent(previous);
}

void EditPropertyBox::ApplyingRow::makeCurrent(QTreeWidgetItem* item) {
    const QSignalBlocker listBlocker(m_list);
    const QSignalBlocker selectionBlocker(m_list->selectionModel());
    if (item)
        m_list->setCurrentItem(item);
    else
        m_list->setCurrentItem(nullptr);
    m_list->viewport()->update();
}

// ---- the listed objects ----

QObject* EditPropertyBox::listedObject() const {
    return propertyList && propertyList->topLevelItemCount() > 0 ? m_listed : nullptr;
}

int EditPropertyBox::listedKind() const {
    return m_fillKind;
}

void EditPropertyBox::watch(QObject* object, QObject*& slot) {
    slot = object;
    connect(object, &QObject::destroyed, this, &EditPropertyBox::objectDestroyed, Qt::UniqueConnection);
}

void EditPropertyBox::objectDestroyed(QObject* object) {
    if (!object)
        return;
    if (object == m_listed && propertyList) {
        for (QTreeWidgetItem* r : topLevelOf(propertyList))
            detachEditors(r);
        propertyList->clear();
        m_listed = nullptr;
    }
    if (object == m_eventListed && eventList) {
        for (QTreeWidgetItem* r : topLevelOf(eventList))
            detachEditors(r);
        eventList->clear();
        m_eventListed = nullptr;
    }
}

// ---- filling ----

void EditPropertyBox::refillList(QObject* object) {
    if (!object || !view)
        return;
    EditPropertyBase* store = view->getEditPropertyBase(object);
    if (!store)
        return;
    helpLabel->setText(QLatin1String(""));
    m_fillKind = view->drawingObject(object);
    const int kind = m_fillKind;
    watch(object, m_listed);
    PropertyLviBase::ListingScope scope(object);

    std::vector<QString> categories;
    std::vector<PropertyListViewItem*> groups;
    for (int i = 0; i <= store->getEntryCount(); ++i) {
        EditPropertyEntry* e = store->getProp(i);
        if (!e)
            continue;
        const bool events = isEventsCategory(e->category);
        PropertyListViewItem* group = nullptr;
        bool found = false;
        if (!events) {
            for (size_t k = 0; k < categories.size() && !found; ++k)
                if (sameText(categories[k], e->category)) {
                    group = groups[k];
                    found = true;
                }
        }
        if (!found) {
            categories.push_back(e->category);
            groups.push_back(nullptr);
            if (e->category.isEmpty() || events)
                continue;
            group = new PropertyListViewItem(propertyList, e->category, QString());
            groups.back() = group;
            if (kind == POLYLINE || kind == MOUSECLICK)
                sortChildElements();
        }
        if (!group)
            continue; // a second entry of the empty category
        PropertyLviBase* editor = PropertyRowEditors::create(PropertyRowEditors::PROPERTIES, e->editorType,
                                                             propertyList->editorParent(), view, e, 0, 0);
        auto* row = new PropertyListViewItem(group, e->name, e->value);
        if (editor)
            row->setColumnWidget(1, editor, true);
    }

    // Geometry rows come in the reverse of their adding; put them back.
    if (kind != POLYLINE) {
        for (QTreeWidgetItem* r : topLevelOf(propertyList)) {
            if (!sameText(r->text(0), QStringLiteral("GEOMETRY")))
                continue;
            const auto g = childrenOf(r);
            moveAfter(propertyList, at(g, 2), at(g, 3));
            moveAfter(propertyList, at(g, 1), at(g, 2));
            moveAfter(propertyList, at(g, 0), at(g, 1));
        }
    }
    if (kind == VALIDATIONFIELD)
        sortChildElements();

    for (QTreeWidgetItem* r : topLevelOf(propertyList)) {
        if (sameText(r->text(0), QStringLiteral("APPEARANCE"))) {
            sortRows(r);
        } else if (sameText(r->text(0), QStringLiteral("GENERAL"))) {
            const auto g = childrenOf(r);
            if (kind == HYPERLINK) {
                moveAfter(propertyList, at(g, 2), at(g, 3));
                moveAfter(propertyList, at(g, 1), at(g, 2));
                moveAfter(propertyList, at(g, 0), at(g, 1));
            } else if (kind == FRAMEOBJECT) {
                moveAfter(propertyList, at(g, 4), at(g, 5));
                moveAfter(propertyList, at(g, 3), at(g, 4));
                moveAfter(propertyList, at(g, 2), at(g, 3));
                moveAfter(propertyList, at(g, 1), at(g, 2));
                moveAfter(propertyList, at(g, 0), at(g, 1));
            } else if (kind == INSTRUCTIONBOX) {
                moveAfter(propertyList, at(g, 1), at(g, 2));
                moveAfter(propertyList, at(g, 0), at(g, 1));
            } else if (kind == VALIDATIONFIELD) {
                moveAfter(propertyList, at(g, 0), at(g, 1));
                moveAfter(propertyList, at(g, 0), at(g, 2));
            } else {
                sortRows(r);
            }
        }
    }
    propertyList->updateWidgets();
}

void EditPropertyBox::sortChildElements() {
    const int kind = listedKind();
    if (kind == POLYLINE || kind == MOUSECLICK) {
        const auto tops = topLevelOf(propertyList);
        if (at(tops, 0) && sameText(tops[0]->text(0), QStringLiteral("GEOMETRY")))
            moveAfter(propertyList, at(tops, 0), at(tops, 1));
    } else if (kind == VALIDATIONFIELD) {
        if (QTreeWidgetItem* general = topLevelNamed(propertyList, QStringLiteral("GENERAL"))) {
            const auto r = childrenOf(general);
            moveAfter(propertyList, at(r, 1), at(r, 2));
        }
    }
}

void EditPropertyBox::refillEventList(QObject* object, int event) {
    fillEvents(object, EventSet::SHORT, 0, event);
}

void EditPropertyBox::refillHyperEventList(QObject* object, int event) {
    fillEvents(object, EventSet::LONG, 0, event);
}

void EditPropertyBox::refillEventList(QObject* object, int string, int key) {
    fillEvents(object, EventSet::VALIDATION, string, key);
}

void EditPropertyBox::fillEvents(QObject* object, EventSet set, int string, int event) {
    if (!object || !view)
        return;
    EditPropertyBase* store = view->getEditPropertyBase(object);
    if (!store)
        return;
    // The old rows go before the set is rebuilt, so no editor outlives the
    // entries it was made for. The list is emptied whether shown or not.
    eventList->clear();
    if (set == EventSet::VALIDATION)
        view->addEventPropEntrys(object, string, event);
    else
        view->addEventPropEntrys(object, event);
    helpLabel->setText(QLatin1String(""));
    m_fillKind = view->drawingObject(object);
    watch(object, m_eventListed);
    PropertyLviBase::ListingScope scope(object);

    const auto listKind = set == EventSet::SHORT  ? PropertyRowEditors::SHORT_SET
                          : set == EventSet::LONG ? PropertyRowEditors::LONG_SET
                                                  : PropertyRowEditors::VALIDATION_SET;
    const int count = set == EventSet::SHORT ? store->getEntryEventCount() : store->getEntryValEventCount();
    std::vector<QString> categories;
    std::vector<QString> names;
    PropertyEventListViewItem* group = nullptr;
    for (int j = 1; j <= count; ++j) {
        EditPropertyEntry* e = set == EventSet::VALIDATION ? store->getValProperties(string, event, j)
                                                           : store->getProperties(event, j);
        if (!e)
            continue;
        if (!isEventsCategory(e->category)) {
            categories.push_back(e->category);
            continue;
        }
        const bool known = std::any_of(categories.begin(), categories.end(),
                                       [&](const QString& c) { return sameText(c, e->category); });
        if (!known || !group) {
            categories.push_back(e->category);
            group = new PropertyEventListViewItem(eventList, e->category, QString());
            group->setIcon(0, propicon());
        }
        if (set == EventSet::LONG) {
            const bool repeated = std::any_of(names.begin(), names.end(),
                                              [&](const QString& n) { return sameText(n, e->name); });
            if (repeated)
                continue;
            names.push_back(e->name);
        }
        PropertyLviBase* editor =
            PropertyRowEditors::create(listKind, e->editorType, eventList->editorParent(), view, e,
                                       set == EventSet::VALIDATION ? string : 0, event);
        auto* row = new PropertyEventListViewItem(group, e->name, e->value);
        if (editor)
            row->setColumnWidget(1, editor, true);
    }
    eventList->updateWidgets();
}
