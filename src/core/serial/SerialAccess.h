// Index-checked accessors of the serial records and the message queue. A bad
// port or slot raises the internal error trap and touches nothing outside its
// table.
#pragma once

#include "serial/CommRecords.h"

namespace velmora {

class AEIData;

// Port outside 0..3: trap "Port Index Error - GetCommStatusData" and port 0's
// record comes back; trap "Port Index Error - UpdateCommStatusData" and
// nothing is stored. The link record accessors use the same two texts.
CommStatusData GetCommStatusData(AEIData& data, int port);
void UpdateCommStatusData(AEIData& data, int port, const CommStatusData& record);
CommLinkData GetCommLinkData(AEIData& data, int port);
void UpdateCommLinkData(AEIData& data, int port, const CommLinkData& record);

// The slot used, or -1 when all 100 slots are taken (the message is dropped).
int AddMessage(AEIData& data, const CommMessage& message);
// The oldest message of the port (lowest slot on equal times), -1 when none.
// Messages stamped more than 120 s after now are never returned.
int FindNextMessage(AEIData& data, int port);
void RemoveMessage(AEIData& data, int slot);
// Slot outside 0..99: trap; an empty record comes back / nothing is stored.
CommMessage GetMessageQue(AEIData& data, int slot);
void UpdateMessageQueue(AEIData& data, int slot, const CommMessage& message);
int GetMessageCount(AEIData& data);

} // namespace velmora
