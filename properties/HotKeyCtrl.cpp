#include "properties/HotKeyCtrl.h"

#include "properties/HotKeyCapture.h"
#include "properties/PropertyBoxClient.h"
#include "properties/WindowsKeyCodes.h"
#include "store/DrawingObjectType.h"

#include <QDebug>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

#include <utility>

namespace {

const char* const kNone = "None";

HotKeyCtrl::Confirm& confirmer() {
    static HotKeyCtrl::Confirm confirm;
    return confirm;
}

// The keyboard goes to the key label while a handler captures, and comes
// back on every way out of the handler.
class KeyboardGrab {
  public:
    explicit KeyboardGrab(QWidget* w) : m_widget(w) { m_widget->grabKeyboard(); }
    ~KeyboardGrab() { release(); }
    void release() {
        if (m_widget)
            m_widget->releaseKeyboard();
        m_widget = nullptr;
    }
    KeyboardGrab(const KeyboardGrab&) = delete;
    KeyboardGrab& operator=(const KeyboardGrab&) = delete;

  private:
    QWidget* m_widget;
};

std::string latin1(const QString& s) {
    return s.toLatin1().toStdString();
}

bool isRow(const QListWidget* list, const QString& t) {
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text() == t)
            return true;
    return false;
}

QString text(const sMultiValidationString& s) {
    return QString::fromLatin1(s.text.data(), qsizetype(s.text.size()));
}

} // namespace

HotKeyCtrl::HotKeyCtrl(QWidget* parent, const char* name) : QDialog(parent) {
    if (name)
        setObjectName(QString::fromLatin1(name));
    setModal(true);
    initDialog();
    connect(stringLine, &QLineEdit::returnPressed, this, &HotKeyCtrl::slotInsertInList);
    connect(addButton, &QPushButton::clicked, this, &HotKeyCtrl::slotlist);
    connect(removeButton, &QPushButton::clicked, this, &HotKeyCtrl::slotRemoveFromList);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(stringsList, &QListWidget::itemSelectionChanged, this, &HotKeyCtrl::slotShowKeysForAString);
    // Qt 6's line edit keeps its key releases; the dialog must see them.
    stringLine->installEventFilter(this);
}

bool HotKeyCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == stringLine && event->type() == QEvent::KeyRelease)
        keyReleaseEvent(static_cast<QKeyEvent*>(event));
    return QDialog::eventFilter(watched, event);
}

