// velmora-programmer-sim set up the way the link tests use it: a symbolic
// link, a control FIFO and a tag file in a temporary folder (see
// ControlledSim).
#pragma once

#include "ReaderSimProcess.h"

namespace velmora::test {

class SimProcess : public ControlledSim {
public:
    // True when the simulator program was built.
    static bool Available() { return PathExists(ProgrammerSimBinary()); }
    explicit SimProcess(std::vector<std::string> extraArgs = {})
        : ControlledSim(ProgrammerSimBinary(), "programmer", std::move(extraArgs), {}) {}
};

} // namespace velmora::test
