// The fixed reference tables and their look-ups: equipment types by UMLER
// type code, the WABTEC end-of-train parts list, and the tag form colours.
#include "data/AEIData.h"
#include "data/ReferenceTables.h"

#include "util/FixedText.h"

namespace velmora {

namespace {

struct CarTypeRow {
    const char* code;
    int32_t category;
    int32_t second;
    const char* name;
};

constexpr CarTypeRow kCarTypeRows[] = {
    {"A", 1, 1, "Box"},
    {"B", 1, 1, "Box"},
    {"C", 5, 5, "Covered Hopper"},
    {"D1", 10, 10, "Road Diesel"},
    {"D3", 11, 11, "Switcher"},
    {"D4", 12, 12, "Slug"},
    {"E", 4, 4, "Gondola"},
    {"F", 3, 3, "Flat"},
    {"G", 4, 4, "Gondola"},
    {"H", 5, 5, "Hopper"},
    {"J", 4, 4, "Gondola"},
    {"K", 5, 5, "Hopper"},
    {"L0", 3, 3, "Flat"},
    {"L1", 4, 4, "Gondola"},
    {"L2", 3, 3, "Flat"},
    {"L3", 3, 3, "Flat"},
    {"L4", 1, 1, "Box"},
    {"L6", 5, 5, "Hopper"},
    {"L7", 1, 1, "Box"},
    {"L9", 3, 3, "Flat"},
    {"P", 6, 6, "Intermodal"},
    {"Q", 6, 6, "Intermodal"},
    {"R", 7, 1, "Refrigerated"},
    {"S", 8, 8, "Stack"},
    {"T", 2, 2, "Tank"},
    {"V", 9, 9, "Auto Rack"},
    {"H", 5, 5, "Coal Hopper"},
    {"XX", 16, 16, "Trailer"},
    {"XX", 13, 13, "Tractor"},
};

struct WABTECRow {
    uint32_t part;
    const char* mark;
    uint8_t prefix;
    uint8_t eotType;
    uint8_t side;
    uint8_t at5541;
};

constexpr WABTECRow kWABTECRows[] = {
    {4508, "BNQ ", 0, 0, 1, 1},  {4509, "KCS ", 9, 0, 1, 1},  {4511, "CR  ", 9, 0, 1, 1},
    {4515, "CNW ", 9, 0, 1, 1},  {4517, "CSXE", 0, 2, 1, 1},  {4518, "SPQ ", 0, 0, 1, 1},
    {4538, "UPRQ", 0, 0, 1, 1},  {4820, "SFQ ", 0, 0, 1, 1},  {4821, "CNQ ", 8, 0, 0, 1},
    {4822, "GTWQ", 0, 0, 0, 1},  {4823, "WCQ ", 0, 0, 1, 1},  {4824, "AMTK", 0, 0, 1, 1},
    {4825, "IC  ", 0, 0, 1, 1},  {4826, "MRL ", 0, 0, 1, 1},  {4827, "TFM ", 0, 0, 1, 1},
    {81615, "NS  ", 0, 0, 1, 1}, {81616, "WRE ", 0, 0, 1, 1}, {81628, "CPT ", 0, 0, 1, 1},
    {4728, "BNQ ", 0, 0, 1, 0},  {4729, "KCS ", 9, 0, 1, 0},  {4732, "CSXE", 0, 2, 1, 0},
    {4733, "SPQ ", 0, 0, 1, 0},  {4734, "UPRQ", 0, 0, 1, 0},  {4736, "CNQ ", 8, 0, 0, 0},
    {4740, "IC  ", 0, 0, 1, 0},  {4742, "TFM ", 0, 0, 1, 0},  {4875, "CPT ", 0, 0, 1, 0},
    {4782, "NS  ", 0, 0, 1, 0},  {81319, "WRE ", 0, 0, 1, 0},
};

struct ColorRow {
    const char* name;
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};

constexpr ColorRow kColorRows[] = {
    {"Gold", 255, 200, 0},        {"Gray", 128, 128, 128},         {"White", 255, 255, 255},
    {"Light Gray", 192, 192, 192}, {"Greenish Yellow", 192, 192, 0}, {"Green", 0, 255, 0},
    {"Dark Green", 0, 192, 0},
};

static_assert(sizeof kCarTypeRows / sizeof kCarTypeRows[0] == 29);
static_assert(sizeof kWABTECRows / sizeof kWABTECRows[0] == 29);
static_assert(sizeof kColorRows / sizeof kColorRows[0] == 7);

} // namespace

void FillCarTypes(CarType (&table)[kCarTypes]) {
    for (auto& t : table) t = CarType{};
    int i = 0;
    for (const auto& row : kCarTypeRows) {
        CarType& t = table[i++];
        SetText(t.code, row.code);
        t.category = row.category;
        t.secondCategory = row.second;
        SetText(t.name, row.name);
    }
    CarType& unknown = table[kUnknownCarType];
    unknown.category = 1;
    unknown.secondCategory = 1;
    SetText(unknown.name, "Unknown");
}

void FillWABTEC(WABTECData (&table)[kWABTECRecords]) {
    for (auto& w : table) w = WABTECData{};
    int i = 0;
    for (const auto& row : kWABTECRows) {
        WABTECData& w = table[i++];
        w.defined = 1;
        w.partNumber = row.part;
        SetText(w.mark, row.mark);
        w.numberPrefix = row.prefix;
        w.eotTypeCode = row.eotType;
        w.sideCode = row.side;
        w.tagTypeFlag = row.at5541;
    }
}

void FillBackgroundColors(BackgroundColor (&table)[kBackgroundColors]) {
    for (auto& c : table) c = BackgroundColor{};
    int i = 0;
    for (const auto& row : kColorRows) {
        BackgroundColor& c = table[i++];
        c.defined = 1;
        SetText(c.name, row.name);
        c.value = static_cast<uint32_t>(row.red) | (static_cast<uint32_t>(row.green) << 8) |
                  (static_cast<uint32_t>(row.blue) << 16);
    }
}

// --- look-ups ------------------------------------------------------------------

CarType AEIData::GetCarType(std::string_view text, int number, std::string_view name) const {
    if (!text.empty()) {
        // The code is a prefix of the type code: D123 finds "D1", A405 finds "A".
        for (const CarType& t : carTypes_) {
            std::string_view code = GetText(t.code);
            if (!code.empty() && text.substr(0, code.size()) == code) return t;
        }
    } else if (number != -1) {
        for (const CarType& t : carTypes_)
            if (t.code[0] != '\0' && t.category == number) return t;
    } else if (!name.empty()) {
        for (const CarType& t : carTypes_)
            if (t.code[0] != '\0' && GetText(t.name) == name) return t;
    }
    return carTypes_[kUnknownCarType];
}

WABTECData AEIData::GetWABTECData(int index) {
    if (index < 0 || index >= kWABTECRecords) {
        InternalErrorTrap("WABTEC Data index error - GetWABTECData", index);
        return wabtec_[0];
    }
    return wabtec_[index];
}

int AEIData::FindWABTEC(std::string_view mark, int tagTypeFlag) const {
    for (int i = 0; i < kWABTECRecords; ++i) {
        const WABTECData& w = wabtec_[i];
        // Undefined records hold an empty mark; they never match.
        if (w.defined == 1 && w.tagTypeFlag == tagTypeFlag && GetText(w.mark) == mark) return i;
    }
    return -1;
}

BackgroundColor AEIData::GetBackgroundColor(int index) {
    if (index < 0 || index >= kBackgroundColors) {
        InternalErrorTrap("Background color index error - GetBackgroundColor", index);
        return colors_[0];
    }
    return colors_[index];
}

int AEIData::FindBackgroundColor(std::string_view name) const {
    for (int i = 0; i < kBackgroundColors; ++i)
        if (colors_[i].defined == 1 && GetText(colors_[i].name) == name) return i;
    return -1;
}

} // namespace velmora
