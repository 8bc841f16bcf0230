#include "properties/PropertyBoxClient.h"

PropertyBoxClient::~PropertyBoxClient() = default;

QObject* PropertyBoxClient::currentObject() {
    return nullptr;
}

void PropertyBoxClient::removedKey(QObject*, int, int) {}
void PropertyBoxClient::resizeMultiStringVector(QObject*, int) {}
void PropertyBoxClient::loadValidationStrings(QObject*) {}
