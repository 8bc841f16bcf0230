#include "app/TaggedStyle.h"

#include <QStyleFactory>

TaggedStyle::TaggedStyle(const QString& tag) : QProxyStyle(QStyleFactory::create(baseStyleFor(tag))) {
    setObjectName(tag);
}

QString TaggedStyle::baseStyleFor(const QString& tag) {
    return tag == "windows" ? "Windows" : "Fusion";
}

QString TaggedStyle::tagOf(const QStyle* style) {
    if (!style)
        return {};
    if (auto* tagged = qobject_cast<const TaggedStyle*>(style))
        return tagged->objectName();
    return style->name().toLower();
}
