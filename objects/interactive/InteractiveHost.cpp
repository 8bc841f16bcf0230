#include "objects/interactive/InteractiveHost.h"

#include <algorithm>

namespace {
InteractiveHost* s_current = nullptr;
}

InteractiveHost::~InteractiveHost() {
    if (s_current == this)
        s_current = nullptr;
}

void InteractiveHost::setCurrent(InteractiveHost* host) {
    s_current = host;
}

InteractiveHost* InteractiveHost::current() {
    return s_current;
}

int InteractiveHost::nextValidationId() const {
    int highest = 0;
    for (int position = 1; position <= validationFieldCount(); ++position)
        highest = std::max(highest, validationFieldId(position));
    return highest + 1;
}
