// The message queue and the index-checked record accessors.
#include "LinkRig.h"

#include "serial/ProgrammerProtocol.h"

#include <gtest/gtest.h>

#include <cstring>

namespace velmora::test {
namespace {

CommMessage Message(int port, uint32_t received, const char* text) {
    CommMessage m;
    m.port = port;
    m.received = received;
    SetText(m.text, text);
    return m;
}

TEST(MessageQueue, OldestMessageOfThePortComesFirstAndEqualTimesGoBySlot) {
    LinkRig rig;
    const uint32_t now = rig.clock.seconds;
    EXPECT_EQ(AddMessage(rig.data, Message(1, now, "b1")), 0);
    EXPECT_EQ(AddMessage(rig.data, Message(2, now - 5, "other port")), 1);
    EXPECT_EQ(AddMessage(rig.data, Message(1, now - 1, "a")), 2);
    EXPECT_EQ(AddMessage(rig.data, Message(1, now, "b2")), 3);
    std::vector<std::string> order;
    for (int slot; (slot = FindNextMessage(rig.data, 1)) >= 0;) {
        order.push_back(GetMessageQue(rig.data, slot).text);
        RemoveMessage(rig.data, slot);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"a", "b1", "b2"}));
    EXPECT_EQ(FindNextMessage(rig.data, 0), -1); // none for port 0 although port 2 has one
    EXPECT_EQ(GetMessageCount(rig.data), 1);
    // Messages stamped more than two minutes ahead are never returned.
    AddMessage(rig.data, Message(0, now + 121, "future"));
    EXPECT_EQ(FindNextMessage(rig.data, 0), -1);
    AddMessage(rig.data, Message(0, now + 119, "soon"));
    EXPECT_EQ(FindNextMessage(rig.data, 0), 2);
    EXPECT_TRUE(rig.op.boxes.empty());
}

TEST(MessageQueue, SlotsAreReusedLowestFirstAndThe101stIsDropped) {
    LinkRig rig;
    for (int i = 0; i < kMessageSlots; ++i) ASSERT_EQ(AddMessage(rig.data, Message(0, 1, "x")), i);
    EXPECT_EQ(AddMessage(rig.data, Message(0, 1, "lost")), -1);
    RemoveMessage(rig.data, 1);
    RemoveMessage(rig.data, 5);
    EXPECT_EQ(AddMessage(rig.data, Message(0, 1, "y")), 1);
    EXPECT_EQ(GetMessageCount(rig.data), kMessageSlots - 1);
}

// Sound behaviour: times come from the monotonic clock, so the local clock
// going back an hour (daylight saving) does not strand queued messages.
TEST(MessageQueue, LocalClockJumpDoesNotStrandMessages) {
    LinkRig rig;
    auto dev = rig.Device(0);
    ASSERT_EQ(OpenCommPort(rig.data, rig.ports, 0, kProgrammerMode, 0, kDeviceProgrammer), kOpenReady);
    CommLinkData link = rig.Link(0);
    link.awaitedResponse = kAwaitStatus;
    link.readPending = 1;
    UpdateCommLinkData(rig.data, 0, link);
    dev->Send("\n#00\r\n");
    PollCommRead(rig.data, rig.ports, 0, kDeviceProgrammer, AssembleProgrammerLines);
    rig.clock.local.hour -= 1; // the wall clock falls back
    ASSERT_EQ(GetMessageCount(rig.data), 1);
    EXPECT_EQ(GetMessageQue(rig.data, 0).received, rig.clock.seconds);
    EXPECT_EQ(FindNextMessage(rig.data, 0), 0);
}

TEST(MessageQueue, RemovingASlotTwiceTrapsAndUpdateKeepsTheCountInStep) {
    LinkRig rig;
    rig.data.SetOperationName("TAEIDec::EvTimer");
    AddMessage(rig.data, Message(0, 1, "x"));
    AddMessage(rig.data, Message(0, 1, "y"));
    RemoveMessage(rig.data, 0);
    RemoveMessage(rig.data, 0);
    EXPECT_EQ(GetMessageCount(rig.data), 1);
    ASSERT_EQ(rig.op.boxes.size(), 1u);
    EXPECT_EQ(rig.op.boxes[0].caption, "Internal Error Trap");
    EXPECT_EQ(rig.op.boxes[0].text,
              "Removing unused record - RemoveMessage value \"0\" called by \"TAEIDec::EvTimer\". Please contact "
              "Corvelle at 555 014-2290 inform them of this message and what you were doing when it occurred.  You "
              "will also need to cancel any pending operation and exit the program.");
    CommMessage m = Message(3, 1, "placed");
    m.inUse = 1;
    UpdateMessageQueue(rig.data, 7, m);
    EXPECT_EQ(GetMessageCount(rig.data), 2);
    EXPECT_EQ(FindNextMessage(rig.data, 3), 7);
    m.inUse = 0;
    UpdateMessageQueue(rig.data, 7, m);
    EXPECT_EQ(GetMessageCount(rig.data), 1);
}

// Every index-checked accessor traps with its own label and value and
// touches nothing; a bad port reads as port zero.
TEST(IndexChecks, BadSlotsAndPortsTrapWithTheirLabelAndTouchNothing) {
    LinkRig rig;
    AddMessage(rig.data, Message(0, 1, "kept"));
    CommStatusData zero = rig.Status(0);
    SetText(zero.statusText, "port zero");
    UpdateCommStatusData(rig.data, 0, zero);
    const MessageQueue before = rig.data.serial.queue;

    EXPECT_EQ(GetMessageQue(rig.data, 100).inUse, 0u);
    UpdateMessageQueue(rig.data, -1, Message(0, 1, "bad"));
    RemoveMessage(rig.data, 100);
    EXPECT_EQ(FindNextMessage(rig.data, 4), -1);
    EXPECT_STREQ(GetCommStatusData(rig.data, 4).statusText, "port zero");
    CommStatusData bad;
    SetText(bad.statusText, "bad");
    UpdateCommStatusData(rig.data, -1, bad);
    EXPECT_STREQ(GetCommLinkData(rig.data, 9).lastCommand, rig.Link(0).lastCommand);
    UpdateCommLinkData(rig.data, 4, CommLinkData{});

    const std::vector<std::string> labels{
        "Message index error - GetMessageQue value \"100\"", "Message index error - UpdateMessageQueue value \"-1\"",
        "Message index error - RemoveMessage value \"100\"", "Port index error - FindNextMessage value \"4\"",
        "Port Index Error - GetCommStatusData value \"4\"", "Port Index Error - UpdateCommStatusData value \"-1\"",
        "Port Index Error - GetCommStatusData value \"9\"", "Port Index Error - UpdateCommStatusData value \"4\""};
    ASSERT_EQ(rig.op.boxes.size(), labels.size());
    for (std::size_t i = 0; i < labels.size(); ++i) EXPECT_EQ(rig.op.boxes[i].text.rfind(labels[i], 0), 0u) << i;
    EXPECT_EQ(std::memcmp(&before, &rig.data.serial.queue, sizeof before), 0);
    for (int p = 1; p < kCommPorts; ++p) EXPECT_STREQ(rig.Status(p).statusText, "");
}

} // namespace
} // namespace velmora::test
