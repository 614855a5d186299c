// The built velmora-tool run in a scratch working directory under a time
// limit (a tool that waits on a named pipe is killed: exit -1).
#pragma once

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace velmora::test {

struct ToolRig : ::testing::Test {
    CommandResult Tool(const std::string& args) { // already quoted
        return RunProgram("timeout", "-s KILL 60 " + ShellQuote(BuiltProgram("velmora-tool")) + " " + args,
                          dir.path().string());
    }
    CommandResult Tool(const std::vector<std::string>& args) {
        std::string line;
        for (const auto& a : args) line += ShellQuote(a) + " ";
        return Tool(line);
    }
    void Write(const std::string& name, const std::string& text) { WriteFileBytes(dir.File(name), {text.begin(), text.end()}); }
    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string l; std::getline(in, l);) lines.push_back(l);
        return lines;
    }
    TempDir dir;
};

} // namespace velmora::test
