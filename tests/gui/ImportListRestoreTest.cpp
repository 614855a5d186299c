// The "Import List" window comes back at start on the same list when it was
// open at the last exit, and stays closed when the operator closed it.
#include "GuiRig.h"

#include "app/MenuIds.h"
#include "dialogs/TImportList.h"
#include "tagwindow/Workflows.h"

#include <QTreeWidget>

namespace velmora::test {
namespace {

class ImportListRestore : public FrameRig {
protected:
    // Closes the frame (its close query writes the options file), then
    // starts again from that file alone.
    void Restart() {
        frame->close();
        op.frame = nullptr;
        frame.reset();
        QCoreApplication::processEvents();
        SetOptionDefaults(data);
        ASSERT_EQ(LoadOptions(data, OptionsFilePath(data)), 0);
        BuildFrame();
    }
};

TEST_F(ImportListRestore, AnOpenListWindowIsReopenedOnTheSameList) {
    const std::string list = dir.File("fleet.txt");
    const std::string text = "TTX,11,RIGHT,89-4\nTTX,13,RIGHT,89-4\n";
    WriteFileBytes(list, std::vector<uint8_t>(text.begin(), text.end()));

    importListAnswer = list;
    BuildFrame();
    frame->RunCommand(cmd::kImportTagList);
    ASSERT_NE(frame->ImportWindow(), nullptr);

    Restart();
    TImportList* window = frame->ImportWindow();
    ASSERT_NE(window, nullptr) << "the window open at exit is open again";
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(frame->Workflows().Import().ListPath(), list);
    EXPECT_EQ(window->List()->topLevelItemCount(), 2);

    // Closed by the operator: the next start leaves it closed.
    window->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->ImportWindow(), nullptr);
    Restart();
    EXPECT_EQ(frame->ImportWindow(), nullptr);
}

} // namespace
} // namespace velmora::test
