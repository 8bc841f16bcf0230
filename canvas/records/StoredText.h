// Texts in stored records are Latin-1 bytes: a character outside Latin-1 is
// stored as "?". Cutting to a field's width happens when the record is written.
#pragma once

#include <QString>

#include <string>

inline std::string toStoredText(const QString& s) {
    return s.toLatin1().toStdString();
}
inline QString fromStoredText(const std::string& s) {
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}
