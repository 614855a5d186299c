// Loading the extract into the data file: content, counts, progress, and the
// temporary file that keeps the previous register until a load completes.
#include "umler/UmlerExtract.h"
#include "umler/UmlerKey.h"
#include "umler/UmlerLoader.h"
#include "umler/UmlerRecord.h"
#include "umler/UmlerTexts.h"

#include "TestSupport.h"
#include "UmlerTestExtract.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace velmora {
namespace {

using test::ExtractLine;
using test::ExtractText;
using test::MakeVehicles;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteText;

std::vector<UmlerRecord> ReadRecords(const std::string& path) {
    std::vector<uint8_t> bytes = ReadFileBytes(path);
    std::vector<UmlerRecord> out;
    for (std::size_t off = 0; off + kUmlerRecordSize <= bytes.size(); off += kUmlerRecordSize)
        out.push_back(DecodeUmlerRecord(bytes.data() + off));
    return out;
}

void ExpectRecordOf(const UmlerRecord& r, const test::TestVehicle& v) {
    EXPECT_EQ(r.initialCode, InitialCode(v.initial)) << v.Key();
    EXPECT_EQ(r.number, v.number) << v.Key();
    EXPECT_EQ(std::string(r.typeCode), v.type) << v.Key();
    EXPECT_EQ(r.lengthInches, v.feet * 12 + v.inches) << v.Key();
    EXPECT_EQ(r.axles, v.axles) << v.Key();
    EXPECT_EQ(r.platforms, v.platforms) << v.Key();
    EXPECT_EQ(r.tare, v.tare) << v.Key();
    EXPECT_EQ(r.capacity, v.capacity) << v.Key();
}

TEST(UmlerLoad, EveryLineBecomesOneRecordInOrder) {
    TempDir dir;
    auto vehicles = MakeVehicles(3000, 7);
    WriteText(dir.File("Umler.txt"), ExtractText(vehicles));
    UmlerLoadResult r = LoadUMLER(dir.File("Umler.txt"), dir.File(kUmlerDataFileName));
    ASSERT_TRUE(r.Ok()) << UmlerLoadMessage(r);
    EXPECT_EQ(r.recordsWritten, vehicles.size());
    EXPECT_EQ(r.linesOutOfOrder, 0u);
    EXPECT_EQ(UmlerLoadMessage(r), ""); // no message on success
    EXPECT_EQ(std::filesystem::file_size(dir.File(kUmlerDataFileName)), vehicles.size() * 21);
    auto records = ReadRecords(dir.File(kUmlerDataFileName));
    ASSERT_EQ(records.size(), vehicles.size());
    for (std::size_t i = 0; i < records.size(); ++i) ExpectRecordOf(records[i], vehicles[i]);
    EXPECT_FALSE(std::filesystem::exists(UmlerTempPath(dir.File(kUmlerDataFileName))));
}

TEST(UmlerLoad, LineEndsBlankLinesAndALastLineWithoutEnd) {
    TempDir dir;
    auto vehicles = MakeVehicles(5, 3);
    std::string text = ExtractLine(vehicles[0]) + "\r\n\n" + ExtractLine(vehicles[1]) + "\n\r\n" +
                       ExtractLine(vehicles[2]) + std::string(300, 'x') + "\n" + // a long line is one line
                       ExtractLine(vehicles[3]) + "\r\n" + ExtractLine(vehicles[4]);
    WriteText(dir.File("x.txt"), text);
    UmlerLoadResult r = LoadUMLER(dir.File("x.txt"), dir.File("d.uml"));
    ASSERT_TRUE(r.Ok());
    EXPECT_EQ(r.recordsWritten, 5u);
    EXPECT_EQ(r.blankLinesSkipped, 2u);
    EXPECT_EQ(r.linesOutOfOrder, 0u);
    auto records = ReadRecords(dir.File("d.uml"));
    ASSERT_EQ(records.size(), 5u);
    for (int i = 0; i < 5; ++i) ExpectRecordOf(records[i], vehicles[i]);
}

TEST(UmlerLoad, LoaderAndParserAgreeOnStrayCarriageReturns) {
    TempDir dir;
    const std::string a = " NS  001234T106089060", b = " NS  001235";
    WriteText(dir.File("x.txt"), a + "\r\r\n" + b + "\r\r\r\n\r\r\n");
    UmlerLoadResult r = LoadUMLER(dir.File("x.txt"), dir.File("d.uml"));
    ASSERT_TRUE(r.Ok());
    auto records = ReadRecords(dir.File("d.uml"));
    ASSERT_EQ(records.size(), 2u); // each further CR ends a blank line
    EXPECT_EQ(r.blankLinesSkipped, 5u);
    std::vector<uint8_t> want(21), got(21);
    EncodeUmlerRecord(ParseUmlerLine(a), want.data());
    EncodeUmlerRecord(records[0], got.data());
    EXPECT_EQ(got, want);
    EncodeUmlerRecord(ParseUmlerLine(b), want.data());
    EncodeUmlerRecord(records[1], got.data());
    EXPECT_EQ(got, want);
}

TEST(UmlerLoad, LinesAcrossReadBlocks) {
    // Lines of 97 characters never line up with the read blocks; some
    // lines are long enough to span a whole block.
    TempDir dir;
    auto vehicles = MakeVehicles(30000, 11);
    std::string text;
    for (std::size_t i = 0; i < vehicles.size(); ++i) {
        text += ExtractLine(vehicles[i]);
        text += std::string(i % 5000 == 4999 ? (1 << 20) + 5 : 66, ' ');
        text += "\n";
    }
    WriteText(dir.File("x.txt"), text);
    UmlerLoadResult r = LoadUMLER(dir.File("x.txt"), dir.File("d.uml"));
    ASSERT_TRUE(r.Ok());
    auto records = ReadRecords(dir.File("d.uml"));
    ASSERT_EQ(records.size(), vehicles.size());
    for (std::size_t i = 0; i < records.size(); ++i) ExpectRecordOf(records[i], vehicles[i]);
}

TEST(UmlerLoad, CountsLinesOutOfOrder) {
    TempDir dir;
    auto vehicles = MakeVehicles(100, 5);
    std::swap(vehicles[10], vehicles[11]);            // one line below the one above it
    std::swap(vehicles[50], vehicles[90]);            // a high line early, a low one late
    WriteText(dir.File("x.txt"), ExtractText(vehicles));
    UmlerLoadResult r = LoadUMLER(dir.File("x.txt"), dir.File("d.uml"));
    ASSERT_TRUE(r.Ok());
    EXPECT_EQ(r.linesOutOfOrder, 3u);
    EXPECT_EQ(r.recordsWritten, 100u); // the lines are still converted, in their order
    EXPECT_EQ(UmlerLoadMessage(r), std::string("3") + kUmlerOutOfOrderSuffix);

    std::vector<test::TestVehicle> reversed(vehicles.rbegin(), vehicles.rbegin() + 10);
    WriteText(dir.File("y.txt"), ExtractText(reversed));
    EXPECT_EQ(LoadUMLER(dir.File("y.txt"), dir.File("d.uml")).linesOutOfOrder, 9u);

    // The same vehicle twice is not out of order.
    std::vector<test::TestVehicle> twice{vehicles[0], vehicles[0], vehicles[1]};
    WriteText(dir.File("z.txt"), ExtractText(twice));
    EXPECT_EQ(LoadUMLER(dir.File("z.txt"), dir.File("d.uml")).linesOutOfOrder, 0u);
}

TEST(UmlerLoad, ProgressInWholePercentsUpTo100) {
    TempDir dir;
    WriteText(dir.File("x.txt"), ExtractText(MakeVehicles(10000, 2)));
    std::vector<int> seen;
    UmlerLoadResult r = LoadUMLER(dir.File("x.txt"), dir.File("d.uml"), [&](int p) {
        seen.push_back(p);
        return true;
    });
    ASSERT_TRUE(r.Ok());
    // 10000 lines of 31 bytes: every percent is reached, each reported once.
    ASSERT_EQ(seen.size(), 101u);
    for (int i = 0; i <= 100; ++i) EXPECT_EQ(seen[i], i);
}

TEST(UmlerLoad, ProgressOfTinyAndEmptyExtracts) {
    TempDir dir;
    for (std::size_t lines : {0u, 1u, 2u}) {
        WriteText(dir.File("x.txt"), ExtractText(MakeVehicles(lines, 9)));
        std::vector<int> seen;
        ASSERT_TRUE(LoadUMLER(dir.File("x.txt"), dir.File("d.uml"), [&](int p) {
            seen.push_back(p);
            return true;
        }).Ok());
        ASSERT_GE(seen.size(), 2u) << lines;
        EXPECT_EQ(seen.front(), 0);
        EXPECT_EQ(seen.back(), 100);
        for (std::size_t i = 1; i < seen.size(); ++i) EXPECT_LT(seen[i - 1], seen[i]);
    }
}

TEST(UmlerLoad, EmptyExtractReplacesTheRegister) {
    TempDir dir;
    WriteText(dir.File("full.txt"), ExtractText(MakeVehicles(10, 1)));
    ASSERT_TRUE(LoadUMLER(dir.File("full.txt"), dir.File("d.uml")).Ok());
    WriteText(dir.File("empty.txt"), "");
    UmlerLoadResult r = LoadUMLER(dir.File("empty.txt"), dir.File("d.uml"));
    ASSERT_TRUE(r.Ok());
    EXPECT_EQ(r.recordsWritten, 0u);
    EXPECT_EQ(std::filesystem::file_size(dir.File("d.uml")), 0u);
}

class UmlerLoadKeepsPrevious : public ::testing::Test {
protected:
    void SetUp() override {
        WriteText(dir.File("old.txt"), ExtractText(MakeVehicles(50, 4)));
        ASSERT_TRUE(LoadUMLER(dir.File("old.txt"), Data()).Ok());
        before = ReadFileBytes(Data());
        ASSERT_EQ(before.size(), 50u * 21);
        WriteText(dir.File("new.txt"), ExtractText(MakeVehicles(20000, 8)));
    }
    void ExpectPreviousKept() {
        EXPECT_EQ(ReadFileBytes(Data()), before);
        EXPECT_FALSE(std::filesystem::exists(UmlerTempPath(Data())));
    }
    std::string Data() const { return dir.File(kUmlerDataFileName); }

