// Labels through a real spooler: a private CUPS scheduler with a cups-pdf
// queue, chosen as the label printer the way "Label Printer Setup" stores
// it; the PDF the virtual printer writes is read back. A stopped queue sends
// the label to the "labels" folder with the operator's notice. And the
// choice itself: what the settings record keeps.
#include "PrivateCups.h"

#include "data/AEIData.h"
#include "qt/TAEILabelPrintout.h"
#include "qt/TLabelPrinter.h"

#include "PdfText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace velmora {
namespace {

using namespace test;
namespace fs = std::filesystem;

class LabelSpoolerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureGuiApplication(); }

    LabelSpoolerTest() : cups(spool.path().string()), data(op, clock) {
        clock.local = LocalDateTime{2018, 10, 24, 13, 5, 42, 297};
        data.SetStartDirectory(start.path().string() + "/");
    }

    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "the private CUPS scheduler needs root (make test runs as root)";
        ASSERT_TRUE(cups.Start()) << cups.Error();
        cups.PointThisProcessAtIt(); // Qt's printing reaches the private scheduler only
    }

    void SetRecord(std::vector<std::string> texts, bool certify) {
        LastTagRecord r;
        r.formatIndex = 0; // Railcar
        for (std::size_t i = 0; i < texts.size(); ++i) r.SetFieldText(static_cast<int>(i), texts[i]);
        r.rfResult = kRfOk;
        r.certify = certify;
        r.SetTagType("AT5118");
        data.UpdateLastTagRecord(r);
    }

    // Prints the last tag's label and returns the lines of the PDF the
    // spooler made of it (the newest of `count` so far).
    std::vector<std::string> PrintThroughSpooler(std::size_t count, TLabelPrinter& printer) {
        const LabelPrintResult r = PrintLabel(data, printer);
        EXPECT_TRUE(r.done) << r.reason;
        EXPECT_FALSE(r.toPdf);
        EXPECT_FALSE(r.fellBack) << r.reason;
        EXPECT_EQ(r.printerName, PrivateCups::kQueue);
        const std::vector<std::string> out = cups.WaitForOutput(count);
        if (out.size() < count) {
            ADD_FAILURE() << "the spooler wrote " << out.size() << " of " << count << " labels\n" << cups.Log();
            return {};
        }
        last = out.back();
        // The label stock, 3.5 by 1.125 inches; the virtual printer's
        // PostScript-to-PDF step may turn a wide page and round to a point.
        auto [w, h] = PdfPageSize(last);
        if (w < h) std::swap(w, h);
        EXPECT_NEAR(w, 252.0, 1.5) << last;
        EXPECT_NEAR(h, 81.0, 1.5) << last;
        return PdfLines(last);
    }

    TempDir spool;
    TempDir start;
    PrivateCups cups;
    ScriptedOperator op;
    FakeClock clock;
    AEIData data;
    std::string last;
};

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}
#define EXPECT_LINE(lines, line) EXPECT_TRUE(Has(lines, line)) << ::testing::PrintToString(lines)

TEST_F(LabelSpoolerTest, ChosenQueuePrintsRailcarAndCertifiedLabels) {
    TLabelPrinter printer(data.GetPrinterSettings(0), data.StartDirectory());
    // The queue is offered and chosen as "Label Printer Setup" does it.
    const InstalledPrinters installed = FindInstalledPrinters();
    ASSERT_NE(std::find(installed.names.begin(), installed.names.end(), PrivateCups::kQueue), installed.names.end());
    ASSERT_TRUE(StoreLabelPrinterChoice(data, printer, PrivateCups::kQueue));
    EXPECT_EQ(std::string(GetText(data.GetPrinterSettings(0).device)), PrivateCups::kQueue);

    SetRecord({"ABCD", "123456", "RIGHT", "50-6", "", "4", "1", "0"}, false);
    std::vector<std::string> lines = PrintThroughSpooler(1, printer);
    EXPECT_LINE(lines, "ABCD 123456 RIGHT");
    EXPECT_LINE(lines, "10/24/18 13:05 Railcar(19) 50' 6\" 4 1 0");
    EXPECT_LINE(lines, "RF Ok");
    EXPECT_LINE(lines, "Nordavex's Velmora Tel. 555 014-2290");

    SetRecord({"XXXX", "297001", "RIGHT", "50-6", "", "4", "1", "0"}, true);
    lines = PrintThroughSpooler(2, printer);
    EXPECT_LINE(lines, "CERTIFIED FOR REUSE");
    EXPECT_LINE(lines, "10/24/18 13:05 XXXX 297001 R 50' 6\" 4 1 0");
    EXPECT_LINE(lines, "Certified by Unknown");

    EXPECT_TRUE(op.boxes.empty());
    EXPECT_FALSE(fs::exists(printer.LabelsDirectory()));
}

