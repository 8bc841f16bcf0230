#include "canvas/VelmoraDoc.h"

VelmoraDoc::VelmoraDoc() : QObject(nullptr) {}

bool VelmoraDoc::load(const QString&) {
    emit documentChanged();
    return true;
}
