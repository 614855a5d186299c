// What stands at the name of a file the system reads or writes: a folder, a
// named pipe, a device or a link to one is refused and left as it is, and
// nothing waits on it; a symbolic link to a regular file is followed; a
// folder that takes no work file still lets an existing file be saved.
#include "commlog/CommLog.h"
#include "commlog/TrimLog.h"
#include "data/OptionsFile.h"
#include "data/ReplaceFile.h"
#include "data/TagLog.h"
#include "umler/UmlerLoader.h"
#include "umler/UmlerLookup.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <thread>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora {
namespace {

namespace fs = std::filesystem;

const std::string kVehicleLine = " NS  001234T106089060B06540000\n";

// The nodes that are not regular files; false when this system cannot make one here.
const std::pair<const char*, bool (*)(const std::string&)> kNodes[] = {
    {"folder", [](const std::string& p) { return ::mkdir(p.c_str(), 0755) == 0; }},
    {"named pipe", [](const std::string& p) { return ::mkfifo(p.c_str(), 0666) == 0; }},
    {"device", [](const std::string& p) { return ::mknod(p.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0; }},
    {"link to a device", [](const std::string& p) { return ::symlink("/dev/null", p.c_str()) == 0; }},
    {"link to a named pipe",
     [](const std::string& p) {
         return ::mkfifo((p + ".pipe").c_str(), 0666) == 0 && ::symlink((p + ".pipe").c_str(), p.c_str()) == 0;
     }},
};

// The type of what stands at the name and, for a link, of what it leads to.
std::pair<fs::file_type, fs::file_type> TypesAt(const std::string& path) {
    return {fs::symlink_status(path).type(), fs::status(path).type()};
}

struct Rig { test::ScriptedOperator op; test::FakeClock clock; AEIData data{op, clock}; };

// Runs `fn` in a child process and returns its exit code; -1 when it did not
// end by itself within 10 seconds (it waited on something) or crashed.
int RunGuarded(const std::function<int()>& fn) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(fn());
    if (pid < 0) return -2;
    int status = 0;
    for (int i = 0; i < 1000; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(10)))
        if (::waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
}

// Each file the system reads or writes, by its name in the scratch folder; the
// action runs against the node at `path` and is true when it refused it.
struct FileUse {
    const char* what;
    const char* name;
    bool (*run)(const std::string& dir, const std::string& path);
};

bool BoxRefuses(const test::ScriptedOperator& op) {
    return op.boxes.size() == 1 && op.boxes[0].text.find("not a regular file") != std::string::npos &&
           op.boxes[0].caption == "Velmora Error";
}

const FileUse kFileUses[] = {
    {"options file saved", "programmer option.ads",
     [](const std::string&, const std::string& path) { Rig r; return SaveOptions(r.data, path) == 3 && BoxRefuses(r.op); }},
    {"options file loaded", "programmer option.ads", // the defaults stay and the operator is told
     [](const std::string&, const std::string& path) {
         Rig r;
         return LoadOptions(r.data, path) == 3 && BoxRefuses(r.op) && r.data.GetSettings().feetInches == 1;
     }},
    {"tag logged", "tag log.txt",
     [](const std::string&, const std::string& path) {
         Rig r;
         SetOptionDefaults(r.data);
         r.data.SetTagLogFileName(path);
         TagLogList list(10);
         const TagLogOutcome out = LogProgrammedTag(r.data, list, LastTagRecord{});
         return !out.fileWritten && out.fileError.find("not a regular file") != std::string::npos;
     }},
    {"tag log read back", "tag log.txt",
     [](const std::string&, const std::string& path) { TagLogList list(10); return LoadTagLogTail(path, list) == 0; }},
    {"communication logged", "communication log.txt", // nothing is reported; the node must stay as it was
     [](const std::string& dir, const std::string&) {
         Rig r;
         SetOptionDefaults(r.data);
         r.data.SetStartDirectory(dir + "/");
         CommLog(r.data).LogCommMessage(0, "S", "programmer");
         return true;
     }},
    {"log trimmed", "tag log.txt",
     [](const std::string&, const std::string& path) { return TrimLogFile(path, 10) == TrimOutcome::NotOpened; }},
    {"UMLER data file looked up", "umlerdata.uml",
     [](const std::string&, const std::string& path) { return !LookupUMLER("NS  001234", path).IsRecord(); }},
    {"UMLER data file loaded", "umlerdata.uml",
     [](const std::string& dir, const std::string& path) {
         test::WriteFileBytes(dir + "/x.txt", std::vector<uint8_t>(kVehicleLine.begin(), kVehicleLine.end()));
         const UmlerLoadResult r = LoadUMLER(dir + "/x.txt", path);
         return r.status == UmlerLoadStatus::CannotCreateData && r.systemError.find("not a regular file") != std::string::npos;
     }},
    {"UMLER extract loaded", "Umler.txt",
     [](const std::string& dir, const std::string& path) {
         const UmlerLoadResult r = LoadUMLER(path, dir + "/umlerdata.uml");
         return r.status == UmlerLoadStatus::CannotOpenExtract && !fs::exists(dir + "/umlerdata.uml");
     }},
};

TEST(FileTargets, WhatIsNotARegularFileIsRefusedAndLeftAsItIs) {
    for (const FileUse& use : kFileUses) {
        for (const auto& [nodeName, make] : kNodes) {
            SCOPED_TRACE(std::string(use.what) + " / " + nodeName);
            test::TempDir dir;
            const std::string path = dir.File(use.name);
            if (!make(path) && std::string(nodeName) == "device") continue; // making devices needs privileges
            ASSERT_TRUE(fs::exists(fs::symlink_status(path))) << "cannot make the node";
            const auto before = TypesAt(path);
            const int rc = RunGuarded([&] { return use.run(dir.path().string(), path) ? 0 : 1; });
            EXPECT_EQ(rc, 0) << (rc == -1 ? "waited on the node or crashed" : "not refused");
            EXPECT_EQ(TypesAt(path), before) << "the node was replaced";
            EXPECT_FALSE(fs::exists(fs::symlink_status(path + ".tmp")));
        }
    }
}

// A symbolic link to a regular file stays a link; the file it leads to, in
// another folder, is what gets the new contents.
TEST(FileTargets, SymbolicLinksAreFollowedToTheFileTheyLeadTo) {
    const struct {
        const char* what;
        std::function<void(const std::string& link)> write;
        std::uintmax_t size; // of the target afterwards
    } cases[] = {
        {"options file saved", [](const std::string& link) { Rig r; ASSERT_EQ(SaveOptions(r.data, link), 0); },
         kOptionsFileSize},
        {"UMLER data file loaded",
         [](const std::string& link) {
             const std::string extract = link + ".txt";
             test::WriteFileBytes(extract, std::vector<uint8_t>(kVehicleLine.begin(), kVehicleLine.end()));
             ASSERT_TRUE(LoadUMLER(extract, link).Ok());
         },
         21},
        {"log trimmed", [](const std::string& link) { ASSERT_EQ(TrimLogFile(link, 4), TrimOutcome::Trimmed); }, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        for (const char* folder : {"shared", "local"}) fs::create_directories(dir.File(folder));
        test::WriteFileBytes(dir.File("shared/real.dat"), {'a', 'b', '\n', 'c', 'd', 'e', '\n'});
        fs::create_symlink("../shared/real.dat", dir.File("local/name.dat")); // relative to the link's folder
        c.write(dir.File("local/name.dat"));
        EXPECT_TRUE(fs::is_symlink(dir.File("local/name.dat")));
        EXPECT_EQ(fs::file_size(dir.File("shared/real.dat")), c.size);
        EXPECT_FALSE(fs::exists(dir.File("local/name.dat.tmp")) || fs::exists(dir.File("shared/real.dat.tmp")));
    }
}

// A folder where no work file can be created (the operator may write the
// options file but not add files beside it): the save writes the file in
// place, as a direct write would.
TEST(FileTargets, AFolderThatTakesNoWorkFileStillLetsTheFileBeSaved) {
    test::TempDir dir;
    const std::string folder = dir.File("locked");
    const std::string path = folder + "/programmer option.ads";
    fs::create_directory(folder);
    test::WriteFileBytes(path, std::vector<uint8_t>(100000, 0x5A)); // longer than an options file
    const bool root = ::geteuid() == 0;
    const uid_t nobody = 65534;
    ::chmod(dir.path().c_str(), 0755);
    ::chmod(folder.c_str(), root ? 0755 : 0555);
    if (root) ASSERT_EQ(::chown(path.c_str(), nobody, nobody), 0);
    const int rc = RunGuarded([&] {
        if (root && (::setgid(nobody) != 0 || ::setuid(nobody) != 0)) return 2;
        Rig r;
        SettingsBlock s = r.data.GetSettings();
        s.programmedTotal = 77;
        r.data.UpdateSettings(s);
        return SaveOptions(r.data, path) == 0 && r.op.boxes.empty() ? 0 : 1;
    });
    ::chmod(folder.c_str(), 0755);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(fs::file_size(path), kOptionsFileSize);
    Rig r;
    ASSERT_EQ(LoadOptions(r.data, path), 0);
    EXPECT_EQ(r.data.GetSettings().programmedTotal, 77);
}

} // namespace
} // namespace velmora