TEST_F(LabelSpoolerTest, StoppedQueueFallsBackToThePdfFolderWithTheNotice) {
    TLabelPrinter printer(data.GetPrinterSettings(0), data.StartDirectory());
    ASSERT_TRUE(StoreLabelPrinterChoice(data, printer, PrivateCups::kQueue));
    ASSERT_EQ(cups.Client("cupsdisable", PrivateCups::kQueue).exitCode, 0);

    SetRecord({"ABCD", "123456", "RIGHT", "50-6"}, false);
    const LabelPrintResult r = PrintLabel(data, printer);
    ASSERT_TRUE(r.done) << r.reason;
    EXPECT_TRUE(r.fellBack);
    EXPECT_EQ(r.reason, std::string("the printer \"") + PrivateCups::kQueue + "\" is stopped");
    EXPECT_EQ(fs::path(r.pdfPath).parent_path(), fs::path(printer.LabelsDirectory()));
    EXPECT_TRUE(Has(PdfLines(r.pdfPath), "ABCD 123456 RIGHT"));
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].caption, data.ProductCaption());
    EXPECT_NE(op.boxes[0].text.find(r.pdfPath), std::string::npos);
    // Nothing was left waiting in the queue.
    EXPECT_EQ(cups.Client("lpstat", std::string("-o ") + PrivateCups::kQueue).out, "");
}

// The choice without a spooler: what the record keeps.
TEST(LabelPrinterChoice, KeepsTheRecordForTheSamePrinterAndRefusesANameTooLong) {
    ScriptedOperator op;
    FakeClock clock;
    AEIData data(op, clock);
    PrinterSettings s;
    SetText(s.device, "Shop Floor Labels");
    SetText(s.port, "usb");
    s.setup[0] = 7;
    data.UpdatePrinterSettings(0, s);
    TLabelPrinter printer(s, "/tmp/");

    ASSERT_TRUE(StoreLabelPrinterChoice(data, printer, "Shop Floor Labels"));
    EXPECT_EQ(std::string(GetText(data.GetPrinterSettings(0).port)), "usb");
    EXPECT_EQ(data.GetPrinterSettings(0).setup[0], 7);

    // 32 characters do not fit the 32-byte field with its terminator.
    EXPECT_FALSE(StoreLabelPrinterChoice(data, printer, std::string(32, 'x')));
    EXPECT_EQ(std::string(GetText(data.GetPrinterSettings(0).device)), "Shop Floor Labels");
    EXPECT_EQ(printer.DeviceName(), "Shop Floor Labels");

    ASSERT_TRUE(StoreLabelPrinterChoice(data, printer, std::string(31, 'x')));
    const PrinterSettings other = data.GetPrinterSettings(0);
    EXPECT_EQ(std::string(GetText(other.device)), std::string(31, 'x'));
    EXPECT_EQ(std::string(GetText(other.port)), "");
    EXPECT_EQ(other.setup[0], 0);
    EXPECT_EQ(printer.DeviceName(), std::string(31, 'x'));
}

} // namespace
} // namespace velmora
