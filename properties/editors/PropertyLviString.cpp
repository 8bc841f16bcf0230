#include "properties/editors/PropertyLviString.h"

#include "properties/EditPropertyEntry.h"
#include "store/DrawingObjectType.h"

#include <QKeyEvent>
#include <QLineEdit>

PropertyLviString::PropertyLviString(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                                     const char* name, int eventIndex)
    : PropertyLviBase(parent, view, entry, name, 0), eventIndex(eventIndex), m_lineEdit(new QLineEdit(this)) {
    setGeometry(0, 0, 0, 0);
    setFocusProxy(m_lineEdit);
    if (entry) {
        m_lineEdit->setText(entry->value);
        // The frame object marks rows it shows without letting them be edited.
        if (entry->data == QLatin1String("FRAMEPROPERTY")) {
            m_lineEdit->setReadOnly(true);
            m_lineEdit->setFrame(false);
        }
        if (entry->name == QLatin1String("Name"))
            m_lineEdit->setMaxLength(NAME_LENGTH);
        else if (entry->name == QLatin1String("Tooltip"))
            m_lineEdit->setMaxLength(TOOLTIP_LENGTH);
    }
    connect(m_lineEdit, &QLineEdit::textChanged, this, &PropertyLviString::textChanged);
    connect(m_lineEdit, &QLineEdit::returnPressed, this, &PropertyLviString::returnPressed);
}

QString PropertyLviString::getText() {
    return m_lineEdit ? m_lineEdit->text() : QString();
}

void PropertyLviString::textChanged() {
    if (!entry)
        return;
    entry->value = m_lineEdit->text();
    commit();
}

void PropertyLviString::returnPressed() {
    if (!entry)
        return;
    entry->value = m_lineEdit->text();
    if (entry->value.isEmpty())
        emit signalObjectName();
    commit();
}

void PropertyLviString::commit() {
    if (onEventsPage()) {
        if (selectedKind() == HYPERLINK)
            applyEvent(eventIndex);
        return;
    }
    refreshItem();
}

void PropertyLviString::keyPressEvent(QKeyEvent* e) {
    if (e->modifiers() == Qt::ShiftModifier)
        m_lineEdit->setFocus();
}

void PropertyLviString::resizeEvent(QResizeEvent*) {
    m_lineEdit->setGeometry(0, 0, width(), height() + 1);
}
