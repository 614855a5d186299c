// The simulated programmer's answers, byte for byte, as the programmer link
// reads them: echo, answer lines ending CR LF, "#Done"/"#Error".
#include "ProgrammerSimFixture.h"

#include <chrono>
#include <filesystem>
#include <map>
#include <thread>

namespace velmora::test {
namespace {

const std::string CRLF = "\r\n";

// The link's reading of a model line: the model from the first "A" to the
// next blank, the version after the first blank following "Ver".
void SplitModelLine(const std::string& line, std::string& model, std::string& version) {
    std::size_t a = line.find('A');
    std::size_t blank = line.find(' ', a);
    std::size_t ver = line.find("Ver", blank);
    std::size_t verBlank = line.find(' ', ver);
    ASSERT_NE(a, std::string::npos);
    ASSERT_NE(blank, std::string::npos);
    ASSERT_NE(ver, std::string::npos);
    ASSERT_NE(verBlank, std::string::npos);
    model = line.substr(a, blank - a);
    version = line.substr(verBlank + 1);
}

TEST_F(ProgrammerSimTest, ProbeAnswersEachModelWithAModelLineTheLinkCanSplit) {
    for (std::string model : {"AP4110", "AP4112", "AP4118"}) {
        SCOPED_TRACE(model);
        Start({"--model", model, "--version", "3.21b"});
        std::string line = "#Model " + model + " Ver 3.21b";
        ExpectAnswer("#30\r", "#30" + CRLF + line + CRLF);
        std::string m, v;
        SplitModelLine(line, m, v);
        EXPECT_EQ(m, model);
        EXPECT_EQ(v, "3.21b");
        TearDown();
        sim.reset();
    }
}

TEST_F(ProgrammerSimTest, StatusIsZeroZeroAfterStartAndAfterSuccess) {
    Start();
    ExpectAnswer("#40\r", "#40\r\n#00\r\n");
    ExpectAnswer(std::string("#201") + kFrame + "\r", std::string("#201") + kFrame + "\r\n#Done\r\n");
    ExpectAnswer("#40\r", "#40\r\n#00\r\n");
}

TEST_F(ProgrammerSimTest, FullFrameModelsProgramTheTagFileAndReadItBack) {
    for (std::string model : {"AP4110", "AP4118"}) {
        SCOPED_TRACE(model);
        Start({"--model", model});
        ExpectAnswer(std::string("#201") + kFrame + "\r", std::string("#201") + kFrame + "\r\n#Done\r\n");
        EXPECT_EQ(ReadTextFile(TagFile()), std::string(kFrame) + "\n");
        ExpectAnswer("#211\r", std::string("#211\r\n#") + kFrame + "\r\n#Done\r\n");
        TearDown();
        sim.reset();
    }
}

TEST_F(ProgrammerSimTest, ProgramDataLineComesBetweenEchoAndDone) {
    Start({"--program-data"});
    ExpectAnswer(std::string("#201") + kFrame + "\r",
                 std::string("#201") + kFrame + "\r\n#" + kFrame + "\r\n#Done\r\n");
}

TEST_F(ProgrammerSimTest, HalfFrameModelKeepsFifteenDigitsAndReadsFifteen) {
    Start({"--model", "AP4112"});
    ExpectAnswer(std::string("#204") + kFrame + "\r", std::string("#204") + kFrame + "\r\n#Done\r\n");
    EXPECT_EQ(ReadTextFile(TagFile()), std::string(kHalf) + "000000000000000\n");
    ExpectAnswer("#214\r", std::string("#214\r\n#") + kHalf + "\r\n#Done\r\n");
    // The 15 digits alone are taken as well.
    ExpectAnswer("#204FEDCBA987654321\r", "#204FEDCBA987654321\r\n#Done\r\n");
    EXPECT_EQ(ReadTextFile(TagFile()), "FEDCBA987654321000000000000000\n");
}

TEST_F(ProgrammerSimTest, HalfFrameModelReadsTheFirstHalfOfAFullTag) {
    Start({"--model", "AP4112"});
    std::string full = std::string(kFrame) + "\n";
    WriteFileBytes(TagFile(), std::vector<uint8_t>(full.begin(), full.end()));
    ExpectAnswer("#214\r", std::string("#214\r\n#") + kHalf + "\r\n#Done\r\n");
}

TEST_F(ProgrammerSimTest, CommandsOfTheOtherFrameSizeAreIllegal) {
    Start({"--model", "AP4112"});
    ExpectAnswer(std::string("#201") + kFrame + "\r", std::string("#201") + kFrame + "\r\n#Error\r\n");
    ExpectAnswer("#211\r", "#211\r\n#Error\r\n");
    ExpectAnswer("#40\r", "#40\r\n#01\r\n");
    EXPECT_FALSE(PathExists(TagFile()));
    Control("model AP4118");
    ExpectAnswer("#214\r", "#214\r\n#Error\r\n");
    ExpectAnswer("#99\r", "#99\r\n#Error\r\n");
    ExpectAnswer("#40\r", "#40\r\n#01\r\n");
}

TEST_F(ProgrammerSimTest, BadFrameTextIsRefusedAndTheTagKept) {
    Start();
    ExpectAnswer(std::string("#201") + kFrame + "\r", std::string("#201") + kFrame + "\r\n#Done\r\n");
    for (std::string bad : {"0123456789abcdef0123456789abcd",   // lower case
                            "0123456789ABCDEF0123456789ABC",    // 29 digits
                            "0123456789ABCDEF0123456789ABCDE",  // 31 digits
                            "0123456789ABCDEF0123456789ABCG",   // not hexadecimal
                            "0123456789ABCDE"}) {               // a half frame on a full-frame model
        SCOPED_TRACE(bad);
        ExpectAnswer("#201" + bad + "\r", "#201" + bad + "\r\n#Error\r\n");
        ExpectAnswer("#40\r", "#40\r\n#02\r\n");
    }
    EXPECT_EQ(ReadTextFile(TagFile()), std::string(kFrame) + "\n");
}

TEST_F(ProgrammerSimTest, ReadWithoutAUsableTagFails) {
    Start();
    ExpectAnswer("#211\r", "#211\r\n#Error\r\n");
    ExpectAnswer("#40\r", "#40\r\n#03\r\n");
    std::string junk = "not a tag\n";
    WriteFileBytes(TagFile(), std::vector<uint8_t>(junk.begin(), junk.end()));
    ExpectAnswer("#211\r", "#211\r\n#Error\r\n");
    // A hand-written file in lower case with a Windows line end is read.
    std::string hand = "0123456789abcdef0123456789abcd\r\n";
    WriteFileBytes(TagFile(), std::vector<uint8_t>(hand.begin(), hand.end()));
    ExpectAnswer("#211\r", std::string("#211\r\n#") + kFrame + "\r\n#Done\r\n");
}

TEST_F(ProgrammerSimTest, CommandsArriveInPiecesWithLineFeedsAndBlankLines) {
    Start();
    ASSERT_TRUE(port.Send("#3"));
    EXPECT_EQ(port.ReadFor(50), "");
    ExpectAnswer("0\r", "#30\r\n#Model AP4118 Ver 1.07\r\n");
    ExpectAnswer("\r\n\r#40\r\n", "#40\r\n#00\r\n");
}

TEST_F(ProgrammerSimTest, OverlongCommandIsRefusedAndTheNextOneWorks) {
    Start();
    std::string longCommand = "#201" + std::string(400, '0');
    ASSERT_TRUE(port.Send(longCommand + "\r"));
    std::string echo = longCommand.substr(0, 256);
    EXPECT_EQ(Visible(port.ReadCount(echo.size() + 10)), Visible(echo + "\r\n#Error\r\n"));
    ExpectAnswer("#40\r", "#40\r\n#02\r\n");
    ExpectAnswer("#30\r", "#30\r\n#Model AP4118 Ver 1.07\r\n");
}

TEST_F(ProgrammerSimTest, TagFileDefaultsToTheTemporaryFolder) {
    std::string tmp = dir.File("tmp");
    std::filesystem::create_directory(tmp);
    sim = std::make_unique<ProgrammerSimProcess>(std::vector<std::string>{"--link", LinkPath()}, LogPath(),
                                                 std::map<std::string, std::string>{{"TMPDIR", tmp}});
    ASSERT_FALSE(sim->NextDevicePath().empty()) << Log();
    ASSERT_TRUE(port.Open(LinkPath()));
    ExpectAnswer(std::string("#201") + kFrame + "\r", std::string("#201") + kFrame + "\r\n#Done\r\n");
    EXPECT_EQ(ReadTextFile(tmp + "/velmora-sim-tag.txt"), std::string(kFrame) + "\n");
}

TEST_F(ProgrammerSimTest, ReopeningThePortGetsNoLeftovers) {
    Start({"--slow", "150"});
    ASSERT_TRUE(port.Send("#30\r"));
    EXPECT_EQ(port.ReadCount(5), "#30\r\n");
    port.Close();  // the answer is still to come
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(port.Open(LinkPath()));
    EXPECT_EQ(Visible(port.ReadFor(100)), "");
    Control("slow off");
    ExpectAnswer("#40\r", "#40\r\n#00\r\n");
}

} // namespace
} // namespace velmora::test
