#include "properties/EditPropertyEntry.h"

#include <utility>

EditPropertyEntry::EditPropertyEntry(QString n, QString v, QString c, int32_t t, QString d, int32_t id)
    : name(std::move(n)), value(std::move(v)), category(std::move(c)), editorType(t), data(std::move(d)),
      valueId(id) {}

void EditPropertyEntry::assign(const QString& n, const QString& v, const QString& c, int32_t t,
                               const QString& d, int32_t id) {
    name = n;
    value = v;
    category = c;
    editorType = t;
    data = d;
    valueId = id;
}

bool EditPropertyEntry::matches(const QString& otherName) const {
    return name.toUpper() == otherName.toUpper();
}

bool EditPropertyEntry::operator==(const EditPropertyEntry& o) const {
    return name == o.name && value == o.value && category == o.category && editorType == o.editorType &&
           data == o.data && valueId == o.valueId;
}
