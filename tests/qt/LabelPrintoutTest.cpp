// The label painted by the real printout into a PDF: one label per layout,
// its text read back with pdftotext; and the label printer's choice between
// a printer and a PDF file in the "labels" folder.
#include "data/AEIData.h"
#include "print/ExampleFormats.h"
#include "qt/TAEILabelPrintout.h"
#include "qt/TLabelPrinter.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace velmora {
namespace {

using test::FakeClock;
using test::ScriptedOperator;
using test::TempDir;

namespace fs = std::filesystem;

constexpr int kRailcar = 0;
constexpr int kLocomotive = 1;
constexpr int kAscii = 2;
constexpr int kHex = 4;
constexpr int kOperatorSlot = 6;

// Painting needs a GUI application; the tests run on the offscreen platform.
void EnsureGuiApplication() {
    static int argc = 1;
    static char arg0[] = "test_qt";
    static char* argv[] = {arg0, nullptr};
    if (QCoreApplication::instance()) return;
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Kept for the whole run: destroying it after main has returned crashes.
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

// Words of a text, blanks of any length between them counting as one.
std::string Words(const std::string& text) {
    std::istringstream in(text);
    std::string word, out;
    while (in >> word) out += (out.empty() ? "" : " ") + word;
    return out;
}

// What a command writes to its standard output.
std::string Output(const std::string& command) {
    std::FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe) return "<" + command + " did not run>";
    std::string text;
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) text.append(buf.data(), n);
    ::pclose(pipe);
    return text;
}

// The lines of text pdftotext finds on the page, each as its words.
std::vector<std::string> PdfLines(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream in(Output("pdftotext -layout '" + path + "' -"));
    std::string line;
    while (std::getline(in, line)) {
        std::string w = Words(line);
        if (!w.empty()) lines.push_back(w);
    }
    return lines;
}

// "252 x 81" from pdfinfo's "Page size:" line, in points.
std::string PdfPageSize(const std::string& path) {
    const std::string text = Output("pdfinfo '" + path + "'");
    const auto at = text.find("Page size:");
    if (at == std::string::npos) return "<no page size>";
    std::string line = Words(text.substr(at + 10, text.find('\n', at) - at - 10));
    const auto pts = line.find(" pts");
    return pts == std::string::npos ? line : line.substr(0, pts);
}

class LabelPdfTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureGuiApplication(); }

    LabelPdfTest() : data(op, clock) {
        clock.local = LocalDateTime{2018, 10, 24, 13, 5, 42, 297};
        data.SetStartDirectory(dir.path().string() + "/");
        data.UpdateTagFormatData(kOperatorSlot, ExampleWabtecFormat());
        data.UpdateTagFormatData(kOperatorSlot + 1, ExampleTrackTagFormat());
    }

    void SetRecord(int format, std::vector<std::string> texts, int rf = kRfNotChecked, bool certify = false,
                   bool reconditioned = false, const char* tagType = "AT5118") {
        LastTagRecord r;
        r.formatIndex = static_cast<uint8_t>(format);
        for (std::size_t i = 0; i < texts.size(); ++i) r.SetFieldText(static_cast<int>(i), texts[i]);
        r.rfResult = rf;
        r.certify = certify;
        r.reconditioned = reconditioned;
        r.SetTagType(tagType);
        data.UpdateLastTagRecord(r);
    }

    // Renders the last tag's label to a PDF and reads its text back.
    std::vector<std::string> Render(const std::string& name, TAEILabelPrintout* keep = nullptr) {
        TAEILabelPrintout printout(MakeLabelInput(data));
        const std::string path = dir.File(name);
        LabelPrintResult r = TLabelPrinter::PrintToPdf(printout, path);
        EXPECT_TRUE(r.done) << r.reason;
        EXPECT_EQ(r.pdfPath, path);
        EXPECT_FALSE(fs::exists(path + ".tmp"));
        if (keep) *keep = printout;
        return PdfLines(path);
    }

    TempDir dir;
    ScriptedOperator op;
    FakeClock clock;
    AEIData data;
};

