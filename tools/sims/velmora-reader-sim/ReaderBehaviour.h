// How the simulated portable reader behaves: what its SSP reports, and which
// faults it shows. Changed at start by flags and while running by control
// commands; both go through ApplyReaderCommand (ReaderControl.h).
#pragma once

#include <string>

namespace velmora::readersim {

struct ReaderBehaviour {
    std::string userId = "VELMORA1"; // 8 characters
    std::string date;                // "MM/DD/YY"; empty = today
    std::string time;                // "hh:mm:ss"; empty = now
    std::string battery = "095";     // 3 characters each
    std::string alarm1 = "070";
    std::string alarm2 = "060";
    std::string alarm3 = "050";
    std::string firmware = "1.6";

    bool silent = false;      // answers nothing
    bool ack = true;          // an ACK before the SSP
    bool garbage = false;     // junk (with a stray STX) before every frame and reading
    int brokenDate = 0;       // 0 off, 1 the next SSP only, 2 every SSP
    bool oldFirmware = false; // readings hold only the initial and the number
    int splitMs = 0;          // >0: every byte on its own, this many ms apart
    int slowMs = 0;           // >0: this many ms between the ACK and the SSP
    // >0: when the port is opened and nothing arrives on it (an RF check
    // waits that way), the tag is read on its own this many ms after the
    // open, never sooner than the quiet spell of ReaderSimulator.
    int autoReadMs = 0;
};

// One line describing the current behaviour, for "show" and the start banner.
std::string DescribeReader(const ReaderBehaviour& b);

} // namespace velmora::readersim
