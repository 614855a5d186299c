#include "serial/ReaderProtocol.h"

#include "commlog/CommLog.h"
#include "data/AEIData.h"
#include "serial/ProgrammerApi.h"
#include "serial/ReaderApi.h"
#include "serial/ReaderAssemblers.h"
#include "serial/ReaderMessages.h"
#include "serial/SerialAccess.h"
#include "serial/SerialPorts.h"
#include "serial/TagReadingCheck.h"

#include <cstring>

namespace velmora {

namespace {

// Operation results the reader link reports to the tag window.
constexpr uint8_t kRfCancelled = 20;
constexpr uint8_t kRfAgrees = 21;
constexpr uint8_t kRfIdOnly = 22;
constexpr uint8_t kRfDisagrees = 23;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The value of the last (at most two) digits of a text; -1 when it does not
// end in a digit.
int TrailingNumber(std::string_view text) {
    int value = 0, scale = 1, digits = 0;
    while (!text.empty() && digits < 2 && IsDigit(text.back())) {
        value += (text.back() - '0') * scale;
        scale *= 10;
        ++digits;
        text.remove_suffix(1);
    }
    return digits == 0 ? -1 : value;
}

int TwoDigits(std::string_view text) {
    if (text.size() != 2 || !IsDigit(text[0]) || !IsDigit(text[1])) return -1;
    return (text[0] - '0') * 10 + (text[1] - '0');
}

// Days from 1 January 1970 of a civil date.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

ReaderLinkUi* Ui(AEIData& data) { return data.serial.reader.ui; }

void CallCompletion(AEIData& data) {
    if (data.serial.programmerCompletion) data.serial.programmerCompletion();
}

// Removes whatever is still queued for the port.
void PurgePortMessages(AEIData& data, int port) {
    for (int guard = 0; guard <= kMessageSlots; ++guard) {
        const int slot = FindNextMessage(data, port);
        if (slot < 0) return;
        RemoveMessage(data, slot);
    }
}

// The programmer's open port is never taken over: it does not open for the
// reader, as a port another program holds does not.
bool OpenReaderPort(AEIData& data, SerialPorts& ports, int port) {
    if (GetCommLinkData(data, port).deviceKind == kDeviceProgrammer) return false;
    if (OpenCommPort(data, ports, port, kReaderMode, 0, kDeviceReader) != kOpenReady) return false;
    PurgePortMessages(data, port); // nothing from an earlier exchange answers this one
    return true;
}

// Ends an exchange. A probe asked for while the exchange ran is still to
// come: closing the port does not take the request back.
void CloseReaderPort(AEIData& data, SerialPorts& ports, int port) {
    const uint8_t probeAsked = GetCommLinkData(data, port).reader.probeRequested;
    CloseCommPort(data, ports, port);
    PurgePortMessages(data, port);
    CommLinkData r = GetCommLinkData(data, port);
    r.reader.probeRequested = probeAsked;
    UpdateCommLinkData(data, port, r);
}

// Starts an exchange's wait: the counters of the exchange and its deadline.
void BeginWait(CommLinkData& r, int32_t awaited, uint32_t deadline) {
    r.awaitedResponse = awaited;
    r.retries = 0;
    r.reader.ackReceived = 0;
    r.reader.repliesHandled = 0;
    r.deadline = deadline;
}

// Posts the port's end notification, if it has one, with its wParam.
void PostEnd(AEIData& data, int port, int32_t wParam) {
    CommLinkData r = GetCommLinkData(data, port);
    if (r.endNotification == -1) return;
    data.serial.reader.lastEndParam = wParam;
    data.GetOperator().PostNotification(r.endNotification);
    r.endNotification = -1;
    UpdateCommLinkData(data, port, r);
}

void SetPortStatus(AEIData& data, int port, const char* text, uint16_t readerHere) {
    CommStatusData st = GetCommStatusData(data, port);
    SetText(st.statusText, text);
    st.readerHere = readerHere;
    UpdateCommStatusData(data, port, st);
}

// Ends an RF check with its result for the tag window.
void EndRfReading(AEIData& data, SerialPorts& ports, int port, uint8_t result) {
    if (Ui(data) && Ui(data)->RfReadStatusOpen()) Ui(data)->CloseRfReadStatus();
    CloseReaderPort(data, ports, port);
    CommLinkData r = GetCommLinkData(data, port);
    r.reader.rfReadRequested = 0;
    r.reader.rfReadCancelled = 0;
    r.reader.rfPortOut = 0;
    UpdateCommLinkData(data, port, r);
    ProgrammerState s = GetProgrammerState(data);
    s.operationResult = result;
    SetProgrammerState(data, s);
    CallCompletion(data);
}

// The awaited command's reply has come: the probe found a reader, or the
// exchange is complete. The port is closed either way.
void CompleteExchange(AEIData& data, SerialPorts& ports, int port) {
    CommLinkData r = GetCommLinkData(data, port);
    if (r.reader.probing == 1) {
        r.reader.probing = 0;
        r.reader.searchStatus = kReaderFound;
        UpdateCommLinkData(data, port, r);
        SetPortStatus(data, port, "Portable reader was found on this port", 1);
        ReaderSearchProgress(data);
    } else {
        PostEnd(data, port, kEndComplete);
    }
    CloseReaderPort(data, ports, port);
}

void HandleReaderAnswers(AEIData& data, SerialPorts& ports, int port, uint32_t now) {
    // Each pass removes one message, so the loop ends within the queue size.
    for (int guard = 0; guard <= kMessageSlots; ++guard) {
        const int slot = FindNextMessage(data, port);
        if (slot < 0) return;
        const CommMessage m = GetMessageQue(data, slot);
        RemoveMessage(data, slot);
        CommLinkData r = GetCommLinkData(data, port);
        if (r.deviceKind != kDeviceReader) continue; // the exchange has ended: left-overs go
        const std::string text(GetText(m.text));

        if (m.code == kReaderTagReading) {
            const TagReadingResult judged = CheckTagReading(data, text);
            if (judged != TagReadingResult::Ignore) data.serial.reader.judgedReading = text;
            switch (judged) {
            case TagReadingResult::Ignore: continue;
            case TagReadingResult::Agrees: EndRfReading(data, ports, port, kRfAgrees); break;
            case TagReadingResult::InitialAndNumber: EndRfReading(data, ports, port, kRfIdOnly); break;
            case TagReadingResult::Disagrees: EndRfReading(data, ports, port, kRfDisagrees); break;
            }
            continue;
        }
        if (m.code == kMsgACK) {
            r.reader.ackReceived = 1;
            r.deadline = now + kReaderExchangeWait;
            UpdateCommLinkData(data, port, r);
            continue;
        }
        const int32_t awaited = r.awaitedResponse;
        if (awaited < 0 || awaited >= kReaderMessageCount) continue;
        const ReaderMessageFormat command = GetMessageFormat(data, awaited);
        const std::string_view reply = GetText(command.reply);
        if (reply.size() != 3 || text.compare(0, 3, reply) != 0) continue;
        if (m.code == kMsgSSP) {
            data.serial.reader.parameters = ParseReaderParameters(text, port);
        }
        r.reader.repliesHandled += 1;
        r.deadline = now + kReaderExchangeWait;
        UpdateCommLinkData(data, port, r);
        CompleteExchange(data, ports, port);
    }
}

// The deadline has passed: send again while sends remain, else give up.
void ReaderTimeout(AEIData& data, SerialPorts& ports, int port, uint32_t now) {
    CommLinkData r = GetCommLinkData(data, port);
    r.retries += 1;
    UpdateCommLinkData(data, port, r);
    const int32_t awaited = r.awaitedResponse;
    const int32_t sends = awaited >= 0 && awaited < kReaderMessageCount
                              ? GetMessageFormat(data, awaited).sends
                              : 1;
    if (r.retries < sends) {
        // A port lost to a device error is opened again first; when it will
        // not open, this send counts as made but nothing is written or logged.
        const bool usable = ReopenLostPort(data, ports, port);
        DiscardCommInput(ports, port);
        StartCommRead(data, ports, port);
        const std::string again(GetText(r.lastCommand));
        if (usable) SendCommText(data, ports, port, again, kReaderWord);
        r = GetCommLinkData(data, port);
        r.deadline = now + (r.reader.probing == 1 ? kReaderProbeWait : kReaderExchangeWait);
        UpdateCommLinkData(data, port, r);
        return;
    }
    if (r.reader.probing == 1) {
        r.reader.probing = 0;
        r.reader.searchStatus = kReaderNotFound;
        UpdateCommLinkData(data, port, r);
        SetPortStatus(data, port, "Portable reader was not found on this port", 0);
        ReaderSearchProgress(data);
    } else {
        PostEnd(data, port, r.reader.repliesHandled == 0 ? kEndNoReply : kEndUnfinished);
    }
    CloseReaderPort(data, ports, port);
}

void OpenRfStatusWindow(AEIData& data) {
    ReaderLinkUi* ui = Ui(data);
    if (!ui) return;
    if (ui->RfReadStatusOpen()) ui->CloseRfReadStatus();
    ui->OpenRfReadStatus(kRfReadStatusText);
}

// The RF wait's port is out of reach (it will not open, or it was lost to a
// device error): the status window says so, once until the port is back.
void NoteRfPortOut(AEIData& data, int port) {
    CommLinkData r = GetCommLinkData(data, port);
    if (r.reader.rfPortOut == 1) return;
    r.reader.rfPortOut = 1;
    UpdateCommLinkData(data, port, r);
    if (Ui(data)) Ui(data)->SetRfReadStatusText(kRfReaderDisconnectedText);
}

// The RF wait's port is open again: the status window asks for the reading.
void NoteRfPortBack(AEIData& data, int port) {
    CommLinkData r = GetCommLinkData(data, port);
    if (r.reader.rfPortOut == 0) return;
    r.reader.rfPortOut = 0;
    UpdateCommLinkData(data, port, r);
    if (Ui(data)) Ui(data)->SetRfReadStatusText(kRfReadStatusText);
}

} // namespace

ReaderDateTime ParseReaderDateTime(std::string_view text, std::size_t start) {
    ReaderDateTime t;
    if (start > text.size()) return t;
    const std::size_t slash1 = text.find('/', start);
    if (slash1 == std::string_view::npos) return t;
    const std::size_t slash2 = text.find('/', slash1 + 1);
    if (slash2 == std::string_view::npos) return t;
    const std::size_t yearAt = slash2 + 1;
    if (yearAt + 3 > text.size()) return t; // two digits and the one character after them
    const std::size_t hourAt = yearAt + 3;
    const std::size_t colon1 = text.find(':', hourAt);
    if (colon1 == std::string_view::npos) return t;
    const std::size_t colon2 = text.find(':', colon1 + 1);
    if (colon2 == std::string_view::npos) return t;
    if (colon2 + 3 > text.size()) return t;
    t.ok = true;

    t.month = TrailingNumber(text.substr(start, slash1 - start));
    t.day = TrailingNumber(text.substr(slash1 + 1, slash2 - slash1 - 1));
    const int yy = TwoDigits(text.substr(yearAt, 2));
    t.year = yy < 0 ? -1 : (yy < 50 ? 2000 + yy : 1900 + yy);
    t.hour = TrailingNumber(text.substr(hourAt, colon1 - hourAt));
    t.minute = TrailingNumber(text.substr(colon1 + 1, colon2 - colon1 - 1));
    t.second = TwoDigits(text.substr(colon2 + 1, 2));
    const bool valid = t.year > 0 && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 &&
                       t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 &&
                       t.second >= 0 && t.second <= 60;
    if (valid) {
        const int64_t days = DaysFromCivil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day));
        t.seconds = static_cast<uint32_t>(days * 86400 + t.hour * 3600 + t.minute * 60 + t.second);
    }
    return t;
}

