// velmora-tool label and taglog tail, run as the operator runs them.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace velmora {
namespace {

using test::TempDir;

struct ToolRun {
    int status = -1;
    std::string out;
};

std::string Tool() { return std::string(VELMORA_BINARY_DIR) + "/velmora-tool"; }

ToolRun RunTool(const std::string& dir, const std::string& args) {
    const std::string command = "cd '" + dir + "' && QT_QPA_PLATFORM=offscreen '" + Tool() + "' " + args + " 2>/dev/null";
    ToolRun r;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return r;
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) r.out.append(buf.data(), n);
    const int st = ::pclose(pipe);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

std::string PdfText(const std::string& path) {
    std::FILE* pipe = ::popen(("pdftotext -layout '" + path + "' - 2>/dev/null").c_str(), "r");
    std::string text;
    if (!pipe) return text;
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) text.append(buf.data(), n);
    ::pclose(pipe);
    std::istringstream in(text);
    std::string word, words;
    while (in >> word) words += (words.empty() ? "" : " ") + word;
    return words;
}

class LabelToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(Tool())) GTEST_SKIP() << "velmora-tool is not built";
    }
    TempDir dir;
};

TEST_F(LabelToolTest, LabelOfAWabtecTagAsAPdf) {
    ToolRun r = RunTool(dir.path().string(),
                    "label --format 'EOT WABTEC' 'EOT Initial=cr' 'EOT Number=923456' 'EOT Type Code=0' "
                    "'Side Indicator Code=RIGHT' --tag-type AT5541 --out w.pdf");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "w.pdf\n");
    EXPECT_EQ(PdfText(dir.File("w.pdf")), "4511 923456 923456 4511");
}

TEST_F(LabelToolTest, LabelWithoutOutGoesToTheLabelsFolder) {
    ToolRun r = RunTool(dir.path().string(),
                    "label --format Railcar 'Equipment Initial=ABCD' 'Car Number=123456' "
                    "'Side Indicator Code=RIGHT' 'Length=50-6' --certify --programmed-by 'Shop 9'");
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(r.out.rfind("labels/", 0), 0u) << r.out;
    const std::string pdf = dir.File(r.out.substr(0, r.out.size() - 1));
    EXPECT_NE(pdf.find("_ABCD-123456.pdf"), std::string::npos);
    const std::string text = PdfText(pdf);
    EXPECT_EQ(text.rfind("CERTIFIED FOR REUSE ", 0), 0u) << text;
    EXPECT_NE(text.find(" ABCD 123456 R 50' 6\" 4 1 0 Certified by Shop 9 "), std::string::npos) << text;
}

TEST_F(LabelToolTest, LabelRefusesValuesThatFailTheCheckAndBadArguments) {
    EXPECT_EQ(RunTool(dir.path().string(), "label --format Railcar 'Equipment Initial=ABCD' 'Car Number=x1' "
                                           "'Length=50-6' --out x.pdf").status, 2);
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.pdf")));
    EXPECT_EQ(RunTool(dir.path().string(), "label --format Railcar --rf 5").status, 1);
    EXPECT_EQ(RunTool(dir.path().string(), "label --format Railcar --tag-type XX").status, 1);
    EXPECT_EQ(RunTool(dir.path().string(), "label --format 'No Such Format'").status, 1);
    EXPECT_EQ(RunTool(dir.path().string(), "label --format Railcar 'Equipment Initial=ABCD' 'Car Number=1' "
                                           "'Length=50-6' --out /nonexistent/x.pdf").status, 3);
}

TEST_F(LabelToolTest, TaglogTailPrintsTheNewestLinesNewestFirst) {
    test::WriteFileBytes(dir.File("tag log.txt"),
                         {'a', '\r', '\n', 'b', '\r', '\n', 'c', '\r', '\n', 'd', '\r', '\n', 'h', 'a', 'l', 'f'});
    ToolRun r = RunTool(dir.path().string(), "taglog tail -n 2");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "d\nc\n");
    test::WriteFileBytes(dir.File("other.txt"), {'x', '\n'});
    EXPECT_EQ(RunTool(dir.path().string(), "taglog tail --file other.txt").out, "x\n");
    EXPECT_EQ(RunTool(dir.path().string(), "taglog tail").out, "d\nc\nb\na\n");
    EXPECT_EQ(RunTool(dir.path().string(), "taglog tail --file missing.txt").status, 2);
    EXPECT_EQ(RunTool(dir.path().string(), "taglog tail -n zero").status, 1);
    EXPECT_EQ(RunTool(dir.path().string(), "taglog head").status, 1);
}

} // namespace
} // namespace velmora