void HotKeyCtrl::initDialog() {
    setWindowTitle(QStringLiteral("Validation String Dialog"));
    setFixedSize(490, 370);

    stringGroup = new QGroupBox(QStringLiteral("Validation String"), this);
    stringGroup->setGeometry(10, 10, 190, 270);
    stringLine = new QLineEdit(stringGroup);
    stringLine->setGeometry(10, 20, 170, 30);
    stringLine->setMaxLength(STRING_LIMIT);
    stringsList = new QListWidget(stringGroup);
    stringsList->setGeometry(10, 60, 170, 200);

    keyGroup = new QGroupBox(QStringLiteral("Validation Key"), this);
    keyGroup->setGeometry(210, 10, 170, 270);
    keyLabel = new QLabel(QString::fromLatin1(kNone), keyGroup);
    keyLabel->setGeometry(10, 20, 150, 30);
    keyLabel->setFocusPolicy(Qt::NoFocus);
    // The label holds the focus while keys are captured: it must pass every
    // stroke on (a text label would take Ctrl+A and Ctrl+C itself).
    keyLabel->setTextInteractionFlags(Qt::NoTextInteraction);
    keyLabel->setAutoFillBackground(true);
    QPalette p = keyLabel->palette();
    p.setColor(QPalette::Window, stringLine->palette().color(QPalette::Base));
    keyLabel->setPalette(p);
    keysList = new QListWidget(keyGroup);
    keysList->setGeometry(10, 60, 150, 200);
    // A click on a list must not take the keyboard from the capture.
    stringsList->setFocusPolicy(Qt::NoFocus);
    keysList->setFocusPolicy(Qt::NoFocus);

    addButton = new QPushButton(QStringLiteral("Add"), this);
    addButton->setGeometry(400, 40, 80, 30);
    removeButton = new QPushButton(QStringLiteral("Remove"), this);
    removeButton->setGeometry(400, 80, 80, 30);
    removeButton->setEnabled(false);
    closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setGeometry(400, 250, 80, 30);
    // Return never presses a button of this dialog.
    for (QPushButton* b : {addButton, removeButton, closeButton}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    selectedLabel = new QLabel(QStringLiteral("Selected Validation String"), this);
    selectedLabel->setGeometry(10, 290, 220, 30);
    selectedStringLine = new QLineEdit(this);
    selectedStringLine->setGeometry(10, 320, 380, 30);
    selectedStringLine->setEnabled(false);
    stringLine->setFocus();
}

void HotKeyCtrl::setField(PropertyBoxClient* client, QObject* field) {
    m_client = client;
    m_field = field;
}

void HotKeyCtrl::setConfirm(Confirm confirm) {
    confirmer() = std::move(confirm);
}

bool HotKeyCtrl::confirm(const QString& question) {
    if (confirmer())
        return confirmer()(this, question);
    QMessageBox box(QMessageBox::Information, QStringLiteral("Message"), question,
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool HotKeyCtrl::rowSelected(int row) const {
    const QListWidgetItem* item = row >= 0 ? stringsList->item(row) : nullptr;
    return item && item->isSelected();
}

bool HotKeyCtrl::checkForSameKeys() {
    if (stringLine->hasFocus())
        return !isRow(stringsList, stringLine->text());
    return !isRow(keysList, keyLabel->text());
}

QString HotKeyCtrl::getText() {
    const QListWidgetItem* item = stringsList->currentItem();
    return item ? item->text() : QString();
}

bool HotKeyCtrl::boundField() const {
    return m_client && m_field && m_client->drawingObject(m_field) == VALIDATIONFIELD;
}

void HotKeyCtrl::tellRemovedKey(int string, int key) {
    if (boundField())
        m_client->removedKey(m_field, string, key);
}

void HotKeyCtrl::tellRemovedString(int string) {
    if (boundField())
        m_client->resizeMultiStringVector(m_field, string);
}

void HotKeyCtrl::slotShowKeysForAString() {
    captureArmed = true;
    currentStringRow = stringsList->currentRow();
    const QString rowText = getText();
    if (rowText == stringLine->text()) {
        // The row the string line has just produced.
        keysList->clear();
        keyLabel->setFocus();
        if (rowSelected(currentStringRow))
            selectedStringLine->setText(rowText);
        stringLine->clear();
    } else {
        selectedStringLine->setText(rowText);
        keysList->clear();
        keyLabel->setFocus();
        for (const sMultiValidationString& s : strings)
            if (text(s) == rowText && s.nKeyCount != 0)
                for (const sValidationKey& k : s.keys)
                    keysList->addItem(WindowsKeyCodes::keyWordText(k.uiValidationKey));
    }
    keyLabel->setText(QString::fromLatin1(kNone));
}

void HotKeyCtrl::noneAtLineStart() {
    if (stringLine->hasFocus() && stringLine->cursorPosition() == 0)
        keyLabel->setText(QString::fromLatin1(kNone));
}

void HotKeyCtrl::take(const HotKeyCapture::Stroke& stroke) {
    KeyboardGrab grab(keyLabel);
    const HotKeyCapture::Result r = HotKeyCapture::capture(stroke);
    if (!r.label.isEmpty())
        keyLabel->setText(r.label);
    if (r.word)
        keyWord = *r.word;
}

bool HotKeyCtrl::releasesChordKey(const QKeyEvent& e, const HotKeyCapture::Stroke& stroke) const {
    // The physical key where the event names it; a shifted character is
    // released as its plain one once Shift is up.
    if (e.nativeScanCode() != 0 || m_chordScanCode != 0)
        return e.nativeScanCode() == m_chordScanCode;
    return stroke.key == m_chordKey;
}

void HotKeyCtrl::keyPressEvent(QKeyEvent* e) {
    noneAtLineStart();
    currentStringRow = stringsList->currentRow();
    const HotKeyCapture::Stroke stroke = HotKeyCapture::fromEvent(*e);
    // A key pressed with a modifier is taken on its press; its release, also
    // after the modifier's, is not taken again as a plain key.
    m_chordHeld = stroke.state != 0;
    m_chordKey = stroke.key;
    m_chordScanCode = e->nativeScanCode();
    if (rowSelected(currentStringRow) && captureArmed && !stringLine->hasFocus())
        take(stroke);
}

void HotKeyCtrl::keyReleaseEvent(QKeyEvent* e) {
    const HotKeyCapture::Stroke stroke = HotKeyCapture::fromEvent(*e);
    const bool chordKey = m_chordHeld && releasesChordKey(*e, stroke);
    if (chordKey)
        m_chordHeld = false;
    if (stringsList->currentRow() >= 0) {
        currentStringRow = stringsList->currentRow();
        noneAtLineStart();
        if (rowSelected(currentStringRow) && captureArmed && stringLine->text().isEmpty() && !chordKey)
            take(stroke);
    }
    // Whatever happened before.
    if (e->key() == Qt::Key_Return) {
        if (keysList->count() == 0 && !stringLine->text().isEmpty() && stringLine->hasFocus()) {
            stringsList->setCurrentRow(stringsList->count() - 1);
            stringLine->clear();
        }
    } else if (e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete) {
        if (stringLine->hasFocus())
            keyLabel->setText(QString::fromLatin1(kNone));
    }
}

void HotKeyCtrl::slotInsertInList() {
    if (stringLine->text().isEmpty() || !checkForSameKeys() || !stringLine->hasFocus())
        return;
    insertTypedString();
}

void HotKeyCtrl::insertTypedString() {
    const QString t = stringLine->text();
    stringsList->addItem(t);
    currentStringRow = stringsList->currentRow();
    if (QListWidgetItem* current = stringsList->currentItem())
        current->setSelected(true);
    if (stringsList->count() > 1)
        captureArmed = false;
    sMultiValidationString s;
    s.text = latin1(t);
    strings.push_back(std::move(s));
    removeButton->setEnabled(true);
    if (!stringsList->item(0)->text().isEmpty())
        strings.front().flag = 1;
    if (strings.size() > 1)
        strings.back().flag = 0;
    strings.back().nKeyCount = 0;
    keysList->clear();
    keyLabel->setText(QString::fromLatin1(kNone));
}

void HotKeyCtrl::slotlist() {
    if (!stringLine->text().isEmpty()) {
        // The click on Add has taken the focus from the string line: the
        // typed string goes in all the same, unless it is already a row.
        if (!isRow(stringsList, stringLine->text()))
            insertTypedString();
        if (keysList->count() == 0)
            stringsList->setCurrentRow(stringsList->count() - 1);
    }
    const int r = stringsList->currentRow();
    if (r >= 0) {
        const QString label = keyLabel->text();
        const bool refused = label == QLatin1String(kNone) || label == QLatin1String("CTRL+") ||
                             label == QLatin1String("SHIFT+") || label == QLatin1String("ALT+");
        // Row r's record is entry r; a row without one takes no key.
        if (rowSelected(r) && size_t(r) < strings.size() && !refused && !stringLine->hasFocus() &&
            checkForSameKeys()) {
            keysList->addItem(label);
            sMultiValidationString& s = strings[size_t(r)];
            s.nKeyCount = keysList->count();
            s.keys.resize(size_t(s.nKeyCount));
            s.keys.back().uiValidationKey = keyWord;
            keyLabel->setText(QString::fromLatin1(kNone));
            removeButton->setEnabled(true);
        }
    }
    if (stringLine->hasFocus())
        keyLabel->setText(QString::fromLatin1(kNone));
}

void HotKeyCtrl::slotRemoveFromList() {
    const int k = keysList->currentRow();
    const int s = stringsList->currentRow();
    if (s < 0)
        return;
    const QString rowText = stringsList->item(s)->text();
    const QListWidgetItem* keyItem = k >= 0 ? keysList->item(k) : nullptr;
    if (keyItem && keyItem->isSelected() && rowSelected(s)) {
        if (!confirm(QStringLiteral("Validation Key Deleted! Are you sure?")))
            return;
        for (size_t i = 0; i < strings.size(); ++i) {
            sMultiValidationString& str = strings[i];
            qDebug("from struct string::%d<<<<%s", int(i), str.text.c_str());
            if (text(str) != rowText)
                continue;
            tellRemovedKey(int(i), k);
            if (size_t(k) < str.keys.size())
                str.keys.erase(str.keys.begin() + k);
            str.nKeyCount = int32_t(str.keys.size());
        }
        delete keysList->takeItem(k);
        keysList->setCurrentRow(0);
        closeButton->setFocus();
        return;
    }
    if (!rowSelected(s))
        return;
    if (!confirm(QStringLiteral("Validation String Deleted! Are you sure?")))
        return;
    for (size_t i = 0; i < strings.size(); ++i) {
        qDebug("from struct string::%d<<<<%s", int(i), strings[i].text.c_str());
        if (text(strings[i]) != rowText)
            continue;
        // The keys go from the last to the first, then the string.
        for (int j = int(strings[i].keys.size()) - 1; j >= 0; --j) {
            tellRemovedKey(int(i), j);
            strings[i].keys.pop_back();
        }
        strings.erase(strings.begin() + std::ptrdiff_t(i));
        tellRemovedString(int(i));
        break;
    }
    delete stringsList->takeItem(s);
    stringsList->setCurrentRow(0);
    selectedStringLine->setText(stringsList->count() > 0 ? stringsList->item(0)->text() : QString());
    closeButton->setFocus();
    if (stringsList->count() == 0)
        removeButton->setEnabled(false);
}
