// The options file against two golden images written byte by byte from the
// version 4 layout (not by the serializers): options-defaults.ads holds every
// default (day of the year 73, the fake clock's; undefined format slots have
// their full-frame byte set), options-golden.ads a value of its own in every
// block, an operator format in system slot 3 and in slots 6, 7 and 39. Slots 0 to 5 of the images are the file's; the
// system writes its built-ins there, so those bytes are compared by name only.
#include "data/OptionsFile.h"

#include "data/ReplaceFile.h"
#include "util/Bytes.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <tuple>

namespace velmora {
namespace {

constexpr std::size_t kSettings = 1387, kLines = 1716, kFormats = 7716, kRecord = 1098;
constexpr std::size_t kBuiltInsEnd = kFormats + 6 * kRecord;

std::vector<uint8_t> Golden(const char* name) {
    return test::ReadFileBytes(std::string(VELMORA_SOURCE_DIR) + "/tests/data/" + name);
}

// Every byte outside the built-in slots as the image has it.
void ExpectImage(const std::vector<uint8_t>& got, const std::vector<uint8_t>& image) {
    ASSERT_EQ(got.size(), image.size());
    for (std::size_t i = 0; i < got.size(); ++i)
        if ((i < kFormats || i >= kBuiltInsEnd) && got[i] != image[i])
            FAIL() << "byte " << i << " is " << int(got[i]) << ", the image has " << int(image[i]);
}

struct OptionsFile : ::testing::Test {
    test::ScriptedOperator op;
    test::FakeClock clock;
    test::TempDir dir;
    AEIData data{op, clock};
    int Load(const std::vector<uint8_t>& b) { return LoadOptionsFromBytes(data, b.data(), b.size()); }
    std::string Path() const { return dir.File("programmer option.ads"); }
};

TEST_F(OptionsFile, DefaultsAreTheDefaultImage) {
    EXPECT_EQ(OptionsFilePath(data), "programmer option.ads");
    data.SetStartDirectory("/srv/shop/");
    EXPECT_EQ(OptionsFilePath(data), "/srv/shop/programmer option.ads");
    ASSERT_EQ(SaveOptions(data, Path()), 0);
    const std::vector<uint8_t> saved = test::ReadFileBytes(Path());
    ExpectImage(saved, Golden("options-defaults.ads"));
    for (int slot = 0; slot < 6; ++slot) EXPECT_EQ(saved[kFormats + slot * kRecord], 1) << slot; // the built-ins
    EXPECT_TRUE(op.boxes.empty());
}

// Loaded and written again, the golden image comes back byte for byte; the
// values land in the fields the callers read.
TEST_F(OptionsFile, GoldenImageLoadsIntoItsFieldsAndIsWrittenBackUnchanged) {
    ASSERT_EQ(Load(Golden("options-golden.ads")), 0);
    ExpectImage(OptionsToBytes(data), Golden("options-golden.ads"));

    const SettingsBlock s = data.GetSettings();
    using T = std::tuple<int, int, int, int, int, int, int, int>;
    EXPECT_EQ(T(s.soundOn, s.labelPrintingOn, s.currentFormat, s.feetInches, s.logFileOn, s.programmedToday,
                s.programmedTotal, s.dayOfYear),
              T(1, 0, 17, 0, 0, 12, 0x01020304, 366));
    EXPECT_EQ(T(s.umlerWindowShown, s.tagLogWindowShown, s.programmedByEntry, s.autoRfCheck, s.autoUmlerCheck,
                s.certifiedCount, s.readerPort, s.backgroundColor),
              T(1, 1, 1, 1, 0, -2, 3, 6));
    EXPECT_EQ(std::tuple(s.reconditionCheck, s.importWindowShown, s.programmerModel), std::tuple(1, 1, 0));
    EXPECT_EQ(std::tuple(GetText(s.programmedByCompany), GetText(s.certificationInitial), data.VersionText(),
                         data.TagLogFileName(), data.ImportTagFileName()),
              std::tuple("Acme Rail Shop", "ABCD", "1.4.0", "/logs/tags.txt", "in.txt"));
    const ProgrammerState p = data.GetProgrammerRecord();
    EXPECT_EQ(std::tuple(p.port, GetText(p.model), GetText(p.lastError), p.nextCheck),
              std::tuple(2, "AP4118", "WatchDog Timer Expired", 0xDEADBEEFu));
    EXPECT_EQ(std::tuple(GetText(data.GetCommLogSettings().tagLogAge), GetText(data.GetPrinterSettings(0).port),
                         GetText(data.GetPrinterSettings(1).device)),
              std::tuple("12345678901234567890", "/dev/usb/lp0", "Second"));
    EXPECT_EQ(std::tuple(data.GetColumnWidth(0, 0), data.GetColumnWidth(1, 14), data.GetRecentTagLine(0),
                         data.GetRecentTagLine(49)),
              std::tuple(-7, 1014, "newest", "oldest"));
    // An operator format in a system slot gives way to the built-in.
    EXPECT_EQ(data.GetTagFormatData(3).Name(), "EOT Device");
    EXPECT_EQ(data.FindTagFormatByName("Mine in slot 3"), -1);
    const TagFormatData f = data.GetTagFormatData(6), f7 = data.GetTagFormatData(7);
    EXPECT_EQ(std::tuple(f.Name(), f.dataFormatCode, f.equipmentGroupCode, f.startingBit[1], f.Maximum(1), f.defaultTag),
              std::tuple("Operator Format", 33, 12, 28, "ZZZ", 4));
    EXPECT_EQ(std::tuple(f7.notForReading, f7.fullFrame, data.GetTagFormatData(39).Name()), std::tuple(1, 0, "Last Slot"));
    EXPECT_TRUE(op.boxes.empty());
}

// Through the file on disk: the day of the year comes from the file, set 1's
// last two column widths are not stored, and the half-frame model builds the
// half-frame set.
TEST_F(OptionsFile, RoundTripThroughTheFile) {
    ASSERT_EQ(Load(Golden("options-golden.ads")), 0);
    data.UpdateColumnWidth(1, 15, 7);
    SettingsBlock s = data.GetSettings();
    s.programmerModel = 1;
    data.UpdateSettings(s);
    test::WriteFileBytes(Path(), std::vector<uint8_t>(100000, 0x11)); // an older, longer file
    ASSERT_EQ(SaveOptions(data, Path()), 0);
    EXPECT_FALSE(std::filesystem::exists(ReplacementTempPath(Path())));

    test::FakeClock clock2;
    clock2.local.dayOfYear = 1;
    AEIData other(op, clock2);
    ASSERT_EQ(LoadOptions(other, Path()), 0);
    ExpectImage(OptionsToBytes(other), OptionsToBytes(data));
    EXPECT_EQ(std::tuple(other.GetSettings().dayOfYear, other.GetColumnWidth(1, 15), other.HalfFrameMode()),
              std::tuple(366, 100, true));
    EXPECT_EQ(std::tuple(other.GetTagFormatData(0).Name(), int(other.GetTagFormatData(2).defined), other.GetTagFormatData(39).Name()),
              std::tuple("ASCII Half Frame", 0, "Last Slot"));
}

TEST_F(OptionsFile, SaveFailureShowsTheBoxAndLeavesTheOldFileWhole) {
    ASSERT_EQ(SaveOptions(data, Path()), 0);
    const std::vector<uint8_t> old = test::ReadFileBytes(Path());
    std::filesystem::create_directory(ReplacementTempPath(Path())); // no temporary file can be made
    SettingsBlock s = data.GetSettings();
    s.programmedTotal = 2;
    data.UpdateSettings(s);
    EXPECT_EQ(SaveOptions(data, Path()), 3);
    EXPECT_EQ(SaveOptions(data, dir.File("no such folder/programmer option.ads")), 3);
    ASSERT_EQ(op.boxes.size(), 2u);
    EXPECT_EQ(std::tuple(op.boxes[0].caption, op.boxes[0].text, op.boxes[0].icon, op.boxes[0].buttons),
              std::tuple("Velmora Error", "Could not open or create the Option File!", MsgIcon::Stop, MsgButtons::Ok));
    EXPECT_EQ(test::ReadFileBytes(Path()), old);
    EXPECT_EQ(data.GetSettings().programmedTotal, 2);
}

// Damaged, foreign and older files, each made from the golden image, with the
// load's result and what the application data holds afterwards.
std::vector<uint8_t> OlderVersion(const std::vector<uint8_t>& g, int version) {
    std::vector<uint8_t> b(g.begin(), g.begin() + kLines);
    bytes::PutI32(b.data(), 16, version);
    b.insert(b.end(), g.begin() + kLines, g.begin() + kLines + (version == 1 ? 3500 : 6000));
    if (version == 2)
        for (int slot = 0; slot < 40; ++slot)
            b.insert(b.end(), g.begin() + kFormats + slot * kRecord, g.begin() + kFormats + slot * kRecord + 997);
    b.insert(b.end(), g.end() - 16, g.end());
    return b;
}

struct DamagedCase {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> damage;
    int result;
    std::function<void(AEIData&)> expect;
};

void Fill(std::vector<uint8_t>& b, std::size_t off, std::size_t n, uint8_t v = 'A') {
    std::fill_n(b.begin() + off, n, v);
}
std::size_t Slot(int s) { return kFormats + s * kRecord; }

const DamagedCase kDamaged[] = {
    {"first signature byte", [](auto& b) { b[0] ^= 1; }, 1, nullptr},
    {"last signature byte", [](auto& b) { b[15] ^= 1; }, 1, nullptr},
    {"empty file", [](auto& b) { b.clear(); }, 1, nullptr},
    {"fifteen bytes", [](auto& b) { b.resize(15); }, 1, nullptr},
    {"the signature alone", [](auto& b) { b.resize(16); }, 0, nullptr},
    {"closing signature is not compared", [](auto& b) { Fill(b, b.size() - 16, 16, 0xFF); }, 0,
     [](AEIData& d) { EXPECT_EQ(d.GetSettings().soundOn, 1); }},
    {"version 3 sets the model to AP4118", [](auto& b) { b[16] = 3; b[kSettings + 184] = 1; }, 0,
     [](AEIData& d) {
         EXPECT_EQ(std::tuple(int(d.GetSettings().programmerModel), d.HalfFrameMode(), int(d.GetTagFormatData(7).notForReading)),
                   std::tuple(2, false, 1));
     }},
    {"later version read with the current layout", [](auto& b) { b[16] = 5; }, 0,
     [](AEIData& d) {
         EXPECT_EQ(std::tuple(int(d.GetSettings().programmerModel), d.GetTagFormatData(39).Name()), std::tuple(0, "Last Slot"));
     }},
    {"version 2 records end before byte 997", [](auto& b) { b = OlderVersion(b, 2); }, 0,
     [](AEIData& d) {
         const TagFormatData f6 = d.GetTagFormatData(6), f7 = d.GetTagFormatData(7);
         EXPECT_EQ(std::tuple(int(d.GetSettings().programmerModel), d.GetRecentTagLine(49), f7.Name(), int(f7.notForReading)),
                   std::tuple(2, "oldest", "Not For Reading", 0));
         EXPECT_EQ(std::tuple(f6.Default(1), int(f6.defaultTag), int(d.GetTagFormatData(39).dataFormatCode)),
                   std::tuple("BBB", 4, 40));
     }},
    {"version 1 has short tag lines and no format table",
     [](auto& b) {
         b = OlderVersion(b, 1);
         b.insert(b.end(), 2000, 1); // bytes after the end are no format table
     },
     0,
     [](AEIData& d) {
         EXPECT_EQ(GetText(d.GetSettings().programmedByCompany), "Acme Rail Shop");
         EXPECT_EQ(d.GetRecentTagLine(28), "line 28");
         EXPECT_EQ(d.GetRecentTagLine(29), ""); // the block's last 20 bytes
         EXPECT_EQ(d.GetRecentTagLine(49), "");
         for (int i = 6; i < kFormatSlots; ++i) EXPECT_EQ(d.GetTagFormatData(i).defined, 0) << i;
     }},
    {"cut inside the settings block", [](auto& b) { b.resize(kSettings + 100); }, 0,
     [](AEIData& d) {
         EXPECT_EQ(std::tuple(d.VersionText(), d.GetSettings().programmedTotal, GetText(d.GetSettings().programmedByCompany),
                              int(d.GetTagFormatData(6).defined)),
                   std::tuple("1.4.0", 0x01020304, "Unknown", 0));
     }},
    {"cut inside slot 7", [](auto& b) { b.resize(Slot(7) + 500); }, 0,
     [](AEIData& d) {
         EXPECT_EQ(std::tuple(int(d.GetTagFormatData(6).startingBit[0]), d.GetTagFormatData(7).FieldName(1),
                              int(d.GetTagFormatData(7).startingBit[0]), int(d.GetTagFormatData(39).defined)),
                   std::tuple(20, "Field B", 0, 0));
     }},
    {"longer file read up to its size", [](auto& b) { b.resize(200000, 0xAB); }, 0,
     [](AEIData& d) { EXPECT_EQ(d.GetSettings().soundOn, 1); }},
    {"texts without their terminators",
     [](auto& b) {
         Fill(b, 40, 20);
         Fill(b, 60, 240);
         Fill(b, 300 + 4, 20);
         Fill(b, 755, 32);
         Fill(b, kSettings + 134, 40);
         Fill(b, kLines, 6000);
         Fill(b, Slot(6) + 1, 31);
         Fill(b, Slot(6) + 35, 31 * 15);
         Fill(b, Slot(6) + 545, 450);
     },
     0,
     [](AEIData& d) { // each text as long as its field less the terminator
         const TagFormatData f = d.GetTagFormatData(6);
         std::string lengths;
         for (const std::string& t : {d.VersionText(), d.TagLogFileName(), d.ImportTagFileName(),
                                      std::string(GetText(d.GetProgrammerRecord().model)),
                                      std::string(GetText(d.GetPrinterSettings(0).device)),
                                      std::string(GetText(d.GetSettings().programmedByCompany)),
                                      std::string(GetText(d.GetSettings().certificationInitial)), d.GetRecentTagLine(49),
                                      std::string(f.Name()), std::string(f.FieldName(14)), std::string(f.Minimum(14)),
                                      std::string(f.Default(14))})
             lengths += std::to_string(t.find_first_not_of('A') == t.npos ? t.size() : 0) + " ";
         EXPECT_EQ(lengths, "19 119 119 19 31 34 4 119 30 30 9 9 ");
     }},
    {"indexes outside their tables",
     [](auto& b) {
         b[kSettings + 2] = 200;
         bytes::PutI32(b.data(), kSettings + 179, 99);
         b[kSettings + 184] = 7;
         b[kSettings + 178] = 9;
         bytes::PutI32(b.data(), 300, 12);
         b[Slot(6) + 996] = 200;
         b[Slot(6) + 995] = 1;
         b[Slot(7)] = 5;
     },
     0,
     [](AEIData& d) {
         const SettingsBlock s = d.GetSettings();
         EXPECT_EQ(std::tuple(int(s.currentFormat), int(s.backgroundColor), int(s.programmerModel), int(s.readerPort),
                              int(d.GetProgrammerRecord().port)),
                   std::tuple(0, 0, 2, 255, -1));
         const TagFormatData f6 = d.GetTagFormatData(6);
         EXPECT_EQ(std::tuple(int(f6.defaultTag), int(f6.systemSlot), int(d.GetTagFormatData(7).defined), d.FindFreeFormatSlot()),
                   std::tuple(0, 0, 0, 7));
     }},
    {"negative colour index", [](auto& b) { bytes::PutI32(b.data(), kSettings + 179, INT32_MIN); }, 0,
     [](AEIData& d) { EXPECT_EQ(d.GetSettings().backgroundColor, 0); }},
    {"largest values inside their tables",
     [](auto& b) {
         b[kSettings + 2] = 39;
         bytes::PutI32(b.data(), kSettings + 179, 19);
         bytes::PutI32(b.data(), 300, 3);
         b[kSettings + 178] = 3;
     },
     0,
     [](AEIData& d) {
         const SettingsBlock s = d.GetSettings();
         EXPECT_EQ(std::tuple(int(s.readerPort), int(s.currentFormat), int(s.backgroundColor), int(d.GetProgrammerRecord().port)),
                   std::tuple(3, 39, 19, 3));
     }},
};

TEST_F(OptionsFile, DamagedAndOlderFiles) {
    const std::vector<uint8_t> defaults = Golden("options-defaults.ads");
    for (const DamagedCase& c : kDamaged) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> b = Golden("options-golden.ads");
        c.damage(b);
        AEIData d(op, clock);
        EXPECT_EQ(LoadOptionsFromBytes(d, b.data(), b.size()), c.result);
        if (c.expect) c.expect(d);
        else ExpectImage(OptionsToBytes(d), defaults);
        EXPECT_EQ(d.GetTagFormatData(0).Name(), "Railcar");
    }
    // Nothing to open: the defaults and no message (what is not a regular file: FileTargetsTest).
    EXPECT_EQ(LoadOptions(data, dir.File("no such file.ads")), 3);
    ExpectImage(OptionsToBytes(data), defaults);
    EXPECT_TRUE(op.boxes.empty());
}

} // namespace
} // namespace velmora
