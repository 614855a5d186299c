#include "serial/SerialAccess.h"

#include "data/AEIData.h"

namespace velmora {

namespace {
bool ValidSlot(int slot) { return slot >= 0 && slot < kMessageSlots; }
constexpr uint32_t kFutureBound = 120;
} // namespace

CommStatusData GetCommStatusData(AEIData& data, int port) {
    if (!IsValidPort(port)) {
        data.InternalErrorTrap("Port Index Error - GetCommStatusData", port);
        return data.serial.status[0];
    }
    return data.serial.status[port];
}

void UpdateCommStatusData(AEIData& data, int port, const CommStatusData& record) {
    if (!IsValidPort(port)) {
        data.InternalErrorTrap("Port Index Error - UpdateCommStatusData", port);
        return;
    }
    data.serial.status[port] = record;
}

CommLinkData GetCommLinkData(AEIData& data, int port) {
    if (!IsValidPort(port)) {
        data.InternalErrorTrap("Port Index Error - GetCommStatusData", port);
        return data.serial.link[0];
    }
    return data.serial.link[port];
}

void UpdateCommLinkData(AEIData& data, int port, const CommLinkData& record) {
    if (!IsValidPort(port)) {
        data.InternalErrorTrap("Port Index Error - UpdateCommStatusData", port);
        return;
    }
    data.serial.link[port] = record;
}

int AddMessage(AEIData& data, const CommMessage& message) {
    MessageQueue& q = data.serial.queue;
    if (q.count >= kMessageSlots) return -1;
    for (int slot = 0; slot < kMessageSlots; ++slot) {
        if (q.slots[slot].inUse == 1) continue;
        q.slots[slot] = message;
        q.slots[slot].inUse = 1;
        Terminate(q.slots[slot].text);
        ++q.count;
        return slot;
    }
    return -1;
}

int FindNextMessage(AEIData& data, int port) {
    if (!IsValidPort(port)) {
        data.InternalErrorTrap("Port index error - FindNextMessage", port);
        return -1;
    }
    const MessageQueue& q = data.serial.queue;
    if (q.count <= 0) return -1;
    uint32_t best = data.GetClock().MonotonicSeconds() + kFutureBound;
    int found = -1;
    int seen = 0;
    for (int slot = 0; slot < kMessageSlots && seen < q.count; ++slot) {
        const CommMessage& m = q.slots[slot];
        if (m.inUse != 1) continue;
        ++seen;
        if (m.port == port && m.received < best) {
            best = m.received;
            found = slot;
        }
    }
    return found;
}

void RemoveMessage(AEIData& data, int slot) {
    if (!ValidSlot(slot)) {
        data.InternalErrorTrap("Message index error - RemoveMessage", slot);
        return;
    }
    MessageQueue& q = data.serial.queue;
    if (q.slots[slot].inUse != 1) {
        data.InternalErrorTrap("Removing unused record - RemoveMessage", slot);
        return;
    }
    q.slots[slot].inUse = 0;
    if (q.count > 0) --q.count;
}

CommMessage GetMessageQue(AEIData& data, int slot) {
    if (!ValidSlot(slot)) {
        data.InternalErrorTrap("Message index error - GetMessageQue", slot);
        return CommMessage{};
    }
    return data.serial.queue.slots[slot];
}

void UpdateMessageQueue(AEIData& data, int slot, const CommMessage& message) {
    if (!ValidSlot(slot)) {
        data.InternalErrorTrap("Message index error - UpdateMessageQueue", slot);
        return;
    }
    MessageQueue& q = data.serial.queue;
    const bool wasUsed = q.slots[slot].inUse == 1;
    q.slots[slot] = message;
    Terminate(q.slots[slot].text);
    // Keep the count equal to the slots in use.
    const bool isUsed = q.slots[slot].inUse == 1;
    if (isUsed && !wasUsed) ++q.count;
    if (!isUsed && wasUsed && q.count > 0) --q.count;
}

int GetMessageCount(AEIData& data) { return data.serial.queue.count; }

} // namespace velmora
