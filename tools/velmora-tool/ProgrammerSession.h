// The programmer link as the tool drives it: a session on real ports that
// finds the programmer (or takes it to be on the port given) and runs one
// request at a time; shared by the programmer subcommands.
#pragma once

#include "LinkRunner.h"

#include "serial/ProgrammerApi.h"
#include "serial/ProgrammerProtocol.h"
#include "serial/ReceiveRing.h"
#include "serial/SerialAccess.h"
#include "tagwindow/ProgramRequest.h"
#include "util/FixedText.h"

#include <iostream>
#include <string>
#include <vector>

namespace velmora::tool {

inline constexpr int kExitFailed = 5;
inline constexpr int kExitWatchDog = 6;
inline constexpr int kExitPortNotOpened = 7;
inline constexpr int kExitRefused = 9;
inline constexpr int kExitNotLogged = 10;

// The questions of the preparation: --yes answers them Yes, otherwise the
// first one refuses the tag.
struct FlagQuestions : ProgramQuestions {
    bool yes = false;
    bool Ask(const std::string&) override { return yes; }
};


class LinkSession : public LinkRunner {
public:
    LinkSession(const DataArgs& da, PortChoice choice, bool verbose)
        : LinkRunner(da, std::move(choice), verbose, {}), feetInches_(!da.decimeters) {
        ProgrammerState st = GetProgrammerState(Data());
        st.port = -1;
        st.searchStarted = 1; // the tool decides when to search
        SetProgrammerState(Data(), st);
    }

    bool FeetInches() const { return feetInches_; }

    // The whole search ("Search for a Programmer"), or the check of the
    // given port; true when exactly one programmer answered.
    bool Find() {
        AEIData& data = Data();
        if (Choice().given) {
            ProgrammerState s = GetProgrammerState(data);
            s.port = Choice().port;
            s.nextCheck = 0;
            SetProgrammerState(data, s);
            Tick(); // starts the port check
            TickUntil([&] { return GetProgrammerState(data).operationState == kOpIdle; });
            return GetProgrammerState(data).on == 1;
        }
        SearchForProgrammer(data);
        searchFinished_ = false;
        TickUntil([this] { return searchFinished_; });
        return ProgrammersFound() == 1 && GetProgrammerState(data).on == 1;
    }

    int ProgrammersFound() {
        int found = 0;
        for (int p = 0; p < kCommPorts; ++p) found += GetCommStatusData(Data(), p).programmerHere == 1;
        return found;
    }

    // Takes the programmer to be on the chosen port without a probe.
    bool Assume() {
        AEIData& data = Data();
        const int p = Choice().port;
        if (OpenCommPort(data, Ports(), p, kProgrammerMode, 0, kDeviceProgrammer) != kOpenReady) {
            std::cerr << "velmora-tool: " << Device(p) << ": " << GetCommStatusData(data, p).statusText << '\n';
            return false;
        }
        // No probe echo absorbs the first byte after the open here.
        CommLinkData link = GetCommLinkData(data, p);
        PrimeRingForNewLine(link);
        UpdateCommLinkData(data, p, link);
        ProgrammerState s = GetProgrammerState(data);
        s.port = p;
        s.on = 1;
        s.nextCheck = data.GetClock().MonotonicSeconds() + kCheckInterval;
        SetProgrammerState(data, s);
        return true;
    }

    void PrintWhere() {
        const ProgrammerState s = GetProgrammerState(Data());
        std::cout << "Port=COM" << s.port + 1 << '\n';
        std::cout << "Device=" << Device(s.port) << '\n';
        const std::string model(GetText(s.model));
        std::cout << "Model=" << (model.empty() ? DetectModel(GetText(s.response)).name : model) << '\n';
        std::cout << "Version=" << GetText(s.version) << '\n';
    }

    // Whether the last line the programmer sent began "#Error".
    bool LastLineWasError() const {
        const auto& lines = Log().RecentTraffic();
        for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
            const std::size_t at = it->find(" R-- ");
            if (at != std::string::npos) return it->compare(at + 5, 6, "#Error") == 0;
        }
        return false;
    }

    void ReportNotFound() {
        const int given = Choice().port;
        if (Choice().given)
            std::cerr << "A programmer was not found on Comm Port " << given + 1 << " (" << Device(given)
                      << "): " << Cause(given) << '\n';
        else
            std::cerr << "A programmer could not be found.  Please check that it is turned on and "
                         "connected to the computer.\n";
        for (int p = 0; p < kCommPorts && Verbose(); ++p)
            std::cerr << "Comm Port " << p + 1 << ": " << GetCommStatusData(Data(), p).statusText << '\n';
    }

private:
    void Step() override { StepProgrammerLink(Data(), Ports()); }
    void HandlePosted(const std::vector<int>& posted) override {
        for (int code : posted)
            if (code == kNotifyProgrammerSearchEnd) {
                FinishProgrammerSearch(Data());
                searchFinished_ = true;
            }
        Op().posted.clear(); // the connection status dialog has no place here
    }

    bool feetInches_ = true;
    bool searchFinished_ = false;
};

// Finds or assumes the programmer for a program or read.
inline bool Reach(LinkSession& s, bool portGiven, bool search) {
    if (portGiven && !search) return s.Assume();
    if (!s.Find()) {
        s.ReportNotFound();
        return false;
    }
    return true;
}

// The end of a program or read that did not succeed. A read the programmer
// ended with "#Done" failed on its data line, which is no tag frame.
inline int ReportFailure(const char* what, const ProgrammerState& end, bool endedWithError = true) {
    std::cerr << "Error - could not " << what << " tag\n";
    if (GetText(end.lastError) == kWatchDogExpired) {
        std::cerr << kWatchDogExpired << '\n';
        return kExitWatchDog;
    }
    if (endedWithError) std::cerr << "The programmer answered \"#Error\"\n";
    else std::cerr << "The tag data line is not one tag frame: " << GetText(end.response) << '\n';
    return kExitFailed;
}

// velmora-tool programmer batch LIST ...
int RunBatch(std::vector<std::string>& args);


} // namespace velmora::tool
