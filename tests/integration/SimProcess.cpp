#include "SimProcess.h"

namespace velmora::test {

namespace {
int CountOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}
} // namespace

bool SimProcess::Available() { return PathExists(ProgrammerSimBinary()); }

SimProcess::SimProcess(std::vector<std::string> extraArgs) {
    link_ = dir_.File("programmer");
    control_ = dir_.File("programmer.ctl");
    tagFile_ = dir_.File("tag.txt");
    errFile_ = dir_.File("sim.err");
    if (!Available()) return;
    std::vector<std::string> args = {"--link", link_, "--control", control_, "--tag-file", tagFile_};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    process_ = std::make_unique<ProgrammerSimProcess>(args, errFile_);
    linked_ = process_->Running() && WaitForLink(true) &&
              WaitUntil([this] { return PathExists(control_); });
}

bool SimProcess::Control(const std::string& commands) {
    if (!Running()) return false;
    const int expected = CountOf(ErrorOutput(), "control: ") + 1 + CountOf(commands, ";");
    if (!WaitUntil([&] { return WriteControl(control_, commands); })) return false;
    return WaitUntil([&] { return CountOf(ErrorOutput(), "control: ") >= expected; });
}

bool SimProcess::WaitForLink(bool present, int timeoutMs) const {
    return WaitUntil([&] { return PathExists(link_) == present; }, timeoutMs);
}

std::string SimProcess::Tag() const {
    const std::string text = ReadTextFile(tagFile_);
    return text.substr(0, text.find('\n'));
}

} // namespace velmora::test
