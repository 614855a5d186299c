#include "qt/TLabelPrinter.h"

#include "data/ReplaceFile.h"
#include "util/Bytes.h"
#include "util/FixedText.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSizeF>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

namespace velmora {
namespace {

namespace fs = std::filesystem;

// A page kept in the 156 bytes of set-up data of the printer settings (the
// earlier print dialog stored the page chosen there): "VQL1", page width and
// height in micrometres (32-bit), orientation (0 portrait, 1 landscape).
// Anything else (zeros, or set-up data of another platform) means no page of
// its own: the label stock's page, or the printer's.
constexpr uint8_t kSetupMagic[4] = {'V', 'Q', 'L', '1'};

std::optional<QPageLayout> DecodePageLayout(const uint8_t (&setup)[156]) {
    if (!std::equal(std::begin(kSetupMagic), std::end(kSetupMagic), setup)) return std::nullopt;
    const uint32_t w = bytes::GetU32(setup, 4);
    const uint32_t h = bytes::GetU32(setup, 8);
    // A page between 10 mm and 2 m on each side, or none.
    if (w < 10000 || h < 10000 || w > 2000000 || h > 2000000) return std::nullopt;
    const QPageSize size(QSizeF(w / 1000.0, h / 1000.0), QPageSize::Millimeter);
    return QPageLayout(size, setup[12] ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
}

// Letters and digits stay, everything else becomes "_", runs of it once, and
// none at the ends.
std::string FileNamePart(std::string_view text) {
    std::string out;
    for (char c : text) {
        const bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (keep) out += c;
        else if (!out.empty() && out.back() != '_') out += '_';
    }
    while (!out.empty() && out.back() == '_') out.pop_back();
    return out;
}

void GrowPageToContent(QPrinter& printer, const QRect& content) {
    if (content.isEmpty() || (content.right() < printer.width() && content.bottom() < printer.height())) return;
    const double dpi = printer.resolution() > 0 ? printer.resolution() : TLabelPrinter::kPdfResolution;
    const QPageLayout layout = printer.pageLayout();
    const QMarginsF m = layout.margins(QPageLayout::Inch);
    const QSizeF page = layout.fullRect(QPageLayout::Inch).size();
    const double spare = 0.04;
    const double width = std::max(page.width(), m.left() + (content.right() + 1) / dpi + spare + m.right());
    const double height = std::max(page.height(), m.top() + (content.bottom() + 1) / dpi + spare + m.bottom());
    printer.setPageLayout(QPageLayout(QPageSize(QSizeF(width, height), QPageSize::Inch, QString(),
                                                QPageSize::ExactMatch),
                                      QPageLayout::Portrait, m, QPageLayout::Inch));
}

std::string PrinterDisplayName(const std::string& device) {
    return device.empty() ? std::string("the default printer") : "\"" + device + "\"";
}

} // namespace

TLabelPrinter::TLabelPrinter(const PrinterSettings& settings, std::string startDirectory)
    : settings_(settings), startDirectory_(std::move(startDirectory)) {}

void TLabelPrinter::Restore(const PrinterSettings& settings) {
    settings_ = settings;
    fallbackTold_ = false;
}

std::string TLabelPrinter::DeviceName() const { return std::string(GetText(settings_.device)); }

std::string TLabelPrinter::LabelsDirectory() const { return startDirectory_ + kLabelsFolder; }

QPageLayout TLabelPrinter::PdfPageLayout(bool wabtec) {
    const QSizeF inches(3.5, wabtec ? 1.5 : 1.125);
    const QPageSize size(inches, QPageSize::Inch, wabtec ? "WABTEC label" : "Tag label",
                         QPageSize::ExactMatch);
    return QPageLayout(size, QPageLayout::Portrait, QMarginsF(0.08, 0.04, 0.08, 0.0), QPageLayout::Inch);
}

std::string TLabelPrinter::PdfFileName(const LabelInput& input) {
    std::string tag;
    int taken = 0;
    for (int row = 0; row < kFieldRows && taken < 2; ++row) {
        const std::string part = FileNamePart(input.record.FieldText(row));
        if (part.empty()) continue;
        if (!tag.empty()) tag += '-';
        tag += part;
        ++taken;
    }
    if (tag.empty()) tag = "tag";
    if (tag.size() > 61) tag.resize(61);
    char stamp[64];
    const LocalDateTime& t = input.now;
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d_%02d%02d%02d_", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return stamp + tag + ".pdf";
}

LabelPrintResult TLabelPrinter::PrintToPdf(TAEILabelPrintout& printout, const std::string& path) {
    LabelPrintResult r;
    r.toPdf = true;
    // The same checks as every file this system writes: a symbolic link is
    // followed, anything but a regular file is refused and left alone, and
    // the page goes to a work file that is renamed into place.
    FileReplacement file;
    std::string problem;
    if (!file.Begin(path, &problem)) {
        r.reason = problem;
        return r;
    }
    file.CloseForOtherWriter();
    const std::string temp = file.WritePath();
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromLocal8Bit(temp));
        printer.setResolution(kPdfResolution);
        printer.setPageLayout(PdfPageLayout(printout.IsWabtecLabel()));
        printer.setDocName(TAEILabelPrintout::Title());
        printer.setCreator(QStringLiteral("Velmora"));
        // A PDF label is never cut: when its text runs past the label stock
        // (a long hex text, a certified tag of another format) the page grows
        // to hold it.
        printout.SetPrintParams(printer);
        GrowPageToContent(printer, printout.ContentBounds());
        QPainter painter;
        if (!painter.begin(&printer)) {
            r.reason = "the file \"" + path + "\" cannot be written";
            return r;
        }
        printout.SetPrintParams(printer);
        for (int page = 1; printout.HasPage(page); ++page) {
            if (page > 1) printer.newPage();
            printout.PrintPage(painter, page);
        }
        if (!painter.end()) {
            r.reason = "the file \"" + path + "\" could not be finished";
            return r;
        }
    }
    std::error_code ec;
    if (fs::file_size(temp, ec) == 0 || ec) {
        r.reason = "the file \"" + path + "\" could not be written";
        return r;
    }
    if (!file.Commit(&problem)) {
        r.reason = "the file \"" + path + "\" could not be written: " + problem;
        return r;
    }
    r.done = true;
    r.pdfPath = path;
    return r;
}

