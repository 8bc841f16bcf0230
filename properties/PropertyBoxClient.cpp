#include "properties/PropertyBoxClient.h"

PropertyBoxClient::~PropertyBoxClient() = default;
