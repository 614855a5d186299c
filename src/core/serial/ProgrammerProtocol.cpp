#include "serial/ProgrammerProtocol.h"

#include "commlog/CommLog.h"
#include "data/AEIData.h"
#include "serial/ProgrammerApi.h"
#include "serial/ReceiveRing.h"
#include "serial/SerialAccess.h"
#include "serial/SerialPorts.h"

#include <cstdio>
#include <cstring>

namespace velmora {

namespace {

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// Compares the first n characters the way a bounded C string comparison
// does: a text that ends early only matches one that ends at the same place.
bool SameStart(std::string_view a, std::string_view b, std::size_t n) {
    const std::string_view pa = a.substr(0, n);
    const std::string_view pb = b.substr(0, n);
    return pa == pb;
}

std::string PortText(const char* format, int number) {
    char buf[160];
    std::snprintf(buf, sizeof buf, format, number);
    return buf;
}

int ModelIndexOf(AEIData& data) {
    const int m = data.GetSettings().programmerModel;
    return m >= 0 && m <= 2 ? m : 2;
}

void CallCompletion(AEIData& data) {
    if (data.serial.programmerCompletion) data.serial.programmerCompletion();
}

ProgrammerLinkUi* Ui(AEIData& data) { return data.serial.programmerUi; }

// Sends a command on a port: a read is started just before it. A port lost
// to a device error is opened again first; when it will not open, the
// command is kept as the last command (for the next resend) but nothing is
// written or logged, and the wait runs out as for a device that is silent.
void SendCommand(AEIData& data, SerialPorts& ports, int port, std::string_view command) {
    const bool usable = ReopenLostPort(data, ports, port);
    StartCommRead(data, ports, port);
    if (!usable) {
        CommLinkData r = GetCommLinkData(data, port);
        SetText(r.lastCommand, command);
        UpdateCommLinkData(data, port, r);
        return;
    }
    SendCommText(data, ports, port, command, kProgrammerWord);
}

// A program, read or status command: what was received before it belongs to
// no answer of it.
void SendFreshCommand(AEIData& data, SerialPorts& ports, int port, std::string_view command) {
    DropStaleInput(data, ports, port);
    SendCommand(data, ports, port, command);
}

// The tag data line of a read: its first character, then exactly one frame
// of hexadecimal digits (15 for the half-frame programmer, else 30). A line
// cut at the text width is never one.
bool IsTagDataLine(AEIData& data, std::string_view line) {
    const std::size_t digits = data.HalfFrameMode() ? 15 : 30;
    if (line.size() != digits + 1) return false;
    for (char c : line.substr(1)) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        if (!hex) return false;
    }
    return true;
}

// Ends a program or read exchange with its result.
void EndExchange(AEIData& data, int port, uint8_t result, uint32_t now) {
    CommLinkData r = GetCommLinkData(data, port);
    r.awaitedResponse = kAwaitNone;
    r.readPending = 0;
    r.deadline = 0;
    r.responseLineCount = 0;
    UpdateCommLinkData(data, port, r);
    ProgrammerState s = GetProgrammerState(data);
    s.operationState = kOpIdle;
    s.operationResult = result;
    s.nextCheck = now + kCheckInterval;
    SetProgrammerState(data, s);
    CallCompletion(data);
}

void HandleModelAnswer(AEIData& data, int port, std::string_view line, uint32_t now) {
    if (!StartsWith(line, "#Model")) return;
    CommLinkData r = GetCommLinkData(data, port);
    r.probing = 0;
    const bool wasSearching = r.programmerSearchStatus == kProgrammerSearching;
    r.programmerSearchStatus = kProgrammerFound;
    r.awaitedResponse = kAwaitNone;
    r.readPending = 0;
    r.deadline = 0;
    UpdateCommLinkData(data, port, r);

    CommStatusData st = GetCommStatusData(data, port);
    SetText(st.statusText, line.substr(1));
    st.programmerHere = 1;
    UpdateCommStatusData(data, port, st);

    const DetectedModel found = DetectModel(line);
    ProgrammerState s = GetProgrammerState(data);
    SetText(s.response, line);
    std::string model, version;
    if (ParseModelLine(line, model, version)) {
        SetText(s.model, model);
        SetText(s.version, version);
        SetText(s.lastError, "");
    }
    s.on = 1;
    if (s.operationState != kOpSearch) s.operationState = kOpIdle;
    s.port = port;
    s.nextCheck = now + kCheckInterval;
    SetProgrammerState(data, s);

    char prompt[160];
    std::snprintf(prompt, sizeof prompt, "%s programmer was found on Comm Port %d",
                  found.name.c_str(), port + 1);
    data.GetOperator().ShowPrompt(prompt, 0);

    SettingsBlock settings = data.GetSettings();
    if (settings.programmerModel != found.index) {
        settings.programmerModel = static_cast<uint8_t>(found.index);
        settings.currentFormat = 0;
        data.UpdateSettings(settings);
        data.BuildBuiltInFormats();
        if (Ui(data)) Ui(data)->ReplaceTagWindow();
    }
    if (wasSearching) ProgrammerSearchProgress(data);
}

void HandleStatusAnswer(AEIData& data, int port, std::string_view line, uint32_t now) {
    if (!StartsWith(line, "#0")) return;
    CommLinkData r = GetCommLinkData(data, port);
    r.awaitedResponse = kAwaitNone;
    r.readPending = 0;
    r.deadline = 0;
    UpdateCommLinkData(data, port, r);
    ProgrammerState s = GetProgrammerState(data);
    SetText(s.response, line);
    SetText(s.lastError, StatusCodeText(line));
    s.operationState = kOpIdle;
    s.nextCheck = now + kCheckInterval;
    SetProgrammerState(data, s);
}

void HandleProgramAnswer(AEIData& data, int port, std::string_view line, uint32_t now) {
    if (StartsWith(line, "#Error")) {
        EndExchange(data, port, kResultProgramFailed, now);
        return;
    }
    CommLinkData r = GetCommLinkData(data, port);
    switch (r.responseLineCount) {
    case 0:
        if (SameStart(line, GetText(r.lastCommand), 5)) {
            r.responseLineCount = 1;
            UpdateCommLinkData(data, port, r);
        }
        return;
    case 1:
        if (StartsWith(line, "#Done")) {
            EndExchange(data, port, kResultProgramOk, now);
            return;
        }
        {
            ProgrammerState s = GetProgrammerState(data);
            SetText(s.response, line);
            SetProgrammerState(data, s);
        }
        r.responseLineCount = 2;
        UpdateCommLinkData(data, port, r);
        return;
    default:
        if (StartsWith(line, "#Done")) EndExchange(data, port, kResultProgramOk, now);
        return;
    }
}

void HandleReadAnswer(AEIData& data, int port, std::string_view line, uint32_t now) {
    if (StartsWith(line, "#Error")) {
        EndExchange(data, port, kResultReadFailed, now);
        return;
    }
    CommLinkData r = GetCommLinkData(data, port);
    switch (r.responseLineCount) {
    case 0:
        if (SameStart(line, GetText(r.lastCommand), 4)) {
            r.responseLineCount = 1;
            UpdateCommLinkData(data, port, r);
        }
        return;
    case 1: {
        ProgrammerState s = GetProgrammerState(data);
        SetText(s.response, line);
        SetProgrammerState(data, s);
        r.responseLineCount = 2;
        UpdateCommLinkData(data, port, r);
        return;
    }
    default:
        // A data line that is not one frame (cut, short, or no hexadecimal
        // text) is no tag read.
        if (StartsWith(line, "#Done"))
            EndExchange(data, port,
                        IsTagDataLine(data, GetText(GetProgrammerState(data).response)) ? kResultReadOk
                                                                                         : kResultReadFailed,
                        now);
        return;
    }
}

// Takes the port's queued lines oldest first.
void ConsumeMessages(AEIData& data, SerialPorts& ports, int port, uint32_t now) {
    // Each pass removes one message, so the loop ends within the queue size
    // even if a handler queued more.
    for (int guard = 0; guard <= kMessageSlots; ++guard) {
        const int slot = FindNextMessage(data, port);
        if (slot < 0) return;
        const CommMessage m = GetMessageQue(data, slot);
        RemoveMessage(data, slot);
        const std::string line(GetText(m.text));
        HandleProgrammerLine(data, ports, port, line, now);
    }
}

void PortNotActive(AEIData& data, int port) {
    CommLinkData r = GetCommLinkData(data, port);
    r.probeRequested = 0;
    r.programmerSearchStatus = kProgrammerNotFound;
    UpdateCommLinkData(data, port, r);
    CommStatusData st = GetCommStatusData(data, port);
    SetText(st.statusText, "This port is not active.");
    st.programmerHere = 0;
    UpdateCommStatusData(data, port, st);
    ProgrammerSearchProgress(data);
}

} // namespace