void SendReaderNak(AEIData& data, SerialPorts& ports, int port) {
    static constexpr uint8_t kNak[8] = {0x02, 'N', 'A', 'K', 0x03, 0, 0, 0};
    if (!IsValidPort(port)) {
        (void)GetCommLinkData(data, port); // raises the port index trap
        return;
    }
    ports.Log().LogCommMessage(port, "T-- NAK", kReaderWord);
    WriteCommBytes(data, ports, port, kNak, sizeof kNak);
}

void SendReaderCommand(AEIData& data, SerialPorts& ports, int port, int index, std::string_view frameData) {
    const std::string frame = BuildReaderFrame(data, index, frameData);
    StartCommRead(data, ports, port);
    SendCommText(data, ports, port, frame, kReaderWord);
}

bool AcceptReaderMessage(AEIData& data, SerialPorts& ports, int port, std::string_view text) {
    if (!IsValidPort(port)) return false;
    const int index = FindMessageCode(text);
    if (index < 0) return false;
    const ReaderMessageFormat entry = GetMessageFormat(data, index);
    if (entry.direction == kSentBySystem) return false;

    CommMessage m;
    m.port = port;
    m.code = index;
    m.received = data.GetClock().MonotonicSeconds();
    m.deviceTime = 0;
    SetText(m.text, text);

    if (index == kMsgSSP || index == kMsgSHR) {
        const ReaderDateTime when = ParseReaderDateTime(text, index == kMsgSSP ? kSspDateStart : kShrDateStart);
        if (!when.ok) {
            SendReaderNak(data, ports, port);
            return false;
        }
        m.deviceTime = when.seconds;
    }

    const int reply = FindMessageCode(GetText(entry.reply));
    if (reply >= 0) {
        // An acknowledgement is no command: the last command stays the one a
        // time-out sends again.
        const CommLinkData before = GetCommLinkData(data, port);
        SendCommText(data, ports, port, BuildReaderFrame(data, reply), kReaderWord);
        CommLinkData after = GetCommLinkData(data, port);
        std::memcpy(after.lastCommand, before.lastCommand, sizeof after.lastCommand);
        UpdateCommLinkData(data, port, after);
    }
    return AddMessage(data, m) >= 0;
}