// Every word of a text list, sorted: what was drawn, whatever its place.
std::vector<std::string> SortedWords(const std::vector<std::string>& lines) {
    std::vector<std::string> words;
    for (const std::string& line : lines) {
        std::istringstream in(line);
        std::string w;
        while (in >> w) words.push_back(w);
    }
    std::sort(words.begin(), words.end());
    return words;
}

// The printout draws what the layout says (the layout itself is proven in
// tests/print): every line's words reach the page and nothing else does.
TEST_F(LabelPdfTest, PrintoutDrawsEveryLineOfTheLayout) {
    struct Label {
        int format;
        std::vector<std::string> texts;
        bool certify, reconditioned;
        const char* tagType;
    };
    const Label labels[] = {
        {kRailcar, {"ABCD", "123456", "RIGHT", "50-6", "", "4", "1", "0"}, false, false, "AT5118"},
        {kHex, {"0123456789", "ABCDEF0123", "456789ABCD"}, false, false, "AT5118"},
        {kOperatorSlot, {"CR", "923456", "0", "RIGHT"}, false, false, "AT5541"},
        {kOperatorSlot, {"CR", "923456", "0", "RIGHT"}, false, false, "AT5545"}, // an empty page
        {kRailcar, {"XXXX", "297001", "LEFT", "50", "", "4", "1", "0"}, true, true, "AT5118"},
        {kAscii, {"HELLO", "WORLD"}, true, false, "AT5118"},
    };
    int n = 0;
    for (const Label& l : labels) {
        SetRecord(l.format, l.texts, kRfOk, l.certify, l.reconditioned, l.tagType);
        TAEILabelPrintout printout(LabelInput{});
        const std::vector<std::string> drawn = Render("label" + std::to_string(++n) + ".pdf", &printout);
        SCOPED_TRACE(n);
        EXPECT_EQ(SortedWords(drawn), SortedWords(printout.Layout().Texts()));
    }
}

TEST_F(LabelPdfTest, PdfLabelsAreOnTheirStockAndGrowOnlyToHoldWhatWouldBeCut) {
    SetRecord(kRailcar, {"ABCD", "123456", "RIGHT", "50-6", "", "4", "1", "0"}, kRfOk);
    Render("stock.pdf");
    EXPECT_EQ(PdfPageSize(dir.File("stock.pdf")), "252 x 81"); // 3.5 by 1.125 inches
    SetRecord(kOperatorSlot, {"CR", "923456", "0", "RIGHT"}, kRfOk, false, false, "AT5541");
    Render("wabtec-stock.pdf");
    EXPECT_EQ(PdfPageSize(dir.File("wabtec-stock.pdf")), "252 x 108"); // 3.5 by 1.5 inches

    // Thirty hex digits in the small title font run past 3.5 inches.
    SetRecord(kHex, {"0123456789", "ABCDEF0123", "456789ABCD"});
    Render("wide.pdf");
    const std::string wide = PdfPageSize(dir.File("wide.pdf"));
    EXPECT_NE(wide, "252 x 81");
    EXPECT_EQ(wide.substr(wide.size() - 5), " x 81");
}

// --- the printout on a printer device ---------------------------------------------

