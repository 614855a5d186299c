// How the simulated programmer behaves: which model it is, what it reports,
// and which faults it shows. Changed at start by flags and while running by
// control commands; both go through ApplyControlCommand (ControlCommands.h).
#pragma once

#include "ControlText.h"

#include <string>
#include <string_view>

namespace velmora::sim {

struct Behaviour {
    std::string model = "AP4118";
    std::string version = "1.07";
    bool silent = false;        // answers nothing, not even the echo
    bool noTag = false;         // no tag on the antenna: program and read answer "#Error"
    bool garbage = false;       // a line of junk bytes before every answer
    bool programData = false;   // a program answer carries the written data before "#Done"
    std::string statusCode;     // forced status code; empty = code of the last operation
    int splitMs = 0;            // >0: every byte sent on its own, this many ms apart
    int slowMs = 0;             // >0: this many ms between the echo and the answer
};

// The AP4112 programs half frames (15 digits) and takes "#204"/"#214";
// every other model takes full frames with "#201"/"#211".
bool IsHalfFrameModel(std::string_view model);

// One line describing the current behaviour, for "show" and the start banner.
std::string DescribeBehaviour(const Behaviour& behaviour);

} // namespace velmora::sim
