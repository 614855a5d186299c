// Whole-file rewrites through a temporary file and a rename (what is not a
// regular file at the name: FileTargetsTest).
#include "data/ReplaceFile.h"

#include "data/OptionsFile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora {
namespace {

namespace fs = std::filesystem;

// A longer old file and a longer stale temporary file leave nothing behind.
TEST(ReplaceFile, LongerOldAndStaleTemporaryFiles) {
    test::TempDir dir;
    const std::vector<uint8_t> bytes{1, 2, 3, 0, 255};
    for (const char* name : {"a.bin", "a.bin.tmp"}) test::WriteFileBytes(dir.File(name), std::vector<uint8_t>(5000, 7));
    std::string error;
    ASSERT_TRUE(ReplaceFileContents(dir.File("a.bin"), bytes.data(), bytes.size(), &error)) << error;
    EXPECT_EQ(test::ReadFileBytes(dir.File("a.bin")), bytes);
    EXPECT_FALSE(fs::exists(dir.File("a.bin.tmp")));
}

// A disk that fills up in the middle of the write: the options file that was
// there stays whole and the half-written temporary file is removed.
TEST(ReplaceFile, FullDiskDuringTheWriteLeavesTheOldFileWhole) {
    test::TempDir dir;
    const std::string path = dir.File("programmer option.ads");
    const std::vector<uint8_t> old(3000, 0x5A);
    test::WriteFileBytes(path, old);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim{20000, 20000}; // files of at most 20000 bytes
        setrlimit(RLIMIT_FSIZE, &lim);
        test::ScriptedOperator op;
        test::FakeClock clock;
        AEIData data(op, clock);
        const int rc = SaveOptions(data, path);
        _exit(rc == 3 && op.boxes.size() == 1 && op.boxes[0].text == "Could not open or create the Option File!" ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(test::ReadFileBytes(path), old);
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

} // namespace
} // namespace velmora
