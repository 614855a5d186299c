// What must be seen whole: at the smallest supported window size, 1024 x
// 768, every note painted in the tag form's right column lies inside the
// visible area and clear of the button column (the register's values, the
// converted lengths and the error notes, also the widest ones); the lot
// number dialog is wide enough for its title.
#include "GuiRig.h"

#include "setup/TTagDate.h"
#include "tagwindow/TAEIWindow.h"

#include <QFontMetrics>
#include <QPushButton>

#include <gtest/gtest.h>

namespace velmora {
namespace {

using test::FrameRig;

constexpr int kButtonCommands[] = {1001, 1002, 1003, 1004, 1005, 1008, 1009, 1010, 1011, 1012, 1013};

class FormNotesVisible : public FrameRig {
protected:
    void SetUp() override {
        FrameRig::SetUp();
        SetSetting(&SettingsBlock::labelPrintingOn, 0);
        BuildFrame();
        frame->resize(1024, 768);
        QCoreApplication::processEvents();
    }

    void Rebuild() {
        frame->ReplaceTagWindow(false);
        QCoreApplication::processEvents();
    }

    // The railcar's register disagreement: length 60'04" (724 inches), six
    // axles, two platforms, and the register listing a railcar.
    void MarkRegisterDisagreement() {
        TagFormMarks marks;
        marks.umlerValue[3] = 724;
        marks.umlerValue[5] = 6;
        marks.umlerValue[7] = 2;
        marks.umlerClass = 1;
        Form().SetMarks(marks);
    }

    void MarkEveryRowInError() {
        TagFormMarks marks;
        marks.error.fill(1);
        Form().SetMarks(marks);
    }

    bool HasNote(const QString& text) {
        for (const auto& n : Form().PlacedNotes())
            if (n.text == text) return true;
        return false;
    }

    void ExpectEveryNoteVisible(const char* what) {
        SCOPED_TRACE(what);
        ASSERT_EQ(frame->size(), QSize(1024, 768));
        TAEIWindow& form = Form();
        const QWidget* viewport = form.parentWidget();
        ASSERT_NE(viewport, nullptr);
        const QRect visible(-form.x(), -form.y(), viewport->width(), viewport->height());
        const auto notes = form.PlacedNotes();
        ASSERT_FALSE(notes.empty());
        for (const auto& n : notes) {
            const std::string text = n.text.toStdString();
            EXPECT_TRUE(visible.contains(n.rect)) << text;
            for (int command : kButtonCommands) {
                const QPushButton* button = form.Button(command);
                ASSERT_NE(button, nullptr);
                EXPECT_FALSE(button->geometry().intersects(n.rect))
                    << text << " under " << button->text().toStdString();
            }
        }
    }
};

TEST_F(FormNotesVisible, RegisterValuesBesideTypedLengths) {
    Form().EditAt(3)->setText("50-0");
    MarkRegisterDisagreement();
    EXPECT_TRUE(HasNote(QStringLiteral("152 Decimeters")));
    EXPECT_TRUE(HasNote(QStringLiteral("UMLER(60'04\")")));
    ExpectEveryNoteVisible("feet-inches");

    SetSetting(&SettingsBlock::feetInches, 0);
    Rebuild();
    Form().EditAt(3)->setText("999999");
    MarkRegisterDisagreement();
    EXPECT_TRUE(HasNote(QStringLiteral("UMLER(183 dm)")));
    ExpectEveryNoteVisible("decimeters");
}

TEST_F(FormNotesVisible, ErrorNotesOfTheWidestLimits) {
    MarkEveryRowInError();
    ExpectEveryNoteVisible("railcar");

    // Limits of the most characters the editor takes, on every line beside
    // the buttons.
    TagFormatData wide = MakeTagFormat({"Wide Limits", 12, 51, 2, 1}, {});
    for (int row = 0; row < 9; ++row) {
        const bool length = row % 2 == 1;
        const std::string name = (length ? "Length " : "Count ") + std::to_string(row);
        SetFormatRow(wide, row,
                     {name.c_str(), static_cast<uint8_t>(7 + 10 * row), 10,
                      static_cast<uint8_t>(length ? kTypeLength : kTypeNumeric), "100000000", "999999999", ""});
    }
    data.UpdateTagFormatData(kSystemSlots, wide);
    SetSetting(&SettingsBlock::currentFormat, kSystemSlots);
    Rebuild();
    MarkEveryRowInError();
    EXPECT_TRUE(HasNote(QStringLiteral("Error (100000000 to 999999999)")));
    EXPECT_TRUE(HasNote(QStringLiteral("Error (32808333 ft to 328083333 ft)")));
    ExpectEveryNoteVisible("nine-digit limits");
}

TEST(LotNumberDialog, WideEnoughForItsTitle) {
    test::GuiApp();
    test::ScriptedOperator op;
    test::FakeClock clock;
    AEIData data{op, clock};
    TTagDate dialog(data);
    dialog.show();
    QCoreApplication::processEvents();
    QFont titleFont = dialog.font();
    titleFont.setBold(true);
    // Besides its text a title bar holds at least the window icon and the
    // close button.
    const int needed = QFontMetrics(titleFont).horizontalAdvance(QStringLiteral("Tag Manufactring Lot Number")) + 96;
    EXPECT_GE(dialog.width(), needed);
}

} // namespace
} // namespace velmora