ReaderParameters ParseReaderParameters(std::string_view ssp, int port) {
    auto part = [&](std::size_t from, std::size_t count) {
        return from < ssp.size() ? ssp.substr(from, count) : std::string_view();
    };
    ReaderParameters p;
    p.port = port;
    SetText(p.userIdFirst, part(3, 8));
    SetText(p.userIdSecond, part(11, 8));
    SetText(p.dateTime, part(19, 9));
    SetText(p.battery, part(28, 3));
    SetText(p.alarmLevel1, part(31, 3));
    SetText(p.alarmLevel2, part(34, 3));
    SetText(p.alarmLevel3, part(37, 3));
    SetText(p.firmwareVersion, part(40, std::string_view::npos));
    return p;
}

void StepReaderLink(AEIData& data, SerialPorts& ports) {
    const uint32_t now = data.GetClock().MonotonicSeconds();

    // 1. Reads of the reader's ports, and a cancelled RF reading.
    for (int p = 0; p < kCommPorts; ++p) {
        const CommLinkData r = GetCommLinkData(data, p);
        if (r.deviceKind != kDeviceReader || r.awaitedResponse == kAwaitNone || r.readPending != 1) continue;
        if (r.reader.rfReadCancelled == 1) {
            EndRfReading(data, ports, p, kRfCancelled);
            continue;
        }
        const bool rfWait = r.awaitedResponse == kReaderTagReading;
        if (rfWait) {
            // A reader lost during the wait is opened again on every tick;
            // the reading it sends once back is judged as any other.
            if (!ReopenLostPort(data, ports, p)) {
                NoteRfPortOut(data, p);
                continue;
            }
            NoteRfPortBack(data, p);
        }
        PollCommRead(data, ports, p, kDeviceReader, rfWait ? AssembleTagReadings : AssembleReaderFrames);
        if (rfWait && CommPortLost(data, ports, p)) NoteRfPortOut(data, p);
    }

    // 2. Port by port: start what was asked for, then answers and time-outs.
    for (int p = 0; p < kCommPorts; ++p) {
        CommLinkData r = GetCommLinkData(data, p);
        if (r.reader.probeRequested == 1) {
            if (r.deviceKind == kDeviceReader && r.readPending != 0) {
                // The reader's own exchange on this port goes first; the
                // probe follows when it has ended.
            } else if (OpenReaderPort(data, ports, p)) {
                SendReaderCommand(data, ports, p, kMsgFSP);
                r = GetCommLinkData(data, p);
                BeginWait(r, kMsgFSP, now + kReaderProbeWait);
                r.reader.probeRequested = 0;
                r.reader.probing = 1;
                UpdateCommLinkData(data, p, r);
            } else {
                r = GetCommLinkData(data, p);
                r.reader.probeRequested = 0;
                r.reader.searchStatus = kReaderNotFound;
                UpdateCommLinkData(data, p, r);
                SetPortStatus(data, p, "This port is not active.", 0);
                ReaderSearchProgress(data);
                continue;
            }
        } else if (r.reader.rfReadRequested == 1 && r.readPending == 0) {
            if (r.reader.rfReadCancelled == 1) {
                // Cancelled before the port would open.
                EndRfReading(data, ports, p, kRfCancelled);
                continue;
            }
            if (OpenReaderPort(data, ports, p)) {
                // No command: the reader sends when the operator reads a tag.
                StartCommRead(data, ports, p);
                r = GetCommLinkData(data, p);
                BeginWait(r, kReaderTagReading, now + kReaderExchangeWait);
                r.reader.rfReadRequested = 0;
                r.reader.rfPortOut = 0;
                UpdateCommLinkData(data, p, r);
                data.serial.reader.judgedReading.clear();
                OpenRfStatusWindow(data);
            } else {
                // Tried again next tick; meanwhile the window's Cancel ends it.
                if (Ui(data) && !Ui(data)->RfReadStatusOpen()) {
                    OpenRfStatusWindow(data);
                    r = GetCommLinkData(data, p);
                    r.reader.rfPortOut = 0;
                    UpdateCommLinkData(data, p, r);
                }
                NoteRfPortOut(data, p);
            }
        } else if (r.reader.pendingCommand != -1 && r.readPending == 0) {
            const int32_t command = r.reader.pendingCommand;
            const std::string frameData(GetText(r.reader.pendingData));
            const bool known = command >= 0 && command < kReaderMessageCount;
            if (known && OpenReaderPort(data, ports, p)) {
                SendReaderCommand(data, ports, p, command, frameData);
                r = GetCommLinkData(data, p);
                BeginWait(r, command, now + kReaderExchangeWait);
                SetText(r.reader.pendingData, "");
                r.reader.pendingCommand = -1;
                UpdateCommLinkData(data, p, r);
            } else {
                if (!known) (void)GetMessageFormat(data, command); // raises the message code trap
                r = GetCommLinkData(data, p);
                r.reader.pendingCommand = -1;
                SetText(r.reader.pendingData, "");
                UpdateCommLinkData(data, p, r);
                PostEnd(data, p, kEndNoReply);
                continue;
            }
        }

        r = GetCommLinkData(data, p);
        if (r.deviceKind != kDeviceReader || r.readPending == 0) continue;
        if (r.newMessages == 1) {
            r.newMessages = 0;
            UpdateCommLinkData(data, p, r);
            HandleReaderAnswers(data, ports, p, now);
        } else if (r.deadline != 0 && r.deadline < now && r.awaitedResponse != kReaderTagReading) {
            ReaderTimeout(data, ports, p, now);
        }
    }
}

} // namespace velmora
