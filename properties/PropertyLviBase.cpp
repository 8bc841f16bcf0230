#include "properties/PropertyLviBase.h"

#include "properties/EditPropertyBox.h"
#include "properties/EditPropertyEntry.h"
#include "properties/PropertyBoxClient.h"
#include "properties/PropertyListView.h"
#include "store/DrawingObjectType.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTabWidget>

#include <algorithm>

std::vector<sMultiValidationString> PropertyLviBase::VRmuValidStr;
uint8_t PropertyLviBase::bNotFirstEntry = 0;
sValidMessageRecord PropertyLviBase::m_sValidError;
uint8_t PropertyLviBase::bNotFirstError = 0;
sValidMessageRecord PropertyLviBase::m_sValidMessage;
uint8_t PropertyLviBase::bNotFirstMessage = 0;
uint8_t PropertyLviBase::stretchFlag = 1;

namespace {

// Applying a row makes the object emit its geometry signals; a geometry
// editor whose range then clamps its value commits again from inside that
// apply. Such nested applies are queued and run, each row once, after the
// outer one returns, so an object is never re-entered.
struct PendingApply {
    QPointer<QObject> item;
    QString name;
};
bool applying = false;
// Editors handing an edit to their object, innermost last.
std::vector<const PropertyLviBase*> committing;

struct CommitScope {
    explicit CommitScope(const PropertyLviBase* editor) { committing.push_back(editor); }
    ~CommitScope() { committing.pop_back(); }
    CommitScope(const CommitScope&) = delete;
    CommitScope& operator=(const CommitScope&) = delete;
};
QObject* listingObject = nullptr;
std::vector<PendingApply> pending;
constexpr int MAX_QUEUED_APPLIES = 32;

// Connects one of the object's geometry signals if the object declares it.
void connectIfPresent(QObject* item, const char* signal, const char* method, QObject* receiver,
                      const char* slot) {
    if (item->metaObject()->indexOfSignal(signal) < 0)
        return;
    QObject::connect(item, method, receiver, slot);
}

// The object applies the named row; objects that still apply the list's
// selected row find that row selected while they do.
void apply(PropertyBoxClient* client, QObject* item, const QString& name) {
    EditPropertyBox::ApplyingRow row(client->_get_editprop_box(), item, name);
    client->repaintItem(item, name);
}

} // namespace

void PropertyLviBase::resetSharedRecords() {
    VRmuValidStr.clear();
    bNotFirstEntry = 0;
    m_sValidError = sValidMessageRecord();
    bNotFirstError = 0;
    m_sValidMessage = sValidMessageRecord();
    bNotFirstMessage = 0;
    stretchFlag = 1;
}

PropertyLviBase::ListingScope::ListingScope(QObject* object) : m_previous(listingObject) {
    listingObject = object;
}

PropertyLviBase::ListingScope::~ListingScope() {
    listingObject = m_previous;
}

PropertyLviBase::PropertyLviBase(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                                 const char* name, int)
    : QWidget(parent), entry(entry), view(view) {
    if (name)
        setObjectName(QString::fromLatin1(name));
    setGeometry(0, 0, 0, 0);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    QObject* item = listingObject ? listingObject : view ? view->getSelectedItem() : nullptr;
    selectedItem = item;
    if (!item || view->drawingObject(item) == FRAMEOBJECT)
        return;
    view->setGeometryEntrys(item, &objLeft, &objTop, &objWidth, &objHeight);
    // Crosswise: each geometry editor's range depends on the other side.
    connectIfPresent(item, "signalSetWidth(int)", SIGNAL(signalSetWidth(int)), this, SLOT(slotSetLeft(int)));
    connectIfPresent(item, "signalSetLeft(int)", SIGNAL(signalSetLeft(int)), this, SLOT(slotSetWidth(int)));
    connectIfPresent(item, "signalSetTop(int)", SIGNAL(signalSetTop(int)), this, SLOT(slotSetHeight(int)));
    connectIfPresent(item, "signalSetHeight(int)", SIGNAL(signalSetHeight(int)), this, SLOT(slotSetTop(int)));
}

