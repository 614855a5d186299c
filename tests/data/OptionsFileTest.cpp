// The options file: defaults, the version 4 image, loading versions 1 to 4,
// short and damaged files, and saving.
#include "data/OptionsFile.h"

#include "data/ReplaceFile.h"
#include "util/Bytes.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

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

// ---------------------------------------------------------------------------
using Defaults = OptionsFile;

TEST_F(Defaults, FreshObjectHasEveryDefault) { ExpectDefaults(data); }

TEST_F(Defaults, MissingFileGivesThreeAndTheDefaults) {
    SettingsBlock s = data.GetSettings();
    s.feetInches = 0;
    s.programmedTotal = 77;
    data.UpdateSettings(s);
    data.UpdateRecentTagLine(3, "old");
    TagFormatData f;
    f.defined = 1;
    data.UpdateTagFormatData(12, f);
    EXPECT_EQ(LoadOptions(data, dir.File("no such file.ads")), 3);
    ExpectDefaults(data);
    EXPECT_TRUE(op.boxes.empty());
}

TEST_F(Defaults, AFolderInPlaceOfTheFileCannotBeOpened) {
    std::filesystem::create_directory(Path());
    EXPECT_EQ(LoadOptions(data, Path()), 3);
    ExpectDefaults(data);
}

TEST_F(Defaults, MarketRegionIsNotAnOption) {
    data.SetMarketRegion(kRegionAustralia);
    SetOptionDefaults(data);
    EXPECT_EQ(data.MarketRegion(), kRegionAustralia);
    EXPECT_EQ(data.GetTagFormatData(0).Name(), "Rail Wagon");
}

TEST_F(Defaults, PathIsTheStartDirectoryAndTheFileName) {
    EXPECT_EQ(OptionsFilePath(data), "programmer option.ads");
    data.SetStartDirectory("/srv/shop/");
    EXPECT_EQ(OptionsFilePath(data), "/srv/shop/programmer option.ads");
}

// ---------------------------------------------------------------------------
using SavedImage = OptionsFile;

TEST_F(SavedImage, IsExactly51652BytesWithTheSignatureAtBothEnds) {
    ASSERT_EQ(SaveOptions(data, Path()), 0);
    std::vector<uint8_t> b = test::ReadFileBytes(Path());
    ASSERT_EQ(b.size(), 51652u);
    EXPECT_EQ(std::memcmp(b.data(), kSig, 16), 0);
    EXPECT_EQ(std::memcmp(b.data() + kOffEndSig, kSig, 16), 0);
    EXPECT_EQ(bytes::GetI32(b.data(), kOffVersion), 4);
    for (std::size_t i = 20; i < 40; ++i) EXPECT_EQ(b[i], 0);
    EXPECT_TRUE(op.boxes.empty());
    EXPECT_EQ(b, OptionsToBytes(data));
}