TEST_F(LabelPdfTest, FontsAreSizedForTheResolutionAndEveryLabelFitsItsPage) {
    const std::vector<std::pair<int, std::vector<std::string>>> labels = {
        {kRailcar, {"ABCD", "123456", "RIGHT", "50-6", "", "4", "1", "0"}},
        {kOperatorSlot, {"CR", "923456", "0", "RIGHT"}},
    };
    for (int dpi : {203, 300, 600}) {
        for (const auto& [format, texts] : labels) {
            SetRecord(format, texts, kRfOk, false, false, "AT5541");
            TAEILabelPrintout printout(MakeLabelInput(data));
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(dir.File("fit.pdf")));
            printer.setResolution(dpi);
            printer.setPageLayout(TLabelPrinter::PdfPageLayout(printout.IsWabtecLabel()));
            QPainter painter(&printer);
            printout.SetPrintParams(printer);
            painter.end();

            SCOPED_TRACE("dpi " + std::to_string(dpi) + " format " + std::to_string(format));
            for (int i = 0; i < kLabelFontCount; ++i) {
                const QFont& f = printout.Font(static_cast<LabelFont>(i));
                EXPECT_EQ(f.pixelSize(), LabelFontPixelHeight(kLabelFontSpecs[i].points, dpi));
                EXPECT_EQ(f.weight(), kLabelFontSpecs[i].weight);
                EXPECT_FALSE(f.italic());
                EXPECT_GT(printout.Metrics().lineHeight[i], f.pixelSize());
                EXPECT_GT(printout.Metrics().averageWidth[i], 0);
            }
            EXPECT_EQ(printout.Metrics().pageWidth, printer.width());
            const auto& lines = printout.Layout().lines;
            ASSERT_FALSE(lines.empty());
            const LabelRect& last = lines.back().rect;
            EXPECT_LE(last.top + last.height, printer.height());
            for (const auto& b : printout.Layout().boxes) EXPECT_LE(b.left + b.width, printer.width());
        }
    }
}

TEST_F(LabelPdfTest, TitleOnePageAndAMetricCompatibleFace) {
    EXPECT_EQ(TAEILabelPrintout::Title(), "Tag Label");
    TAEILabelPrintout printout(MakeLabelInput(data));
    EXPECT_TRUE(printout.HasPage(1));
    EXPECT_FALSE(printout.HasPage(2));
    EXPECT_FALSE(printout.HasPage(0));
    const QString face = TAEILabelPrintout::FontFamily();
    EXPECT_TRUE(face == "Arial" || face == "Liberation Sans") << face.toStdString();
}

TEST_F(LabelPdfTest, PaintingLeavesThePaintersFontAsItWas) {
    SetRecord(kRailcar, {"ABCD", "123456", "RIGHT", "50-6"});
    TAEILabelPrintout printout(MakeLabelInput(data));
    QImage image(1050, 340, QImage::Format_RGB32);
    image.setDotsPerMeterX(11811);
    image.setDotsPerMeterY(11811); // 300 dpi
    image.fill(Qt::white);
    QPainter painter(&image);
    QFont before("Liberation Serif");
    before.setPixelSize(13);
    painter.setFont(before);
    printout.SetPrintParams(image);
    printout.PrintPage(painter, 1);
    EXPECT_EQ(painter.font(), before);
    painter.end();
    // Something dark was drawn in the first line's band.
    bool ink = false;
    for (int y = 0; y < printout.Metrics().lineHeight[0] && !ink; ++y)
        for (int x = 0; x < 200 && !ink; ++x) ink = qGray(image.pixel(x, y)) < 100;
    EXPECT_TRUE(ink);
}

// --- the label printer ----------------------------------------------------------

PrinterSettings Device(const std::string& name) {
    PrinterSettings s;
    SetText(s.device, name);
    return s;
}

TEST_F(LabelPdfTest, PdfFileDeviceWritesIntoTheLabelsFolderByDateTimeAndTag) {
    SetRecord(kRailcar, {"ABCD", "123456", "RIGHT", "50-6", "", "4", "1", "0"}, kRfOk);
    TLabelPrinter printer(Device("PDF file"), data.StartDirectory());
    LabelPrintResult r = PrintLabel(data, printer);
    ASSERT_TRUE(r.done) << r.reason;
    EXPECT_TRUE(r.toPdf);
    EXPECT_FALSE(r.fellBack);
    EXPECT_EQ(r.pdfPath, dir.File("labels/2018-10-24_130542_ABCD-123456.pdf"));
    EXPECT_EQ(PdfLines(r.pdfPath).front(), "ABCD 123456 RIGHT");
    EXPECT_TRUE(op.boxes.empty()); // the operator chose PDF files

    // A second label of the same tag in the same second gets its own file.
    LabelPrintResult again = PrintLabel(data, printer);
    ASSERT_TRUE(again.done);
    EXPECT_EQ(again.pdfPath, dir.File("labels/2018-10-24_130542_ABCD-123456_2.pdf"));
}