std::string ProgramCommand(int modelIndex, std::string_view frameText) {
    std::string cmd = modelIndex == 1 ? "#204" : "#201";
    cmd.append(frameText.data(), frameText.size());
    cmd += '\r';
    return cmd;
}

std::string ReadCommand(int modelIndex) { return modelIndex == 1 ? "#214\r" : "#211\r"; }

DetectedModel DetectModel(std::string_view line) {
    DetectedModel m;
    if (line.find("AP4118") != std::string_view::npos) m = {"AP4118", 2};
    if (line.find("AP4112") != std::string_view::npos) m = {"AP4112", 1};
    if (line.find("AP4110") != std::string_view::npos) m = {"AP4110", 0};
    return m;
}

bool ParseModelLine(std::string_view line, std::string& model, std::string& version) {
    const std::size_t a = line.find('A');
    if (a == std::string_view::npos) return false;
    const std::size_t blank = line.find(' ', a);
    if (blank == std::string_view::npos) return false;
    const std::size_t ver = line.find("Ver", blank);
    if (ver == std::string_view::npos) return false;
    const std::size_t blank2 = line.find(' ', ver);
    if (blank2 == std::string_view::npos) return false;
    model = std::string(line.substr(a, blank - a));
    version = std::string(line.substr(blank2 + 1));
    return true;
}

