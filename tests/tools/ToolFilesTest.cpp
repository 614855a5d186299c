// velmora-tool given hostile files and texts: every file argument with a
// folder, a named pipe, a device or a link to one in its place; links to
// regular files; frame texts of the wrong length; control characters in a
// tag log.
#include "ToolRig.h"

#include <cstring>
#include <filesystem>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;
using ToolFiles = ToolRig;

// The nodes that are not regular files; false when this system cannot make one here.
const std::pair<const char*, bool (*)(const std::string&)> kNodes[] = {
    {"folder", [](const std::string& p) { return ::mkdir(p.c_str(), 0755) == 0; }},
    {"named pipe", [](const std::string& p) { return ::mkfifo(p.c_str(), 0666) == 0; }},
    {"device", [](const std::string& p) { return ::mknod(p.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0; }},
    {"link to a device", [](const std::string& p) { return ::symlink("/dev/null", p.c_str()) == 0; }},
};

const char* kExtract = " NS  001234T106089060B06540000\n";
const char* kLabel =
    "label --format Railcar 'Equipment Initial=ABCD' 'Car Number=42' 'Side Indicator Code=RIGHT' 'Length=50-6' --out ";

// The arguments with the placeholder replaced by `name` (label takes the whole railcar).
std::string WithName(std::string args, const char* placeholder, const std::string& name) {
    if (args.rfind("label ", 0) == 0) return kLabel + name;
    return args.replace(args.find(placeholder), std::strlen(placeholder), name);
}

TEST_F(ToolFiles, EveryFileArgumentRefusesWhatIsNotARegularFile) {
    const struct {
        const char* args; // NODE stands for the node's name
        int exitCode;
        const char* err; // the start of standard error, when fixed
    } uses[] = {
        {"umler load x.txt --data NODE", 2, "Could not create UMLER data file.\n"},
        {"umler load NODE --data d.uml", 2, "Could not open UMLER text file.\n"},
        {"umler find NS 1234 --data NODE", 4, "Cannot find car in UMLER.\n"},
        {"options reset --options NODE", 4, "Could not open or create the Option File!\n"},
        {"options set --options NODE automatic_rf_check=1", 4, nullptr},
        {"formats --options NODE", 1, nullptr},
        {"taglog tail --file NODE", 2, nullptr},
        {"label NODE", 3, nullptr},
    };
    Write("x.txt", kExtract);
    for (const auto& use : uses) {
        for (const auto& [nodeName, make] : kNodes) {
            const std::string args = WithName(use.args, "NODE", "node");
            SCOPED_TRACE(args + " / " + nodeName);
            fs::remove_all(dir.File("node"));
            if (!make(dir.File("node")) && std::string(nodeName) == "device") continue; // needs privileges
            const fs::file_type before = fs::symlink_status(dir.File("node")).type();
            ASSERT_NE(before, fs::file_type::not_found) << "cannot make the node";
            const CommandResult r = Tool(args);
            EXPECT_EQ(r.exitCode, use.exitCode) << r.err;
            if (use.err) EXPECT_EQ(r.err.rfind(use.err, 0), 0u) << r.err;
            if (args.rfind("umler find", 0) != 0) // that one answers as for any car not found
                EXPECT_NE(r.err.find("\"node\""), std::string::npos) << "the message names the file: " << r.err;
            EXPECT_EQ(fs::symlink_status(dir.File("node")).type(), before) << "the node was replaced";
            EXPECT_FALSE(fs::exists(fs::symlink_status(dir.File("node.tmp"))));
        }
    }
}

TEST_F(ToolFiles, LinksToRegularFilesAreFollowed) {
    const struct {
        const char* args; // LINK stands for the link's name
        std::uintmax_t size; // of the file the link leads to afterwards
    } uses[] = {
        {"options reset --options LINK", 51652},
        {"umler load x.txt --data LINK", 21},
        {"label LINK", 0},
    };
    Write("x.txt", kExtract);
    for (const auto& use : uses) {
        const std::string args = WithName(use.args, "LINK", "link");
        SCOPED_TRACE(args);
        fs::remove(dir.File("link"));
        fs::create_directory(dir.File("shared"));
        Write("shared/real", "old");
        fs::create_symlink("shared/real", dir.File("link"));
        const CommandResult r = Tool(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_TRUE(fs::is_symlink(dir.File("link")));
        if (use.size) EXPECT_EQ(fs::file_size(dir.File("shared/real")), use.size);
        else EXPECT_EQ(ReadFileText(dir.File("shared/real")).rfind("%PDF", 0), 0u);
    }
}

TEST_F(ToolFiles, DecodeTakesExactlyTheFrameDigits) {
    const std::string f = "9A0181C000AA621900000008000033", f29 = f.substr(0, 29);
    for (const std::string& args : {f + "0", f + f, f + "X", f29, std::string("''"), "'" + f29 + " '", f29 + "G",
                                    "--half-frame " + f.substr(0, 16), "--half-frame " + f.substr(0, 14),
                                    "--half-frame " + f}) {
        const CommandResult r = Tool("decode " + args);
        EXPECT_TRUE(r.exitCode == 1 && r.out.empty() && r.err.find("hexadecimal digits") != std::string::npos)
            << args << ": " << r.err;
    }
}

TEST_F(ToolFiles, TagLogTailShowsControlCharactersAsBlanks) {
    Write("tag log.txt", "first\x1b[2J line\r\nsecond\tline\x07\r\n");
    EXPECT_EQ(Tool("taglog tail").out, "second line \nfirst [2J line\n");
}

} // namespace
} // namespace velmora::test
