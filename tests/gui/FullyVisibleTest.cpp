// At the smallest supported window size, 1024 x 768, every note painted in
// the tag form's right column lies inside the visible area and clear of the
// buttons (the register's values, the converted lengths and the error notes,
// also the widest ones); the lot number dialog is wide enough for its title.
#include "GuiRig.h"

#include "setup/TTagDate.h"

#include <QFontMetrics>

namespace velmora::test {
namespace {

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
    // The register disagreeing: 60'04" (724 inches), six axles, two
    // platforms, a railcar; or every row in error.
    void Mark(bool errors) {
        TagFormMarks marks;
        if (errors) marks.error.fill(1);
        else marks.umlerValue[3] = 724, marks.umlerValue[5] = 6, marks.umlerValue[7] = 2, marks.umlerClass = 1;
        Form().SetMarks(marks);
    }
    bool HasNote(const QString& text) {
        const auto& notes = Form().PlacedNotes();
        return std::any_of(notes.begin(), notes.end(), [&](const auto& n) { return n.text == text; });
    }
    void ExpectEveryNoteVisible(const char* what) {
        SCOPED_TRACE(what);
        ASSERT_EQ(frame->size(), QSize(1024, 768));
        const QWidget* viewport = Form().parentWidget();
        const QRect visible(-Form().x(), -Form().y(), viewport->width(), viewport->height());
        ASSERT_FALSE(Form().PlacedNotes().empty());
        for (const auto& n : Form().PlacedNotes()) {
            EXPECT_TRUE(visible.contains(n.rect)) << n.text.toStdString();
            for (const QPushButton* b : Form().findChildren<QPushButton*>())
                EXPECT_FALSE(b->geometry().intersects(n.rect))
                    << n.text.toStdString() << " under " << b->text().toStdString();
        }
    }
};

TEST_F(FormNotesVisible, RegisterValuesBesideTypedLengths) {
    Form().EditAt(3)->setText("50-0");
    Mark(false);
    EXPECT_TRUE(HasNote("152 Decimeters") && HasNote("UMLER(60'04\")"));
    ExpectEveryNoteVisible("feet-inches");
    SetSetting(&SettingsBlock::feetInches, 0);
    Rebuild();
    Form().EditAt(3)->setText("999999");
    Mark(false);
    EXPECT_TRUE(HasNote("UMLER(183 dm)"));
    ExpectEveryNoteVisible("decimeters");
}

TEST_F(FormNotesVisible, ErrorNotesOfTheWidestLimits) {
    Mark(true);
    ExpectEveryNoteVisible("railcar");
    // Limits of the most characters the editor takes, on every line beside the buttons.
    TagFormatData wide = MakeTagFormat({"Wide Limits", 12, 51, 2, 1}, {});
    for (int row = 0; row < 9; ++row) {
        const bool length = row % 2 == 1;
        const std::string name = (length ? "Length " : "Count ") + std::to_string(row);
        SetFormatRow(wide, row, {name.c_str(), static_cast<uint8_t>(7 + 10 * row), 10,
                                 static_cast<uint8_t>(length ? kTypeLength : kTypeNumeric), "100000000", "999999999", ""});
    }
    data.UpdateTagFormatData(kSystemSlots, wide);
    SetSetting(&SettingsBlock::currentFormat, kSystemSlots);
    Rebuild();
    Mark(true);
    EXPECT_TRUE(HasNote("Error (100000000 to 999999999)") && HasNote("Error (32808333 ft to 328083333 ft)"));
    ExpectEveryNoteVisible("nine-digit limits");
}

TEST_F(FrameRig, LotNumberDialogWideEnoughForItsTitle) {
    TTagDate dialog(data);
    dialog.show();
    QCoreApplication::processEvents();
    QFont titleFont = dialog.font();
    titleFont.setBold(true);
    // Besides its text a title bar holds at least the window icon and the close button.
    EXPECT_GE(dialog.width(), QFontMetrics(titleFont).horizontalAdvance("Tag Manufactring Lot Number") + 96);
}

} // namespace
} // namespace velmora::test
