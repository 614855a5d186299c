// The label printer: built from the label printer settings of the options.
// The device name picks an installed printer; "PDF file" writes each label as
// a PDF into the "labels" folder of the start directory, named by date, time
// and tag; an empty name means the default printer. A label whose printer is
// missing or stopped, or that finds no printer at all, is written as a PDF
// there too rather than being lost.
#pragma once

#include "data/AEIData.h"
#include "data/OptionBlocks.h"
#include "qt/TAEILabelPrintout.h"

#include <string>
#include <vector>

class QPageLayout;
class QWidget;

namespace velmora {

struct LabelPrintResult {
    bool done = false;        // the label reached a printer or a PDF file
    bool toPdf = false;       // it went to a PDF file
    bool fellBack = false;    // it was meant for a printer and went to a PDF file instead
    std::string printerName;  // the printer used, or the one that was wanted
    std::string pdfPath;      // the PDF written
    std::string reason;       // why the printer was not used (fellBack), or why nothing was written
};

class TLabelPrinter {
public:
    static constexpr const char* kPdfFileDevice = "PDF file";
    static constexpr const char* kLabelsFolder = "labels";
    static constexpr int kPdfResolution = 300; // dots per inch of a PDF label

    // startDirectory ends in a path separator ("" is the working directory).
    TLabelPrinter(const PrinterSettings& settings, std::string startDirectory);

    // The settings as "Label Printer Setup" stores them.
    PrinterSettings Settings() const { return settings_; }
    void Restore(const PrinterSettings& settings);
    std::string DeviceName() const;
    bool PrintsToPdf() const { return DeviceName() == kPdfFileDevice; }
    std::string LabelsDirectory() const;

    // Prints one label without a dialog: on the printer, or as a PDF.
    LabelPrintResult Print(TAEILabelPrintout& printout);

    // Writes the label to this PDF file (replaced when it exists), on the
    // label stock's page.
    static LabelPrintResult PrintToPdf(TAEILabelPrintout& printout, const std::string& path);
    // "2018-10-24_130542_ABCD-123456.pdf": the label's date and time and the
    // tag's first two texts, with anything but letters and digits as "_".
    static std::string PdfFileName(const LabelInput& input);
    // The page of a label on its stock: 3.5 by 1.125 inches, or 3.5 by 1.5
    // inches for the WABTEC stock, with a narrow unprinted margin. PDF labels
    // use it, and so do printers that take a page of any size.
    static QPageLayout PdfPageLayout(bool wabtec);

    // Whether the operator has been told that labels go to PDF files.
    bool FallbackTold() const { return fallbackTold_; }
    void SetFallbackTold(bool told) { fallbackTold_ = told; }

private:
    LabelPrintResult PrintToLabelsFolder(TAEILabelPrintout& printout);

    PrinterSettings settings_;
    std::string startDirectory_;
    bool fallbackTold_ = false;
};

// The printers "Label Printer Setup" offers: the installed printers by name
// and the name of the system's default printer ("" when there is none).
struct InstalledPrinters {
    std::vector<std::string> names;
    std::string defaultName;
};
InstalledPrinters FindInstalledPrinters();

// The longest printer name the label printer settings hold.
inline constexpr std::size_t kMaxPrinterNameLength = sizeof(PrinterSettings::device) - 1;

// Makes device the label printer and stores it as the label printer settings
// of the options: "" is the default printer, "PDF file" the labels folder,
// anything else an installed printer by name. Choosing the printer already
// set keeps the rest of its record; another gets a record of its name alone.
// False, and nothing changes, when the name is longer than the record holds.
bool StoreLabelPrinterChoice(AEIData& data, TLabelPrinter& printer, const std::string& device);

// Builds the printout from the last tag record, its format, the options and
// the clock, and prints it on the label printer without a dialog. When the
// label goes to a PDF file instead of its printer, the operator is told where
// (once per printer object); when it reaches neither, the operator is told why.
LabelPrintResult PrintLabel(AEIData& data, TLabelPrinter& printer);

} // namespace velmora
