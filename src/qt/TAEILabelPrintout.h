// The tag label printout: one page titled "Tag Label". It creates the six
// label fonts for the printer's resolution, measures them on the printer,
// lets the core lay the label out and paints the lines and frames.
#pragma once

#include "print/LabelLayout.h"

#include <QFont>
#include <QRect>
#include <QString>

#include <array>

class QPainter;
class QPaintDevice;

namespace velmora {

class TAEILabelPrintout {
public:
    explicit TAEILabelPrintout(LabelInput input);

    static QString Title() { return QStringLiteral("Tag Label"); }
    // "Arial" where it is installed, else the metric-compatible "Liberation
    // Sans", else the platform's sans-serif face.
    static QString FontFamily();

    // Creates the fonts for the device's vertical resolution, measures their
    // line heights and average widths on it and lays the label out.
    void SetPrintParams(QPaintDevice& device);
    bool HasPage(int page) const { return page == 1; }
    // Paints the page (SetPrintParams first). The painter's font and pen are
    // as before afterwards.
    void PrintPage(QPainter& painter, int page);

    const LabelInput& Input() const { return input_; }
    const LabelLayout& Layout() const { return layout_; }
    const LabelMetrics& Metrics() const { return metrics_; }
    const QFont& Font(LabelFont f) const { return fonts_[static_cast<int>(f)]; }
    // The part of the page the label's text and frames cover (after
    // SetPrintParams), in device pixels.
    QRect ContentBounds() const { return contentBounds_; }
    // WABTEC labels go on their own, taller label stock.
    bool IsWabtecLabel() const { return IsWabtecFormat(input_.format); }

private:
    LabelInput input_;
    std::array<QFont, kLabelFontCount> fonts_;
    LabelMetrics metrics_;
    LabelLayout layout_;
    QRect contentBounds_;
    int dpiY_ = 0;
};

// A single-byte record text as a QString.
QString FromRecordText(const std::string& text);

} // namespace velmora
