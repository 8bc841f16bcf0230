// Shared part of the choice-list editors: a drop-down list of words that
// cannot be edited. A choice writes the word into the entry and applies it
// by the editor's rule; building the editor commits nothing.
#pragma once

#include "properties/PropertyLviBase.h"

#include <QStringList>

class QComboBox;

class PropertyLviChoice : public PropertyLviBase {
    Q_OBJECT
  public:
    QString getText() override;
    QComboBox* comboBox() const { return m_comboBox; }

  public slots:
    // The list's textActivated; the word is read back with getText().
    void activated(const QString& word);

  protected:
    PropertyLviChoice(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry, const char* name,
                      int eventIndex);
    // Inserts the items and selects the one equal to the entry's value, or
    // the default when none is.
    void fill(const QStringList& items, int defaultIndex);
    void selectWord(const QString& word, int fallback);
    // Connects the list; call last in the constructor.
    void connectList();
    // A class's extra step of a choice, before it is applied.
    virtual void chosen(const QString& word);
    // How a choice reaches the object; the default applies the row.
    virtual void apply();
    void resizeEvent(QResizeEvent* e) override;

    int32_t eventIndex;
    QComboBox* m_comboBox;
};