PropertyLviBase::~PropertyLviBase() = default;

QString PropertyLviBase::getText() {
    return QString();
}

QString PropertyLviBase::getDisplayedText() {
    return QString();
}

void PropertyLviBase::detachObject() {
    if (selectedItem)
        disconnect(selectedItem, nullptr, this, nullptr);
    selectedItem = nullptr;
    entry = nullptr;
}

void PropertyLviBase::requestListUpdate() {
    // Editors live in their list's viewport; a committed row that is not
    // selected shows its new text once the list next lays out its editors.
    QWidget* viewport = parentWidget();
    if (auto* list = qobject_cast<PropertyListView*>(viewport ? viewport->parentWidget() : nullptr))
        list->scheduleUpdate();
}

bool PropertyLviBase::isCommitting() const {
    return std::find(committing.begin(), committing.end(), this) != committing.end();
}

void PropertyLviBase::refreshItem() {
    if (!selectedItem || !view || !entry)
        return;
    CommitScope scope(this);
    requestListUpdate();
    const QString name = entry->name;
    if (applying) {
        auto same = [&](const PendingApply& p) { return p.item == selectedItem && p.name == name; };
        if (std::none_of(pending.begin(), pending.end(), same) && int(pending.size()) < MAX_QUEUED_APPLIES)
            pending.push_back({selectedItem, name});
        return;
    }
    applying = true;
    // An apply may rebuild the lists and so delete this editor: only locals
    // are used from here on.
    PropertyBoxClient* client = view;
    QPointer<QObject> item = selectedItem;
    apply(client, item, name);
    // Rows committed while the object applied are applied now, once each;
    // the bound keeps two rows that keep clamping each other from looping.
    for (int n = 0; n < MAX_QUEUED_APPLIES && !pending.empty(); ++n) {
        PendingApply p = pending.front();
        pending.erase(pending.begin());
        if (p.item)
            apply(client, p.item, p.name);
    }
    pending.clear();
    applying = false;
}

void PropertyLviBase::slotSetLeft(int) {}
void PropertyLviBase::slotSetWidth(int) {}
void PropertyLviBase::slotSetTop(int) {}
void PropertyLviBase::slotSetHeight(int) {}

void PropertyLviBase::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Base));
}

void PropertyLviBase::keyPressEvent(QKeyEvent* e) {
    QWidget::keyPressEvent(e);
    setFocusPolicy(Qt::StrongFocus);
}

void PropertyLviBase::mousePressEvent(QMouseEvent* e) {
    QWidget::mousePressEvent(e);
    setFocusPolicy(Qt::StrongFocus);
}

bool PropertyLviBase::onEventsPage() const {
    EditPropertyBox* box = view ? view->_get_editprop_box() : nullptr;
    return box && box->tabWidget->currentWidget() == box->getEventListView();
}

int PropertyLviBase::selectedKind() const {
    return selectedItem && view ? view->drawingObject(selectedItem) : -1;
}

void PropertyLviBase::applyEvent(int event) {
    if (!selectedItem || !view || !entry)
        return;
    CommitScope scope(this);
    requestListUpdate();
    view->setEventProperty(selectedItem, event);
}

void PropertyLviBase::applyEvent(int string, int key) {
    if (!selectedItem || !view || !entry)
        return;
    CommitScope scope(this);
    requestListUpdate();
    view->setEventProperty(selectedItem, string, key);
}

bool PropertyLviBase::connectToObjectSlot(QObject* object, const char* signal, const char* slot) {
    if (!object || object->metaObject()->indexOfSlot(QMetaObject::normalizedSignature(slot)) < 0)
        return false;
    // The string forms of SIGNAL() and SLOT().
    const QByteArray s = "2" + QMetaObject::normalizedSignature(signal);
    const QByteArray r = "1" + QMetaObject::normalizedSignature(slot);
    connect(this, s.constData(), object, r.constData(), Qt::UniqueConnection);
    return true;
}

QSize PropertyLviBase::screenSize() const {
    return view ? view->getScreenResolution() : QSize();
}
