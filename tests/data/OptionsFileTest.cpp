// The options file: defaults, the version 4 image, round trips and saving.
#include "OptionsFileFixture.h"

#include "data/ReplaceFile.h"

#include <filesystem>

namespace velmora {
namespace {

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
