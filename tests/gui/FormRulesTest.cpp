// What the form and the frame derive without a window: edit limits and
// filters, the painted notes, the frame's texts and the tag log columns.
#include "app/FrameTexts.h"
#include "app/MakerInfo.h"
#include "dialogs/TTagLog.h"
#include "tagwindow/FormRules.h"

#include "TestSupport.h"

#include "data/AEIData.h"
#include "data/OptionsFile.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using test::FakeClock;
using test::ScriptedOperator;

class FormRulesTest : public ::testing::Test {
protected:
    ScriptedOperator op;
    FakeClock clock;
    AEIData data{op, clock};
    TagFormatData railcar;
    TagFormatData ascii;
    TagFormatData hex;

    void SetUp() override {
        SetOptionDefaults(data);
        railcar = data.GetTagFormatData(0);
        ascii = data.GetTagFormatData(2);
        hex = data.GetTagFormatData(4);
        ASSERT_EQ(railcar.Name(), "Railcar");
        ASSERT_EQ(ascii.Name(), "ASCII");
        ASSERT_EQ(hex.Name(), "Hex");
    }
    FieldTexts Texts(std::initializer_list<std::pair<int, std::string>> rows) {
        FieldTexts t;
        for (const auto& [row, text] : rows) t[static_cast<std::size_t>(row)] = text;
        return t;
    }
    static std::vector<std::string> NoteTexts(const FormNotes& n, int row) {
        std::vector<std::string> out;
        for (const auto& note : n.notes)
            if (note.row == row) out.push_back(note.text);
        return out;
    }
};

TEST_F(FormRulesTest, EditLimitsFollowTheMaximumAndTheDataType) {
    EXPECT_EQ(FieldTextLimit(railcar, 0), 5);  // "ZZZZ"
    EXPECT_EQ(FieldTextLimit(railcar, 1), 7);  // "999999"
    EXPECT_EQ(FieldTextLimit(railcar, 3), 7);  // "4095" plus 2 for a length
    EXPECT_EQ(FieldTextLimit(ascii, 0), 11);   // 60 bits / 6 + 1
    EXPECT_EQ(FieldTextLimit(hex, 0), 11);     // 40 bits / 4 + 1
    EXPECT_EQ(FieldAdvanceCount(railcar, 0, true), 4);
    EXPECT_EQ(FieldAdvanceCount(railcar, 3, true), 6);
    EXPECT_EQ(FieldAdvanceCount(railcar, 3, false), 4);
    EXPECT_EQ(FieldAdvanceCount(ascii, 0, true), 10);
}

TEST_F(FormRulesTest, FiltersByDataType) {
    EXPECT_EQ(FieldFilterClass(railcar, 0, true), "a-zA-Z \t");
    EXPECT_EQ(FieldFilterClass(railcar, 1, true), "0-9");
    EXPECT_EQ(FieldFilterClass(railcar, 3, true), "0-9-");
    EXPECT_EQ(FieldFilterClass(railcar, 3, false), "0-9");
    EXPECT_EQ(FieldFilterClass(ascii, 0, true), "");
    EXPECT_EQ(FieldFilterClass(hex, 0, true), "");
    EXPECT_EQ(FieldLabel(railcar, 3, true), "Length (Feet-Inches)");
    EXPECT_EQ(FieldLabel(railcar, 3, false), "Length (Decimeters)");
    EXPECT_EQ(FieldLabel(railcar, 1, true), "Car Number");
}

