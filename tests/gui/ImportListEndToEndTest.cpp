// A fleet list on the simulated bench: the real application and frame with
// their timer, the programmer simulator on Comm Port 1 and the reader
// simulator on Comm Port 2, a 50-line list opened with File > "Import Tag
// List..." and programmed with 50 presses of F1. The tag log ends up with the
// 50 cars in list order and the counters 50 higher.
#include "GuiRig.h"

#include "../integration/ProgrammerSimHarness.h"
#include "../integration/ReaderSimProcess.h"

#include "app/MenuIds.h"
#include "app/TAEIApp.h"
#include "data/OptionsFile.h"
#include "serial/ProgrammerApi.h"
#include "util/FixedText.h"

#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace velmora {
namespace {

namespace fs = std::filesystem;

class ImportListEndToEnd : public ::testing::Test {
protected:
    test::TempDir bench;
    test::TempDir startDir;
    fs::path oldCwd;
    std::map<std::string, QByteArray> oldEnv;
    std::unique_ptr<test::ProgrammerSimProcess> programmer;
    std::unique_ptr<test::ReaderSimProcess> reader;
    test::FrameOperator op;
    std::unique_ptr<TAEIApp> app;

    void SetUp() override {
        test::GuiApp();
        if (!fs::exists(test::ProgrammerSimBinary()) || !test::ReaderSimProcess::Available())
            GTEST_SKIP() << "the simulators are not built";
        const std::string link = bench.File("com1");
        const std::string control = bench.File("programmer.ctl");
        programmer = std::make_unique<test::ProgrammerSimProcess>(
            std::vector<std::string>{"--link", link, "--control", control, "--tag-file", bench.File("tag.txt")},
            bench.File("programmer-sim.log"));
        ASSERT_TRUE(programmer->Running());
        ASSERT_TRUE(test::WaitUntil([&] { return test::PathExists(link) && test::PathExists(control); }));
        reader = std::make_unique<test::ReaderSimProcess>(std::vector<std::string>{}, bench.File("tag.txt"));
        ASSERT_TRUE(reader->Running()) << reader->ErrorOutput();
        SetEnv("VELMORA_COM1", link);
        SetEnv("VELMORA_COM2", reader->Link());
        SetEnv("VELMORA_COM3", bench.File("com3"));
        SetEnv("VELMORA_COM4", bench.File("com4"));

        // The programmer on Comm Port 1, the reader on Comm Port 2, labels
        // as PDF files, 200 tags counted before.
        test::ScriptedOperator quiet;
        test::FakeClock clock;
        AEIData d(quiet, clock);
        SetOptionDefaults(d);
        ProgrammerState p = d.GetProgrammerRecord();
        p.port = 0;
        d.UpdateProgrammerRecord(p);
        SettingsBlock s = d.GetSettings();
        s.readerPort = 1;
        s.programmedTotal = 200;
        d.UpdateSettings(s);
        PrinterSettings printer = d.GetPrinterSettings(0);
        SetText(printer.device, TLabelPrinter::kPdfFileDevice);
        d.UpdatePrinterSettings(0, printer);
        ASSERT_EQ(SaveOptions(d, startDir.File(kOptionsFileName)), 0);

        oldCwd = fs::current_path();
        fs::current_path(startDir.path());
        AppServices services;
        services.op = &op;
        services.frame.openUrl = [](const QUrl&) { return true; };
        services.frame.runDialog = [](QDialog&) {};
        services.frame.chooseImportList = [this](QWidget*, const std::string&) {
            return std::optional<std::string>(startDir.File("fleet.txt"));
        };
        app = std::make_unique<TAEIApp>(std::move(services));
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
        if (!oldCwd.empty()) fs::current_path(oldCwd);
        for (const auto& [name, value] : oldEnv) {
            if (value.isNull()) qunsetenv(name.c_str());
            else qputenv(name.c_str(), value);
        }
        reader.reset();
        if (programmer) programmer->Stop(SIGTERM);
    }

    void SetEnv(const char* name, const std::string& value) {
        if (!oldEnv.count(name)) oldEnv[name] = qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray();
        qputenv(name, QByteArray::fromStdString(value));
    }
    TAEIDec& Frame() { return *app->Frame(); }
    TAEIWindow& Form() { return *Frame().TagWindow(); }
};

TEST_F(ImportListEndToEnd, FiftyPressesOfF1ProgramTheWholeList) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return GetProgrammerState(app->Data()).on == 1; }, 15000));
    std::string list;
    for (int n = 1; n <= 50; ++n) list += "TTX," + std::to_string(5000 + n) + ",RIGHT,89-4,4,1,0\n";
    test::WriteFileBytes(startDir.File("fleet.txt"), std::vector<uint8_t>(list.begin(), list.end()));

    Frame().RunCommand(cmd::kImportTagList);
    for (int n = 1; n <= 50; ++n) {
        ASSERT_EQ(Form().EditAt(1)->text().toStdString(), std::to_string(5000 + n));
        // Between tags the link checks the programmer's status now and then.
        ASSERT_TRUE(QTest::qWaitFor([&] { return GetProgrammerState(app->Data()).operationState == kOpIdle; }, 15000));
        Form().FocusField(0);
        QTest::keyClick(Frame().focusWidget(), Qt::Key_F1);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return app->Data().GetSettings().programmedTotal == 200 + n &&
                       GetProgrammerState(app->Data()).operationState == kOpIdle;
            },
            15000))
            << n << ": " << Frame().PromptText().toStdString();
    }
    EXPECT_NE(Frame().PromptText().toStdString().find("every line of the list is done"), std::string::npos);

    std::istringstream log(test::ReadTextFile(startDir.File("tag log.txt")));
    int n = 0;
    for (std::string line; std::getline(log, line);) {
        ++n;
        EXPECT_NE(line.find("\"Railcar,TTX ," + std::to_string(5000 + n) + ",RIGHT,89'4\""), std::string::npos)
            << line;
    }
    EXPECT_EQ(n, 50);
    EXPECT_EQ(app->Data().GetSettings().programmedTotal, 250);
}

} // namespace
} // namespace velmora
