// Labels through a private CUPS scheduler's cups-pdf queue, chosen the way
// "Label Printer Setup" stores it: the printed PDF says what the layout says;
// a stopped queue sends the label to the "labels" folder with the notice. And
// what the settings record keeps of the choice.
#include "data/AEIData.h" // before Qt, whose "slots" it would take for a macro

#include "PrivateCups.h"

#include "qt/TLabelPrinter.h"

#include "PdfText.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using namespace test;
namespace fs = std::filesystem;

class LabelSpoolerTest : public LabelRig {
protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "the private CUPS scheduler needs root (make test runs as root)";
        ASSERT_TRUE(cups.Start()) << cups.Error();
        cups.PointThisProcessAtIt(); // Qt's printing reaches the private scheduler only
        ASSERT_TRUE(StoreLabelPrinterChoice(data, printer, PrivateCups::kQueue));
    }

    TempDir spool;
    PrivateCups cups{spool.path().string()};
    TLabelPrinter printer{data.GetPrinterSettings(0), dir.path().string() + "/"};
};

TEST_F(LabelSpoolerTest, ChosenQueuePrintsRailcarAndCertifiedLabelsOnTheStock) {
    const InstalledPrinters installed = FindInstalledPrinters(); // as "Label Printer Setup" offers them
    EXPECT_NE(std::find(installed.names.begin(), installed.names.end(), PrivateCups::kQueue), installed.names.end());
    EXPECT_EQ(std::string(GetText(data.GetPrinterSettings(0).device)), PrivateCups::kQueue);
    for (const bool certify : {false, true}) {
        SCOPED_TRACE(certify ? "certified" : "railcar");
        SetLastTag(data, 0, {"ABCD", "123456", "RIGHT", "50-6", "", "4", "1", "0"}, certify);
        const LabelPrintResult r = PrintLabel(data, printer);
        EXPECT_TRUE(r.done && !r.toPdf && !r.fellBack) << r.reason;
        EXPECT_EQ(r.printerName, PrivateCups::kQueue);
        const std::vector<std::string> out = cups.WaitForOutput(certify ? 2 : 1);
        ASSERT_EQ(out.size(), certify ? 2u : 1u) << cups.Log();
        EXPECT_EQ(PdfWords(out.back()), LayoutWords(data));
        // 3.5 by 1.125 inches, maybe turned and rounded to a point by the PostScript-to-PDF step.
        auto [w, h] = PdfPageSize(out.back());
        if (w < h) std::swap(w, h);
        EXPECT_NEAR(w, 252.0, 1.5);
        EXPECT_NEAR(h, 81.0, 1.5);
    }
    EXPECT_TRUE(op.boxes.empty());
    EXPECT_FALSE(fs::exists(printer.LabelsDirectory()));
}

TEST_F(LabelSpoolerTest, StoppedQueueFallsBackToThePdfFolderWithTheNotice) {
    ASSERT_EQ(cups.Client("cupsdisable", PrivateCups::kQueue).exitCode, 0);
    SetLastTag(data, 0, {"ABCD", "123456", "RIGHT", "50-6"});
    const LabelPrintResult r = PrintLabel(data, printer);
    ASSERT_TRUE(r.done && r.fellBack) << r.reason;
    EXPECT_EQ(r.reason, std::string("the printer \"") + PrivateCups::kQueue + "\" is stopped");
    EXPECT_EQ(fs::path(r.pdfPath).parent_path(), fs::path(printer.LabelsDirectory()));
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].caption, data.ProductCaption());
    EXPECT_NE(op.boxes[0].text.find(r.pdfPath), std::string::npos);
    EXPECT_EQ(cups.Client("lpstat", std::string("-o ") + PrivateCups::kQueue).out, "") << "nothing left waiting";
}

// The choice without a spooler: a name the 32-byte field cannot hold with its
// terminator is refused and changes nothing (another printer starting with a
// fresh record is the "Label Printer Setup" test's).
TEST(LabelPrinterChoice, RefusesANameTooLong) {
    ScriptedOperator op;
    FakeClock clock;
    AEIData data(op, clock);
    PrinterSettings s;
    SetText(s.device, "Shop Floor Labels");
    data.UpdatePrinterSettings(0, s);
    TLabelPrinter printer(s, "/tmp/");
    auto stored = [&] { return std::string(GetText(data.GetPrinterSettings(0).device)) + "|" + printer.DeviceName(); };
    EXPECT_FALSE(StoreLabelPrinterChoice(data, printer, std::string(32, 'x')));
    EXPECT_EQ(stored(), "Shop Floor Labels|Shop Floor Labels");
    ASSERT_TRUE(StoreLabelPrinterChoice(data, printer, std::string(31, 'x')));
    EXPECT_EQ(stored(), std::string(31, 'x') + "|" + std::string(31, 'x'));
}

} // namespace
} // namespace velmora
