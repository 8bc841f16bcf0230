// One row of the property box's help table: the kind key of the objects it
// serves (empty for every object), the category, property or event name it
// explains, and its rich-text help.
#pragma once

#include <QString>

struct sPropertyStatus {
    QString kindKey;
    QString propertyName;
    QString helpText;
};
