// Start-up and exit of the whole program in a scratch start directory: the
// captions, the completed file names, the options saved at exit and the
// settings and windows found again at the next start.
#include "GuiRig.h"

#include "app/MakerInfo.h"
#include "app/MenuIds.h"
#include "app/TAEIApp.h"

#include <QAction>

#include <gtest/gtest.h>

#include <filesystem>

namespace velmora {
namespace {

namespace fs = std::filesystem;
using test::FrameOperator;

class AppTest : public ::testing::Test {
protected:
    test::TempDir dir;
    fs::path oldCwd;
    FrameOperator op;
    test::FakeClock clock;
    test::FakePortFactory ports;

    void SetUp() override {
        test::GuiApp();
        oldCwd = fs::current_path();
        fs::current_path(dir.path());
    }
    void TearDown() override {
        op.frame = nullptr;
        fs::current_path(oldCwd);
    }
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
    std::string Cwd() const { return fs::current_path().string(); }
};

TEST_F(AppTest, StartUpSetsCaptionsVersionAndFileNames) {
    auto app = Start();
    AEIData& d = app->Data();
    EXPECT_EQ(d.VersionText(), "1.4D North America");
    EXPECT_EQ(d.ProductCaption(), "Velmora for Windows Version 1.4D North America");
    const std::string title = std::string("Velmora for Windows Version 1.4D North America - Corvelle Tel. 555 014-2290 ") +
                              maker::kWebAddress;
    EXPECT_EQ(app->Title(), title);
    EXPECT_EQ(app->Frame()->windowTitle().toStdString(), title);
    EXPECT_EQ(d.StartDirectory(), Cwd() + "/");
    EXPECT_EQ(d.TagLogFileName(), Cwd() + "/tag log.txt");
    EXPECT_EQ(app->Frame()->LogFileNameField().toStdString(), "Log File = \"" + Cwd() + "/tag log.txt\"");
    EXPECT_EQ(app->Frame()->TagWindow()->Format().Name(), "Railcar");
}

TEST_F(AppTest, SettingsAndWindowsComeBackAfterARestart) {
    {
        auto app = Start();
        TAEIDec* frame = app->Frame();
        frame->RunCommand(cmd::kRFCheck);
        frame->RunCommand(cmd::kLabelPrinting);
        frame->RunCommand(cmd::kShowUMLERRecord);
        frame->RunCommand(cmd::kShowTagLog);
        frame->TagWindow()->FormatList()->setCurrentIndex(frame->TagWindow()->FormatList()->findData(1));
        emit frame->TagWindow()->FormatList()->activated(frame->TagWindow()->FormatList()->currentIndex());
        EXPECT_EQ(frame->StatusField(cmd::kRFCheck), "RF Check is ON");
        frame->close(); // the close query writes the options file
        op.frame = nullptr;
    }
    ASSERT_TRUE(fs::exists(dir.File("programmer option.ads")));
    auto app = Start();
    TAEIDec* frame = app->Frame();
    EXPECT_EQ(frame->StatusField(cmd::kRFCheck), "RF Check ON") << "a restart uses the start-up wording";
    EXPECT_TRUE(frame->Action(cmd::kRFCheck)->isChecked());
    EXPECT_EQ(frame->StatusField(cmd::kLabelPrinting), "Label Printing OFF");
    EXPECT_FALSE(frame->Action(cmd::kLabelPrinting)->isChecked());
    EXPECT_NE(frame->UmlerWindow(), nullptr);
    EXPECT_NE(frame->TagLogWindow(), nullptr);
    EXPECT_TRUE(frame->Action(cmd::kShowUMLERRecord)->isChecked());
    EXPECT_EQ(frame->TagWindow()->Format().Name(), "Locomotive");
}

} // namespace
} // namespace velmora
