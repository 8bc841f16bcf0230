#include "objects/draw/LineStyles.h"

const QStringList& LineStyles::words() {
    static const QStringList list{"Solid", "Dash", "Dot", "Dash Dot", "Dash Dot Dot", "Null"};
    return list;
}

int LineStyles::codeOf(const QString& word) {
    return int(words().indexOf(word));
}

QByteArray LineStyles::dashList(int style) {
    switch (style) {
    case DASH:
        return QByteArray("\x04\x04", 2);
    case DOT:
        return QByteArray("\x02\x02", 2);
    case DASH_DOT:
        return QByteArray("\x04\x02\x02\x02", 4);
    case DASH_DOT_DOT:
        return QByteArray("\x04\x02\x02\x02\x02\x02", 6);
    default:
        return QByteArray();
    }
}
