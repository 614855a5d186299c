// The fleet list commands of the frame: File > "Import Tag List...", the
// "Import List" window (rows, counts, double-click), F1 moving on to the next
// line, and the window opened again at start when it was open at exit, with
// the other options the frame restores.
#include "GuiRig.h"

#include "app/MenuIds.h"
#include "dialogs/TImportList.h"
#include "tagwindow/Workflows.h"

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <QTreeWidget>

namespace velmora::test {
namespace {

class ImportListFrame : public FrameRig {
protected:
    void WriteList(const std::string& name, const std::string& text) {
        WriteFileBytes(dir.File(name), std::vector<uint8_t>(text.begin(), text.end()));
        importListAnswer = dir.File(name);
    }
    QString FormText(int row) { return Form().EditAt(row)->text(); }
    QTreeWidget* Rows() { return frame->ImportWindow()->List(); }
    void DoubleClick(int line) { emit Rows()->itemDoubleClicked(Rows()->topLevelItem(line), 0); }
    // Closes the frame (its close query writes the options file), then
    // starts again from that file alone.
    void Restart() {
        frame->close();
        Close();
        SetOptionDefaults(data);
        ASSERT_EQ(LoadOptions(data, OptionsFilePath(data)), 0);
        BuildFrame();
    }
};

TEST_F(ImportListFrame, AnOpenedListFillsTheFormAndEachF1MovesOn) {
    BuildFrame();
    ConnectProgrammer();
    WriteList("fleet.txt", "TTX,11,RIGHT,89-4\nTTX,x,RIGHT,89-4\nTTX,13,RIGHT,89-4\n");
    frame->RunCommand(cmd::kImportTagList);
    EXPECT_EQ(importListOffered.substr(importListOffered.size() - 14), "import tag.txt");
    EXPECT_EQ(data.ImportTagFileName(), dir.File("fleet.txt"));
    TImportList* window = frame->ImportWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(Rows()->topLevelItemCount(), 3);
    EXPECT_EQ(Rows()->topLevelItem(1)->text(2), "refused: The following fields are in error: Car Number");
    EXPECT_EQ(window->CountsLabel()->text(), "3 lines: 0 programmed, 2 waiting, 0 failed, 1 refused");
    EXPECT_EQ(FormText(1), "11");

    // Double-click puts a line on the form; a refused line is never filled.
    DoubleClick(1);
    EXPECT_EQ(FormText(1), "11");
    DoubleClick(2);
    EXPECT_EQ(FormText(1), "13");
    DoubleClick(0);
    QTest::keyClick(Form().EditAt(1), Qt::Key_F1);
    ASSERT_GT(TickUntil([&] { return FormText(1) == "13"; }, 200), 0) << frame->PromptText().toStdString();
    EXPECT_EQ(Rows()->topLevelItem(0)->text(2).left(11), "programmed ");
    EXPECT_EQ(window->Progress()->value(), 1);
}

TEST_F(ImportListFrame, AListThatCannotBeUsedIsReported) {
    BuildFrame();
    WriteList("bad.txt", "Car Number,Locomotive Number\n1,2\n");
    ImportSettings s = data.GetImportSettings();
    s.flag1 = 1;
    data.UpdateImportSettings(s);
    frame->RunCommand(cmd::kImportTagList);
    EXPECT_TRUE(BoxShown("The list could not be opened.  The column \"Locomotive Number\" is not a field of the "
                         "format \"Railcar\"."));
    EXPECT_EQ(frame->ImportWindow(), nullptr);
}

TEST_F(ImportListFrame, AWindowOpenAtExitIsReopenedOnTheSameListAndOneClosedStaysClosed) {
    WriteList("fleet.txt", "TTX,11,RIGHT,89-4\nTTX,13,RIGHT,89-4\n");
    BuildFrame();
    for (int id : {cmd::kImportTagList, cmd::kRFCheck, cmd::kLabelPrinting, cmd::kShowUMLERRecord})
        frame->RunCommand(id);
    SelectFormat(1);
    ASSERT_NE(frame->ImportWindow(), nullptr);
    Restart();
    EXPECT_EQ(frame->StatusField(cmd::kRFCheck), "RF Check ON");
    EXPECT_TRUE(frame->Action(cmd::kRFCheck)->isChecked());
    EXPECT_FALSE(frame->Action(cmd::kLabelPrinting)->isChecked());
    EXPECT_NE(frame->UmlerWindow(), nullptr);
    EXPECT_EQ(Form().Format().Name(), "Locomotive");
    ASSERT_NE(frame->ImportWindow(), nullptr);
    EXPECT_TRUE(frame->ImportWindow()->isVisible());
    EXPECT_EQ(frame->Workflows().Import().ListPath(), dir.File("fleet.txt"));
    EXPECT_EQ(Rows()->topLevelItemCount(), 2);
    frame->ImportWindow()->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->ImportWindow(), nullptr);
    Restart();
    EXPECT_EQ(frame->ImportWindow(), nullptr);
}

} // namespace
} // namespace velmora::test
