// The fleet list commands of the frame: File > "Import Tag List...", the
// "Import List" window (rows, counts, double-click), F1 moving on to the next
// line, and Setup > "Import Settings...".
#include "GuiRig.h"

#include "app/MenuIds.h"
#include "dialogs/TImportList.h"
#include "dialogs/TImportSettings.h"

#include <QCheckBox>
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
    ASSERT_EQ(window->List()->topLevelItemCount(), 3);
    EXPECT_EQ(window->List()->topLevelItem(1)->text(2).toStdString(),
              "refused: The following fields are in error: Car Number");
    EXPECT_EQ(window->CountsLabel()->text(), "3 lines: 0 programmed, 2 waiting, 0 failed, 1 refused");
    EXPECT_EQ(FormText(1), "11");

    // Double-click puts a line on the form; a refused line is never filled.
    emit window->List()->itemDoubleClicked(window->List()->topLevelItem(1), 0);
    EXPECT_EQ(FormText(1), "11");
    emit window->List()->itemDoubleClicked(window->List()->topLevelItem(2), 0);
    EXPECT_EQ(FormText(1), "13");
    emit window->List()->itemDoubleClicked(window->List()->topLevelItem(0), 0);

    QTest::keyClick(Form().EditAt(1), Qt::Key_F1);
    ASSERT_GT(TickUntil([&] { return FormText(1) == "13"; }, 200), 0) << frame->PromptText().toStdString();
    EXPECT_EQ(window->List()->topLevelItem(0)->text(2).left(11), "programmed ");
    EXPECT_EQ(window->Progress()->value(), 1);
    EXPECT_EQ(data.GetSettings().programmedTotal, 1);
    EXPECT_NE(frame->PromptText().toStdString().find("list line 3 of 3 is on the form"), std::string::npos)
        << frame->PromptText().toStdString();
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

TEST_F(ImportListFrame, ImportSettingsAreStoredOnOkOnly) {
    BuildFrame();
    onDialog = [](QDialog& d) {
        auto& dialog = dynamic_cast<TImportSettings&>(d);
        dialog.FileName()->setText("cars.csv");
        dialog.Delimiter()->setText(";");
        dialog.Header()->setChecked(true);
        dialog.FillNext()->setChecked(false);
        dialog.accept();
    };
    frame->RunCommand(cmd::kImportSettings);
    ImportSettings s = data.GetImportSettings();
    EXPECT_STREQ(s.delimiter, ";");
    EXPECT_EQ(s.flag1, 1);
    EXPECT_EQ(s.flag2, 0);
    EXPECT_EQ(data.ImportTagFileName(), "cars.csv");

    onDialog = [](QDialog& d) {
        auto& dialog = dynamic_cast<TImportSettings&>(d);
        dialog.Delimiter()->setText("\"");
        dialog.accept(); // refused: stays open, nothing stored
        dialog.reject();
    };
    frame->RunCommand(cmd::kImportSettings);
    EXPECT_STREQ(data.GetImportSettings().delimiter, ";");
}

} // namespace
} // namespace velmora::test