    TempDir dir;
    std::vector<uint8_t> before;
};

TEST_F(UmlerLoadKeepsPrevious, WhenInterruptedHalfway) {
    UmlerLoadResult r = LoadUMLER(dir.File("new.txt"), Data(), [](int p) { return p < 50; });
    EXPECT_EQ(r.status, UmlerLoadStatus::Interrupted);
    EXPECT_EQ(UmlerLoadMessage(r), kUmlerLoadInterrupted);
    ExpectPreviousKept();
}

TEST_F(UmlerLoadKeepsPrevious, WhenTheExtractCannotBeOpened) {
    UmlerLoadResult r = LoadUMLER(dir.File("missing.txt"), Data());
    EXPECT_EQ(r.status, UmlerLoadStatus::CannotOpenExtract);
    EXPECT_EQ(UmlerLoadMessage(r), "Could not open UMLER text file.");
    ExpectPreviousKept();
    std::filesystem::create_directory(dir.File("folder.txt"));
    EXPECT_EQ(LoadUMLER(dir.File("folder.txt"), Data()).status, UmlerLoadStatus::CannotOpenExtract);
    ExpectPreviousKept();
}

TEST_F(UmlerLoadKeepsPrevious, WhenTheDataFileCannotBeRenamedIntoPlace) {
    // A folder in the data file's place is refused before anything is
    // written, and nothing is left behind.
    std::filesystem::create_directory(dir.File("blocked.uml"));
    WriteText(dir.File("blocked.uml/keep"), "x");
    UmlerLoadResult r = LoadUMLER(dir.File("new.txt"), dir.File("blocked.uml"));
    EXPECT_EQ(r.status, UmlerLoadStatus::CannotCreateData);
    EXPECT_EQ(UmlerLoadMessage(r), kUmlerCannotCreateData);
    EXPECT_TRUE(std::filesystem::exists(dir.File("blocked.uml/keep")));
    EXPECT_FALSE(std::filesystem::exists(UmlerTempPath(dir.File("blocked.uml"))));
    ExpectPreviousKept();
}

TEST_F(UmlerLoadKeepsPrevious, StaleTemporaryFileOfAKilledLoadIsReplaced) {
    WriteText(UmlerTempPath(Data()), std::string(1000, 'j'));
    ASSERT_TRUE(LoadUMLER(dir.File("new.txt"), Data()).Ok());
    EXPECT_EQ(std::filesystem::file_size(Data()), 20000u * 21);
    EXPECT_FALSE(std::filesystem::exists(UmlerTempPath(Data())));
}

TEST(UmlerLoadFailures, DataFileCannotBeCreated) {
    TempDir dir;
    WriteText(dir.File("x.txt"), ExtractText(MakeVehicles(3, 1)));
    UmlerLoadResult r = LoadUMLER(dir.File("x.txt"), dir.File("no such folder/umlerdata.uml"));
    EXPECT_EQ(r.status, UmlerLoadStatus::CannotCreateData);
    EXPECT_EQ(UmlerLoadMessage(r), "Could not create UMLER data file.");
    EXPECT_FALSE(r.systemError.empty());
}

TEST(UmlerLoadFailures, FullDiskIsAFailureNotASuccess) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    TempDir dir;
    WriteText(dir.File("x.txt"), ExtractText(MakeVehicles(100, 1)));
    std::FILE* in = std::fopen(dir.File("x.txt").c_str(), "rb");
    std::FILE* out = std::fopen("/dev/full", "wb");
    ASSERT_TRUE(in && out);
    UmlerLoadResult r = ConvertUmlerExtract(in, out, 3100, {});
    std::fclose(in);
    std::fclose(out);
    EXPECT_EQ(r.status, UmlerLoadStatus::WriteFailed);
    EXPECT_FALSE(r.systemError.empty());
}

TEST(UmlerLoadFailures, UnreadableExtractIsAFailure) {
    TempDir dir;
    std::FILE* in = std::fopen(dir.path().c_str(), "rb"); // a folder: opens, never reads
    if (!in) GTEST_SKIP() << "folders do not open as streams here";
    std::FILE* out = std::fopen(dir.File("d.uml").c_str(), "wb");
    UmlerLoadResult r = ConvertUmlerExtract(in, out, 0, {});
    std::fclose(in);
    std::fclose(out);
    EXPECT_EQ(r.status, UmlerLoadStatus::ReadFailed);
    EXPECT_EQ(UmlerLoadMessage(r), kUmlerCannotReadText);
}

} // namespace
} // namespace velmora
