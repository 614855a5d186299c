// Both simulators on pseudo-terminals, as a programmer and a reader on one
// bench: the programmer simulator on Comm Port 1, the reader simulator on
// Comm Port 2 reading the programmer simulator's tag file. The links run
// through PosixCommPort on a fake clock (100 ms a tick, 25 ms of real time),
// with the real tag workflows on a form of strings.
#include "FakeTagForm.h"
#include "ReaderSimProcess.h"
#include "SimProcess.h"
#include "TestSupport.h"

#include "commlog/CommLog.h"
#include "data/AEIData.h"
#include "posix/PosixCommPort.h"
#include "serial/ProgrammerApi.h"
#include "serial/ReaderApi.h"
#include "serial/ReaderMessages.h"
#include "serial/SerialAccess.h"
#include "serial/SerialPorts.h"
#include "tagwindow/Workflows.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>

namespace velmora::test {
namespace {

class BenchReaderUi : public ReaderLinkUi {
public:
    std::vector<std::string> rfTexts;
    bool rfOpen = false;
    std::vector<ReaderParameters> shown;
    void OpenRfReadStatus(const std::string& t) override {
        rfOpen = true;
        rfTexts.push_back(t);
    }
    bool RfReadStatusOpen() const override { return rfOpen; }
    void CloseRfReadStatus() override { rfOpen = false; }
    void ShowReaderParameters(const ReaderParameters& p) override { shown.push_back(p); }
};

class Bench : public ::testing::Test {
protected:
    void SetUp() override {
        if (!SimProcess::Available() || !ReaderSimProcess::Available())
            GTEST_SKIP() << "the simulators are not built";
        programmer = std::make_unique<SimProcess>(std::vector<std::string>{"--tag-file", dir.File("tag.txt")});
        reader = std::make_unique<ReaderSimProcess>(std::vector<std::string>{}, dir.File("tag.txt"));
        ASSERT_TRUE(programmer->Running()) << programmer->ErrorOutput();
        ASSERT_TRUE(reader->Running()) << reader->ErrorOutput();
        const std::string p1 = programmer->Link(), p2 = reader->Link();
        ports = std::make_unique<SerialPorts>(factory, log, [p1, p2](int p) {
            return p == 0 ? p1 : p == 1 ? p2 : std::string();
        });

        data.SetStartDirectory(dir.path().string() + "/");
        SettingsBlock s = data.GetSettings();
        s.logFileOn = 0;
        s.labelPrintingOn = 0;
        s.autoRfCheck = 1;
        s.autoUmlerCheck = 0;
        s.feetInches = 1;
        s.readerPort = 1;
        s.currentFormat = 0; // Railcar
        data.UpdateSettings(s);
        data.serial.reader.ui = &ui;
        data.serial.programmerCompletion = [this] {
            ++completions;
            results.push_back(GetProgrammerState(data).operationResult);
            wf.ProgrammerCompletion();
        };
        ClearProgrammerRunState(data);
        ProgrammerState st = GetProgrammerState(data);
        st.port = 0; // the known port is checked at once
        SetProgrammerState(data, st);
        ResetCommStatus(data, *ports);

        form = std::make_unique<FakeTagForm>(data);
        wf.SetForm(form.get());
        wf.SetUmlerDataPath(dir.File("umlerdata.uml"));
        wf.SetupFormValues();
        ASSERT_TRUE(TickUntil([this] { return GetProgrammerState(data).on == 1 &&
                                              GetProgrammerState(data).operationState == kOpIdle; }, 100))
            << programmer->ErrorOutput();
    }

