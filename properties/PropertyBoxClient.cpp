#include "properties/PropertyBoxClient.h"

PropertyBoxClient::~PropertyBoxClient() = default;

QObject* PropertyBoxClient::currentObject() {
    return nullptr;
}
