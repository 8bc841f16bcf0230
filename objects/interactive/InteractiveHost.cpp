#include "objects/interactive/InteractiveHost.h"

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
