// velmora-programmer-sim as a ControlledSim, and the rig of the tool tests:
// velmora-tool run in a scratch working directory against one simulator.
#pragma once

#include "../tools/ToolRig.h"
#include "ReaderSimProcess.h"

namespace velmora::test {

class SimProcess : public ControlledSim {
public:
    static bool Available() { return PathExists(ProgrammerSimBinary()); }
    explicit SimProcess(std::vector<std::string> extraArgs = {})
        : ControlledSim(ProgrammerSimBinary(), "programmer", std::move(extraArgs), {}) {}
};

using Args = std::vector<std::string>;
inline Args operator+(Args a, const Args& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// ABCD 42 RIGHT 50-0 on the railcar format, and its frame.
inline const Args kRailcarArgs = {"--format", "Railcar", "Equipment Initial=ABCD", "Car Number=42",
                                  "Side Indicator Code=RIGHT", "Length=50-0", "Number of Axles=4",
                                  "Bearing Type Code=1", "Platform Identifier Code=0"};
inline const std::string kRailcar = "9A0181C000AA981900000000000033";

inline std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0, at = text.find(part);
    for (; at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// Sim is SimProcess or ReaderSimProcess, started with SimArgs().
template <class Sim>
class ToolOnSim : public ToolRig {
protected:
    virtual Args SimArgs() const { return {}; }
    void SetUp() override {
        if (!Sim::Available() || BuiltProgram("velmora-tool").empty())
            GTEST_SKIP() << "the simulator or velmora-tool is not built";
        sim = std::make_unique<Sim>(SimArgs());
        ASSERT_TRUE(sim->Running()) << sim->ErrorOutput();
    }
    Args Port() const { return {"--port", sim->Link()}; }
    // One line of "options show" for the working directory's options file.
    std::string Setting(const std::string& name) {
        const auto lines = Lines(Tool(Args{"options", "show", "--options", dir.File("programmer option.ads")}).out);
        for (const std::string& line : lines)
            if (line.rfind(name + "=", 0) == 0) return line.substr(name.size() + 1);
        return "?";
    }
    std::string CommLog() const { return ReadFileText(dir.File("communication log.txt")); }
    std::string TagLog() const { return ReadFileText(dir.File("tag log.txt")); }

    std::unique_ptr<Sim> sim;
};

// The reader simulator with a fixed clock and user and the railcar's tag.
class ReaderToolRig : public ToolOnSim<ReaderSimProcess> {
protected:
    Args SimArgs() const override { return {"--date", "03/14/26", "--time", "09:26:53", "--user-id", "TOOL01"}; }
    void SetUp() override {
        ToolOnSim::SetUp();
        const std::string line = kRailcar + "\n";
        if (sim) WriteFileBytes(sim->TagFile(), std::vector<uint8_t>(line.begin(), line.end()));
    }
};

} // namespace velmora::test