std::string StatusCodeText(std::string_view line) {
    static constexpr struct {
        const char* code;
        const char* text;
    } kTable[] = {
        {"00", "00 Operation Successful"},
        {"01", "01 Illegal Command"},
        {"02", "02 Invalid Tag Data"},
        {"03", "03 Presence Time-out on Program Cycle"},
        {"04", "04 Presence Time-out on Verify Cycle"},
        {"08", "08 Data Compare Error"},
        {"09", "09 Locked Tag"},
        {"0A", "0A No Frame Marker"},
        {"0B", "0B Bad Tag Parity"},
        {"0C", "0C Security Code Operation"},
    };
    const std::string_view code = line.substr(line.empty() ? 0 : 1, 2);
    if (code.size() == 2)
        for (const auto& e : kTable)
            if (code == e.code) return e.text;
    std::string text(line);
    text += " Unknown";
    if (text.size() > 39) text.resize(39);
    return text;
}

int AssembleProgrammerLines(AEIData& data, SerialPorts& ports, int port) {
    if (!IsValidPort(port)) return 0;
    CommLinkData r = GetCommLinkData(data, port);
    const uint32_t now = data.GetClock().MonotonicSeconds();
    int queued = 0;
    std::string line;
    while (TakeProgrammerLine(r, line)) {
        if (line.empty()) continue;
        UpdateCommLinkData(data, port, r);
        ports.Log().LogCommMessage(port, "R-- " + line, kProgrammerWord);
        CommMessage m;
        m.port = port;
        m.received = now;
        SetText(m.text, line);
        if (AddMessage(data, m) >= 0) ++queued;
    }
    UpdateCommLinkData(data, port, r);
    return queued;
}

