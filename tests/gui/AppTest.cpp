// The whole program started in a scratch start directory: its caption and
// completed file names, and the options saved at exit found at the next start.
#include "GuiRig.h"

#include "app/MakerInfo.h"
#include "app/MenuIds.h"
#include "app/TAEIApp.h"

#include <QAction>

#include <filesystem>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

class AppTest : public ::testing::Test {
protected:
    TempDir dir;
    fs::path oldCwd = fs::current_path();
    FrameOperator op;
    FakeClock clock;
    FakePortFactory ports;

    void SetUp() override { GuiApp(), fs::current_path(dir.path()); }
    void TearDown() override { op.frame = nullptr, fs::current_path(oldCwd); }
    std::unique_ptr<TAEIApp> Start() {
        AppServices s;
        s.op = &op;
        s.clock = &clock;
        s.frame.portFactory = &ports;
        s.frame.portMap = [](int p) { return "fake" + std::to_string(p + 1); };
        s.frame.runTimer = false;
        s.frame.runDialog = [](QDialog&) {};
        s.showWindow = false;
        auto app = std::make_unique<TAEIApp>(std::move(s));
        app->InitMainWindow();
        op.frame = app->Frame();
        return app;
    }
};

TEST_F(AppTest, StartUpSetsCaptionsAndFileNamesAndARestartFindsTheOptions) {
    {
        auto app = Start();
        TAEIDec* frame = app->Frame();
        EXPECT_EQ(frame->windowTitle().toStdString(),
                  std::string("Velmora for Windows Version 1.4D North America - Corvelle Tel. 555 014-2290 ") +
                      maker::kWebAddress);
        EXPECT_EQ(app->Data().TagLogFileName(), fs::current_path().string() + "/tag log.txt");
        for (int id : {cmd::kRFCheck, cmd::kLabelPrinting, cmd::kShowUMLERRecord}) frame->RunCommand(id);
        QComboBox* formats = frame->TagWindow()->FormatList();
        formats->setCurrentIndex(formats->findData(1));
        emit formats->activated(formats->currentIndex());
        frame->close(); // the close query writes the options file
        op.frame = nullptr;
    }
    ASSERT_TRUE(fs::exists(dir.File("programmer option.ads")));
    auto app = Start();
    TAEIDec* frame = app->Frame();
    EXPECT_EQ(frame->StatusField(cmd::kRFCheck), "RF Check ON");
    EXPECT_TRUE(frame->Action(cmd::kRFCheck)->isChecked());
    EXPECT_FALSE(frame->Action(cmd::kLabelPrinting)->isChecked());
    EXPECT_NE(frame->UmlerWindow(), nullptr);
    EXPECT_EQ(frame->TagWindow()->Format().Name(), "Locomotive");
}

} // namespace
} // namespace velmora::test
