#include "umler/UmlerTexts.h"

#include "util/FixedText.h"

#include <cstdio>

namespace velmora {

std::string UmlerGaugeTitle(int percent) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "Loading UMLER %d%%", percent);
    return buf;
}

std::string UmlerLengthText(uint16_t inches) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%d' %d\"", inches / 12, inches % 12);
    return buf;
}

std::string UmlerWeightText(uint16_t v) {
    if (v == 0) return {};
    char buf[24];
    std::snprintf(buf, sizeof buf, "%d,%03d", v / 10, (v % 10) * 100);
    return buf;
}

std::string UmlerTypeText(const UmlerRecord& r) { return std::string(GetText(r.typeCode)); }

UmlerRecordTexts MakeUmlerRecordTexts(const UmlerRecord& r, std::string_view vehicleKey) {
    UmlerRecordTexts t;
    if (!r.IsRecord()) return t;
    t.vehicleId = std::string(vehicleKey);
    t.type = UmlerTypeText(r);
    t.axles = std::to_string(r.axles);
    t.platform = std::to_string(r.platforms);
    t.length = UmlerLengthText(r.lengthInches);
    t.tareWeight = UmlerWeightText(r.tare);
    t.capacity = UmlerWeightText(r.capacity);
    return t;
}

} // namespace velmora