TEST_F(LabelPdfTest, MissingPrinterGoesToPdfAndTheOperatorIsToldWhereOnce) {
    SetRecord(kRailcar, {"ABCD", "123456", "RIGHT", "50-6"});
    TLabelPrinter printer(Device("Velmora No Such Printer"), data.StartDirectory());
    LabelPrintResult r = PrintLabel(data, printer);
    ASSERT_TRUE(r.done) << r.reason;
    EXPECT_TRUE(r.fellBack);
    EXPECT_TRUE(fs::exists(r.pdfPath));
    EXPECT_NE(r.reason.find("\"Velmora No Such Printer\" is not installed"), std::string::npos);
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].caption, data.ProductCaption());
    EXPECT_NE(op.boxes[0].text.find(r.pdfPath), std::string::npos);
    EXPECT_EQ(op.boxes[0].icon, MsgIcon::Information);

    clock.local.second = 43;
    LabelPrintResult second = PrintLabel(data, printer);
    EXPECT_TRUE(second.fellBack);
    EXPECT_TRUE(fs::exists(second.pdfPath));
    EXPECT_EQ(op.boxes.size(), 1u);
}

TEST_F(LabelPdfTest, WithNoPrinterInstalledTheDefaultGoesToPdf) {
    if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "this machine has a default printer";
    SetRecord(kRailcar, {"ABCD", "123456", "RIGHT", "50-6"});
    TLabelPrinter printer(Device(""), data.StartDirectory());
    LabelPrintResult r = PrintLabel(data, printer);
    ASSERT_TRUE(r.done);
    EXPECT_TRUE(r.fellBack);
    EXPECT_EQ(r.reason, "no printer is installed");
    EXPECT_EQ(fs::path(r.pdfPath).parent_path(), fs::path(dir.File("labels")));
}

TEST_F(LabelPdfTest, ALabelThatReachesNothingIsReportedAsAnError) {
    SetRecord(kRailcar, {"ABCD", "123456", "RIGHT", "50-6"});
    // The labels folder cannot be made: a file of that name is in the way.
    test::WriteFileBytes(dir.File("labels"), {'x'});
    TLabelPrinter printer(Device("PDF file"), data.StartDirectory());
    LabelPrintResult r = PrintLabel(data, printer);
    EXPECT_FALSE(r.done);
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].caption, "Velmora Error");
    EXPECT_EQ(op.boxes[0].icon, MsgIcon::Stop);
    EXPECT_NE(op.boxes[0].text.find("cannot be created"), std::string::npos);
}

TEST(LabelPdfName, DateTimeAndTheTagsFirstTwoTexts) {
    LabelInput in;
    in.now = LocalDateTime{2026, 3, 4, 9, 5, 7, 63};
    in.record.SetFieldText(0, "");
    in.record.SetFieldText(1, "HELLO WORLD/..");
    in.record.SetFieldText(2, "*");
    in.record.SetFieldText(3, "42");
    EXPECT_EQ(TLabelPrinter::PdfFileName(in), "2026-03-04_090507_HELLO_WORLD-42.pdf");
    EXPECT_EQ(TLabelPrinter::PdfFileName(LabelInput{}), "1970-01-01_000000_tag.pdf");
}

TEST(LabelPrinterSettings, KeepsTheRecordItWasBuiltFrom) {
    PrinterSettings s = Device("Shop Floor Labels");
    SetText(s.driver, "driver");
    s.setup[0] = 7;
    TLabelPrinter printer(s, "/tmp/");
    EXPECT_EQ(printer.DeviceName(), "Shop Floor Labels");
    EXPECT_FALSE(printer.PrintsToPdf());
    EXPECT_EQ(printer.LabelsDirectory(), "/tmp/labels");
    const PrinterSettings back = printer.Settings();
    EXPECT_EQ(GetText(back.driver), "driver");
    EXPECT_EQ(back.setup[0], 7);
    printer.Restore(Device("PDF file"));
    EXPECT_TRUE(printer.PrintsToPdf());
}

} // namespace
} // namespace velmora