TEST_F(SavedImage, BlocksLieAtTheirOffsets) {
    data.SetVersionText("1.4.0");
    data.SetTagLogFileName("/logs/tags.txt");
    data.SetImportTagFileName("in.txt");
    ProgrammerState p;
    p.port = 1;
    SetText(p.model, "AP4110");
    data.UpdateProgrammerRecord(p);
    CommLogSettings c;
    SetText(c.logInterval, "2 hours");
    data.UpdateCommLogSettings(c);
    PrinterSettings pr;
    SetText(pr.device, "First");
    data.UpdatePrinterSettings(0, pr);
    SetText(pr.device, "Second");
    data.UpdatePrinterSettings(1, pr);
    data.UpdateColumnWidth(1, 14, 4242);
    SettingsBlock s = data.GetSettings();
    s.programmerModel = 0;
    SetText(s.programmedByCompany, "Shop");
    data.UpdateSettings(s);
    data.UpdateRecentTagLine(0, "newest");
    data.UpdateRecentTagLine(49, "oldest");

    std::vector<uint8_t> b = OptionsToBytes(data);
    ASSERT_EQ(b.size(), 51652u);
    auto text = [&](std::size_t off) { return std::string(reinterpret_cast<const char*>(b.data() + off)); };
    EXPECT_EQ(text(kOffVersionText), "1.4.0");
    EXPECT_EQ(text(kOffTagLogName), "/logs/tags.txt");
    EXPECT_EQ(text(kOffImportName), "in.txt");
    EXPECT_EQ(bytes::GetI32(b.data(), kOffProgrammer), 1);
    EXPECT_EQ(text(kOffProgrammer + 4), "AP4110");
    EXPECT_EQ(text(kOffCommLog + 5), "2 hours");
    EXPECT_EQ(text(kOffPrinter1), "First");
    EXPECT_EQ(text(kOffPrinter2), "Second");
    EXPECT_EQ(bytes::GetI32(b.data(), kOffColumns + 4 * 2), 328);
    EXPECT_EQ(bytes::GetI32(b.data(), kOffColumns + 4 * 31), 4242);
    EXPECT_EQ(b[kOffSettings + 184], 0);
    EXPECT_EQ(text(kOffSettings + 134), "Shop");
    EXPECT_EQ(bytes::GetI32(b.data(), kOffSettings + 25), 73);
    EXPECT_EQ(text(kOffLines), "newest");
    EXPECT_EQ(text(kOffLines + 49 * 120), "oldest");
    EXPECT_EQ(b[kOffFormats], 1);
    EXPECT_EQ(text(kOffFormats + 1), "Railcar");
    EXPECT_EQ(text(kOffFormats + 5 * 1098 + 1), "Container");
    EXPECT_EQ(b[kOffFormats + 6 * 1098 + 995], 0);
}

// ---------------------------------------------------------------------------
using RoundTrip = OptionsFile;

TEST_F(RoundTrip, EveryBlockComesBackFromTheFile) {
    data.SetVersionText("1.4");
    data.SetTagLogFileName("tags 2026.txt");
    data.SetImportTagFileName("imports.txt");
    ProgrammerState p;
    p.port = 3;
    SetText(p.model, "AP4118");
    SetText(p.version, "2.0");
    SetText(p.lastError, "#0 Error 4");
    p.nextCheck = 123456;
    p.reserved294[10] = 3;
    data.UpdateProgrammerRecord(p);
    CommLogSettings c;
    c.tagLogOn = 0;
    SetText(c.tagLogAge, "1 day");
    data.UpdateCommLogSettings(c);
    PrinterSettings pr;
    SetText(pr.device, "Zebra");
    SetText(pr.driver, "drv");
    SetText(pr.port, "USB001");
    pr.setup[0] = 0x42;
    data.UpdatePrinterSettings(0, pr);
    pr.setup[155] = 0x24;
    data.UpdatePrinterSettings(1, pr);
    for (int set = 0; set < 2; ++set)
        for (int col = 0; col < 15; ++col) data.UpdateColumnWidth(set, col, 10 * set + col + 1);
    SettingsBlock s = data.GetSettings();
    s.soundOn = 1;
    s.labelPrintingOn = 0;
    s.currentFormat = 7;
    s.feetInches = 0;
    s.logFileOn = 0;
    s.programmedToday = 5;
    s.programmedTotal = 123456;
    s.dayOfYear = 200;
    s.umlerWindowShown = 1;
    s.tagLogWindowShown = 1;
    s.programmedByEntry = 1;
    s.autoRfCheck = 1;
    s.autoUmlerCheck = 0;
    SetText(s.programmedByCompany, "Rail Shop Inc");
    SetText(s.certificationInitial, "ABCD");
    s.certifiedCount = 999;
    s.readerPort = 1;
    s.backgroundColor = 6;
    s.reconditionCheck = 1;
    s.programmerModel = 0;
    data.UpdateSettings(s);
    for (int i = 0; i < kRecentTagLines; ++i) data.UpdateRecentTagLine(i, "line " + std::to_string(i));
    TagFormatData f;
    f.defined = 1;
    SetText(f.formatName, "Operator Format");
    f.dataFormatCode = 33;
    f.equipmentGroupCode = 12;
    f.notForReading = 1;
    f.fullFrame = 0;
    f.defaultTag = 5;
    SetText(f.fieldName[0], "Field");
    f.startingBit[0] = 20;
    f.length[0] = 8;
    f.type[0] = kTypeNumeric;
    data.UpdateTagFormatData(6, f);
    SetText(f.formatName, "Last Slot");
    data.UpdateTagFormatData(39, f);

    ASSERT_EQ(SaveOptions(data, Path()), 0);
    const std::vector<uint8_t> saved = OptionsToBytes(data);

    test::ScriptedOperator op2;
    test::FakeClock clock2;
    clock2.local.dayOfYear = 1;
    AEIData other(op2, clock2);
    ASSERT_EQ(LoadOptions(other, Path()), 0);
    EXPECT_EQ(OptionsToBytes(other), saved);
    EXPECT_EQ(other.GetSettings().dayOfYear, 200);
    EXPECT_EQ(other.GetColumnWidth(1, 14), 25);
    EXPECT_EQ(other.GetTagFormatData(39).Name(), "Last Slot");
    EXPECT_EQ(other.GetTagFormatData(6).fullFrame, 0);
    EXPECT_EQ(other.FindTagFormatForFrame(33, 12, true), 39);
    EXPECT_EQ(other.GetRecentTagLine(49), "line 49");
    EXPECT_TRUE(op2.boxes.empty());
}

