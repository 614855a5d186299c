// The portable reader's windows on the frame: the port selection, the RF
// read status window of an RF check and its Cancel, the parameters dialog
// and the search message.
#include "GuiRig.h"

#include "app/MenuIds.h"
#include "dialogs/ReaderDialogs.h"
#include "serial/ReaderApi.h"

#include <QAction>
#include <QComboBox>

#include <gtest/gtest.h>

namespace velmora {
namespace {

using test::FrameRig;

class ReaderWindowsTest : public FrameRig {
protected:
    void SetUp() override {
        FrameRig::SetUp();
        SetSetting(&SettingsBlock::labelPrintingOn, 0);
        BuildFrame();
    }
};

TEST_F(ReaderWindowsTest, PortSelectionStoresTheChosenPort) {
    QStringList items;
    int preselected = -2;
    onDialog = [&](QDialog& d) {
        auto* sel = qobject_cast<TReaderPortSelection*>(&d);
        ASSERT_NE(sel, nullptr);
        for (int i = 0; i < sel->List()->count(); ++i) items << sel->List()->itemText(i);
        preselected = sel->List()->currentIndex();
        sel->List()->setCurrentIndex(3);
        sel->accept();
    };
    frame->Action(cmd::kReaderPort)->trigger();
    EXPECT_EQ(dialogsRun, std::vector<std::string>{"Reader Port Selection"});
    EXPECT_EQ(items, (QStringList{"-none-", "Comm Port 1", "Comm Port 2", "Comm Port 3", "Comm Port 4"}));
    EXPECT_EQ(preselected, 0) << "no reader port yet";
    EXPECT_EQ(data.GetSettings().readerPort, 2);
    // Cancel changes nothing.
    onDialog = [&](QDialog& d) {
        auto* sel = qobject_cast<TReaderPortSelection*>(&d);
        EXPECT_EQ(sel->List()->currentIndex(), 3);
        sel->List()->setCurrentIndex(0);
        sel->reject();
    };
    frame->Action(cmd::kReaderPort)->trigger();
    EXPECT_EQ(data.GetSettings().readerPort, 2);
}

TEST_F(ReaderWindowsTest, AnRfCheckShowsTheReadStatusWindowAndCancelEndsIt) {
    ConnectProgrammer();
    factory.Add("fake2"); // the reader's port: present, never sends a reading
    SetSetting(&SettingsBlock::readerPort, 1);
    frame->RunCommand(cmd::kRFCheck);
    Form().EditAt(0)->setText("ABCD");
    Form().EditAt(1)->setText("42");
    Form().EditAt(3)->setText("50-6");
    Form().Command(TAEIWindow::kCmProgramTag);
    ASSERT_GT(TickUntil([&] { return frame->RfReadStatus() != nullptr; }, 200), 0);
    EXPECT_EQ(frame->RfReadStatus()->windowTitle(), "Tag RF Read Status");
    EXPECT_EQ(frame->RfReadStatus()->Text(),
              "You should now verify the information programmed into the tag with the portable AEI reader.");
    EXPECT_EQ(frame->PromptText(), "Please read the tag with the portable reader");
    EXPECT_EQ(frame->ProgrammedCounterField(), "Programmed Counter 0") << "not logged before the check";
    frame->RfReadStatus()->CancelButton()->click();
    ASSERT_GT(TickUntil([&] { return GetProgrammerState(data).operationState == 0; }, 100), 0);
    Ticks(2);
    EXPECT_EQ(frame->RfReadStatus(), nullptr);
    EXPECT_EQ(frame->ProgrammedCounterField(), "Programmed Counter 1") << "a cancelled check finishes an ordinary tag";
    EXPECT_EQ(frame->PromptText(), "Tag not certified, not RF checked");
}

TEST_F(ReaderWindowsTest, ParametersDialogShowsTheReadersValues) {
    ReaderParameters p;
    p.port = 1;
    SetText(p.userIdFirst, "SHOP");
    SetText(p.userIdSecond, "TWO");
    SetText(p.dateTime, "031426093");
    SetText(p.battery, "087");
    SetText(p.alarmLevel1, "020");
    SetText(p.firmwareVersion, "1.6");
    QString fields[8];
    onDialog = [&](QDialog& d) {
        if (auto* pd = qobject_cast<TPortableParameters*>(&d))
            for (int i = 0; i < 8; ++i) fields[i] = pd->Field(i);
    };
    frame->ShowReaderParameters(p);
    EXPECT_EQ(dialogsRun, std::vector<std::string>{"Portable Reader Parameters"});
    EXPECT_EQ(fields[0], "COM2");
    EXPECT_EQ(fields[1], "SHOP TWO");
    EXPECT_EQ(fields[3], "087");
    EXPECT_EQ(fields[4], "020");
    EXPECT_EQ(fields[7], "1.6");
}

TEST_F(ReaderWindowsTest, SearchForReaderOpensTheReaderMessage) {
    ConnectProgrammer();  // the programmer on COM1 is left alone
    factory.Add("fake3"); // something on COM3 that never answers
    frame->Action(cmd::kSearchReader)->trigger();
    ASSERT_NE(frame->ReaderMessage(), nullptr);
    EXPECT_EQ(frame->ReaderMessage()->Text(),
              "The system is searching for the portable reader.  This will take about 10 seconds.");
    // The search ends by itself; the message goes away.
    ASSERT_GT(TickUntil([&] { return frame->ReaderMessage() == nullptr; }, 1200), 0);
    EXPECT_TRUE(BoxShown("A portable reader could not be found.  Please check that it is connected to the "
                         "computer and that it is in the \"Host Transfer/Host Initiated\" mode."));
    EXPECT_EQ(dialogsRun, std::vector<std::string>{"AEI Tag Programmer & Reader Connection Status"});
}

} // namespace
} // namespace velmora
