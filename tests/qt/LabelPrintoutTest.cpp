// The real printout into a PDF, read back with pdftotext and pdfinfo: the
// layout's words (the layout is proven in tests/print) on the right page;
// and the label printer's way to the "labels" folder when chosen, when the
// printer is missing and when nothing works.
#include "data/AEIData.h" // before Qt, whose "slots" it would take for a macro
#include "print/ExampleFormats.h"
#include "qt/TAEILabelPrintout.h"
#include "qt/TLabelPrinter.h"

#include "PdfText.h"

#include <QPrinterInfo>

#include <gtest/gtest.h>

#include <filesystem>

namespace velmora {
namespace {

using namespace test;
namespace fs = std::filesystem;

constexpr int kRailcar = 0, kHex = 4, kWabtec = 6;
const std::vector<std::string> kCar = {"ABCD", "123456", "RIGHT", "50-6", "", "4", "1", "0"};

PrinterSettings Device(const char* name) {
    PrinterSettings s;
    SetText(s.device, name);
    return s;
}

class LabelPdfTest : public LabelRig {
protected:
    LabelPdfTest() {
        data.UpdateTagFormatData(kWabtec, ExampleWabtecFormat());
        SetLastTag(data, kRailcar, kCar);
    }
};

// Every word of the layout reaches the page and nothing else does; the page
// is the label stock, widened only for what would be cut.
TEST_F(LabelPdfTest, PrintoutDrawsTheLayoutOnItsStock) {
    const struct {
        int format;
        std::vector<std::string> texts;
        const char* tagType;
        double width, height; // points; width 0: wider than the stock, -1: not checked
    } labels[] = {
        {kRailcar, kCar, "AT5118", 252, 81}, // 3.5 by 1.125 inches
        {kHex, {"0123456789", "ABCDEF0123", "456789ABCD"}, "AT5118", 0, 81},
        {kWabtec, {"CR", "923456", "0", "RIGHT"}, "AT5541", 252, 108}, // 3.5 by 1.5 inches
        {kWabtec, {"CR", "923456", "0", "RIGHT"}, "AT5545", -1, 0}, // an empty page
    };
    int n = 0;
    for (const auto& l : labels) {
        SCOPED_TRACE(++n);
        SetLastTag(data, l.format, l.texts, false, false, l.tagType);
        TAEILabelPrintout printout(MakeLabelInput(data));
        const std::string path = dir.File("label" + std::to_string(n) + ".pdf");
        const LabelPrintResult r = TLabelPrinter::PrintToPdf(printout, path);
        ASSERT_TRUE(r.done && r.pdfPath == path && !fs::exists(path + ".tmp")) << r.reason;
        EXPECT_EQ(PdfWords(path), Words(printout.Layout().Texts()));
        if (l.width < 0) continue;
        const auto [w, h] = PdfPageSize(path);
        if (l.width == 0) EXPECT_GT(w, 253) << "thirty hex digits run past 3.5 inches";
        else EXPECT_NEAR(w, l.width, 0.5);
        EXPECT_NEAR(h, l.height, 0.5);
    }
}

TEST_F(LabelPdfTest, PdfFileDeviceWritesIntoTheLabelsFolderByDateTimeAndTag) {
    TLabelPrinter printer(Device("PDF file"), data.StartDirectory());
    const LabelPrintResult r = PrintLabel(data, printer);
    ASSERT_TRUE(r.done && r.toPdf && !r.fellBack) << r.reason;
    EXPECT_EQ(r.pdfPath, dir.File("labels/2018-10-24_130542_ABCD-123456.pdf"));
    EXPECT_EQ(PdfWords(r.pdfPath), LayoutWords(data));
    EXPECT_TRUE(op.boxes.empty()) << "the operator chose PDF files";
    EXPECT_EQ(PrintLabel(data, printer).pdfPath, dir.File("labels/2018-10-24_130542_ABCD-123456_2.pdf"))
        << "a second label of the same tag in the same second gets its own file";

    LabelInput in;
    in.now = LocalDateTime{2026, 3, 4, 9, 5, 7, 63};
    in.record.SetFieldText(1, "HELLO WORLD/..");
    in.record.SetFieldText(2, "*");
    in.record.SetFieldText(3, "42");
    EXPECT_EQ(TLabelPrinter::PdfFileName(in), "2026-03-04_090507_HELLO_WORLD-42.pdf");
    EXPECT_EQ(TLabelPrinter::PdfFileName(LabelInput{}), "1970-01-01_000000_tag.pdf");
}

TEST_F(LabelPdfTest, MissingPrinterGoesToPdfAndTheOperatorIsToldWhereOnce) {
    TLabelPrinter printer(Device("Velmora No Such Printer"), data.StartDirectory());
    const LabelPrintResult r = PrintLabel(data, printer);
    ASSERT_TRUE(r.done && r.fellBack && fs::exists(r.pdfPath)) << r.reason;
    EXPECT_NE(r.reason.find("\"Velmora No Such Printer\" is not installed"), std::string::npos);
    ASSERT_EQ(op.boxes.size(), 1u); // its caption and text: the spooler's stopped queue
    EXPECT_EQ(op.boxes[0].icon, MsgIcon::Information);
    clock.local.second = 43;
    const LabelPrintResult second = PrintLabel(data, printer);
    EXPECT_TRUE(second.fellBack && fs::exists(second.pdfPath));
    EXPECT_EQ(op.boxes.size(), 1u) << "told once";

    if (!QPrinterInfo::defaultPrinter().isNull()) return; // the machine has a default printer
    TLabelPrinter none(Device(""), data.StartDirectory());
    const LabelPrintResult d = PrintLabel(data, none);
    ASSERT_TRUE(d.done && d.fellBack);
    EXPECT_EQ(d.reason, "no printer is installed");
    EXPECT_EQ(fs::path(d.pdfPath).parent_path(), fs::path(dir.File("labels")));
}

TEST_F(LabelPdfTest, ALabelThatReachesNothingIsReportedAsAnError) {
    WriteFileBytes(dir.File("labels"), {'x'}); // the labels folder cannot be made
    TLabelPrinter printer(Device("PDF file"), data.StartDirectory());
    EXPECT_FALSE(PrintLabel(data, printer).done);
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_TRUE(op.boxes[0].caption == "Velmora Error" && op.boxes[0].icon == MsgIcon::Stop);
    EXPECT_NE(op.boxes[0].text.find("cannot be created"), std::string::npos);
}

// velmora-tool hands a label to the label program, which paints it the same way.
TEST(LabelToolTest, LabelOfAWabtecTagAsAPdf) {
    const std::string tool = BuiltProgram("velmora-tool");
    if (!fs::exists(tool)) GTEST_SKIP() << "velmora-tool is not built";
    TempDir dir;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const CommandResult r = RunProgram(tool,
        "label --format 'EOT WABTEC' 'EOT Initial=cr' 'EOT Number=923456' 'EOT Type Code=0' "
        "'Side Indicator Code=RIGHT' --tag-type AT5541 --out w.pdf", dir.path().string());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "w.pdf\n");
    EXPECT_EQ(PdfWords(dir.File("w.pdf")), "4511 4511 923456 923456");
}

} // namespace
} // namespace velmora
