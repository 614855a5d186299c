#include "ReaderSimProcess.h"

namespace velmora::test {

ControlledSim::ControlledSim(const std::string& binary, const std::string& name, std::vector<std::string> extraArgs,
                             std::string tagFile) {
    link_ = dir_.File(name);
    control_ = dir_.File(name + ".ctl");
    tagFile_ = tagFile.empty() ? dir_.File("tag.txt") : std::move(tagFile);
    errFile_ = dir_.File("sim.err");
    if (!PathExists(binary)) return;
    std::vector<std::string> args = {"--link", link_, "--control", control_, "--tag-file", tagFile_};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    process_ = std::make_unique<SimChild>(binary, args, errFile_);
    linked_ = process_->Running() && WaitUntil([this] { return PathExists(link_) && PathExists(control_); });
}

std::string ControlledSim::Tag() const {
    const std::string text = ReadTextFile(tagFile_);
    return text.substr(0, text.find('\n'));
}

int ControlledSim::CountInLog(const std::string& text) const {
    const std::string log = ErrorOutput();
    int n = 0;
    for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
    return n;
}

bool ControlledSim::WaitForLog(const std::string& text, int count, int timeoutMs) const {
    return WaitUntil([&] { return CountInLog(text) >= count; }, timeoutMs);
}

bool ControlledSim::Control(const std::string& commands) {
    if (!Running()) return false;
    int expected = CountInLog("control: ") + 1;
    for (char c : commands) expected += c == ';';
    if (!WaitUntil([&] { return WriteControl(control_, commands); })) return false;
    return WaitForLog("control: ", expected);
}

} // namespace velmora::test