TEST_F(RoundTrip, SetOnesLastTwoColumnsAreNotStored) {
    data.UpdateColumnWidth(1, 15, 7);
    data.UpdateColumnWidth(1, 16, 8);
    data.UpdateColumnWidth(1, 14, 9);
    ASSERT_EQ(SaveOptions(data, Path()), 0);
    ASSERT_EQ(LoadOptions(data, Path()), 0);
    EXPECT_EQ(data.GetColumnWidth(1, 14), 9);
    EXPECT_EQ(data.GetColumnWidth(1, 15), 100);
    EXPECT_EQ(data.GetColumnWidth(1, 16), 100);
}

TEST_F(RoundTrip, HalfFrameModelBuildsTheHalfFrameSetAtLoad) {
    SettingsBlock s = data.GetSettings();
    s.programmerModel = 1;
    data.UpdateSettings(s);
    ASSERT_EQ(SaveOptions(data, Path()), 0);
    AEIData other(op, clock);
    ASSERT_EQ(LoadOptions(other, Path()), 0);
    EXPECT_TRUE(other.HalfFrameMode());
    EXPECT_EQ(other.GetTagFormatData(0).Name(), "ASCII Half Frame");
    EXPECT_EQ(other.GetTagFormatData(2).defined, 0);
}

// ---------------------------------------------------------------------------
using Versions = OptionsFile;

TEST_F(Versions, OperatorFormatInASystemSlotIsReplacedByTheBuiltIn) {
    FileBuilder fb(4);
    fb.Format(3, "Mine in slot 3", 51, 6);
    fb.Format(8, "Mine in slot 8", 40, 2);
    ASSERT_EQ(Load(fb.b), 0);
    TagFormatData f = data.GetTagFormatData(3);
    EXPECT_EQ(f.Name(), "EOT Device");
    EXPECT_EQ(f.notForReading, 0);
    EXPECT_EQ(data.FindTagFormatByName("Mine in slot 3"), -1);
    EXPECT_EQ(data.FindTagFormatByName("Mine in slot 8"), 8);
}

TEST_F(Versions, VersionFourKeepsTheModelIndex) {
    FileBuilder fb(4);
    fb.U8(kOffSettings + 184, 1);
    ASSERT_EQ(Load(fb.b), 0);
    EXPECT_EQ(data.GetSettings().programmerModel, 1);
}

TEST_F(Versions, VersionThreeSetsTheModelIndexToTwo) {
    FileBuilder fb(3);
    fb.U8(kOffSettings + 184, 1);
    fb.U8(kOffSettings + 0, 1); // sound on
    fb.Format(9, "Three", 40, 2);
    ASSERT_EQ(fb.b.size(), 51652u);
    ASSERT_EQ(Load(fb.b), 0);
    EXPECT_EQ(data.GetSettings().programmerModel, 2);
    EXPECT_FALSE(data.HalfFrameMode());
    EXPECT_EQ(data.GetTagFormatData(0).Name(), "Railcar");
    EXPECT_EQ(data.GetSettings().soundOn, 1);
    TagFormatData f = data.GetTagFormatData(9);
    EXPECT_EQ(f.Name(), "Three");
    EXPECT_EQ(f.notForReading, 1);
    EXPECT_EQ(f.fullFrame, 0);
}