LabelPrintResult TLabelPrinter::PrintToLabelsFolder(TAEILabelPrintout& printout) {
    LabelPrintResult r;
    r.toPdf = true;
    const fs::path dir(LabelsDirectory());
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec || !fs::is_directory(dir, ec)) {
        r.reason = "the folder \"" + dir.string() + "\" cannot be created";
        return r;
    }
    const std::string name = PdfFileName(printout.Input());
    const std::string stem = name.substr(0, name.size() - 4);
    fs::path path = dir / name;
    for (int n = 2; fs::exists(path, ec) && n < 1000; ++n) path = dir / (stem + "_" + std::to_string(n) + ".pdf");
    if (fs::exists(path, ec)) {
        r.reason = "the folder \"" + dir.string() + "\" holds too many labels of this tag and second";
        return r;
    }
    return PrintToPdf(printout, path.string());
}

LabelPrintResult TLabelPrinter::Print(TAEILabelPrintout& printout) {
    const std::string device = DeviceName();
    if (device == kPdfFileDevice) {
        LabelPrintResult r = PrintToLabelsFolder(printout);
        r.printerName = device;
        return r;
    }

    const QPrinterInfo info = device.empty() ? QPrinterInfo::defaultPrinter()
                                             : QPrinterInfo::printerInfo(QString::fromLocal8Bit(device));
    std::string reason;
    if (info.isNull()) {
        reason = device.empty() ? std::string("no printer is installed")
                                : "the printer " + PrinterDisplayName(device) + " is not installed";
    } else if (info.state() == QPrinter::Error) {
        // A stopped queue would hold the label until someone starts it.
        reason = "the printer " + PrinterDisplayName(device) + " is stopped";
    } else {
        QPrinter printer(info, QPrinter::HighResolution);
        printer.setDocName(TAEILabelPrintout::Title());
        // The page stored with the printer, else the label stock's page when
        // the printer takes a page of any size, else the printer's own.
        if (auto layout = DecodePageLayout(settings_.setup)) printer.setPageLayout(*layout);
        else if (info.supportsCustomPageSizes()) printer.setPageLayout(PdfPageLayout(printout.IsWabtecLabel()));
        QPainter painter;
        if (painter.begin(&printer)) {
            printout.SetPrintParams(printer);
            printout.PrintPage(painter, 1);
            if (painter.end() && printer.printerState() != QPrinter::Error) {
                LabelPrintResult r;
                r.done = true;
                r.printerName = info.printerName().toStdString();
                return r;
            }
            reason = "printing on " + PrinterDisplayName(device) + " failed";
        } else {
            reason = "the printer " + PrinterDisplayName(device) + " cannot be reached";
        }
    }

    LabelPrintResult r = PrintToLabelsFolder(printout);
    r.fellBack = true;
    r.printerName = device;
    r.reason = r.done ? reason : reason + ", and " + r.reason;
    return r;
}

InstalledPrinters FindInstalledPrinters() {
    InstalledPrinters found;
    for (const QString& name : QPrinterInfo::availablePrinterNames())
        found.names.push_back(name.toLocal8Bit().toStdString());
    found.defaultName = QPrinterInfo::defaultPrinterName().toLocal8Bit().toStdString();
    return found;
}

bool StoreLabelPrinterChoice(AEIData& data, TLabelPrinter& printer, const std::string& device) {
    if (device.size() > kMaxPrinterNameLength) return false;
    PrinterSettings s = printer.Settings();
    if (device != printer.DeviceName()) {
        s = PrinterSettings{};
        SetText(s.device, device);
    }
    printer.Restore(s);
    data.UpdatePrinterSettings(0, s);
    return true;
}

// --- printing the last tag's label ------------------------------------------------

LabelPrintResult PrintLabel(AEIData& data, TLabelPrinter& printer) {
    TAEILabelPrintout printout(MakeLabelInput(data));
    LabelPrintResult r = printer.Print(printout);
    Operator& op = data.GetOperator();
    if (!r.done) {
        op.MessageBox(data.ErrorCaption(), "The label could not be printed: " + r.reason + ".", MsgIcon::Stop,
                      MsgButtons::Ok);
    } else if (r.fellBack && !printer.FallbackTold()) {
        printer.SetFallbackTold(true);
        op.MessageBox(data.ProductCaption(),
                      "The label was saved as the PDF file \"" + r.pdfPath + "\" because " + r.reason +
                          ".  Labels are saved in the folder \"" + printer.LabelsDirectory() +
                          "\" until the label printer can be reached; choose one with \"Label Printer Setup\".",
                      MsgIcon::Information, MsgButtons::Ok);
    }
    return r;
}

} // namespace velmora
