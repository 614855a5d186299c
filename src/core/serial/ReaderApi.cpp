#include "serial/ReaderApi.h"

#include "data/AEIData.h"
#include "serial/ProgrammerApi.h"
#include "serial/ReaderMessages.h"
#include "serial/SerialAccess.h"

#include <cstdio>

namespace velmora {

namespace {

constexpr uint8_t kResultAwaitingRfCheck = 2; // a programmed tag waits for its RF check
constexpr uint8_t kNoReaderPort = 255;

ReaderLinkUi* Ui(AEIData& data) { return data.serial.reader.ui; }

void CallCompletion(AEIData& data) {
    if (data.serial.programmerCompletion) data.serial.programmerCompletion();
}

void CompleteWaitingTag(AEIData& data) {
    if (GetProgrammerState(data).operationResult == kResultAwaitingRfCheck) CallCompletion(data);
}

void OpenMessage(AEIData& data, const char* text) {
    if (Ui(data)) Ui(data)->OpenReaderMessage(text);
}

void CloseMessage(AEIData& data) {
    if (Ui(data) && Ui(data)->ReaderMessageOpen()) Ui(data)->CloseReaderMessage();
}

// Marks ports for a probe; `skipProgrammer` leaves the programmer's open port
// alone. Returns the number of ports marked.
int RequestProbes(AEIData& data, int32_t notification, bool skipProgrammer) {
    int marked = 0;
    for (int p = 0; p < kCommPorts; ++p) {
        CommLinkData r = GetCommLinkData(data, p);
        if (skipProgrammer && r.deviceKind == kDeviceProgrammer) continue;
        r.reader.probeRequested = 1;
        r.endNotification = notification;
        r.reader.searchStatus = kReaderSearching;
        UpdateCommLinkData(data, p, r);
        CommStatusData st = GetCommStatusData(data, p);
        st.readerHere = 0;
        UpdateCommStatusData(data, p, st);
        ++marked;
    }
    data.serial.reader.searchNotification = notification;
    return marked;
}

std::string WithNumber(const char* format, int number) {
    char buf[160];
    std::snprintf(buf, sizeof buf, format, number);
    return buf;
}

} // namespace

void SearchForReader(AEIData& data) {
    data.serial.readerBusy = 1;
    const int marked = RequestProbes(data, kEndNotifyReaderSearch, true);
    OpenMessage(data, "The system is searching for the portable reader.  This will take about 10 seconds.");
    if (marked == 0) ReaderSearchProgress(data); // nothing to search: the end comes at once
}

void ReadReaderParameters(AEIData& data) {
    data.serial.readerBusy = 1;
    const int port = AssignedReaderPort(data);
    if (port < 0) {
        RequestProbes(data, kEndNotifyReaderParameters, false);
        OpenMessage(data, "The system is searching for the portable reader.  This will take about 5 seconds.");
        return;
    }
    CommLinkData r = GetCommLinkData(data, port);
    r.endNotification = kEndNotifyReaderParameters;
    r.reader.pendingCommand = kMsgFSP;
    SetText(r.reader.pendingData, "");
    UpdateCommLinkData(data, port, r);
    OpenMessage(data,
                "The system is reading the portable reader's parameters.  This can take up to 15 seconds.");
}

int ReaderSearchProgress(AEIData& data) {
    bool searching = false;
    int found = 0;
    for (int p = 0; p < kCommPorts; ++p) {
        if (GetCommLinkData(data, p).reader.searchStatus == kReaderSearching) searching = true;
        if (GetCommStatusData(data, p).readerHere == 1) ++found;
    }
    if (!searching) {
        data.GetOperator().PostNotification(kNotifyReaderSearchEnd);
        data.serial.readerBusy = 0;
        return 1;
    }
    if (Ui(data) && Ui(data)->ReaderMessageOpen() && found != 0)
        Ui(data)->SetReaderMessageText(
            WithNumber("A portable reader has been found on %d communication port(s)", found));
    return 0;
}

void FinishReaderSearch(AEIData& data) {
    Operator& op = data.GetOperator();
    CloseMessage(data);

    int found = 0;
    int first = -1;
    for (int p = 0; p < kCommPorts; ++p) {
        if (GetCommStatusData(data, p).readerHere == 1) {
            if (first < 0) first = p;
            ++found;
        }
    }

    MsgAnswer retry = MsgAnswer::No;
    if (found == 0) {
        data.serial.reader.parameters = ReaderParameters{};
        op.MessageBox(data.ErrorCaption(),
                      "A portable reader could not be found.  Please check that it is connected to "
                      "the computer and that it is in the \"Host Transfer/Host Initiated\" mode.",
                      MsgIcon::Stop, MsgButtons::Ok);
        const int assigned = AssignedReaderPort(data);
        if (assigned >= 0) {
            CommStatusData st = GetCommStatusData(data, assigned);
            st.readerHere = 1;
            UpdateCommStatusData(data, assigned, st);
        }
        if (data.serial.programmerUi) data.serial.programmerUi->ShowConnectionStatus();
        retry = op.MessageBox(data.ProductCaption(), "Do you want to retry the connection?",
                              MsgIcon::Question, MsgButtons::YesNo);
    } else if (found == 1) {
        op.MessageBox(data.ProductCaption(), WithNumber("A portable reader was found on the COM%d port.", first + 1),
                      MsgIcon::Information, MsgButtons::Ok);
        data.serial.reader.parameters.port = first;
        SettingsBlock s = data.GetSettings();
        s.readerPort = static_cast<uint8_t>(first);
        data.UpdateSettings(s);
    } else {
        op.MessageBox(data.ErrorCaption(),
                      "More than one portable reader was found connected to the computer.  Please "
                      "disconnect all but one portable reader.",
                      MsgIcon::Stop, MsgButtons::Ok);
    }

    // What the search was for. Only the reader's own notifications count and
    // are cleared: a programmer search running meanwhile keeps its own.
    int32_t noted = -1;
    for (int p = 0; p < kCommPorts; ++p) {
        CommLinkData r = GetCommLinkData(data, p);
        if (r.endNotification != kEndNotifyReaderSearch && r.endNotification != kEndNotifyReaderParameters)
            continue;
        if (noted == -1) noted = r.endNotification;
        r.endNotification = -1;
        UpdateCommLinkData(data, p, r);
    }
    if (noted == -1) noted = data.serial.reader.searchNotification;
    data.serial.reader.searchNotification = -1;

    if (found == 0 && retry == MsgAnswer::Yes) {
        if (noted == kEndNotifyReaderSearch) SearchForReader(data);
        else if (noted == kEndNotifyReaderParameters) ReadReaderParameters(data);
        return;
    }
    if (found == 1 && noted == kEndNotifyReaderParameters) ReadReaderParameters(data);
    CompleteWaitingTag(data);
}

void ReaderParametersEnded(AEIData& data, int32_t wParam) {
    data.serial.readerBusy = 0;
    CloseMessage(data);
    if (wParam == kEndNoReply) {
        data.GetOperator().MessageBox(data.ErrorCaption(),
                                      "The portable reader is not responding.  Please check the connection.",
                                      MsgIcon::Stop, MsgButtons::Ok);
        return;
    }
    if (Ui(data)) Ui(data)->ShowReaderParameters(data.serial.reader.parameters);
}

bool HandleReaderNotification(AEIData& data, int code) {
    switch (code) {
    case kNotifyReaderSearchEnd: FinishReaderSearch(data); return true;
    case kEndNotifyReaderParameters: ReaderParametersEnded(data, data.serial.reader.lastEndParam); return true;
    case kEndNotifyReaderSearch: return true; // a search's ports report through the search's end
    default: return false;
    }
}

bool CancelRfReading(AEIData& data) {
    bool any = false;
    for (int p = 0; p < kCommPorts; ++p) {
        CommLinkData r = GetCommLinkData(data, p);
        const bool waiting = r.deviceKind == kDeviceReader && r.awaitedResponse == kReaderTagReading;
        if (r.reader.rfReadRequested != 1 && !waiting) continue;
        r.reader.rfReadCancelled = 1;
        UpdateCommLinkData(data, p, r);
        any = true;
    }
    return any;
}

int AssignedReaderPort(AEIData& data) {
    const int port = data.GetSettings().readerPort;
    return IsValidPort(port) ? port : -1;
}

std::vector<std::string> ReaderPortChoices() {
    return {"-none-", "Comm Port 1", "Comm Port 2", "Comm Port 3", "Comm Port 4"};
}

int ReaderPortChoiceIndex(AEIData& data) { return AssignedReaderPort(data) + 1; }

void AssignReaderPort(AEIData& data, int port) {
    if (!IsValidPort(port)) port = -1;
    for (int p = 0; p < kCommPorts; ++p) {
        CommStatusData st = GetCommStatusData(data, p);
        st.readerHere = p == port ? 1 : 0;
        UpdateCommStatusData(data, p, st);
    }
    SettingsBlock s = data.GetSettings();
    s.readerPort = port < 0 ? kNoReaderPort : static_cast<uint8_t>(port);
    data.UpdateSettings(s);
    CompleteWaitingTag(data);
}

} // namespace velmora