TEST_F(Versions, VersionTwoRecordsEndBeforeByte997) {
    FileBuilder fb(2);
    ASSERT_EQ(fb.b.size(), kOffLines + 6000 + 40 * 997 + 16);
    fb.U8(kOffSettings + 184, 0);
    fb.Text(kOffLines + 120 * 49, "v2 line 49");
    fb.Format(6, "First V2", 40, 2);
    fb.Format(39, "Last V2", 41, 3);
    // The byte after record 6 is record 7's Defined flag, not a byte 997.
    fb.U8(fb.FormatOffset(7), 1);
    fb.Text(fb.FormatOffset(7) + 1, "Seventh");
    ASSERT_EQ(Load(fb.b), 0);
    EXPECT_EQ(data.GetSettings().programmerModel, 2);
    EXPECT_EQ(data.GetRecentTagLine(49), "v2 line 49");
    for (int slot : {6, 7, 39}) {
        TagFormatData f = data.GetTagFormatData(slot);
        EXPECT_EQ(f.defined, 1) << slot;
        EXPECT_EQ(f.notForReading, 0) << slot;
        EXPECT_EQ(f.fullFrame, 1) << slot; // kept from the defaults
    }
    TagFormatData first = data.GetTagFormatData(6);
    EXPECT_EQ(first.Name(), "First V2");
    EXPECT_EQ(first.Default(0), "5");
    EXPECT_EQ(first.defaultTag, 4);
    EXPECT_EQ(data.GetTagFormatData(7).Name(), "Seventh");
    EXPECT_EQ(data.GetTagFormatData(39).Name(), "Last V2");
    EXPECT_EQ(data.GetTagFormatData(39).dataFormatCode, 41);
}

TEST_F(Versions, VersionOneHasShortTagLinesAndNoFormatTable) {
    FileBuilder fb(1);
    ASSERT_EQ(fb.b.size(), kOffLines + 3500 + 16);
    fb.U8(kOffSettings + 184, 1);
    fb.Text(kOffSettings + 134, "Old Shop");
    fb.Text(kOffLines, "first line");
    fb.Text(kOffLines + 28 * 120, "line 28");
    // The last 20 bytes of the block fall at the start of line 29.
    fb.Text(kOffLines + 3480, "tail of block");
    ASSERT_EQ(Load(fb.b), 0);
    EXPECT_EQ(GetText(data.GetSettings().programmedByCompany), "Old Shop");
    EXPECT_EQ(data.GetSettings().programmerModel, 2);
    EXPECT_EQ(data.GetRecentTagLine(0), "first line");
    EXPECT_EQ(data.GetRecentTagLine(28), "line 28");
    EXPECT_EQ(data.GetRecentTagLine(29), "tail of block");
    EXPECT_EQ(data.GetRecentTagLine(30), "");
    EXPECT_EQ(data.GetTagFormatData(0).Name(), "Railcar");
    for (int i = 6; i < kFormatSlots; ++i) EXPECT_EQ(data.GetTagFormatData(i).defined, 0);
}

TEST_F(Versions, VersionOneNeverTakesTheClosingBytesForAFormat) {
    FileBuilder fb(1);
    // Bytes after a version 1 file's end are not a format table.
    std::vector<uint8_t> b = fb.b;
    b.resize(b.size() + 2000, 1);
    ASSERT_EQ(Load(b), 0);
    for (int i = 6; i < kFormatSlots; ++i) EXPECT_EQ(data.GetTagFormatData(i).defined, 0);
}

TEST_F(Versions, UnknownLaterVersionIsReadWithTheCurrentLayout) {
    FileBuilder fb(4);
    fb.U32(kOffVersion, 5);
    fb.U8(kOffSettings + 184, 0);
    fb.Format(10, "Future", 40, 2);
    ASSERT_EQ(Load(fb.b), 0);
    EXPECT_EQ(data.GetSettings().programmerModel, 0);
    EXPECT_EQ(data.GetTagFormatData(10).Name(), "Future");
}

