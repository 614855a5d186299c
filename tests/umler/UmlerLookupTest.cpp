// LookupUMLER and the search over the data file: every vehicle of an ordered
// register is found and nothing else is, within log2(n) + 51 record reads.
#include "umler/UmlerKey.h"
#include "umler/UmlerLoader.h"
#include "umler/UmlerLookup.h"
#include "umler/UmlerRecord.h"

#include "TestSupport.h"
#include "UmlerTestExtract.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace velmora {
namespace {

using namespace test;

double ReadBound(uint64_t n) { return std::log2(static_cast<double>(n)) + 51; }

// Counts the records the search asks for, whatever it reads them from.
struct CountingSource : UmlerRecordSource {
    explicit CountingSource(UmlerRecordSource& inner) : inner_(inner) {}
    uint64_t RecordCount() const override { return inner_.RecordCount(); }
    std::size_t ReadRecords(uint64_t first, std::size_t count, UmlerRecord* out) override {
        reads += count;
        EXPECT_LT(first, RecordCount()) << "read past the end";
        return inner_.ReadRecords(first, count, out);
    }
    uint64_t reads = 0;
    UmlerRecordSource& inner_;
};

// A register that exists only as a rule: record i is initial code 1 + i / 1000
// with the even number 2 x (i % 1000); odd numbers are absent.
struct RuleSource : UmlerRecordSource {
    explicit RuleSource(uint64_t n) : n_(n) {}
    uint64_t RecordCount() const override { return n_; }
    std::size_t ReadRecords(uint64_t first, std::size_t count, UmlerRecord* out) override {
        std::size_t i = 0;
        for (; i < count && first + i < n_; ++i) out[i] = At(first + i);
        return i;
    }
    static UmlerRecord At(uint64_t i) {
        UmlerRecord r;
        r.initialCode = static_cast<int32_t>(1 + i / 1000);
        r.number = static_cast<int32_t>(2 * (i % 1000));
        r.axles = static_cast<uint8_t>(i % 200);
        return r;
    }
    // A key whose initial code and number are given directly: the first four
    // characters spell the code, the rest the number.
    static std::string Key(int32_t code, int32_t number) {
        std::string k;
        for (int32_t w : {27000, 900, 30, 1}) {
            k += static_cast<char>(code / w == 0 ? ' ' : 64 + code / w);
            code %= w;
        }
        return k + std::to_string(number);
    }
    uint64_t n_;
};

// Every size from 0 to 700: every present record found with its own data,
// every gap, the key below the first and above the last not found, and no
// lookup over the read bound.
TEST(UmlerSearch, AllSizesAllKeys) {
    for (uint64_t n = 0; n <= 700; ++n) {
        RuleSource rules(n);
        CountingSource src(rules);
        for (uint64_t i = 0; i < n; ++i) {
            UmlerRecord want = RuleSource::At(i);
            src.reads = 0;
            UmlerRecord got = SearchUmler(src, RuleSource::Key(want.initialCode, want.number));
            ASSERT_EQ(got.initialCode, want.initialCode) << "n=" << n << " i=" << i;
            ASSERT_EQ(got.number, want.number);
            ASSERT_EQ(got.axles, want.axles);
            ASSERT_LE(src.reads, ReadBound(n)) << "n=" << n << " i=" << i;
            src.reads = 0;
            EXPECT_FALSE(SearchUmler(src, RuleSource::Key(want.initialCode, want.number + 1)).IsRecord());
            ASSERT_LE(src.reads, ReadBound(n));
        }
        EXPECT_FALSE(SearchUmler(src, RuleSource::Key(0, 5)).IsRecord());       // below the first
        EXPECT_FALSE(SearchUmler(src, RuleSource::Key(1 + static_cast<int32_t>(n / 1000) + 1, 0)).IsRecord());
    }
}

TEST(UmlerSearch, LargeRegistersStayWithinTheReadBound) {
    for (uint64_t n : {uint64_t{1} << 20, uint64_t{2000000}, (uint64_t{1} << 21) - 1, uint64_t{(1 << 21) + 1},
                       uint64_t{123456789}}) {
        RuleSource rules(n);
        CountingSource src(rules);
        uint64_t worst = 0;
        std::vector<uint64_t> probes = {0, 1, 2, n / 2, n - 2, n - 1};
        for (uint64_t i = 3; i < n; i += n / 4099 + 1) probes.push_back(i);
        for (uint64_t i : probes) {
            UmlerRecord want = RuleSource::At(i);
            for (int32_t delta : {0, 1}) {
                src.reads = 0;
                UmlerRecord got = SearchUmler(src, RuleSource::Key(want.initialCode, want.number + delta));
                EXPECT_EQ(got.IsRecord(), delta == 0) << "n=" << n << " i=" << i;
                if (delta == 0) EXPECT_EQ(got.number, want.number);
                worst = std::max(worst, src.reads);
            }
        }
        EXPECT_LE(worst, ReadBound(n)) << n;
    }
}

// --- the data file -------------------------------------------------------------

struct UmlerDataFileTest : ::testing::Test {
    void Load(const std::vector<TestVehicle>& vs) {
        WriteText(dir.File("Umler.txt"), ExtractText(vs));
        ASSERT_TRUE(LoadUMLER(dir.File("Umler.txt"), Data()).Ok());
    }
    std::string Data() const { return dir.File(kUmlerDataFileName); }
    TempDir dir;
};

TEST_F(UmlerDataFileTest, MissingEmptyAndOneRecordFiles) {
    EXPECT_FALSE(LookupUMLER("NS  001234", Data()).IsRecord());
    Load({});
    EXPECT_FALSE(LookupUMLER("NS  001234", Data()).IsRecord());
    EXPECT_FALSE(LookupUMLER("", Data()).IsRecord());
    auto vs = MakeVehicles(1, 21);
    Load(vs);
    ExpectVehicle(LookupUMLER(vs[0].Key(), Data()), vs[0]);
    vs[0].number += 1;
    for (const std::string& key : {vs[0].Key(), std::string("A   000000"), std::string("ZZZZ999999")})
        EXPECT_FALSE(LookupUMLER(key, Data()).IsRecord()) << key;
}

// Every vehicle of a generated register on disk is found with its fields
// within the read bound; keys between neighbours and outside it are not.
TEST_F(UmlerDataFileTest, EveryVehicleFoundAndNothingElse) {
    const auto vs = MakeVehicles(20000, 99);
    Load(vs);
    UmlerDataFile file;
    ASSERT_TRUE(file.Open(Data()));
    CountingSource src(file);
    for (const TestVehicle& v : vs) {
        TestVehicle between = v;
        between.number += 1; // numbers are never consecutive
        src.reads = 0;
        ExpectVehicle(SearchUmler(src, v.Key()), v);
        EXPECT_FALSE(SearchUmler(src, between.Key()).IsRecord()) << between.Key();
        ASSERT_LE(src.reads, 2 * ReadBound(vs.size()));
    }
    for (const std::string& key : {std::string("    000000"), std::string("ZZZZ999999")})
        EXPECT_FALSE(LookupUMLER(key, Data()).IsRecord()) << key;
}

TEST_F(UmlerDataFileTest, KeptOpenLookupFollowsTheFileOnDisk) {
    const auto vs = MakeVehicles(5000, 5);
    Load(vs);
    UmlerLookup lookup(Data());
    ASSERT_TRUE(lookup.IsOpen());
    for (int pass = 0; pass < 2; ++pass)
        for (std::size_t i = 0; i < vs.size(); i += 7) ExpectVehicle(lookup.Find(vs[i].Key()), vs[i]);
    // A load replaces the file: the next lookup answers from the new register.
    const auto next = MakeVehicles(300, 6);
    Load(next);
    for (const auto& v : next) ExpectVehicle(lookup.Find(v.Key()), v);
    EXPECT_EQ(lookup.RecordCount(), next.size());
    EXPECT_FALSE(lookup.Find(vs[0].Key()).IsRecord());
    // A register that appears after the lookup was made, and one that goes.
    UmlerLookup later(dir.File("later.uml"));
    EXPECT_FALSE(later.IsOpen());
    EXPECT_FALSE(later.Find(next[0].Key()).IsRecord());
    std::filesystem::copy_file(Data(), dir.File("later.uml"));
    ExpectVehicle(later.Find(next[0].Key()), next[0]);
    std::filesystem::remove(dir.File("later.uml"));
    EXPECT_FALSE(later.Find(next[0].Key()).IsRecord());
    // A trailing partial record, even one byte short of a whole one, is ignored.
    std::vector<uint8_t> bytes = test::ReadFileBytes(Data());
    bytes.insert(bytes.end(), kUmlerRecordSize - 1, 7);
    test::WriteFileBytes(Data(), bytes);
    UmlerDataFile file;
    ASSERT_TRUE(file.Open(Data()));
    EXPECT_EQ(file.RecordCount(), next.size());
    ExpectVehicle(LookupUMLER(next.back().Key(), Data()), next.back());
}

} // namespace
} // namespace velmora
