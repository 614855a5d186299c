// velmora-programmer-sim set up the way the link tests use it: a symbolic
// link, a control FIFO and a tag file in a temporary folder; control
// commands wait until the simulator has taken them. Built on the shared
// simulator harness.
#pragma once

#include "ProgrammerSimHarness.h"
#include "TestSupport.h"

#include <memory>
#include <string>
#include <vector>

namespace velmora::test {

class SimProcess {
public:
    // True when the simulator program was built.
    static bool Available();

    explicit SimProcess(std::vector<std::string> extraArgs = {});

    bool Running() const { return process_ && process_->Running() && linked_; }
    // The stable device name (a symbolic link to the current /dev/pts/N).
    const std::string& Link() const { return link_; }
    // Sends control commands ("a; b") and waits until all were taken.
    bool Control(const std::string& commands);
    // Waits until the link exists (true) or is gone (false).
    bool WaitForLink(bool present, int timeoutMs = 5000) const;
    std::string ErrorOutput() const { return ReadTextFile(errFile_); }
    // The tag file's first line.
    std::string Tag() const;

private:
    TempDir dir_;
    std::string link_, control_, tagFile_, errFile_;
    std::unique_ptr<ProgrammerSimProcess> process_;
    bool linked_ = false;
};

} // namespace velmora::test