// ---------------------------------------------------------------------------
using DamagedFiles = OptionsFile;

TEST_F(DamagedFiles, WrongSignatureGivesOneAndTheDefaults) {
    FileBuilder fb(4);
    fb.U8(kOffSettings + 3, 0);
    fb.Format(9, "Not loaded", 40, 2);
    for (std::size_t pos : {0u, 7u, 15u}) {
        std::vector<uint8_t> b = fb.b;
        b[pos] ^= 0x01;
        EXPECT_EQ(Load(b), 1) << pos;
        ExpectDefaults(data);
    }
    EXPECT_EQ(Load({}), 1);
    EXPECT_EQ(Load(std::vector<uint8_t>(kSig, kSig + 15)), 1);
    test::WriteFileBytes(Path(), {'h', 'e', 'l', 'l', 'o'});
    EXPECT_EQ(LoadOptions(data, Path()), 1);
    EXPECT_TRUE(op.boxes.empty());
}

TEST_F(DamagedFiles, ClosingSignatureIsNotCompared) {
    FileBuilder fb(4);
    fb.U8(kOffSettings + 0, 1);
    std::fill(fb.b.end() - 16, fb.b.end(), 0xFF);
    ASSERT_EQ(Load(fb.b), 0);
    EXPECT_EQ(data.GetSettings().soundOn, 1);
}

TEST_F(DamagedFiles, TruncatedFileKeepsWhatWasReadAndDefaultsForTheRest) {
    FileBuilder fb(4);
    fb.Text(kOffVersionText, "9.9");
    fb.U8(kOffSettings + 0, 1);                 // sound on, inside the cut block
    fb.Text(kOffSettings + 134, "Cut Company"); // past the cut
    fb.Format(6, "Whole", 40, 2);
    fb.Format(7, "Half", 40, 2);

    // Cut inside the settings block: its first 100 bytes come from the file.
    std::vector<uint8_t> b(fb.b.begin(), fb.b.begin() + kOffSettings + 100);
    ASSERT_EQ(Load(b), 0);
    EXPECT_EQ(data.VersionText(), "9.9");
    EXPECT_EQ(data.GetSettings().soundOn, 1);
    EXPECT_EQ(GetText(data.GetSettings().programmedByCompany), "Unknown");
    EXPECT_EQ(data.GetTagFormatData(6).defined, 0);

    // Cut inside slot 7: slot 6 whole, slot 7 up to its field rows' names.
    b.assign(fb.b.begin(), fb.b.begin() + kOffFormats + 7 * 1098 + 500);
    ASSERT_EQ(Load(b), 0);
    EXPECT_EQ(GetText(data.GetSettings().programmedByCompany), "Cut Company");
    EXPECT_EQ(data.GetTagFormatData(6).Name(), "Whole");
    EXPECT_EQ(data.GetTagFormatData(6).startingBit[0], 10);
    TagFormatData half = data.GetTagFormatData(7);
    EXPECT_EQ(half.Name(), "Half");
    EXPECT_EQ(half.FieldName(0), "Field A");
    EXPECT_EQ(half.startingBit[0], 0); // not in the file: as the defaults had it
    EXPECT_EQ(half.fullFrame, 1);
    EXPECT_EQ(data.GetTagFormatData(8).defined, 0);
}

