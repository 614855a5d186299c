// The whole program on a simulated bench: the real application object and
// frame with their 100 ms timer, real serial ports on the pseudo-terminals of
// velmora-programmer-sim (Comm Port 1) and velmora-reader-sim (Comm Port 2),
// in a scratch start directory whose options name both ports. Every wait has
// a generous upper bound; none is a measurement.
#pragma once

#include "GuiRig.h"

#include "../integration/ProgrammerSimHarness.h"
#include "../integration/ReaderSimProcess.h"

#include "app/TAEIApp.h"
#include "data/OptionsFile.h"
#include "serial/ProgrammerApi.h"
#include "util/FixedText.h"

#include <QTest>

#include <filesystem>
#include <map>

namespace velmora::test {

class SimBench : public ::testing::Test {
protected:
    TempDir bench;    // the simulators' links, control FIFO, tag file and logs
    TempDir startDir; // the program's start directory
    std::filesystem::path oldCwd;
    std::map<std::string, QByteArray> oldEnv;
    std::unique_ptr<ProgrammerSimProcess> programmer;
    std::unique_ptr<ReaderSimProcess> reader;
    FrameOperator op; // records every box and prompt; questions are answered No
    std::unique_ptr<TAEIApp> app;

    std::string ProgrammerLink() const { return bench.File("com1"); }
    std::string ProgrammerControl() const { return bench.File("programmer.ctl"); }
    std::string ProgrammerLog() const { return bench.File("programmer-sim.log"); }
    std::string TagFile() const { return bench.File("sim-tag.txt"); }
    TAEIDec& Frame() { return *app->Frame(); }
    TAEIWindow& Form() { return *Frame().TagWindow(); }

    // Starts both simulators, the reader with readerArgs; then writes the
    // options (changed by `settings`) and starts the program.
    void Start(const std::vector<std::string>& readerArgs, const std::function<void(SettingsBlock&)>& settings,
               AppServices services) {
        GuiApp();
        if (!std::filesystem::exists(ProgrammerSimBinary()) || !ReaderSimProcess::Available())
            GTEST_SKIP() << "the simulators are not built";
        programmer = std::make_unique<ProgrammerSimProcess>(
            std::vector<std::string>{"--link", ProgrammerLink(), "--control", ProgrammerControl(), "--tag-file",
                                     TagFile()},
            ProgrammerLog());
        ASSERT_TRUE(programmer->Running());
        ASSERT_TRUE(WaitUntil([this] { return PathExists(ProgrammerLink()) && PathExists(ProgrammerControl()); }))
            << ReadTextFile(ProgrammerLog());
        reader = std::make_unique<ReaderSimProcess>(readerArgs, TagFile());
        ASSERT_TRUE(reader->Running()) << reader->ErrorOutput();
        for (const auto& [name, value] : std::map<std::string, std::string>{
                 {"VELMORA_COM1", ProgrammerLink()}, {"VELMORA_COM2", reader->Link()},
                 {"VELMORA_COM3", bench.File("com3")}, {"VELMORA_COM4", bench.File("com4")}}) { // 3, 4: no device
            oldEnv[name] = qEnvironmentVariableIsSet(name.c_str()) ? qgetenv(name.c_str()) : QByteArray();
            qputenv(name.c_str(), QByteArray::fromStdString(value));
        }

        ScriptedOperator quiet;
        FakeClock clock;
        AEIData d(quiet, clock);
        SetOptionDefaults(d);
        ProgrammerState p = d.GetProgrammerRecord();
        p.port = 0;
        d.UpdateProgrammerRecord(p);
        SettingsBlock s = d.GetSettings();
        s.readerPort = 1;
        settings(s);
        d.UpdateSettings(s);
        PrinterSettings printer = d.GetPrinterSettings(0);
        SetText(printer.device, TLabelPrinter::kPdfFileDevice);
        d.UpdatePrinterSettings(0, printer);
        ASSERT_EQ(SaveOptions(d, startDir.File(kOptionsFileName)), 0);

        oldCwd = std::filesystem::current_path();
        std::filesystem::current_path(startDir.path());
        services.op = &op;
        services.frame.openUrl = [](const QUrl&) { return true; };
        app = std::make_unique<TAEIApp>(std::move(services)); // real clock, real serial ports, timer running
        app->InitMainWindow();
        op.frame = app->Frame();
    }

    void TearDown() override {
        if (app) {
            app->Frame()->close();
            op.frame = nullptr;
            app.reset();
            QCoreApplication::processEvents();
        }
        if (!oldCwd.empty()) std::filesystem::current_path(oldCwd);
        for (const auto& [name, value] : oldEnv) {
            if (value.isNull()) qunsetenv(name.c_str());
            else qputenv(name.c_str(), value);
        }
        reader.reset();
        if (programmer) {
            const int status = programmer->Stop(SIGTERM);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        }
    }
};

} // namespace velmora::test