    void Tick() {
        milliseconds += 100;
        if (milliseconds >= 1000) {
            milliseconds -= 1000;
            clock.Advance(1);
        }
        const std::size_t before = op.notifications.size();
        StepProgrammerLink(data, *ports);
        StepReaderLink(data, *ports);
        const std::vector<int> posted(op.notifications.begin() + static_cast<long>(before), op.notifications.end());
        for (int code : posted) {
            if (code == kNotifyProgrammerSearchEnd) FinishProgrammerSearch(data);
            HandleReaderNotification(data, code);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    template <class Pred>
    bool TickUntil(Pred pred, int limit = 400) {
        for (int i = 0; i < limit; ++i) {
            Tick();
            if (pred()) return true;
        }
        return false;
    }

    // Types a railcar on the form and presses "Program Tag"; true once the
    // reader's port is open for the reading.
    bool ProgramRailcar() {
        const char* texts[] = {"ABCD", "42", "RIGHT", "50-0", "", "4", "1", "0"};
        for (int row = 0; row < 8; ++row)
            if (*texts[row]) form->Type(row, texts[row]);
        wf.CmProgramTag();
        return TickUntil([this] {
            return GetCommLinkData(data, 1).awaitedResponse == kReaderTagReading &&
                   reader->CountInLog("the port was opened") > 0;
        });
    }
    bool WaitForResult() {
        const int before = completions;
        return TickUntil([&] { return completions > before + 0 && results.back() >= 20; });
    }
    bool Prompted(const std::string& text) const {
        for (const auto& p : op.prompts)
            if (p.first == text) return true;
        return false;
    }
    bool Logged(const std::string& part) const {
        for (const auto& l : log.RecentTraffic())
            if (l.find(part) != std::string::npos) return true;
        return false;
    }

    TempDir dir;
    ScriptedOperator op;
    FakeClock clock;
    AEIData data{op, clock};
    PosixCommPortFactory factory;
    CommLog log{data};
    std::unique_ptr<SimProcess> programmer;
    std::unique_ptr<ReaderSimProcess> reader;
    std::unique_ptr<SerialPorts> ports;
    BenchReaderUi ui;
    TagLogList tagLog;
    WorkflowHooks hooks;
    TagWorkflows wf{data, tagLog, hooks};
    std::unique_ptr<FakeTagForm> form;
    int completions = 0;
    std::vector<uint8_t> results;
    int milliseconds = 0;
};

TEST_F(Bench, ProgrammedTagReadWithTheReaderAgrees) {
    ASSERT_TRUE(ProgramRailcar()) << reader->ErrorOutput();
    EXPECT_EQ(ReadTextFile(dir.File("tag.txt")), "9A0181C000AA981900000000000033\n");
    EXPECT_TRUE(Prompted("Please read the tag with the portable reader"));
    EXPECT_TRUE(ui.rfOpen);
    EXPECT_EQ(tagLog.Size(), 0u) << "not logged before its RF check";

    ASSERT_TRUE(reader->Control("read"));
    ASSERT_TRUE(WaitForResult());
    EXPECT_EQ(results.back(), 21);
    EXPECT_TRUE(Logged("C(2) portable R-- ABCD 42,19,R,152,4,1,0"));
    EXPECT_EQ(data.GetLastTagRecord().rfResult, kRfOk);
    EXPECT_EQ(op.LastPrompt(), "Tag was successfully programmed, UMLER not checked, RF Ok");
    EXPECT_EQ(tagLog.Size(), 1u);
    EXPECT_EQ(GetProgrammerState(data).operationState, kOpIdle);
    EXPECT_FALSE(ui.rfOpen);
    EXPECT_EQ(GetCommLinkData(data, 1).deviceKind, kDeviceNone);
    EXPECT_TRUE(reader->WaitForLog("the port was closed"));
    EXPECT_EQ(reader->CountInLog("RX"), 0) << "nothing is sent to the reader during an RF check";
}

TEST_F(Bench, OlderReaderChecksInitialAndNumberOnly) {
    ASSERT_TRUE(reader->Control("oldfirmware on"));
    ASSERT_TRUE(ProgramRailcar());
    ASSERT_TRUE(reader->Control("read"));
    ASSERT_TRUE(WaitForResult());
    EXPECT_EQ(results.back(), 22);
    EXPECT_EQ(data.GetLastTagRecord().rfResult, kRfIdOnly);
    EXPECT_EQ(op.LastPrompt(), "Tag was successfully programmed, UMLER not checked, RF initial and number checked only");
    ASSERT_NE(op.LastBox(), nullptr);
    EXPECT_EQ(op.LastBox()->text.rfind("The portable reader can only do a partial check", 0), 0u);
}

TEST_F(Bench, DisagreeingReadingIsReadAgain) {
    ASSERT_TRUE(ProgramRailcar());
    op.answers = {MsgAnswer::Yes}; // "Do you want to try to read the tag again?"
    ASSERT_TRUE(reader->Control("read wrong length"));
    ASSERT_TRUE(WaitForResult());
    EXPECT_EQ(results.back(), 23);
    EXPECT_EQ(op.LastBox()->text,
              "The data in the tag read by the portable RF reader disagrees with the data programmed into the "
              "tag.  Do you want to try to read the tag again?");
    // The retry opens the port again; the second reading agrees.
    ASSERT_TRUE(TickUntil([this] { return GetCommLinkData(data, 1).awaitedResponse == kReaderTagReading; }));
    ASSERT_TRUE(reader->WaitForLog("the port was opened", 2));
    ASSERT_TRUE(reader->Control("read"));
    ASSERT_TRUE(WaitForResult());
    EXPECT_EQ(results.back(), 21);
    EXPECT_EQ(tagLog.Size(), 1u);
}

TEST_F(Bench, CancelledReadingClosesThePort) {
    ASSERT_TRUE(ProgramRailcar());
    ASSERT_TRUE(CancelRfReading(data));
    ASSERT_TRUE(WaitForResult());
    EXPECT_EQ(results.back(), 20);
    EXPECT_TRUE(reader->WaitForLog("the port was closed"));
    EXPECT_TRUE(Prompted("Tag not certified, not RF checked"));
}

TEST_F(Bench, SearchFindsTheReaderBesideTheProgrammer) {
    AssignReaderPort(data, -1);
    SearchForReader(data);
    ASSERT_TRUE(TickUntil([this] { return data.serial.readerBusy == 0; }));
    Tick();
    EXPECT_EQ(AssignedReaderPort(data), 1);
    EXPECT_STREQ(GetCommStatusData(data, 1).statusText, "Portable reader was found on this port");
    EXPECT_EQ(GetCommStatusData(data, 0).readerHere, 0);
    EXPECT_EQ(GetCommLinkData(data, 0).deviceKind, kDeviceProgrammer);
    EXPECT_FALSE(Logged("C(1) portable"));
    EXPECT_EQ(GetProgrammerState(data).on, 1);
}

TEST_F(Bench, ParametersAsTheReaderSentThemAfterABrokenDate) {
    ASSERT_TRUE(reader->Control("brokendate once; userid BENCH01; date 07/04/25; time 12:00:01; battery 077; "
                                "alarms 050 040 030; firmware 1.7"));
    ReadReaderParameters(data);
    ASSERT_TRUE(TickUntil([this] { return !ui.shown.empty(); }));
    const ReaderParameters& p = ui.shown[0];
    EXPECT_EQ(p.port, 1);
    EXPECT_STREQ(p.userIdFirst, "BENCH01 ");
    EXPECT_STREQ(p.userIdSecond, "07/04/25");
    EXPECT_STREQ(p.dateTime, " 12:00:01");
    EXPECT_STREQ(p.battery, "077");
    EXPECT_STREQ(p.alarmLevel1, "050");
    EXPECT_STREQ(p.alarmLevel2, "040");
    EXPECT_STREQ(p.alarmLevel3, "030");
    EXPECT_STREQ(p.firmwareVersion, "1.7");
    EXPECT_TRUE(Logged("C(2) portable T-- NAK"));
    EXPECT_TRUE(reader->WaitForLog("the parameters were acknowledged"));
    EXPECT_EQ(data.serial.readerBusy, 0);
}

TEST_F(Bench, SilentReaderIsNotResponding) {
    ASSERT_TRUE(reader->Control("silent on"));
    ReadReaderParameters(data);
    ASSERT_TRUE(TickUntil([this] { return data.serial.readerBusy == 0; }, 300));
    ASSERT_NE(op.LastBox(), nullptr);
    EXPECT_EQ(op.LastBox()->text, "The portable reader is not responding.  Please check the connection.");
    EXPECT_EQ(reader->CountInLog("silent, no answer"), 0) << "detail lines are shown only when verbose";
}

} // namespace
} // namespace velmora::test
