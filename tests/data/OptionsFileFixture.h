// Shared by the options file tests: the version 4 offsets written out on
// their own, a builder of hand-made files of any version, and the fixture.
#pragma once

#include "data/OptionsFile.h"

#include "util/Bytes.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace velmora {
namespace {

const uint8_t kSig[16] = {0x80, 0x0D, 0x00, 0x00, 0x22, 0x4B, 0x00, 0x00,
                          0x2E, 0x16, 0x00, 0x00, 0x95, 0x5B, 0x00, 0x00};

// File offsets of the version 4 layout, written out here on their own.
constexpr std::size_t kOffVersion = 16;
constexpr std::size_t kOffVersionText = 40;
constexpr std::size_t kOffTagLogName = 60;
constexpr std::size_t kOffImportName = 180;
constexpr std::size_t kOffProgrammer = 300;
constexpr std::size_t kOffCommLog = 641;
constexpr std::size_t kOffPrinter1 = 755;
constexpr std::size_t kOffPrinter2 = 1007;
constexpr std::size_t kOffColumns = 1259;
constexpr std::size_t kOffSettings = 1387;
constexpr std::size_t kOffLines = 1716;
constexpr std::size_t kOffFormats = 7716;
constexpr std::size_t kOffEndSig = 51636;

// A hand-built options file of the given version: header and blocks up to
// the settings block as in every version, then the version's own tail.
struct FileBuilder {
    std::vector<uint8_t> b;
    int32_t version;

    explicit FileBuilder(int32_t v) : version(v) {
        std::size_t lines = v == 1 ? 3500 : 6000;
        std::size_t formats = v == 1 ? 0 : 40 * (v == 2 ? 997 : 1098);
        b.assign(kOffLines + lines + formats + 16, 0);
        std::memcpy(b.data(), kSig, 16);
        std::memcpy(b.data() + b.size() - 16, kSig, 16);
        U32(kOffVersion, static_cast<uint32_t>(v));
        // Settings as the defaults have them, so only what a test sets differs.
        Text(kOffSettings + 134, "Unknown");
        Text(kOffSettings + 169, "XXXX");
        U8(kOffSettings + 178, 255);
        U8(kOffSettings + 184, 2);
        U32(kOffProgrammer, 0xFFFFFFFF);
    }
    std::size_t FormatOffset(int slot) const {
        return kOffLines + (version == 1 ? 3500 : 6000) + slot * (version == 2 ? 997 : 1098);
    }
    void U8(std::size_t off, uint8_t v) { b.at(off) = v; }
    void U32(std::size_t off, uint32_t v) {
        for (int i = 0; i < 4; ++i) b.at(off + i) = (v >> (8 * i)) & 0xFF;
    }
    void Text(std::size_t off, const std::string& s) {
        for (std::size_t i = 0; i < s.size(); ++i) b.at(off + i) = static_cast<uint8_t>(s[i]);
    }
    // An operator format: defined, name, codes, one row.
    void Format(int slot, const std::string& name, int8_t formatCode, int8_t equipment) {
        std::size_t o = FormatOffset(slot);
        U8(o + 0, 1);
        Text(o + 1, name);
        U8(o + 32, static_cast<uint8_t>(equipment));
        U8(o + 33, static_cast<uint8_t>(formatCode));
        U8(o + 34, 3);
        Text(o + 35, "Field A");
        U8(o + 500, 10);
        U8(o + 515, 12);
        U8(o + 530, 3);
        Text(o + 545, "1");
        Text(o + 695, "99");
        Text(o + 845, "5");
        U8(o + 996, 4);
        if (version != 2) {
            U8(o + 997, 1);
            U8(o + 998, 0);
        }
    }
};

struct OptionsFile : ::testing::Test {
    test::ScriptedOperator op;
    test::FakeClock clock;
    test::TempDir dir;
    AEIData data{op, clock};

    int Load(const std::vector<uint8_t>& bytes) { return LoadOptionsFromBytes(data, bytes.data(), bytes.size()); }
    std::string Path() const { return dir.File("programmer option.ads"); }
};

void ExpectDefaults(AEIData& d) {
    SettingsBlock s = d.GetSettings();
    EXPECT_EQ(s.feetInches, 1);
    EXPECT_EQ(s.labelPrintingOn, 1);
    EXPECT_EQ(s.logFileOn, 1);
    EXPECT_EQ(s.autoUmlerCheck, 1);
    EXPECT_EQ(s.autoRfCheck, 0);
    EXPECT_EQ(s.soundOn, 0);
    EXPECT_EQ(s.currentFormat, 0);
    EXPECT_EQ(GetText(s.programmedByCompany), "Unknown");
    EXPECT_EQ(GetText(s.certificationInitial), "XXXX");
    EXPECT_EQ(s.readerPort, 255);
    EXPECT_EQ(s.backgroundColor, 0);
    EXPECT_EQ(s.programmerModel, 2);
    EXPECT_EQ(s.programmedToday, 0);
    EXPECT_EQ(s.programmedTotal, 0);
    EXPECT_EQ(s.certifiedCount, 0);
    EXPECT_EQ(s.dayOfYear, 73); // the fake clock's day of the year
    EXPECT_EQ(d.GetProgrammerRecord().port, -1);
    EXPECT_EQ(GetText(d.GetProgrammerRecord().model), "");
    EXPECT_EQ(GetText(d.GetCommLogSettings().commLogAge), "30 days");
    EXPECT_EQ(GetText(d.GetPrinterSettings(0).device), "");
    EXPECT_EQ(d.TagLogFileName(), "tag log.txt");
    EXPECT_EQ(d.ImportTagFileName(), "import tag.txt");
    for (int set = 0; set < kColumnSets; ++set)
        for (int c = 0; c < kColumnsPerSet; ++c)
            EXPECT_EQ(d.GetColumnWidth(set, c), set == 0 && c == 2 ? 328 : 100) << set << "," << c;
    for (int i = 0; i < kRecentTagLines; ++i) EXPECT_EQ(d.GetRecentTagLine(i), "");
    EXPECT_EQ(d.GetTagFormatData(0).Name(), "Railcar");
    for (int i = 6; i < kFormatSlots; ++i) EXPECT_EQ(d.GetTagFormatData(i).defined, 0);
    EXPECT_EQ(d.TagTypeCount(), 9);
}


} // namespace
} // namespace velmora