TEST_F(DamagedFiles, EveryCutLengthLoadsWithoutATrap) {
    data.UpdateRecentTagLine(0, "line");
    SettingsBlock s = data.GetSettings();
    s.programmedTotal = 4321;
    data.UpdateSettings(s);
    TagFormatData f;
    f.defined = 1;
    SetText(f.formatName, "Slot 39");
    data.UpdateTagFormatData(39, f);
    const std::vector<uint8_t> whole = OptionsToBytes(data);

    for (std::size_t n = 0; n <= whole.size(); n += (n < 64 ? 1 : 257)) {
        std::vector<uint8_t> cut(whole.begin(), whole.begin() + n);
        test::ScriptedOperator op2;
        AEIData d(op2, clock);
        EXPECT_EQ(LoadOptionsFromBytes(d, cut.data(), cut.size()), n < 16 ? 1 : 0) << n;
        EXPECT_EQ(d.GetSettings().programmedTotal, n >= kOffSettings + 25 ? 4321 : 0) << n;
        EXPECT_EQ(d.GetRecentTagLine(0), n >= kOffLines + 5 ? "line" : "") << n;
        EXPECT_EQ(d.GetTagFormatData(0).Name(), "Railcar");
        EXPECT_EQ(OptionsToBytes(d).size(), 51652u);
        EXPECT_TRUE(op2.boxes.empty()) << n;
    }
    ASSERT_EQ(Load(whole), 0);
    EXPECT_EQ(data.GetTagFormatData(39).Name(), "Slot 39");
}

TEST_F(DamagedFiles, TextsAreForcedToEndWithinTheirWidths) {
    FileBuilder fb(4);
    auto fill = [&](std::size_t off, std::size_t n) { std::fill_n(fb.b.begin() + off, n, 'A'); };
    fill(kOffVersionText, 20);
    fill(kOffTagLogName, 120);
    fill(kOffImportName, 120);
    fill(kOffProgrammer + 4, 20);
    fill(kOffPrinter1, 32);
    fill(kOffSettings + 134, 35);
    fill(kOffSettings + 169, 5);
    fill(kOffLines, 6000);
    std::size_t slot6 = fb.FormatOffset(6);
    fb.U8(slot6, 1);
    fill(slot6 + 1, 31);
    fill(slot6 + 35, 31 * 15);
    fill(slot6 + 545, 450);
    ASSERT_EQ(Load(fb.b), 0);
    EXPECT_EQ(data.VersionText(), std::string(19, 'A'));
    EXPECT_EQ(data.TagLogFileName(), std::string(119, 'A'));
    EXPECT_EQ(data.ImportTagFileName(), std::string(119, 'A'));
    EXPECT_EQ(GetText(data.GetProgrammerRecord().model), std::string(19, 'A'));
    EXPECT_EQ(GetText(data.GetPrinterSettings(0).device), std::string(31, 'A'));
    EXPECT_EQ(GetText(data.GetSettings().programmedByCompany), std::string(34, 'A'));
    EXPECT_EQ(GetText(data.GetSettings().certificationInitial), "AAAA");
    for (int i = 0; i < kRecentTagLines; ++i) EXPECT_EQ(data.GetRecentTagLine(i), std::string(119, 'A'));
    TagFormatData f = data.GetTagFormatData(6);
    EXPECT_EQ(f.Name(), std::string(30, 'A'));
    EXPECT_EQ(f.formatName[30], '\0');
    for (int r = 0; r < kFieldRows; ++r) {
        EXPECT_EQ(f.FieldName(r), std::string(30, 'A'));
        EXPECT_EQ(f.Minimum(r), std::string(9, 'A'));
        EXPECT_EQ(f.Maximum(r), std::string(9, 'A'));
        EXPECT_EQ(f.Default(r), std::string(9, 'A'));
    }
}

TEST_F(DamagedFiles, IndexesOutsideTheirTablesAreBroughtBack) {
    FileBuilder fb(4);
    fb.U8(kOffSettings + 2, 200);           // current format
    fb.U32(kOffSettings + 179, 99);         // background colour
    fb.U8(kOffSettings + 184, 7);           // programmer model
    fb.U8(kOffSettings + 178, 9);           // reader port
    fb.U32(kOffProgrammer, 12);             // programmer port
    fb.Format(20, "Bad tag type", 40, 2);
    fb.U8(fb.FormatOffset(20) + 996, 200);  // Default Tag
    fb.U8(fb.FormatOffset(20) + 995, 1);    // system slot outside 0..5
    fb.U8(fb.FormatOffset(21), 5);          // Defined flag neither 0 nor 1
    ASSERT_EQ(Load(fb.b), 0);

    SettingsBlock s = data.GetSettings();
    EXPECT_EQ(s.currentFormat, 0);
    EXPECT_EQ(s.backgroundColor, 0);
    EXPECT_EQ(s.programmerModel, 2);
    EXPECT_EQ(s.readerPort, 255);
    EXPECT_EQ(data.GetProgrammerRecord().port, -1);
    TagFormatData f = data.GetTagFormatData(20);
    EXPECT_EQ(f.defaultTag, 0);
    EXPECT_EQ(f.systemSlot, 0);
    EXPECT_EQ(data.GetTagFormatData(21).defined, 0);
    EXPECT_EQ(data.FindFreeFormatSlot(), 6);

    // Every user of these values stays inside its table.
    data.GetTagFormatData(s.currentFormat);
    data.GetBackgroundColor(s.backgroundColor);
    data.GetAchTagType(f.defaultTag);
    EXPECT_TRUE(op.boxes.empty());
}

