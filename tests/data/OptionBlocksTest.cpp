// The stored bytes of each option block, offset by offset, and texts read
// back from damaged bytes.
#include "data/OptionBlocks.h"

#include "util/FixedText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace velmora {
namespace {

// Expected images are built here byte by byte, independently of the
// serializers' own offset names.
struct Image {
    std::vector<uint8_t> b;
    explicit Image(std::size_t n) : b(n, 0) {}
    void U8(std::size_t off, uint8_t v) { b.at(off) = v; }
    void U16(std::size_t off, uint16_t v) {
        b.at(off) = v & 0xFF;
        b.at(off + 1) = v >> 8;
    }
    void U32(std::size_t off, uint32_t v) {
        for (int i = 0; i < 4; ++i) b.at(off + i) = (v >> (8 * i)) & 0xFF;
    }
    void Text(std::size_t off, const char* s) {
        for (std::size_t i = 0; s[i]; ++i) b.at(off + i) = static_cast<uint8_t>(s[i]);
    }
};

// The block's bytes are the expected image (written over 0xEE, so every byte
// counts), and reading them back writes the same bytes again. Returns them.
template <class Block>
std::vector<uint8_t> ExpectImage(const Block& block, const Image& e, void (*put)(const Block&, uint8_t*),
                                 Block (*get)(const uint8_t*)) {
    std::vector<uint8_t> out(e.b.size(), 0xEE);
    put(block, out.data());
    EXPECT_EQ(out, e.b);
    std::vector<uint8_t> again(e.b.size());
    put(get(out.data()), again.data());
    EXPECT_EQ(again, out);
    return out;
}

TEST(SettingsBlockBytes, GoldenImage) {
    SettingsBlock s;
    s.soundOn = 1;
    s.labelPrintingOn = 0;
    s.currentFormat = 17;
    s.feetInches = 0;
    s.reserved4[0] = 0xA1;
    s.reserved4[3] = 0xA4;
    SetText(s.reservedText8, "r8");
    s.logFileOn = 0;
    s.programmedToday = 12;
    s.programmedTotal = 0x01020304;
    s.dayOfYear = 366;
    SetText(s.reservedText29, "r29");
    s.umlerWindowShown = 1;
    s.tagLogWindowShown = 1;
    s.programmedByEntry = 1;
    s.autoRfCheck = 1;
    s.autoUmlerCheck = 0;
    SetText(s.programmedByCompany, "Acme Rail Shop");
    SetText(s.certificationInitial, "ABCD");
    s.certifiedCount = -2;
    s.readerPort = 3;
    s.backgroundColor = 6;
    s.reconditionCheck = 1;
    s.programmerModel = 1;
    s.reserved185[0] = 0xB0;
    s.reserved185[143] = 0xBF;

    Image e(329);
    e.U8(0, 1);
    e.U8(1, 0);
    e.U8(2, 17);
    e.U8(3, 0);
    e.U8(4, 0xA1);
    e.U8(7, 0xA4);
    e.Text(8, "r8");
    e.U8(16, 0);
    e.U32(17, 12);
    e.U32(21, 0x01020304);
    e.U32(25, 366);
    e.Text(29, "r29");
    e.U8(129, 1);
    e.U8(130, 1);
    e.U8(131, 1);
    e.U8(132, 1);
    e.U8(133, 0);
    e.Text(134, "Acme Rail Shop");
    e.Text(169, "ABCD");
    e.U32(174, 0xFFFFFFFE);
    e.U8(178, 3);
    e.U32(179, 6);
    e.U8(183, 1);
    e.U8(184, 1);
    e.U8(185, 0xB0);
    e.U8(328, 0xBF);

    const std::vector<uint8_t> out = ExpectImage(s, e, SerializeSettings, DeserializeSettings);
    const SettingsBlock back = DeserializeSettings(out.data());
    EXPECT_EQ(back.certifiedCount, -2);
    EXPECT_EQ(GetText(back.programmedByCompany), "Acme Rail Shop");
}

TEST(SettingsBlockBytes, DefaultsImage) {
    SettingsBlock s;
    Image e(329);
    e.U8(1, 1);
    e.U8(3, 1);
    e.U8(16, 1);
    e.U32(25, 1);
    e.U8(133, 1);
    e.Text(134, "Unknown");
    e.Text(169, "XXXX");
    e.U8(178, 255);
    e.U8(184, 2);
    ExpectImage(s, e, SerializeSettings, DeserializeSettings);
}

TEST(SettingsBlockBytes, TextsWithoutTerminatorEndWithinTheirWidth) {
    std::vector<uint8_t> in(329, 'Q');
    SettingsBlock s = DeserializeSettings(in.data());
    EXPECT_EQ(GetText(s.programmedByCompany), std::string(34, 'Q'));
    EXPECT_EQ(GetText(s.certificationInitial), "QQQQ");
    EXPECT_EQ(GetText(s.reservedText8), std::string(7, 'Q'));
    EXPECT_EQ(GetText(s.reservedText29), std::string(99, 'Q'));
}

TEST(ProgrammerStateBytes, GoldenImage) {
    ProgrammerState p;
    p.port = 2;
    SetText(p.model, "AP4118");
    SetText(p.version, "V2.31");
    SetText(p.lastError, "WatchDog Timer Expired");
    p.on = 1;
    p.nextCheck = 0xDEADBEEF;
    SetText(p.frameText, "0123456789ABCDEF0123456789ABCD");
    SetText(p.response, "#Model AP4118 V2.31");
    p.operationState = 10;
    p.operationResult = 5;
    p.searchStarted = 1;
    p.searchRequested = 1;
    p.reserved293 = 0x77;
    p.reserved294[46] = 0x66;

    Image e(341);
    e.U32(0, 2);
    e.Text(4, "AP4118");
    e.Text(24, "V2.31");
    e.Text(44, "WatchDog Timer Expired");
    e.U8(84, 1);
    e.U32(85, 0xDEADBEEF);
    e.Text(89, "0123456789ABCDEF0123456789ABCD");
    e.Text(189, "#Model AP4118 V2.31");
    e.U8(289, 10);
    e.U8(290, 5);
    e.U8(291, 1);
    e.U8(292, 1);
    e.U8(293, 0x77);
    e.U8(340, 0x66);
    ExpectImage(p, e, SerializeProgrammerState, DeserializeProgrammerState);
}

TEST(ProgrammerStateBytes, DefaultPortIsMinusOne) {
    Image e(341);
    e.U32(0, 0xFFFFFFFF);
    const std::vector<uint8_t> out =
        ExpectImage(ProgrammerState{}, e, SerializeProgrammerState, DeserializeProgrammerState);
    EXPECT_EQ(DeserializeProgrammerState(out.data()).port, -1);
}

TEST(ProgrammerStateBytes, TextsWithoutTerminatorEndWithinTheirWidth) {
    std::vector<uint8_t> in(341, 'Z');
    ProgrammerState p = DeserializeProgrammerState(in.data());
    EXPECT_EQ(GetText(p.model), std::string(19, 'Z'));
    EXPECT_EQ(GetText(p.lastError), std::string(39, 'Z'));
    EXPECT_EQ(GetText(p.frameText), std::string(99, 'Z'));
    EXPECT_EQ(GetText(p.response), std::string(99, 'Z'));
}

TEST(CommLogSettingsBytes, DefaultsImage) {
    Image e(114);
    e.U16(0, 1);
    e.Text(2, "1");
    e.Text(5, "1 hour");
    e.U16(26, 1);
    e.Text(28, "1000 K");
    e.Text(49, "30 days");
    e.U16(70, 1);
    e.Text(72, "1000 K");
    e.Text(93, "7 days");
    ExpectImage(CommLogSettings{}, e, SerializeCommLogSettings, DeserializeCommLogSettings);
}

TEST(CommLogSettingsBytes, RoundTripOfChangedValues) {
    CommLogSettings s;
    s.logOn = 0x1234;
    s.tagLogOn = 0;
    SetText(s.logCount, "99");
    SetText(s.tagLogAge, "12345678901234567890");
    std::vector<uint8_t> out(114);
    SerializeCommLogSettings(s, out.data());
    EXPECT_EQ(out[0], 0x34);
    EXPECT_EQ(out[1], 0x12);
    EXPECT_EQ(out[93 + 19], '0');
    EXPECT_EQ(out[113], 0);
    CommLogSettings back = DeserializeCommLogSettings(out.data());
    EXPECT_EQ(back.logOn, 0x1234);
    EXPECT_EQ(back.tagLogOn, 0);
    EXPECT_EQ(GetText(back.logCount), "99");
    EXPECT_EQ(GetText(back.tagLogAge), "12345678901234567890");
}

TEST(PrinterSettingsBytes, GoldenImage) {
    PrinterSettings p;
    SetText(p.device, "Label Printer");
    SetText(p.driver, "zebra");
    SetText(p.port, "/dev/usb/lp0");
    for (int i = 0; i < 156; ++i) p.setup[i] = static_cast<uint8_t>(i + 1);
    Image e(252);
    e.Text(0, "Label Printer");
    e.Text(32, "zebra");
    e.Text(64, "/dev/usb/lp0");
    for (int i = 0; i < 156; ++i) e.U8(96 + i, static_cast<uint8_t>(i + 1));
    ExpectImage(p, e, SerializePrinterSettings, DeserializePrinterSettings);
}

TEST(PrinterSettingsBytes, NamesWithoutTerminatorEndWithinTheirWidth) {
    std::vector<uint8_t> in(252, 'P');
    PrinterSettings p = DeserializePrinterSettings(in.data());
    EXPECT_EQ(GetText(p.device), std::string(31, 'P'));
    EXPECT_EQ(GetText(p.driver), std::string(31, 'P'));
    EXPECT_EQ(GetText(p.port), std::string(31, 'P'));
    EXPECT_EQ(p.setup[155], 'P');
}

TEST(ColumnWidthBytes, FirstThirtyTwoOfTheThirtyFourValues) {
    ColumnWidths w;
    for (int s = 0; s < 2; ++s)
        for (int c = 0; c < 17; ++c) w[s][c] = 1000 * s + c;
    w[0][0] = -7;
    Image e(128);
    for (int i = 0; i < 32; ++i) e.U32(4 * i, static_cast<uint32_t>(i < 17 ? i : 1000 + (i - 17)));
    e.U32(0, static_cast<uint32_t>(-7));
    std::vector<uint8_t> out(128, 0xEE);
    SerializeColumnWidths(w, out.data());
    EXPECT_EQ(out, e.b);

    ColumnWidths back;
    back[1][15] = 55;
    back[1][16] = 66;
    DeserializeColumnWidths(out.data(), back);
    EXPECT_EQ(back[0][0], -7);
    EXPECT_EQ(back[0][16], 16);
    EXPECT_EQ(back[1][0], 1000);
    EXPECT_EQ(back[1][14], 1014);
    // Set 1's last two columns are not in the file and keep their values.
    EXPECT_EQ(back[1][15], 55);
    EXPECT_EQ(back[1][16], 66);
}

} // namespace
} // namespace velmora
