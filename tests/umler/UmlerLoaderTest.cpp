// Loading the extract into the data file: content, counts, progress, and the
// temporary file that keeps the previous register until a load completes.
#include "umler/UmlerExtract.h"
#include "umler/UmlerLoader.h"
#include "umler/UmlerTexts.h"

#include "TestSupport.h"
#include "UmlerTestExtract.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace velmora {
namespace {

namespace fs = std::filesystem;
using namespace test;

std::vector<UmlerRecord> ReadRecords(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    std::vector<UmlerRecord> out;
    for (std::size_t off = 0; off + kUmlerRecordSize <= bytes.size(); off += kUmlerRecordSize)
        out.push_back(DecodeUmlerRecord(bytes.data() + off));
    return out;
}

struct UmlerLoad : ::testing::Test {
    UmlerLoadResult Load(const std::string& text, const UmlerProgress& progress = {}) {
        WriteText(dir.File("x.txt"), text);
        return LoadUMLER(dir.File("x.txt"), Data(), progress);
    }
    void ExpectRecords(const std::vector<TestVehicle>& vs) {
        const auto records = ReadRecords(Data());
        ASSERT_EQ(records.size(), vs.size());
        for (std::size_t i = 0; i < records.size(); ++i) ExpectVehicle(records[i], vs[i]);
    }
    std::string Data() const { return dir.File(kUmlerDataFileName); }
    TempDir dir;
};

// Lines of 97 characters never line up with the pieces the loader reads and
// converts on two threads; some lines are long enough to span whole pieces.
// Every kind of line end, blank lines and lines out of order, wherever the
// pieces are cut, count as they do in one pass; the last line has no end.
TEST_F(UmlerLoad, EveryLineBecomesOneRecordInOrderAcrossPieces) {
    auto vehicles = MakeVehicles(30000, 11);
    for (std::size_t i = 0; i + 1 < vehicles.size(); i += 7) std::swap(vehicles[i], vehicles[i + 1]);
    const char* eols[] = {"\n", "\r\n", "\r"};
    std::string text;
    for (std::size_t i = 0; i < vehicles.size(); ++i) {
        text += ExtractLine(vehicles[i]) + std::string(i % 5000 == 4999 ? (1 << 20) + 5 : 66, ' ');
        if (i + 1 < vehicles.size()) text += eols[i % 3] + std::string(i % 1000 == 999 ? "\n" : "");
    }
    const UmlerLoadResult r = Load(text);
    ASSERT_TRUE(r.Ok()) << UmlerLoadMessage(r);
    EXPECT_EQ(r.recordsWritten, vehicles.size());
    EXPECT_EQ(r.linesOutOfOrder, 30000u / 7 + 1); // one for each pair swapped
    EXPECT_EQ(r.blankLinesSkipped, 20u); // after a lone CR the added LF only completes its line end
    EXPECT_EQ(fs::file_size(Data()), vehicles.size() * 21);
    ExpectRecords(vehicles);
    EXPECT_FALSE(fs::exists(UmlerTempPath(Data())));
}

// A small extract is read in pieces of a few dozen bytes: wherever a piece
// ends, a CR LF stays one line end and a line longer than a piece one line.
TEST_F(UmlerLoad, PiecesEndAnywhereInLinesAndLineEnds) {
    const auto v = MakeVehicles(120, 6);
    for (std::size_t shift = 1; shift <= 40; ++shift) {
        std::string text = std::string(shift, ' ') + "\r\n"; // no vehicle key, sorts first
        for (const auto& x : v) text += ExtractLine(x) + "\r\n";
        text += ExtractLine(v[119]) + std::string(300, ' ') + "\r\n";
        const UmlerLoadResult r = Load(text);
        ASSERT_TRUE(r.Ok()) << shift;
        EXPECT_EQ(r.recordsWritten, 122u) << shift;
        EXPECT_EQ(r.blankLinesSkipped + r.linesOutOfOrder, 0u) << shift;
        EXPECT_EQ(r.linesWithoutKey, 1u) << shift;
    }
}

TEST_F(UmlerLoad, LoaderAndParserAgreeOnStrayCarriageReturns) {
    const std::string a = " NS  001234T106089060", b = " NS  001235";
    const UmlerLoadResult r = Load(a + "\r\r\n" + b + "\r\r\r\n\r\r\n");
    ASSERT_TRUE(r.Ok());
    EXPECT_EQ(r.blankLinesSkipped, 5u); // each further CR ends a blank line
    const auto records = ReadRecords(Data());
    ASSERT_EQ(records.size(), 2u);
    std::vector<uint8_t> want(21), got(21);
    for (int i = 0; i < 2; ++i) {
        EncodeUmlerRecord(ParseUmlerLine(i ? b : a), want.data());
        EncodeUmlerRecord(records[i], got.data());
        EXPECT_EQ(got, want) << i;
    }
}

TEST_F(UmlerLoad, CountsLinesOutOfOrder) {
    auto vehicles = MakeVehicles(100, 5);
    std::swap(vehicles[10], vehicles[11]); // one line below the one above it
    std::swap(vehicles[50], vehicles[90]); // a high line early, a low one late
    const UmlerLoadResult r = Load(ExtractText(vehicles));
    EXPECT_EQ(r.linesOutOfOrder, 3u);
    EXPECT_EQ(r.recordsWritten, 100u); // still converted, in their order
    EXPECT_EQ(UmlerLoadMessage(r), std::string("3") + kUmlerOutOfOrderSuffix);
    EXPECT_EQ(Load(ExtractText({vehicles.rbegin(), vehicles.rbegin() + 10})).linesOutOfOrder, 9u);
    EXPECT_EQ(Load(ExtractText({vehicles[0], vehicles[0], vehicles[1]})).linesOutOfOrder, 0u); // the same twice
}

TEST_F(UmlerLoad, ProgressInWholePercentsUpTo100) {
    for (std::size_t lines : {0u, 1u, 2u, 10000u}) {
        std::vector<int> seen;
        ASSERT_TRUE(Load(ExtractText(MakeVehicles(lines, 9)), [&](int p) {
            seen.push_back(p);
            return true;
        }).Ok());
        ASSERT_GE(seen.size(), 2u) << lines;
        EXPECT_EQ(seen.front(), 0);
        EXPECT_EQ(seen.back(), 100);
        for (std::size_t i = 1; i < seen.size(); ++i) EXPECT_LT(seen[i - 1], seen[i]);
        if (lines == 10000) EXPECT_EQ(seen.size(), 101u); // every percent reached, each once
    }
    ASSERT_TRUE(Load(ExtractText(MakeVehicles(10, 1))).Ok());
    ASSERT_TRUE(Load("").Ok()); // an empty extract replaces the register
    EXPECT_EQ(fs::file_size(Data()), 0u);
}

TEST_F(UmlerLoad, FailuresKeepThePreviousRegister) {
    ASSERT_TRUE(Load(ExtractText(MakeVehicles(50, 4))).Ok());
    const std::vector<uint8_t> before = ReadFileBytes(Data());
    WriteText(dir.File("new.txt"), ExtractText(MakeVehicles(20000, 8)));
    const struct {
        const char* what;
        std::string extract, data;
        UmlerProgress progress;
        UmlerLoadStatus status;
        std::string message;
    } cases[] = { // what stands at either name: the file target tests
        {"interrupted halfway", dir.File("new.txt"), Data(), [](int p) { return p < 50; },
         UmlerLoadStatus::Interrupted, kUmlerLoadInterrupted},
        {"missing extract", dir.File("missing.txt"), Data(), {}, UmlerLoadStatus::CannotOpenExtract,
         "Could not open UMLER text file."},
        {"no such folder", dir.File("new.txt"), dir.File("no such folder/umlerdata.uml"), {},
         UmlerLoadStatus::CannotCreateData, "Could not create UMLER data file."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const UmlerLoadResult r = LoadUMLER(c.extract, c.data, c.progress);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(UmlerLoadMessage(r), c.message);
        if (c.status == UmlerLoadStatus::CannotCreateData) EXPECT_FALSE(r.systemError.empty());
        EXPECT_EQ(ReadFileBytes(Data()), before);
        EXPECT_FALSE(fs::exists(UmlerTempPath(c.data)));
    }
    // The stale temporary file of a killed load is replaced.
    WriteText(UmlerTempPath(Data()), std::string(1000, 'j'));
    ASSERT_TRUE(LoadUMLER(dir.File("new.txt"), Data()).Ok());
    EXPECT_EQ(fs::file_size(Data()), 20000u * 21);
    EXPECT_FALSE(fs::exists(UmlerTempPath(Data())));
}

TEST_F(UmlerLoad, WriteAndReadFailuresAreFailuresNotSuccess) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    WriteText(dir.File("x.txt"), ExtractText(MakeVehicles(100, 1)));
    std::FILE* in = std::fopen(dir.File("x.txt").c_str(), "rb");
    std::FILE* out = std::fopen("/dev/full", "wb");
    ASSERT_TRUE(in && out);
    UmlerLoadResult r = ConvertUmlerExtract(in, out, 3100, {});
    std::fclose(in);
    std::fclose(out);
    EXPECT_EQ(r.status, UmlerLoadStatus::WriteFailed);
    EXPECT_FALSE(r.systemError.empty());
    in = std::fopen(dir.path().c_str(), "rb"); // a folder: opens, never reads
    if (!in) GTEST_SKIP() << "folders do not open as streams here";
    out = std::fopen(Data().c_str(), "wb");
    r = ConvertUmlerExtract(in, out, 0, {});
    std::fclose(in);
    std::fclose(out);
    EXPECT_EQ(r.status, UmlerLoadStatus::ReadFailed);
    EXPECT_EQ(UmlerLoadMessage(r), kUmlerCannotReadText);
}

} // namespace
} // namespace velmora