TEST_F(FormRulesTest, LengthNotesConvertTheTypedLength) {
    TagFormMarks marks;
    FormNotes n = BuildFormNotes(railcar, Texts({{3, "40-6"}}), marks, true);
    EXPECT_EQ(NoteTexts(n, 3), std::vector<std::string>{"123 Decimeters"});
    EXPECT_FALSE(n.anyError);

    n = BuildFormNotes(railcar, Texts({{3, "123"}}), marks, false);
    EXPECT_EQ(NoteTexts(n, 3), std::vector<std::string>{"40 Feet 6 Inches"});

    n = BuildFormNotes(railcar, Texts({{3, "40-12"}}), marks, true);
    ASSERT_EQ(NoteTexts(n, 3), std::vector<std::string>{"Error(inches over 11)"});
    EXPECT_TRUE(n.notes[0].red);
    EXPECT_TRUE(n.anyError);

    // Only length fields get a note when nothing is wrong.
    n = BuildFormNotes(railcar, Texts({{1, "1234"}, {3, "50"}}), marks, true);
    EXPECT_TRUE(NoteTexts(n, 1).empty());
    EXPECT_EQ(NoteTexts(n, 3), std::vector<std::string>{"152 Decimeters"});
}

TEST_F(FormRulesTest, ErrorNotesShowTheLimits) {
    TagFormMarks marks;
    marks.error[0] = 1;
    marks.error[3] = 1;
    FormNotes n = BuildFormNotes(railcar, Texts({{3, "200-0"}}), marks, true);
    EXPECT_EQ(NoteTexts(n, 0), std::vector<std::string>{"Error (A    to ZZZZ)"});
    // 4095 dm are 16124 inches: 1343 ft.
    EXPECT_EQ(NoteTexts(n, 3), std::vector<std::string>{"Error (0 ft to 1343 ft)"});
    n = BuildFormNotes(railcar, Texts({}), marks, false);
    EXPECT_EQ(NoteTexts(n, 3), std::vector<std::string>{"Error (0 to 4095)"});

    TagFormMarks hexMarks;
    hexMarks.error[1] = 1;
    n = BuildFormNotes(hex, Texts({}), hexMarks, true);
    EXPECT_EQ(NoteTexts(n, 1), std::vector<std::string>{"Error (0 to F)"});
    for (const auto& note : n.notes) EXPECT_TRUE(note.red);
}

TEST_F(FormRulesTest, UmlerNotesOnlyWithoutErrors) {
    TagFormMarks marks;
    marks.umlerValue[3] = 486; // inches
    marks.umlerValue[5] = 6;   // axles
    marks.umlerClass = 1;
    FormNotes n = BuildFormNotes(railcar, Texts({{3, "40-6"}}), marks, true);
    EXPECT_EQ(NoteTexts(n, 3), (std::vector<std::string>{"123 Decimeters", "UMLER(40'06\")"}));
    EXPECT_EQ(NoteTexts(n, 5), std::vector<std::string>{"UMLER (6)"});
    EXPECT_EQ(n.classNote, "UMLER Railcar");

    n = BuildFormNotes(railcar, Texts({{3, "123"}}), marks, false);
    EXPECT_EQ(NoteTexts(n, 3), (std::vector<std::string>{"40 Feet 6 Inches", "UMLER(123 dm)"}));

    marks.umlerClass = 0;
    marks.error[1] = 1;
    n = BuildFormNotes(railcar, Texts({{3, "40-6"}}), marks, true);
    EXPECT_EQ(NoteTexts(n, 5), std::vector<std::string>{});
    EXPECT_EQ(n.classNote, "");
    marks.error[1] = 0;
    n = BuildFormNotes(railcar, Texts({{3, "40-13"}}), marks, true);
    EXPECT_EQ(NoteTexts(n, 5), std::vector<std::string>{}) << "inches over 11 counts as an error note";
    n = BuildFormNotes(railcar, Texts({{3, "40-6"}}), marks, true);
    EXPECT_EQ(n.classNote, "UMLER Locomotive");
}

