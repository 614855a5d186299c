// The built-in tag formats of system slots 0 to 5. They are written anew at
// every start, after the options file is loaded and whenever the programmer
// model changes, so slots 0 to 5 never hold anything else.
#include "data/AEIData.h"

#include <initializer_list>

namespace velmora {

namespace {

// Default Tag indexes into the tag type list.
constexpr uint8_t kTagAT5118 = 1;
constexpr uint8_t kTagAT5549 = 7;
constexpr uint8_t kTagAT5112 = 8;

// A reserved system slot: undefined, every row unset.
TagFormatData ReservedSlot() {
    TagFormatData f;
    f.defined = 0;
    f.systemSlot = 1;
    f.defaultTag = 1;
    f.fullFrame = 1;
    for (int r = 0; r < kFieldRows; ++r) {
        f.startingBit[r] = kNotSet;
        f.length[r] = kNotSet;
        f.type[r] = kNotSet;
    }
    return f;
}

// A system format: defined, in a system slot, full frame unless changed.
TagFormatData MakeFormat(const FormatHeader& h, std::initializer_list<FormatRow> rows) {
    TagFormatData f = MakeTagFormat(h, rows);
    f.systemSlot = 1;
    return f;
}

TagFormatData Railcar(bool australia) {
    if (australia)
        return MakeFormat({"Rail Wagon", 19, 51, 2, kTagAT5118},
                          {
                              {"Vehicle Class", 7, 19, kTypeAlpha27, "A   ", "ZZZZ", ""},
                              {"Vehicle Number", 26, 20, kTypeNumeric, "0", "999999", ""},
                              {"Side Indicator Code", 46, 1, kTypeSide, "0", "1", ""},
                              {"Length", 94, 3, kTypeLength, "0", "4095", ""},
                              {"Length", 47, 9, kTypeLength, "0", "4095", ""},
                              {"Number of Axles", 56, 5, kTypeNumeric, "1", "32", "4"},
                              {"Bearing Type Code", 65, 3, kTypeNumeric, "0", "7", "1"},
                              {"Platform Identifier Code", 68, 4, kTypeNumeric, "0", "15", "0"},
                              {"Owner's ID", 72, 5, kTypeAlpha27, "A", "Z", "A"},
                          });
    return MakeFormat({"Railcar", 19, 51, 2, kTagAT5118},
                      {
                          {"Equipment Initial", 7, 19, kTypeAlpha27, "A   ", "ZZZZ", ""},
                          {"Car Number", 26, 20, kTypeNumeric, "0", "999999", ""},
                          {"Side Indicator Code", 46, 1, kTypeSide, "0", "1", ""},
                          {"Length", 94, 3, kTypeLength, "0", "4095", ""},
                          {"Length", 47, 9, kTypeLength, "0", "4095", ""},
                          {"Number of Axles", 56, 5, kTypeNumeric, "1", "32", "4"},
                          {"Bearing Type Code", 65, 3, kTypeNumeric, "0", "7", "1"},
                          {"Platform Identifier Code", 68, 4, kTypeNumeric, "0", "15", "0"},
                      });
}

TagFormatData Locomotive(bool australia) {
    TagFormatData f = MakeFormat({"Locomotive", 5, 51, 2, kTagAT5118},
                                 {
                                     {"Equipment Initial", 7, 19, kTypeAlpha27, "A   ", "ZZZZ", ""},
                                     {"Locomotive Number", 26, 20, kTypeNumeric, "0", "999999", ""},
                                     {"Side Indicator Code", 46, 1, kTypeSide, "0", "1", ""},
                                     {"Length", 47, 9, kTypeLength, "0", "510", ""},
                                     {"Number of Axles", 56, 5, kTypeNumeric, "1", "32", "4"},
                                     {"Bearing Type Code", 65, 3, kTypeNumeric, "0", "7", "1"},
                                 });
    if (australia) SetFormatRow(f, 6, {"Owner's ID", 68, 5, kTypeAlpha27, "A", "Z", "A"});
    return f;
}

TagFormatData Ascii() {
    return MakeFormat({"ASCII", 0, 0, 2, kTagAT5118},
                      {
                          {"Characters 1 to 10", 0, 60, kTypeAscii, "", "", ""},
                          {"Characters 11 to 20", 64, 60, kTypeAscii, "", "", ""},
                      });
}

TagFormatData EotDevice() {
    return MakeFormat({"EOT Device", 6, 51, 2, kTagAT5549},
                      {
                          {"EOT Initial", 7, 19, kTypeAlpha27, "A   ", "ZZZZ", ""},
                          {"EOT Number", 26, 20, kTypeNumeric, "0", "999999", ""},
                          {"EOT Type Code", 46, 2, kTypeNumeric, "0", "3", "0"},
                          {"Side Indicator Code", 48, 1, kTypeSide, "0", "1", "1"},
                      });
}

TagFormatData Hex() {
    return MakeFormat({"Hex", 0, 99, 2, kTagAT5118},
                      {
                          {"Charcters 1 to 10", 0, 40, kTypeHex, "", "", ""},
                          {"Charcters 11 to 20", 40, 40, kTypeHex, "", "", ""},
                          {"Charcters 21 to 30", 84, 40, kTypeHex, "", "", ""},
                      });
}

TagFormatData Sara() {
    return MakeFormat({"SARA", 0, 99, 2, kTagAT5118},
                      {
                          {"Asset Type", 0, 36, kTypeAscii, "", "", ""},
                          {"Blank", 36, 6, kTypeBlank, "", "", ""},
                          {"Owner Code", 42, 12, kTypeAscii, "", "", ""},
                          {"Blank", 54, 6, kTypeBlank, "", "", ""},
                          {"Wagon Number", 64, 48, kTypeAscii, "", "", ""},
                          {"Blank", 112, 6, kTypeBlank, "", "", ""},
                          {"Orientation", 118, 6, kTypeAscii, "", "", ""},
                      });
}

TagFormatData Container() {
    return MakeFormat({"Container", 10, 51, 2, kTagAT5118},
                      {
                          {"Owner's Code", 7, 19, kTypeAlpha27, "A   ", "ZZZZ", ""},
                          {"Number", 26, 20, kTypeNumeric, "0", "999999", ""},
                          {"Check Digit", 46, 4, kTypeNumeric, "0", "9", ""},
                          {"Length", 50, 11, kTypeNumeric, "0", "2000", ""},
                          {"Height", 65, 9, kTypeNumeric, "0", "500", ""},
                          {"Width", 74, 7, kTypeNumeric, "200", "300", ""},
                          {"Type Code", 81, 7, kTypeNumeric, "1", "128", ""},
                          {"Max Gross Weight", 88, 9, kTypeNumeric, "45", "455", ""},
                          {"Tare Weight", 97, 7, kTypeNumeric, "0", "91", ""},
                          {"Spare", 104, 2, kTypeNumeric, "0", "3", ""},
                      });
}

TagFormatData AsciiHalfFrame() {
    TagFormatData f = MakeFormat({"ASCII Half Frame", 0, 0, 2, kTagAT5112},
                                 {
                                     {"Characters 1 to 10", 0, 60, kTypeAscii, "", "", ""},
                                 });
    f.fullFrame = 0;
    return f;
}

TagFormatData HexHalfFrame() {
    // The name ends in one blank.
    TagFormatData f = MakeFormat({"Hex Half Frame ", 0, 99, 2, kTagAT5112},
                                 {
                                     {"Charcters 1 to 10", 0, 40, kTypeHex, "", "", ""},
                                     {"Charcters 11 to 15", 40, 20, kTypeHex, "", "", ""},
                                 });
    f.fullFrame = 0;
    return f;
}

} // namespace

void AEIData::BuildBuiltInFormats() {
    for (int i = 0; i < kSystemSlots; ++i) formats_[i] = ReservedSlot();

    if (HalfFrameMode()) {
        formats_[0] = AsciiHalfFrame();
        formats_[1] = HexHalfFrame();
    } else {
        // An unknown region value builds the North American set.
        const bool australia = marketRegion_ == kRegionAustralia;
        formats_[0] = Railcar(australia);
        formats_[1] = Locomotive(australia);
        formats_[2] = Ascii();
        formats_[3] = EotDevice();
        formats_[4] = marketRegion_ == kRegionSARA ? Sara() : Hex();
        formats_[5] = Container();
    }

    import_ = ImportSettings{};
}

} // namespace velmora
