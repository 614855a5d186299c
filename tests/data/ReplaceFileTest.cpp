// Whole-file rewrites through a temporary file and a rename.
#include "data/ReplaceFile.h"

#include "data/OptionsFile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

#if defined(__unix__) || defined(__APPLE__)
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace velmora {
namespace {

TEST(ReplaceFile, WritesANewFile) {
    test::TempDir dir;
    const std::vector<uint8_t> bytes{1, 2, 3, 0, 255};
    std::string error;
    ASSERT_TRUE(ReplaceFileContents(dir.File("a.bin"), bytes.data(), bytes.size(), &error)) << error;
    EXPECT_EQ(test::ReadFileBytes(dir.File("a.bin")), bytes);
    EXPECT_FALSE(std::filesystem::exists(dir.File("a.bin.tmp")));
}

TEST(ReplaceFile, ReplacesALongerFileWhole) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("a.bin"), std::vector<uint8_t>(5000, 7));
    const std::vector<uint8_t> bytes(10, 9);
    ASSERT_TRUE(ReplaceFileContents(dir.File("a.bin"), bytes.data(), bytes.size()));
    EXPECT_EQ(test::ReadFileBytes(dir.File("a.bin")), bytes);
}

TEST(ReplaceFile, StaleTemporaryFileIsOverwritten) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("a.bin.tmp"), std::vector<uint8_t>(5000, 7));
    const std::vector<uint8_t> bytes(10, 9);
    ASSERT_TRUE(ReplaceFileContents(dir.File("a.bin"), bytes.data(), bytes.size()));
    EXPECT_EQ(test::ReadFileBytes(dir.File("a.bin")), bytes);
    EXPECT_FALSE(std::filesystem::exists(dir.File("a.bin.tmp")));
}

TEST(ReplaceFile, RenameFailureKeepsTheTargetAndRemovesTheTemporaryFile) {
    test::TempDir dir;
    // A non-empty folder cannot be replaced by a file.
    std::filesystem::create_directories(dir.File("target/inner"));
    const std::vector<uint8_t> bytes(10, 9);
    std::string error;
    EXPECT_FALSE(ReplaceFileContents(dir.File("target"), bytes.data(), bytes.size(), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("target/inner")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("target.tmp")));
}

#if defined(__unix__) || defined(__APPLE__)
// A disk that fills up in the middle of the write: the options file that was
// there stays whole and the half-written temporary file is removed.
TEST(ReplaceFile, FullDiskDuringTheWriteLeavesTheOldFileWhole) {
    test::TempDir dir;
    const std::string path = dir.File("programmer option.ads");
    const std::vector<uint8_t> old(3000, 0x5A);
    test::WriteFileBytes(path, old);

    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // The child may write files of at most 20000 bytes.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim{20000, 20000};
        setrlimit(RLIMIT_FSIZE, &lim);
        test::ScriptedOperator op;
        test::FakeClock clock;
        AEIData data(op, clock);
        int rc = SaveOptions(data, path);
        bool boxShown = op.boxes.size() == 1 && op.boxes[0].text == "Could not open or create the Option File!";
        _exit(rc == 3 && boxShown ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(test::ReadFileBytes(path), old);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}
#endif

} // namespace
} // namespace velmora
