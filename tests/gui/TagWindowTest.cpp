// The tag form on real widgets: its lines and controls for every built-in
// format, the input filters, the keys, the buttons, the format list, the
// notes and the popup menu.
#include "GuiRig.h"

#include "app/MenuIds.h"
#include "tagdata/TagFrame.h"
#include "tagwindow/FormRules.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

namespace velmora {
namespace {

using test::FrameRig;

constexpr const char* kProgrammerOff =
    "Progammer is not on or connected to the computer.  Please turn on or check the cable connection.";

class TagWindowTest : public FrameRig {
protected:
    void SetUp() override {
        FrameRig::SetUp();
        SetSetting(&SettingsBlock::labelPrintingOn, 0);
        BuildFrame();
    }
    QLineEdit* Edit(int row) { return Form().EditAt(row); }
    QWidget* Focused() { return frame->focusWidget(); }
    int FocusedRow() {
        for (int row = 0; row < kFieldRows; ++row) {
            QWidget* w = Form().EditAt(row) ? static_cast<QWidget*>(Form().EditAt(row))
                                            : static_cast<QWidget*>(Form().SideListAt(row));
            if (w && w == Focused()) return row;
        }
        return -1;
    }
    void Key(QWidget* w, Qt::Key key) { QTest::keyClick(w, key); }
    void MoveMouse(QWidget* w, QPoint pos) {
        QMouseEvent move(QEvent::MouseMove, QPointF(pos), QPointF(w->mapToGlobal(pos)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &move);
    }
};

TEST_F(TagWindowTest, EveryBuiltInFormatGetsOneLinePerShownField) {
    for (int slot = 0; slot < kSystemSlots; ++slot) {
        const TagFormatData f = data.GetTagFormatData(slot);
        if (!f.defined) continue;
        SCOPED_TRACE(std::string(f.Name()));
        SetSetting(&SettingsBlock::currentFormat, static_cast<uint8_t>(slot));
        frame->ReplaceTagWindow(false);
        TAEIWindow& w = Form();
        EXPECT_EQ(w.Format().Name(), f.Name());
        EXPECT_EQ(w.FormatList()->currentText().toStdString(), std::string(f.Name()));
        int line = 0;
        for (int row = 0; row < kFieldRows; ++row) {
            const bool shown = row < f.RowCount() && f.IsShown(row);
            if (!shown) {
                EXPECT_EQ(w.Control(row), FieldControl::None) << "row " << row;
                continue;
            }
            EXPECT_EQ(w.LineOfRow(row), line);
            if (f.type[row] == kTypeSide) {
                ASSERT_NE(w.SideListAt(row), nullptr) << "row " << row;
                EXPECT_EQ(w.SideListAt(row)->count(), 2);
                EXPECT_EQ(w.SideListAt(row)->itemText(0), "LEFT");
                EXPECT_EQ(w.SideListAt(row)->itemText(1), "RIGHT");
            } else {
                ASSERT_NE(w.EditAt(row), nullptr) << "row " << row;
                EXPECT_EQ(w.EditAt(row)->maxLength(), FieldTextLimit(f, row) - 1) << "row " << row;
                EXPECT_EQ(w.EditAt(row)->y(), TAEIWindow::LineY(line) - 2);
            }
            ++line;
        }
        EXPECT_EQ(w.TagTypeList()->currentIndex(), f.defaultTag);
        EXPECT_EQ(w.TagTypeList()->count(), data.TagTypeCount());
    }
}

TEST_F(TagWindowTest, ElevenButtonsWithTheirTexts) {
    const std::pair<int, const char*> buttons[] = {
        {1001, "Program Tag F1"}, {1002, "Read Tag F2"},     {1003, "UMLER Lookup F12"},
        {1008, "Clear Tag Counter"}, {1009, "Certify Tag F9"}, {1004, "Next Tag F8"},
        {1010, "Add 10 Tag F7"},  {1011, "Add 100 F6"},      {1005, "Previous Tag F5"},
        {1012, "Subtract 10 Tag F4"}, {1013, "Subtract 100 F3"}};
    for (const auto& [id, text] : buttons) {
        QPushButton* b = Form().Button(id);
        ASSERT_NE(b, nullptr) << id;
        EXPECT_EQ(b->text().toStdString(), text);
        EXPECT_EQ(b->size(), QSize(150, 40));
    }
    // The block keeps to the right edge, leaving the notes the room between.
    const int right = Form().width();
    EXPECT_EQ(Form().Button(1001)->pos(), QPoint(right - 315, 10));
    EXPECT_EQ(Form().Button(1009)->pos(), QPoint(right - 315, 260));
    EXPECT_EQ(Form().Button(1013)->pos(), QPoint(right - 160, 260));
}

TEST_F(TagWindowTest, FiltersRefuseCharactersOutsideTheFieldsSet) {
    // Railcar: 0 initial (letters), 1 number (digits), 3 length (feet-inches).
    Type(Edit(1), "12a3-");
    EXPECT_EQ(Edit(1)->text(), "123");
    Type(Edit(0), "a1B");
    EXPECT_EQ(Edit(0)->text(), "aB");
    Type(Edit(3), "40x-6");
    EXPECT_EQ(Edit(3)->text(), "40-6");
    // In decimeters the hyphen is refused too.
    frame->RunCommand(cmd::kLengthUnits);
    Edit(3)->clear();
    Type(Edit(3), "12-3");
    EXPECT_EQ(Edit(3)->text(), "123");
    // The number field takes six digits.
    Edit(1)->clear();
    Edit(1)->setFocus();
    Edit(1)->insert("1234567");
    EXPECT_EQ(Edit(1)->text(), "123456");
}

TEST_F(TagWindowTest, F1WithTheProgrammerOffShowsTheErrorBox) {
    Key(Edit(1), Qt::Key_F1);
    ASSERT_NE(op.LastBox(), nullptr);
    EXPECT_EQ(op.LastBox()->text, kProgrammerOff);
    EXPECT_EQ(op.LastBox()->caption, "Velmora Error");
    EXPECT_EQ(op.LastBox()->icon, MsgIcon::Stop);
    EXPECT_EQ(FocusedRow(), 0);
    // The button does the same.
    op.boxes.clear();
    Form().Button(1001)->click();
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].text, kProgrammerOff);
}

TEST_F(TagWindowTest, FieldErrorsBlinkInThePromptAndPaintInRed) {
    ConnectProgrammer();
    Edit(0)->setText("ABCD");
    Edit(1)->clear();
    Edit(3)->setText("40-6");
    Key(Edit(0), Qt::Key_F1);
    EXPECT_EQ(frame->PromptText().toStdString(), "The following fields are in error: Car Number");
    EXPECT_TRUE(frame->PromptBlinking());
    EXPECT_TRUE(op.boxes.empty()) << "no box for field errors";
    const FormNotes notes = Form().CurrentNotes();
    ASSERT_TRUE(notes.anyError);
    bool red = false;
    for (const auto& n : notes.notes)
        if (n.row == 1) red = n.red && n.text == "Error (0 to 999999)";
    EXPECT_TRUE(red);

    Ticks(10);
    EXPECT_EQ(frame->PromptText(), "") << "blinking";
    // Moving the mouse over the form shows the text again and stops the blinking.
    MoveMouse(&Form(), QPoint(400, 400));
    EXPECT_FALSE(frame->PromptBlinking());
    EXPECT_EQ(frame->PromptText().toStdString(), "The following fields are in error: Car Number");
    Ticks(20);
    EXPECT_EQ(frame->PromptText().toStdString(), "The following fields are in error: Car Number");
    EXPECT_EQ(FocusedRow(), Form().CurrentField());
}

TEST_F(TagWindowTest, FormatListSwitchRebuildsTheForm) {
    TAEIWindow* before = &Form();
    SelectFormat(1);
    ASSERT_NE(&Form(), before);
    EXPECT_EQ(Form().Format().Name(), "Locomotive");
    EXPECT_EQ(data.GetSettings().currentFormat, 1);
    EXPECT_EQ(Form().FormatList()->currentText(), "Locomotive");
    EXPECT_TRUE(before->isHidden());
    EXPECT_TRUE(op.boxes.empty()) << "no label notice between two ordinary formats";
    SelectFormat(2);
    EXPECT_EQ(Form().Format().Name(), "ASCII");
    ASSERT_NE(Edit(0), nullptr);
    EXPECT_EQ(Edit(0)->validator(), nullptr) << "ASCII fields take any character";
}

TEST_F(TagWindowTest, NavigationKeysMoveBetweenTheFieldsAndWrap) {
    // Railcar rows with controls: 0, 1, 2 (side), 3 (length), 5, 6, 7.
    Form().FocusField(0);
    Key(Edit(0), Qt::Key_Tab);
    EXPECT_EQ(FocusedRow(), 1);
    Key(Edit(1), Qt::Key_Return);
    EXPECT_EQ(FocusedRow(), 2);
    Key(Form().SideListAt(2), Qt::Key_Down);
    EXPECT_EQ(FocusedRow(), 3) << "Down moves on and does not change the side";
    EXPECT_EQ(Form().SideListAt(2)->currentText(), "LEFT");
    Key(Edit(3), Qt::Key_Tab);
    EXPECT_EQ(FocusedRow(), 5) << "the second Length row has no line";
    Key(Edit(5), Qt::Key_End);
    EXPECT_EQ(FocusedRow(), 7);
    Key(Edit(7), Qt::Key_Tab);
    EXPECT_EQ(FocusedRow(), 0) << "Tab in the last field goes to the first";
    Key(Edit(0), Qt::Key_Up);
    EXPECT_EQ(FocusedRow(), 7) << "Up in the first goes to the last";
    Key(Edit(7), Qt::Key_Home);
    EXPECT_EQ(FocusedRow(), 0);
    // An edit reached by a key has its whole text selected.
    Edit(1)->setText("42");
    Key(Edit(0), Qt::Key_Tab);
    EXPECT_EQ(Edit(1)->selectedText(), "42");
}

TEST_F(TagWindowTest, LeftAndRightToggleTheSideAndDoNotMoveTheCaret) {
    QComboBox* side = Form().SideListAt(2);
    EXPECT_EQ(side->currentText(), "LEFT");
    Key(side, Qt::Key_Right);
    EXPECT_EQ(side->currentText(), "RIGHT");
    Key(side, Qt::Key_Left);
    EXPECT_EQ(side->currentText(), "LEFT");
    Edit(1)->setText("1234");
    Edit(1)->setCursorPosition(4);
    Key(Edit(1), Qt::Key_Left);
    EXPECT_EQ(Edit(1)->cursorPosition(), 4);
}

TEST_F(TagWindowTest, SteppingCommandsWalkTheVehicleNumbersSideBySide) {
    Edit(1)->setText("123");
    Key(Edit(0), Qt::Key_F8);
    EXPECT_EQ(Form().SideListAt(2)->currentText(), "RIGHT");
    EXPECT_EQ(Edit(1)->text(), "123");
    Key(Edit(0), Qt::Key_F8);
    EXPECT_EQ(Form().SideListAt(2)->currentText(), "LEFT");
    EXPECT_EQ(Edit(1)->text(), "124");
    Key(Edit(0), Qt::Key_F5);
    EXPECT_EQ(Form().SideListAt(2)->currentText(), "RIGHT");
    EXPECT_EQ(Edit(1)->text(), "123");
    EXPECT_EQ(FocusedRow(), 0);

    Edit(1)->setText("999950");
    Key(Edit(0), Qt::Key_F6);
    EXPECT_EQ(Edit(1)->text(), "999999");
    Edit(1)->setText("5");
    Key(Edit(0), Qt::Key_F4);
    EXPECT_EQ(Edit(1)->text(), "0");
    Edit(1)->setText("200");
    Key(Edit(0), Qt::Key_F7);
    EXPECT_EQ(Edit(1)->text(), "210");
    Key(Edit(0), Qt::Key_F3);
    EXPECT_EQ(Edit(1)->text(), "110");
    Form().Button(1011)->click();
    EXPECT_EQ(Edit(1)->text(), "210");
}

TEST_F(TagWindowTest, F12LooksUpOnlyWithAVehicleTyped) {
    Key(Edit(0), Qt::Key_F12);
    ASSERT_NE(op.LastBox(), nullptr);
    EXPECT_EQ(op.LastBox()->text, "There is no data in the \"Equipment Initial\" field.");
    Edit(0)->setText("ABCD");
    Key(Edit(0), Qt::Key_F12);
    EXPECT_EQ(op.LastBox()->text, "There is no data in the \"Equipment Number\" field.");
    EXPECT_EQ(FocusedRow(), 1);
}

TEST_F(TagWindowTest, ClearTagCounterZeroesTheTotal) {
    SettingsBlock s = data.GetSettings();
    s.programmedTotal = 57;
    data.UpdateSettings(s);
    Form().Button(1008)->click();
    EXPECT_EQ(data.GetSettings().programmedTotal, 0);
    EXPECT_EQ(frame->ProgrammedCounterField(), "Programmed Counter 0");
    EXPECT_TRUE(op.boxes.empty());
}

TEST_F(TagWindowTest, PopupMenuShowsTheOptionsAndToggles) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(400, 200), QPointF(400, 200), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(&Form(), &press);
    QMenu* menu = Form().PopupMenu();
    ASSERT_NE(menu, nullptr);
    std::vector<std::string> texts;
    for (QAction* a : menu->actions()) texts.push_back(a->isSeparator() ? "-" : a->text().toStdString());
    EXPECT_EQ(texts, (std::vector<std::string>{"Label Printing On", "Log File On", "Length in Feet-Inches", "-",
                                               "Display Log File", "Display UMLER Record"}));
    EXPECT_FALSE(menu->actions()[0]->isChecked()); // label printing was turned off
    EXPECT_TRUE(menu->actions()[1]->isChecked());
    EXPECT_TRUE(menu->actions()[2]->isChecked());
    EXPECT_FALSE(menu->actions()[5]->isChecked());
    menu->actions()[0]->trigger();
    EXPECT_EQ(data.GetSettings().labelPrintingOn, 1);
    EXPECT_TRUE(frame->Action(cmd::kLabelPrinting)->isChecked());
    EXPECT_EQ(frame->StatusField(cmd::kLabelPrinting), "Label Printing ON");
    menu->close();
}

