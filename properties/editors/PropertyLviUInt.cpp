#include "properties/editors/PropertyLviUInt.h"

#include "properties/EditPropertyEntry.h"

namespace {
constexpr int MOUSE_DELAY_MAX = 60;
constexpr int COUNT_MAX = 10;
} // namespace

PropertyLviUInt::PropertyLviUInt(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                                 const char* name)
    : PropertyLviNumber(parent, view, entry, name) {
    const QSize screen = screenSize();
    int maximum = COUNT_MAX;
    const QString n = entry ? entry->name : QString();
    if (n == QLatin1String("X1") || n == QLatin1String("X2"))
        maximum = screen.width();
    else if (n == QLatin1String("Y1") || n == QLatin1String("Y2"))
        maximum = screen.height();
    else if (entry && entry->data == QLatin1String("MouseDelay"))
        maximum = MOUSE_DELAY_MAX;
    start(0, maximum);
}