void HandleProgrammerLine(AEIData& data, SerialPorts& ports, int port, std::string_view line,
                          uint32_t now) {
    (void)ports;
    if (!IsValidPort(port)) return;
    switch (GetCommLinkData(data, port).awaitedResponse) {
    case kAwaitModel: HandleModelAnswer(data, port, line, now); break;
    case kAwaitStatus: HandleStatusAnswer(data, port, line, now); break;
    case kAwaitProgram: HandleProgramAnswer(data, port, line, now); break;
    case kAwaitRead: HandleReadAnswer(data, port, line, now); break;
    default: break; // nothing awaited: the line is dropped
    }
}

void ProgrammerTimeout(AEIData& data, SerialPorts& ports, int port, uint32_t now) {
    if (!IsValidPort(port)) return;
    CommLinkData r = GetCommLinkData(data, port);
    r.retries -= 1;
    UpdateCommLinkData(data, port, r);
    if (r.retries >= 1) {
        DiscardCommInput(ports, port);
        const std::string again(GetText(r.lastCommand));
        SendCommand(data, ports, port, again);
        r = GetCommLinkData(data, port);
        r.deadline = now + kResendWait;
        UpdateCommLinkData(data, port, r);
        return;
    }

    DiscardCommInput(ports, port);
    if (r.probing == 1) {
        r.probing = 0;
        r.programmerSearchStatus = kProgrammerNotFound;
        r.readPending = 0;
        r.deadline = 0;
        r.awaitedResponse = kAwaitNone;
        UpdateCommLinkData(data, port, r);
        ProgrammerState s = GetProgrammerState(data);
        if (s.operationState == kOpSearch) {
            ProgrammerSearchProgress(data);
            CommStatusData st = GetCommStatusData(data, port);
            SetText(st.statusText, "Programmer was not found on this port");
            st.programmerHere = 0;
            UpdateCommStatusData(data, port, st);
        }
        if (s.operationState == kOpCheckPort) {
            data.GetOperator().ShowPrompt(
                PortText("A programmer was not found on Comm Port %d.  Turn on programmer and "
                         "check the cable connection",
                         port + 1),
                1);
        }
        if (s.operationState != kOpSearch) {
            s.operationState = kOpIdle;
            SetProgrammerState(data, s);
        }
        CloseCommPort(data, ports, port);
        return;
    }

    ProgrammerState s = GetProgrammerState(data);
    if (port == s.port) {
        const uint8_t was = s.operationState;
        s.on = 0;
        s.nextCheck = 0;
        SetText(s.lastError, kWatchDogExpired);
        s.operationState = kOpIdle;
        if (was == kOpProgram) s.operationResult = kResultProgramFailed;
        if (was == kOpRead) s.operationResult = kResultReadFailed;
        SetProgrammerState(data, s);
        if (was == kOpProgram || was == kOpRead) CallCompletion(data);
    }
    r = GetCommLinkData(data, port);
    r.readPending = 0;
    r.deadline = 0;
    r.awaitedResponse = kAwaitNone;
    UpdateCommLinkData(data, port, r);
}