TEST(FrameTexts, StatusFieldWordings) {
    EXPECT_EQ(OptionStatusText(StatusOption::RFCheck, true, false), "RF Check ON");
    EXPECT_EQ(OptionStatusText(StatusOption::RFCheck, true, true), "RF Check is ON");
    EXPECT_EQ(OptionStatusText(StatusOption::RFCheck, false, true), "RF Check is OFF");
    EXPECT_EQ(OptionStatusText(StatusOption::UMLERCheck, false, true), "UMLER Check OFF");
    EXPECT_EQ(OptionStatusText(StatusOption::LabelPrinting, true, false), "Label Printing ON");
    EXPECT_EQ(OptionStatusText(StatusOption::LogFile, false, false), "Log File OFF");
    EXPECT_EQ(OptionStatusText(StatusOption::Lengths, false, false), "Lengths decimeters");
    ProgrammerState s;
    EXPECT_EQ(ProgrammerStartupText(s), "Programmer OFF  No Comm");
    s.port = 1;
    s.on = 1;
    EXPECT_EQ(ProgrammerStartupText(s), "Programmer ON  Comm 2");
    s.port = 77; // damaged options: no port
    EXPECT_EQ(ProgrammerStartupText(s), "Programmer ON  No Comm");
}

TEST(FrameTexts, CaptionsAndManualMessages) {
    EXPECT_EQ(VersionText("North America"), "1.4D North America");
    EXPECT_EQ(ProductCaptionText("Velmora for Windows", "1.4D North America"),
              "Velmora for Windows Version 1.4D North America");
    EXPECT_EQ(FrameTitleText("P", "www.x"), "P - Corvelle Tel. 555 014-2290 www.x");
    EXPECT_EQ(ManualFailureText(2, "www.x", "www.r"),
              "Could not find the manual's file \"Velmora Manual.pdf\".  Please install the file from the CD-ROM "
              "or download from our web page at www.x.");
    EXPECT_EQ(ManualFailureText(31, "www.x", "www.r"),
              "Could not find the Acrobat Reader program.  Please install the program from the CD-ROM or "
              "download a free version from the from www.r.");
    EXPECT_EQ(ManualFailureText(8, "www.x", "www.r"), "Could not open manual, value = 8.");
    EXPECT_EQ(LogFileNameText("/a/tag log.txt"), "Log File = \"/a/tag log.txt\"");
}

TEST(FrameTexts, FileNamesWithoutFolderGetTheStartDirectory) {
    EXPECT_EQ(CompleteFileName("tag log.txt", "/work/"), "/work/tag log.txt");
    EXPECT_EQ(CompleteFileName("/var/log/tags.txt", "/work/"), "/var/log/tags.txt");
    EXPECT_EQ(CompleteFileName("sub/tags.txt", "/work/"), "sub/tags.txt");
    EXPECT_EQ(CompleteFileName("C:tags.txt", "/work/"), "C:tags.txt");
    EXPECT_EQ(CompleteFileName("", "/work/"), "");
}

TEST(TagLogColumns, SplitAtTheHyphenAndTheFirstComma) {
    TagLogColumns c = SplitTagLogLine(
        "10/24/2018 13:05 - \"Railcar,ABCD,42,RIGHT,50'6\",4,1,0\" 51,19,2 UMLER not checked RF not checked");
    EXPECT_EQ(c.dateTime, "10/24/2018 13:05");
    EXPECT_EQ(c.format, "\"Railcar");
    EXPECT_EQ(c.fields, "ABCD,42,RIGHT,50'6\",4,1,0\" 51,19,2 UMLER not checked RF not checked");

    c = SplitTagLogLine("no hyphen here, at all");
    EXPECT_EQ(c.dateTime, "no hyphen here, at all");
    EXPECT_EQ(c.format, "");
    EXPECT_EQ(c.fields, "");

    c = SplitTagLogLine("x - no comma");
    EXPECT_EQ(c.dateTime, "x");
    EXPECT_EQ(c.format, "no comma");
    EXPECT_EQ(c.fields, "");

    c = SplitTagLogLine("-");
    EXPECT_EQ(c.dateTime, "");
    EXPECT_EQ(c.format, "");
}

} // namespace
} // namespace velmora
