#include "serial/ProgrammerApi.h"

#include "data/AEIData.h"
#include "serial/SerialAccess.h"

#include <cstdio>

namespace velmora {

namespace {

ProgrammerLinkUi* Ui(AEIData& data) { return data.serial.programmerUi; }

std::string WithNumber(const char* format, int number) {
    char buf[200];
    std::snprintf(buf, sizeof buf, format, number);
    return buf;
}

} // namespace

ProgrammerState GetProgrammerState(AEIData& data) { return data.GetProgrammerRecord(); }

std::string ProgrammerStatusText(const ProgrammerState& state) {
    const char* on = state.on ? "ON" : "OFF";
    char buf[64];
    if (state.port == -1) std::snprintf(buf, sizeof buf, "Programmer is %s No Comm", on);
    else std::snprintf(buf, sizeof buf, "Programmer is %s Comm %d", on, static_cast<int>(state.port) + 1);
    return buf;
}

void SetProgrammerState(AEIData& data, const ProgrammerState& state) {
    const ProgrammerState old = data.GetProgrammerRecord();
    if (old.port != state.port || old.on != state.on) {
        if (Ui(data)) Ui(data)->SetProgrammerStatus(ProgrammerStatusText(state));
    }
    data.UpdateProgrammerRecord(state);
}

void ClearProgrammerRunState(AEIData& data) {
    ProgrammerState s = data.GetProgrammerRecord();
    s.on = 0;
    s.nextCheck = 0;
    s.operationState = kOpIdle;
    s.operationResult = 0;
    s.searchStarted = 0;
    s.searchRequested = 0;
    SetText(s.frameText, "");
    SetText(s.response, "");
    data.UpdateProgrammerRecord(s);
}

bool RequestProgramTag(AEIData& data, std::string_view frameText) {
    ProgrammerState s = GetProgrammerState(data);
    if (s.on != 1 || s.operationState != kOpIdle) return false;
    SetText(s.frameText, frameText);
    s.operationState = kOpProgram;
    SetProgrammerState(data, s);
    return true;
}

bool RequestReadTag(AEIData& data) {
    ProgrammerState s = GetProgrammerState(data);
    if (s.on != 1 || s.operationState != kOpIdle) return false;
    SetText(s.frameText, "");
    s.operationState = kOpRead;
    SetProgrammerState(data, s);
    return true;
}

void StartProgrammerSearch(AEIData& data) {
    const int readerPort = data.GetSettings().readerPort;
    for (int p = 0; p < kCommPorts; ++p) {
        CommLinkData r = GetCommLinkData(data, p);
        r.probeRequested = 1;
        r.endNotification = kEndNotifySearch;
        r.programmerSearchStatus = kProgrammerSearching;
        UpdateCommLinkData(data, p, r);
        CommStatusData st = GetCommStatusData(data, p);
        st.programmerHere = 0;
        st.readerHere = p == readerPort ? 1 : 0;
        UpdateCommStatusData(data, p, st);
    }
    if (Ui(data))
        Ui(data)->OpenSearchMessage(
            "The system is searching for the programmer.  This will take about 60 seconds.");
}

int ProgrammerSearchProgress(AEIData& data) {
    bool searching = false;
    int found = 0;
    for (int p = 0; p < kCommPorts; ++p) {
        if (GetCommLinkData(data, p).programmerSearchStatus == kProgrammerSearching) searching = true;
        if (GetCommStatusData(data, p).programmerHere == 1) ++found;
    }
    if (!searching) {
        data.GetOperator().PostNotification(kNotifyProgrammerSearchEnd);
        return 1;
    }
    if (Ui(data) && Ui(data)->SearchMessageOpen() && found != 0)
        Ui(data)->SetSearchMessageText(
            WithNumber("A programmer reader has been found on %d communication port(s)", found));
    return 0;
}

void FinishProgrammerSearch(AEIData& data) {
    Operator& op = data.GetOperator();
    if (Ui(data) && Ui(data)->SearchMessageOpen()) Ui(data)->CloseSearchMessage();

    int found = 0;
    int first = -1;
    for (int p = 0; p < kCommPorts; ++p) {
        if (GetCommStatusData(data, p).programmerHere == 1) {
            if (first < 0) first = p;
            ++found;
        }
    }

    ProgrammerState s = GetProgrammerState(data);
    s.operationState = kOpIdle;
    SetProgrammerState(data, s);

    MsgAnswer retry = MsgAnswer::No;
    if (found == 0) {
        s = GetProgrammerState(data);
        SetText(s.model, "");
        SetText(s.version, "");
        SetText(s.lastError, "");
        SetProgrammerState(data, s);
        op.ShowPrompt(
            "A programmer was not found.  Turn on the programmer and check the cable connection", 1);
        op.MessageBox(data.ErrorCaption(),
                      "A programmer could not be found.  Please check that it is turned on and "
                      "connected to the computer.",
                      MsgIcon::Stop, MsgButtons::Ok);
        if (Ui(data)) Ui(data)->ShowConnectionStatus();
        retry = op.MessageBox(data.ProductCaption(), "Do you want to retry the connection?",
                              MsgIcon::Question, MsgButtons::YesNo);
    } else if (found == 1) {
        const std::string text = WithNumber("A programmer was found on the COM%d port.", first + 1);
        op.MessageBox(data.ProductCaption(), text, MsgIcon::Information, MsgButtons::Ok);
        op.ShowPrompt(text, 0);
        s = GetProgrammerState(data);
        s.port = first;
        SetProgrammerState(data, s);
    } else {
        op.MessageBox(data.ErrorCaption(),
                      "More than one programmer reader was found connected to the computer.  "
                      "Please disconnect all but one programmer reader.",
                      MsgIcon::Stop, MsgButtons::Ok);
    }

    const int32_t noted = GetCommLinkData(data, 0).endNotification;
    for (int p = 0; p < kCommPorts; ++p) {
        CommLinkData r = GetCommLinkData(data, p);
        r.endNotification = -1;
        UpdateCommLinkData(data, p, r);
    }

    if (found == 0 && retry == MsgAnswer::Yes && noted == kEndNotifySearch) SearchForProgrammer(data);
    if (found == 1 && noted == kEndNotifySearch) op.PostNotification(kNotifyShowConnectionStatus);
}

void SearchForProgrammer(AEIData& data) {
    ProgrammerState s = GetProgrammerState(data);
    if (s.operationState == kOpProgram || s.operationState == kOpRead) {
        data.GetOperator().MessageBox(data.ErrorCaption(),
                                      "We can not search for programmer while programming or "
                                      "reading a tag",
                                      MsgIcon::Stop, MsgButtons::Ok);
        return;
    }
    if (s.operationState == kOpStatusCheck || s.operationState == kOpCheckPort)
        s.operationState = kOpIdle;
    s.searchRequested = 1;
    s.nextCheck = 0;
    SetProgrammerState(data, s);
}

bool CheckProgrammerOn(AEIData& data) {
    if (GetProgrammerState(data).on == 0) {
        data.GetOperator().MessageBox(
            data.ErrorCaption(),
            "The programmer is not on.  Please turn on or check the cable connection.",
            MsgIcon::Stop, MsgButtons::Ok);
        return false;
    }
    return true;
}

} // namespace velmora
