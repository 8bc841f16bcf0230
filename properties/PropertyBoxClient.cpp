#include "properties/PropertyBoxClient.h"

#include "record/NVUtil.h"

PropertyBoxClient::~PropertyBoxClient() = default;

QSize PropertyBoxClient::getScreenResolution() {
    const auto [w, h] = NVUtil::getScreenResolution();
    return QSize(w, h);
}
