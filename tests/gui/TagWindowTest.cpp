// The tag form's wiring: each key and button reaches its workflow (what the
// workflows do is proven in core), the input filters, moving between the
// fields, the format list and the popup menu.
#include "GuiRig.h"

#include "app/MenuIds.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>

namespace velmora::test {
namespace {

class TagWindowTest : public FrameRig {
protected:
    void SetUp() override {
        FrameRig::SetUp();
        SetSetting(&SettingsBlock::labelPrintingOn, 0);
        BuildFrame();
    }
    QLineEdit* Edit(int row) { return Form().EditAt(row); }
    int FocusedRow() {
        for (int row = 0; row < kFieldRows; ++row) {
            QWidget* w = Edit(row) ? static_cast<QWidget*>(Edit(row)) : Form().SideListAt(row);
            if (w && w == frame->focusWidget()) return row;
        }
        return -1;
    }
    static void Key(QWidget* w, Qt::Key key) { QTest::keyClick(w, key); }
    std::string Vehicle() {
        return Edit(1)->text().toStdString() + " " + Form().SideListAt(2)->currentText().toStdString();
    }
};

TEST_F(TagWindowTest, KeysAndButtonsReachTheirCommands) {
    // Stepping: the key and its button, from car 200 on the LEFT side.
    const struct {
        Qt::Key key;
        int button;
        const char* after;
    } steps[] = {
        {Qt::Key_F8, 1004, "200 RIGHT"}, {Qt::Key_F5, 1005, "199 RIGHT"}, {Qt::Key_F7, 1010, "210 LEFT"},
        {Qt::Key_F6, 1011, "300 LEFT"},  {Qt::Key_F4, 1012, "190 LEFT"},  {Qt::Key_F3, 1013, "100 LEFT"},
    };
    for (const auto& s : steps)
        for (const bool byKey : {true, false}) {
            Edit(1)->setText("200");
            Form().SideListAt(2)->setCurrentIndex(0);
            if (byKey) Key(Edit(0), s.key);
            else Form().Button(s.button)->click();
            EXPECT_EQ(Vehicle(), s.after) << s.button << (byKey ? " key" : " button");
        }

    Key(Edit(1), Qt::Key_F1);
    Form().Button(1001)->click();
    ASSERT_EQ(op.boxes.size(), 2u);
    for (const auto& box : op.boxes)
        EXPECT_EQ(box.text, "Progammer is not on or connected to the computer.  Please turn on or check the cable "
                            "connection.");
    Edit(0)->clear();
    Key(Edit(0), Qt::Key_F12);
    EXPECT_EQ(op.LastBox()->text, "There is no data in the \"Equipment Initial\" field.");
    SetSetting(&SettingsBlock::programmedTotal, 57);
    Form().Button(1008)->click();
    EXPECT_EQ(data.GetSettings().programmedTotal, 0);
    EXPECT_EQ(frame->ProgrammedCounterField(), "Programmed Counter 0");

    ConnectProgrammer();
    Key(Edit(0), Qt::Key_F2);
    EXPECT_EQ(frame->PromptText(), "Reading Tag - place tag in programmer and hold it down");
    // F9 certifies; from another format the frame builds the Railcar form first.
    ASSERT_GT(TickUntil([&] { return GetProgrammerState(data).operationState == 0; }, 300), 0);
    SelectFormat(2);
    Key(Edit(0), Qt::Key_F9);
    EXPECT_EQ(std::string(Form().Format().Name()) + Edit(0)->text().toStdString(), "RailcarXXXX");
    EXPECT_EQ(frame->PromptText(), "Programming Tag - place tag in programmer and hold it down");
}

// Each field takes only its characters, and no more than its maximum has.
TEST_F(TagWindowTest, FiltersRefuseCharactersOutsideTheFieldsSet) {
    auto typed = [&](int row, const char* keys) {
        Edit(row)->clear();
        QTest::keyClicks(Edit(row), keys);
        return Edit(row)->text();
    };
    EXPECT_EQ(typed(1, "12a3-4567"), "123456");
    EXPECT_EQ(typed(0, "a1B"), "aB");
    EXPECT_EQ(typed(3, "40x-6"), "40-6");
    frame->RunCommand(cmd::kLengthUnits); // in decimeters the hyphen is refused too
    EXPECT_EQ(typed(3, "12-3"), "123");
    SelectFormat(2);
    EXPECT_EQ(typed(0, "a1!b2@c3#d4$e"), "a1!b2@c3#d") << "ASCII: any character, ten in 60 bits";
}

TEST_F(TagWindowTest, NavigationKeysMoveBetweenTheFieldsAndWrap) {
    // Railcar rows with controls: 0, 1, 2 (side), 3 (length), 5, 6, 7.
    const struct {
        int from;
        Qt::Key key;
        int to;
    } moves[] = {{0, Qt::Key_Tab, 1}, {1, Qt::Key_Return, 2}, {2, Qt::Key_Down, 3}, {3, Qt::Key_Tab, 5},
                 {5, Qt::Key_End, 7}, {7, Qt::Key_Tab, 0},    {0, Qt::Key_Up, 7},   {7, Qt::Key_Home, 0}};
    for (const auto& m : moves) {
        Form().FocusField(m.from);
        Key(frame->focusWidget(), m.key);
        EXPECT_EQ(FocusedRow(), m.to) << m.from << " " << m.key;
    }
    EXPECT_EQ(Form().SideListAt(2)->currentText(), "LEFT") << "Down moves on and does not change the side";
    Edit(1)->setText("42");
    Form().FocusField(0);
    Key(Edit(0), Qt::Key_Tab);
    EXPECT_EQ(Edit(1)->selectedText(), "42") << "reached by a key: all selected";
    Edit(1)->setCursorPosition(2);
    Key(Edit(1), Qt::Key_Left);
    EXPECT_EQ(Edit(1)->cursorPosition(), 2) << "Left and Right do not move the caret";
    Key(Form().SideListAt(2), Qt::Key_Right);
    EXPECT_EQ(Form().SideListAt(2)->currentText(), "RIGHT");
    Key(Form().SideListAt(2), Qt::Key_Left);
    EXPECT_EQ(Form().SideListAt(2)->currentText(), "LEFT");
}

TEST_F(TagWindowTest, FormatListRebuildsTheFormAndTheOldOneGoesOneReplacementLater) {
    QPointer<TAEIWindow> first = &Form();
    SelectFormat(1);
    EXPECT_EQ(Form().Format().Name(), "Locomotive");
    ASSERT_FALSE(first.isNull());
    EXPECT_TRUE(first->isHidden());
    QPointer<TAEIWindow> second = &Form();
    frame->ReplaceTagWindow(false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_FALSE(second.isNull());
}

TEST_F(TagWindowTest, PopupMenuShowsTheOptionsAndToggles) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(400, 200), QPointF(400, 200), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(&Form(), &press);
    QMenu* menu = Form().PopupMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions()[0]->text(), "Label Printing On");
    EXPECT_FALSE(menu->actions()[0]->isChecked());
    menu->actions()[0]->trigger(); // what the toggle does: the frame's toggle test
    EXPECT_TRUE(frame->Action(cmd::kLabelPrinting)->isChecked());
    menu->close();
}

} // namespace
} // namespace velmora::test
