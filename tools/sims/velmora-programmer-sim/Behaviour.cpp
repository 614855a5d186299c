#include "Behaviour.h"

namespace velmora::sim {

bool IsHalfFrameModel(std::string_view model) { return model == "AP4112"; }

std::string DescribeBehaviour(const Behaviour& b) {
    std::string s = "model " + b.model + ", version " + b.version;
    s += IsHalfFrameModel(b.model) ? " (half frame)" : " (full frame)";
    s += ", status " + (b.statusCode.empty() ? std::string("auto") : b.statusCode);
    s += b.silent ? ", SILENT" : "";
    s += b.noTag ? ", NO TAG" : "";
    s += b.garbage ? ", GARBAGE" : "";
    if (b.splitMs > 0) s += ", SPLIT " + std::to_string(b.splitMs) + " ms";
    if (b.slowMs > 0) s += ", SLOW " + std::to_string(b.slowMs) + " ms";
    s += b.programData ? ", program data on" : "";
    return s;
}

} // namespace velmora::sim
