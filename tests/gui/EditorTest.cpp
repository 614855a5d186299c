// The tag format dialogs offscreen: "Format Request" and "AEI Tag Formats"
// driven through their controls and buttons, the messages the operator sees
// and where the focus goes, Copy, Delete, Help and the refilled format list.
#include "GuiRig.h"

#include "editor/TFormatRequest.h"
#include "editor/TTagFormat.h"
#include "editor/TagFormatCommand.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace velmora::test {
namespace {

class EditorDialogs : public ::testing::Test {
protected:
    ScriptedOperator op;
    FakeClock clock;
    AEIData data{op, clock};
    int formatsChanged = 0;
    int helpCalls = 0;

    void SetUp() override { GuiApp(); }

    TagFormatHooks Hooks() {
        TagFormatHooks h;
        h.formatsChanged = [this] { ++formatsChanged; };
        h.help = [this] { ++helpCalls; };
        return h;
    }
    static void Type(QLineEdit* e, const QString& text) {
        e->clear();
        QTest::keyClicks(e, text);
    }
    std::string LastText() const { return op.boxes.empty() ? std::string() : op.boxes.back().text; }
    void UseFormat(int slot) {
        SettingsBlock s = data.GetSettings();
        s.currentFormat = static_cast<uint8_t>(slot);
        data.UpdateSettings(s);
    }
};

TEST_F(EditorDialogs, FormatRequestListsNewThenEveryDefinedFormat) {
    TFormatRequest request(data);
    EXPECT_EQ(request.windowTitle(), "Format Request");
    QListWidget* list = request.List();
    ASSERT_EQ(list->count(), 7); // <<New>> and the six North America built-ins
    EXPECT_EQ(list->item(0)->text(), "<<New>>");
    EXPECT_EQ(list->item(1)->text(), "Railcar");
    EXPECT_EQ(list->item(6)->text(), "Container");
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_TRUE(request.NewChosen());
    EXPECT_EQ(request.ChosenSlot(), -1);
    bool prompt = false;
    for (QLabel* l : request.findChildren<QLabel*>())
        prompt |= l->text() == "Select format to edit or new format";
    EXPECT_TRUE(prompt);
    list->setCurrentRow(5);
    EXPECT_FALSE(request.NewChosen());
    EXPECT_EQ(request.ChosenName(), "Hex");
    EXPECT_EQ(request.ChosenSlot(), 4);
}

TEST_F(EditorDialogs, NewFormatShowsItsDefaults) {
    FormatEditor editor(data);
    ASSERT_TRUE(editor.Open(-1));
    TTagFormat dialog(data, editor, Hooks());
    EXPECT_EQ(dialog.windowTitle(), "AEI Tag Formats");
    EXPECT_EQ(dialog.NameEdit()->text(), "New");
    EXPECT_EQ(dialog.FormatCodeEdit()->text(), "");
    ASSERT_EQ(dialog.TypeList(0)->count(), 11);
    EXPECT_EQ(dialog.TypeList(0)->itemText(0), "ASCII (alpha/numeric)");
    EXPECT_EQ(dialog.TypeList(0)->itemText(9), "hex)");
    for (int r = 0; r < kFieldRows; ++r) EXPECT_EQ(dialog.TypeList(r)->currentText(), "binary (numeric)");
    EXPECT_EQ(dialog.DefaultTagList()->count(), 9);
    EXPECT_EQ(dialog.DefaultTagList()->currentText(), "AT5118");
    EXPECT_FALSE(dialog.NotForReadingBox()->isChecked());
    EXPECT_FALSE(dialog.HalfFrameBox()->isChecked());
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    EXPECT_FALSE(dialog.DeleteButton()->isEnabled());
    EXPECT_EQ(dialog.FieldNameEdit(0)->maxLength(), 30);
    EXPECT_EQ(dialog.MinimumEdit(0)->maxLength(), 9);
    EXPECT_EQ(dialog.StartEdit(0)->maxLength(), 3);
}

TEST_F(EditorDialogs, NumberFieldsTakeOnlyDigits) {
    FormatEditor editor(data);
    ASSERT_TRUE(editor.Open(-1));
    TTagFormat dialog(data, editor, Hooks());
    Type(dialog.StartEdit(2), "a-1x2");
    EXPECT_EQ(dialog.StartEdit(2)->text(), "12");
    Type(dialog.FormatCodeEdit(), "5150");
    EXPECT_EQ(dialog.FormatCodeEdit()->text(), "515");
}

TEST_F(EditorDialogs, OperatorWorksThroughTheMessagesToANewFormat) {
    FormatEditor editor(data);
    ASSERT_TRUE(editor.Open(-1));
    TTagFormat dialog(data, editor, Hooks());
    dialog.show();

    Type(dialog.NameEdit(), "");
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(LastText(), "You must have a format name.");
    EXPECT_EQ(op.boxes.back().caption, "Velmora Error");
    EXPECT_EQ(op.boxes.back().icon, MsgIcon::Stop);
    EXPECT_EQ(dialog.focusWidget(), dialog.NameEdit());
    EXPECT_TRUE(dialog.isVisible());

    Type(dialog.NameEdit(), "Pallet");
    Type(dialog.FieldNameEdit(0), "Pallet Number");
    Type(dialog.StartEdit(0), "7");
    Type(dialog.LengthEdit(0), "20");
    Type(dialog.MinimumEdit(0), "5");
    Type(dialog.MaximumEdit(0), "99");
    Type(dialog.FieldNameEdit(1), "Weight");
    Type(dialog.StartEdit(1), "20");
    Type(dialog.LengthEdit(1), "10");
    dialog.TypeList(1)->setCurrentIndex(kTypeNumeric);
    EXPECT_EQ(data.FindTagFormatByName("Pallet"), -1); // nothing stored yet
    EXPECT_EQ(formatsChanged, 0);
    Type(dialog.StartEdit(1), "27");
    dialog.HalfFrameBox()->setChecked(false);
    dialog.DefaultTagList()->setCurrentIndex(dialog.DefaultTagList()->findText("AT5549"));
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(LastText(), "A new format called \"Pallet\" has been created.");
    EXPECT_EQ(op.boxes.back().icon, MsgIcon::Information);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(formatsChanged, 1);
    const int slot = data.FindTagFormatByName("Pallet");
    ASSERT_EQ(slot, kSystemSlots);
    const TagFormatData f = data.GetTagFormatData(slot);
    EXPECT_EQ(f.FieldName(1), "Weight");
    EXPECT_EQ(f.startingBit[1], 27);
    EXPECT_EQ(f.defaultTag, 7);
    EXPECT_EQ(f.Maximum(0), "99");
}

TEST_F(EditorDialogs, FailedCheckShowsTheUpperCasedLimits) {
    FormatEditor editor(data);
    ASSERT_TRUE(editor.Open(-1));
    TTagFormat dialog(data, editor, Hooks());
    Type(dialog.NameEdit(), "Letters");
    Type(dialog.FieldNameEdit(0), "Code");
    Type(dialog.StartEdit(0), "7");
    Type(dialog.LengthEdit(0), "10");
    dialog.TypeList(0)->setCurrentIndex(kTypeAlpha27);
    Type(dialog.MinimumEdit(0), "a");
    Type(dialog.MaximumEdit(0), "zz");
    Type(dialog.DefaultEdit(0), "q1");
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(LastText(),
              "There a digit character in the Default field.  For this data type there should only be alpha "
              "charaters.");
    EXPECT_EQ(dialog.focusWidget(), dialog.DefaultEdit(0));
    EXPECT_EQ(dialog.MinimumEdit(0)->text(), "A");
    EXPECT_EQ(dialog.MaximumEdit(0)->text(), "ZZ");
}

TEST_F(EditorDialogs, BuiltInFormatIsCopiedNotChanged) {
    UseFormat(2);
    FormatEditor editor(data);
    ASSERT_TRUE(editor.Open(0)); // Railcar
    EXPECT_TRUE(op.boxes.empty());
    TTagFormat dialog(data, editor, Hooks());
    EXPECT_EQ(dialog.NameEdit()->text(), "Railcar");
    EXPECT_EQ(dialog.StartEdit(3)->text(), "94");
    EXPECT_EQ(dialog.TypeList(0)->currentText(), "binary (alpha base 27)");
    EXPECT_EQ(dialog.DefaultEdit(5)->text(), "4");
    EXPECT_FALSE(dialog.OkButton()->isEnabled());
    EXPECT_FALSE(dialog.DeleteButton()->isEnabled());

    QTest::mouseClick(dialog.CopyButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.NameEdit()->text(), "New");
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    EXPECT_FALSE(dialog.DeleteButton()->isEnabled());
    Type(dialog.NameEdit(), "Railcar 2");
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(LastText(), "A new format called \"Railcar 2\" has been created.");
    const int slot = data.FindTagFormatByName("Railcar 2");
    ASSERT_EQ(slot, kSystemSlots);
    EXPECT_EQ(data.GetTagFormatData(slot).RowCount(), 8);
    EXPECT_EQ(data.GetTagFormatData(0).Name(), "Railcar");
    EXPECT_EQ(formatsChanged, 1);
}

TEST_F(EditorDialogs, DeleteClosesAndRefillsTheList) {
    FormatEditor creator(data);
    ASSERT_TRUE(creator.Open(0));
    FormatEditorValues v = creator.Values();
    ASSERT_TRUE(creator.Copy(v));
    v.name = "Spare";
    ASSERT_TRUE(creator.Ok(v));
    const int slot = data.FindTagFormatByName("Spare");

    FormatEditor editor(data);
    ASSERT_TRUE(editor.Open(slot));
    TTagFormat dialog(data, editor, Hooks());
    dialog.show();
    EXPECT_TRUE(dialog.DeleteButton()->isEnabled());
    QTest::mouseClick(dialog.DeleteButton(), Qt::LeftButton);
    EXPECT_EQ(LastText(), "The Spare format has been deleted.");
    EXPECT_EQ(op.boxes.back().caption, "Velmora for Windows");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(formatsChanged, 1);
    EXPECT_EQ(data.FindTagFormatByName("Spare"), -1);
}

TEST_F(EditorDialogs, HelpButtonAsksForHelp) {
    FormatEditor editor(data);
    ASSERT_TRUE(editor.Open(-1));
    TTagFormat dialog(data, editor, Hooks());
    QTest::mouseClick(dialog.HelpButton(), Qt::LeftButton);
    EXPECT_EQ(helpCalls, 1);
}

TEST_F(EditorDialogs, CommandCancelledAtTheRequestOpensNothing) {
    int runs = 0;
    TagFormatCommandServices s;
    s.run = [&](QDialog&) {
        ++runs;
        return int(QDialog::Rejected);
    };
    TagFormatsCommand(data, nullptr, s);
    EXPECT_EQ(runs, 1);
}

TEST_F(EditorDialogs, FormatListIsRefilledWithTheCurrentFormatSelected) {
    QComboBox list;
    list.addItem("stale");
    UseFormat(4);
    RefillTagFormatList(&list, data);
    ASSERT_EQ(list.count(), 6);
    EXPECT_EQ(list.itemText(0), "Railcar");
    EXPECT_EQ(list.currentText(), "Hex");
    EXPECT_EQ(list.currentData().toInt(), 4);
}

} // namespace
} // namespace velmora::test
