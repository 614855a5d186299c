// Loading options files of versions 1 to 4, and short or damaged files.
#include "OptionsFileFixture.h"

#include <filesystem>

namespace velmora {
namespace {

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


} // namespace
} // namespace velmora
