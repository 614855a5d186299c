#include "TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>

#include <sys/wait.h>

namespace velmora::test {

TempDir::TempDir() {
    std::random_device rd;
    for (int i = 0; i < 100; ++i) {
        path_ = std::filesystem::temp_directory_path() / ("velmora-test-" + std::to_string(rd()));
        if (std::filesystem::create_directory(path_)) return;
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string BuiltProgram(const std::string& name) { return std::string(VELMORA_BINARY_DIR) + "/" + name; }

std::string ShellQuote(const std::string& arg) {
    std::string q = "'";
    for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

CommandResult RunProgram(const std::string& program, const std::string& args, const std::string& workdir) {
    TempDir out;
    const std::string cmd = "cd " + ShellQuote(workdir) + " && " + ShellQuote(program) + " " + args + " >" +
                            ShellQuote(out.File("stdout")) + " 2>" + ShellQuote(out.File("stderr")) + " </dev/null";
    const int status = std::system(cmd.c_str());
    return {(status != -1 && WIFEXITED(status)) ? WEXITSTATUS(status) : -1, ReadFileText(out.File("stdout")),
            ReadFileText(out.File("stderr"))};
}

} // namespace velmora::test