// F2 reaches the read workflow; what a read tag fills in is proven in core
// and end to end.
TEST_F(TagWindowTest, F2StartsARead) {
    ConnectProgrammer();
    Key(Edit(0), Qt::Key_F2);
    EXPECT_EQ(frame->PromptText(), "Reading Tag - place tag in programmer and hold it down");
}

TEST_F(TagWindowTest, CertifyOnAnotherFormatBuildsTheRailcarFormAndFillsIt) {
    ConnectProgrammer();
    SelectFormat(2);
    Key(Edit(0), Qt::Key_F9);
    EXPECT_EQ(Form().Format().Name(), "Railcar");
    EXPECT_EQ(Edit(0)->text(), "XXXX");
    EXPECT_EQ(Edit(1)->text(), "73000") << "day 73, nothing certified yet";
    EXPECT_EQ(Edit(6)->text(), "1");
    EXPECT_EQ(Edit(7)->text(), "0");
    EXPECT_EQ(frame->PromptText(), "Programming Tag - place tag in programmer and hold it down");
}

TEST_F(TagWindowTest, AReplacedFormIsKeptHiddenUntilTheNextReplacement) {
    QPointer<TAEIWindow> first = &Form();
    frame->ReplaceTagWindow(false);
    QPointer<TAEIWindow> second = &Form();
    EXPECT_FALSE(first.isNull());
    EXPECT_TRUE(first->isHidden());
    frame->ReplaceTagWindow(false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull()) << "deleted one replacement later";
    EXPECT_FALSE(second.isNull());
    EXPECT_EQ(&Form(), frame->TagWindow());
}

} // namespace
} // namespace velmora
