// The program's start in a scratch start directory: its caption, the file
// names completed with the start directory, and the options file written at
// exit. What the frame restores from the options is the import list tests'.
#include "GuiRig.h"

#include "app/MakerInfo.h"
#include "app/TAEIApp.h"

#include <filesystem>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

TEST_F(FrameRig, AppStartUpSetsTheCaptionAndCompletesTheFileNames) {
    const fs::path oldCwd = fs::current_path();
    fs::current_path(dir.path());
    AppServices s;
    s.op = &op;
    s.clock = &clock;
    s.frame.portFactory = &factory;
    s.frame.portMap = [](int p) { return "fake" + std::to_string(p + 1); };
    s.frame.runTimer = false;
    s.frame.runDialog = [](QDialog&) {};
    s.showWindow = false;
    {
        TAEIApp app(std::move(s));
        app.InitMainWindow();
        EXPECT_EQ(app.Frame()->windowTitle().toStdString(),
                  std::string("Velmora for Windows Version 1.4D North America - Corvelle Tel. 555 014-2290 ") +
                      maker::kWebAddress);
        EXPECT_EQ(app.Data().TagLogFileName(), dir.File("tag log.txt"));
        EXPECT_EQ(app.Data().ImportTagFileName(), dir.File("import tag.txt"));
        app.Frame()->close(); // the close query writes the options file
    }
    EXPECT_TRUE(fs::exists(dir.File("programmer option.ads")));
    fs::current_path(oldCwd);
}

} // namespace
} // namespace velmora::test
