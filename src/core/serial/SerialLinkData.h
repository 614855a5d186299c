// The serial layer's share of the application data object: the status and
// link records of the four ports, the message queue, the reader-busy flag
// and the frame's hooks for the links. Plain data; the index-checked
// accessors live in SerialAccess.h.
#pragma once

#include "serial/CommRecords.h"
#include "serial/ProgrammerHooks.h"
#include "serial/ReaderRecords.h"

#include <functional>

namespace velmora {

struct SerialLinkData {
    CommStatusData status[kCommPorts];
    CommLinkData link[kCommPorts];
    MessageQueue queue;
    uint8_t readerBusy = 0;
    // The portable reader's parameters, its windows and its end notices.
    ReaderLinkShared reader;

    // Set by the desktop frame (or a tool); null means nothing is shown.
    ProgrammerLinkUi* programmerUi = nullptr;
    // The tag window's ProgrammerCompletion, called when a program, read or
    // RF check exchange ends with its result in the programmer state.
    std::function<void()> programmerCompletion;
};

} // namespace velmora
