#include "app/PasswordFile.h"

#include <QFile>

std::optional<QString> PasswordFile::read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    // Lines as a line reader sees them: a final line end closes the last line.
    if (data.endsWith('\n'))
        data.chop(1);
    const int from = data.lastIndexOf('\n') + 1;
    QByteArray last = data.mid(from);
    if (last.endsWith('\r'))
        last.chop(1);
    return QString::fromLatin1(last);
}

bool PasswordFile::write(const QString& password, const QString& path) {
    QFile::remove(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = password.toLatin1();
    bool ok = file.write(bytes) == bytes.size();
    file.close();
    return ok && file.error() == QFileDevice::NoError;
}

PasswordMenuState PasswordMenuState::after(Dialog dialog, bool result) {
    switch (dialog) {
    case Dialog::Set:
        return result ? PasswordMenuState{false, true, true} : PasswordMenuState{true, false, false};
    case Dialog::Change:
        return result ? PasswordMenuState{false, false, true} : PasswordMenuState{false, true, true};
    case Dialog::Clear:
        return result ? PasswordMenuState{true, false, false} : PasswordMenuState{false, true, true};
    }
    return {};
}
