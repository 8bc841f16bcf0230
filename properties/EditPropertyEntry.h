// One property or event entry of an object's property store; all values are
// text, with an integer companion (a resource identifier, a chosen index).
#pragma once

#include <QString>

#include <cstdint>

class EditPropertyEntry {
  public:
    EditPropertyEntry() = default;
    EditPropertyEntry(QString name, QString value, QString category, int32_t editorType, QString data,
                      int32_t valueId);

    // Writes all six fields at once, as every add and set by slot does.
    void assign(const QString& name, const QString& value, const QString& category, int32_t editorType,
                const QString& data, int32_t valueId);
    // Name comparison of every lookup: both sides upper-cased.
    bool matches(const QString& otherName) const;

    bool operator==(const EditPropertyEntry& o) const;
    bool operator!=(const EditPropertyEntry& o) const { return !(*this == o); }

    QString name;
    QString value;
    QString category;
    int32_t editorType = 0;
    QString data;
    int32_t valueId = 0;
};