TEST_F(DamagedFiles, InTableValuesAreKeptAsStored) {
    FileBuilder fb(4);
    fb.U8(kOffSettings + 2, 39);
    fb.U32(kOffSettings + 179, 19);
    fb.U8(kOffSettings + 178, 3);
    fb.U32(kOffProgrammer, 0);
    ASSERT_EQ(Load(fb.b), 0);
    EXPECT_EQ(data.GetSettings().currentFormat, 39);
    EXPECT_EQ(data.GetSettings().backgroundColor, 19);
    EXPECT_EQ(data.GetSettings().readerPort, 3);
    EXPECT_EQ(data.GetProgrammerRecord().port, 0);
}

TEST_F(DamagedFiles, NegativeColourIndexIsBroughtBack) {
    FileBuilder fb(4);
    fb.U32(kOffSettings + 179, 0x80000000u);
    ASSERT_EQ(Load(fb.b), 0);
    EXPECT_EQ(data.GetSettings().backgroundColor, 0);
}

TEST_F(DamagedFiles, LongerFileIsReadUpToTheVersionFourSize) {
    FileBuilder fb(4);
    fb.U8(kOffSettings + 0, 1);
    fb.b.resize(200000, 0xAB);
    test::WriteFileBytes(Path(), fb.b);
    ASSERT_EQ(LoadOptions(data, Path()), 0);
    EXPECT_EQ(data.GetSettings().soundOn, 1);
}

// ---------------------------------------------------------------------------
using Saving = OptionsFile;

TEST_F(Saving, ReplacesTheOldFileAndLeavesNoTemporaryFile) {
    test::WriteFileBytes(Path(), std::vector<uint8_t>(100000, 0x11));
    ASSERT_EQ(SaveOptions(data, Path()), 0);
    EXPECT_EQ(test::ReadFileBytes(Path()).size(), 51652u);
    EXPECT_FALSE(std::filesystem::exists(ReplacementTempPath(Path())));
    int files = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1);
}

TEST_F(Saving, FailureShowsTheErrorBoxAndLeavesTheOldFileWhole) {
    SettingsBlock s = data.GetSettings();
    s.programmedTotal = 1;
    data.UpdateSettings(s);
    ASSERT_EQ(SaveOptions(data, Path()), 0);
    const std::vector<uint8_t> old = test::ReadFileBytes(Path());

    // Something that is not a file stands where the temporary file goes.
    std::filesystem::create_directory(ReplacementTempPath(Path()));
    s.programmedTotal = 2;
    data.UpdateSettings(s);
    EXPECT_EQ(SaveOptions(data, Path()), 3);
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].caption, "Velmora Error");
    EXPECT_EQ(op.boxes[0].text, "Could not open or create the Option File!");
    EXPECT_EQ(op.boxes[0].icon, MsgIcon::Stop);
    EXPECT_EQ(op.boxes[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(test::ReadFileBytes(Path()), old);
    // The settings in memory stay.
    EXPECT_EQ(data.GetSettings().programmedTotal, 2);
}

TEST_F(Saving, MissingFolderCannotBeCreated) {
    EXPECT_EQ(SaveOptions(data, dir.File("no such folder/programmer option.ads")), 3);
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].text, "Could not open or create the Option File!");
}

} // namespace
} // namespace velmora
