#include "TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>

#include <sys/wait.h>

namespace velmora::test {

MsgAnswer ScriptedOperator::MessageBox(const std::string& caption, const std::string& text,
                                       MsgIcon icon, MsgButtons buttons) {
    boxes.push_back({caption, text, icon, buttons});
    if (!answers.empty()) {
        MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    switch (buttons) {
    case MsgButtons::Ok:
    case MsgButtons::OkCancel:
        return MsgAnswer::Ok;
    default:
        return MsgAnswer::No;
    }
}

TempDir::TempDir() {
    std::random_device rd;
    auto base = std::filesystem::temp_directory_path();
    for (int i = 0; i < 100; ++i) {
        auto p = base / ("velmora-test-" + std::to_string(rd()));
        if (std::filesystem::create_directory(p)) {
            path_ = p;
            return;
        }
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

std::string BuiltProgram(const std::string& name) { return std::string(VELMORA_BINARY_DIR) + "/" + name; }

std::string ShellQuote(const std::string& arg) {
    std::string q = "'";
    for (char c : arg) {
        if (c == '\'') q += "'\\''";
        else q += c;
    }
    return q + "'";
}

CommandResult RunProgram(const std::string& program, const std::string& args, const std::string& workdir) {
    TempDir out;
    const std::string cmd = "cd " + ShellQuote(workdir) + " && " + ShellQuote(program) + " " + args + " >" +
                            ShellQuote(out.File("stdout")) + " 2>" + ShellQuote(out.File("stderr")) +
                            " </dev/null";
    int status = std::system(cmd.c_str());
    CommandResult r;
    r.exitCode = (status != -1 && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
    r.out = ReadFileText(out.File("stdout"));
    r.err = ReadFileText(out.File("stderr"));
    return r;
}

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace velmora::test
