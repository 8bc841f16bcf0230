#include "canvas/HolderObjectFactory.h"

namespace {
HolderObjectFactory& table() {
    static HolderObjectFactory factory;
    return factory;
}
} // namespace

void HolderObjectFactory::install(const HolderObjectFactory& factory) {
    table() = factory;
}

const HolderObjectFactory& HolderObjectFactory::current() {
    return table();
}
