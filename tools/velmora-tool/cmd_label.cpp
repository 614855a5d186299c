// velmora-tool label: the label of one tag as a PDF. Rendering needs Qt, which
// velmora-tool does not load, so the command is handed whole to the label
// program installed beside velmora-tool; it takes the same arguments and
// prints, writes and exits as this command does.
#include "LabelUsage.h"
#include "ToolCommon.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace velmora::tool {
namespace {

constexpr int kExitNotWritten = 3;
constexpr const char* kLabelProgram = "velmora-label";

// The folder this program was started from, with a trailing slash; empty
// when the system does not say.
std::string OwnFolder() {
    std::vector<char> path(4096);
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (n <= 0) return {};
    std::string p(path.data(), static_cast<std::size_t>(n));
    const auto slash = p.rfind('/');
    return slash == std::string::npos ? std::string() : p.substr(0, slash + 1);
}

int RunLabel(std::vector<std::string>& args) {
    const std::string program = OwnFolder() + kLabelProgram;
    std::vector<char*> argv;
    std::string name = kLabelProgram;
    argv.push_back(name.data());
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::cout.flush();
    ::execv(program.c_str(), argv.data());
    const int e = errno;
    std::cerr << "velmora-tool: the label was not written: cannot start " << program << ": "
              << std::strerror(e) << '\n';
    return kExitNotWritten;
}

const Registrar regLabel("label", LabelUsage(), RunLabel);

} // namespace
} // namespace velmora::tool
