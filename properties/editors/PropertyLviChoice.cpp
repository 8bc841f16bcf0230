#include "properties/editors/PropertyLviChoice.h"

#include "properties/EditPropertyEntry.h"

#include <QComboBox>

PropertyLviChoice::PropertyLviChoice(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                                     const char* name, int eventIndex)
    : PropertyLviBase(parent, view, entry, name, 0), eventIndex(eventIndex), m_comboBox(new QComboBox(this)) {
    setGeometry(0, 0, 0, 0);
    m_comboBox->setEditable(false);
    setFocusProxy(m_comboBox);
}

void PropertyLviChoice::fill(const QStringList& items, int defaultIndex) {
    m_comboBox->addItems(items);
    selectWord(entry ? entry->value : QString(), defaultIndex);
}

void PropertyLviChoice::selectWord(const QString& word, int fallback) {
    const int i = m_comboBox->findText(word, Qt::MatchExactly | Qt::MatchCaseSensitive);
    m_comboBox->setCurrentIndex(i >= 0 ? i : fallback);
}

void PropertyLviChoice::connectList() {
    connect(m_comboBox, &QComboBox::textActivated, this, &PropertyLviChoice::activated);
}

QString PropertyLviChoice::getText() {
    return m_comboBox ? m_comboBox->currentText() : QString();
}

void PropertyLviChoice::activated(const QString&) {
    if (!entry)
        return;
    const QString word = getText();
    entry->value = word;
    chosen(word);
    apply();
}

void PropertyLviChoice::chosen(const QString&) {}

void PropertyLviChoice::apply() {
    refreshItem();
}

void PropertyLviChoice::resizeEvent(QResizeEvent*) {
    m_comboBox->setGeometry(0, 0, width(), height() + 1);
}