void StepProgrammerLink(AEIData& data, SerialPorts& ports) {
    const uint32_t now = data.GetClock().MonotonicSeconds();
    Operator& op = data.GetOperator();

    // 1. A search the operator asked for.
    ProgrammerState s = GetProgrammerState(data);
    if (s.operationState == kOpIdle && s.searchRequested == 1) {
        s.searchRequested = 0;
        s.operationState = kOpSearch;
        SetProgrammerState(data, s);
        StartProgrammerSearch(data);
        op.ShowPrompt("Searching all ports for a programmer", 0);
    }

    // 2. Reconnection while the programmer is off.
    s = GetProgrammerState(data);
    if (s.on == 0 && s.nextCheck < now && s.operationState == kOpIdle) {
        s.nextCheck = now + kReconnectInterval;
        if (!IsValidPort(s.port) && s.searchStarted == 0) {
            s.searchStarted = 1;
            s.operationState = kOpSearch;
            SetProgrammerState(data, s);
            StartProgrammerSearch(data);
            op.ShowPrompt("Searching all ports for a programmer", 0);
        } else if (IsValidPort(s.port)) {
            CommLinkData r = GetCommLinkData(data, s.port);
            r.probeRequested = 1;
            UpdateCommLinkData(data, s.port, r);
            s.operationState = kOpCheckPort;
            if (s.searchStarted == 0) {
                op.ShowPrompt(PortText("Checking Comm Port %d for a programmer", s.port + 1), 0);
                s.searchStarted = 1;
            }
        }
        SetProgrammerState(data, s);
    }

    // 3. Work for an answering programmer.
    s = GetProgrammerState(data);
    if (s.on == 1 && IsValidPort(s.port)) {
        const int p = s.port;
        CommLinkData r = GetCommLinkData(data, p);
        if (s.operationState == kOpIdle && r.readPending == 0 && s.nextCheck < now) {
            SendFreshCommand(data, ports, p, kStatusCommand);
            r = GetCommLinkData(data, p);
            r.awaitedResponse = kAwaitStatus;
            r.retries = 3;
            r.deadline = now + kStatusWait;
            UpdateCommLinkData(data, p, r);
            s.operationState = kOpStatusCheck;
            SetProgrammerState(data, s);
        } else if (r.readPending == 0 &&
                   (s.operationState == kOpProgram || s.operationState == kOpRead)) {
            const bool program = s.operationState == kOpProgram;
            SendFreshCommand(data, ports, p,
                        program ? ProgramCommand(ModelIndexOf(data), GetText(s.frameText))
                                : ReadCommand(ModelIndexOf(data)));
            r = GetCommLinkData(data, p);
            r.awaitedResponse = program ? kAwaitProgram : kAwaitRead;
            r.retries = 0;
            r.responseLineCount = 0;
            r.deadline = now + kExchangeWait;
            UpdateCommLinkData(data, p, r);
        }
    }

    // 4. Reads of the programmer's ports.
    for (int p = 0; p < kCommPorts; ++p)
        if (GetCommLinkData(data, p).deviceKind == kDeviceProgrammer)
            PollCommRead(data, ports, p, kDeviceProgrammer, AssembleProgrammerLines);

    // 5. Probes, answers and time-outs, port by port.
    for (int p = 0; p < kCommPorts; ++p) {
        CommLinkData r = GetCommLinkData(data, p);
        if (r.probeRequested == 1) {
            // A port the reader holds is not ours to probe.
            bool ready = false;
            if (r.deviceKind == kDeviceProgrammer && ports.IsOpen(p)) ready = true;
            else if (r.deviceKind != kDeviceReader)
                ready = OpenCommPort(data, ports, p, kProgrammerMode, 0, kDeviceProgrammer) ==
                        kOpenReady;
            if (!ready) {
                PortNotActive(data, p);
                continue;
            }
            SendCommand(data, ports, p, kProbeCommand);
            r = GetCommLinkData(data, p);
            r.awaitedResponse = kAwaitModel;
            r.probeRequested = 0;
            r.probing = 1;
            r.retries = 3;
            r.deadline = now + kProbeWait;
            UpdateCommLinkData(data, p, r);
        }

        r = GetCommLinkData(data, p);
        if (r.deviceKind != kDeviceProgrammer || r.readPending == 0 ||
            GetProgrammerState(data).operationState == kOpRfCheck)
            continue;
        if (r.newMessages == 1) {
            r.newMessages = 0;
            UpdateCommLinkData(data, p, r);
            ConsumeMessages(data, ports, p, now);
        } else if (r.deadline != 0 && r.deadline < now) {
            ProgrammerTimeout(data, ports, p, now);
        }
    }
}

} // namespace velmora
