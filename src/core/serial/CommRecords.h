// The per-port records of the serial layer and the queue of received
// messages. Plain records: the links copy one out, change it and store it
// back whole through the accessors of SerialAccess.h.
#pragma once

#include "serial/CommPort.h"

#include <cstdint>

namespace velmora {

inline constexpr int kRingSize = 200;
inline constexpr int kMessageSlots = 100;
inline constexpr int kLineTextWidth = 100; // texts hold at most 99 characters

// Device kinds of a port.
inline constexpr int32_t kDeviceNone = 0;
inline constexpr int32_t kDeviceProgrammer = 1;
inline constexpr int32_t kDeviceReader = 2;

// Awaited responses of the programmer link (-1 = none).
inline constexpr int32_t kAwaitNone = -1;
inline constexpr int32_t kAwaitProgram = 3;
inline constexpr int32_t kAwaitRead = 5;
inline constexpr int32_t kAwaitModel = 6;
inline constexpr int32_t kAwaitStatus = 7;

// Programmer search status of a port.
inline constexpr int32_t kProgrammerFound = 11;
inline constexpr int32_t kProgrammerNotFound = 12;
inline constexpr int32_t kProgrammerSearching = 13;

// Reader search status of a port.
inline constexpr int32_t kReaderSearching = 13;
inline constexpr int32_t kReaderFound = 17;
inline constexpr int32_t kReaderNotFound = 18;

// What the connection status dialog shows for a port.
struct CommStatusData {
    char statusText[100] = {};
    char deviceType[20] = "unknown";
    uint16_t programmerHere = 0;
    uint16_t readerHere = 0;
};

// The portable reader's share of a port's link state.
struct ReaderLinkFields {
    uint8_t probeRequested = 0;
    uint8_t probing = 0;
    uint8_t rfReadRequested = 0;
    uint8_t rfReadCancelled = 0;
    uint8_t ackReceived = 0;
    uint8_t rfPortOut = 0; // the RF wait's port is out of reach and the status window says so
    int32_t repliesHandled = 0;
    int32_t searchStatus = kReaderNotFound;
    int32_t pendingCommand = -1;
    char pendingData[20] = {};
};

// The link state of one port.
struct CommLinkData {
    uint32_t lastOsError = 0;
    int32_t awaitedResponse = kAwaitNone;
    uint8_t ring[kRingSize] = {};
    int32_t ringWrite = 0; // next position to fill
    int32_t ringRead = 0;  // the consumed position just before the oldest unconsumed byte
    int32_t deviceKind = kDeviceNone;
    uint32_t deadline = 0; // monotonic seconds; 0 = none
    int32_t retries = 0;
    uint8_t readPending = 0;
    int32_t endNotification = -1;
    uint8_t probeRequested = 0;
    uint8_t probing = 0;
    int32_t programmerSearchStatus = 0;
    uint8_t newMessages = 0;
    char lastCommand[100] = {};
    int32_t responseLineCount = 0;
    ReaderLinkFields reader;
};

// One slot of the message queue.
struct CommMessage {
    uint32_t inUse = 0;
    int32_t port = 0;
    int32_t code = 0;        // reader message code; not set for programmer lines
    uint32_t received = 0;   // monotonic seconds of arrival
    uint32_t deviceTime = 0; // time carried inside a reader message, 0 = none
    char text[kLineTextWidth] = {};
};

struct MessageQueue {
    CommMessage slots[kMessageSlots];
    int32_t count = 0;
};

} // namespace velmora
