#include "qt/TAEILabelPrintout.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QRect>

#include <algorithm>

namespace velmora {

QString FromRecordText(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

TAEILabelPrintout::TAEILabelPrintout(LabelInput input) : input_(std::move(input)) {}

QString TAEILabelPrintout::FontFamily() {
    const QStringList families = QFontDatabase::families();
    for (const char* face : {kLabelFontFace, "Liberation Sans"}) {
        const QString f = QString::fromLatin1(face);
        if (families.contains(f, Qt::CaseInsensitive)) return f;
    }
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

void TAEILabelPrintout::SetPrintParams(QPaintDevice& device) {
    dpiY_ = device.logicalDpiY();
    const QString family = FontFamily();
    for (int i = 0; i < kLabelFontCount; ++i) {
        const LabelFontSpec& fontSpec = kLabelFontSpecs[i];
        QFont font(family);
        font.setPixelSize(std::max(1, LabelFontPixelHeight(fontSpec.points, dpiY_)));
        font.setWeight(static_cast<QFont::Weight>(fontSpec.weight));
        font.setItalic(false);
        font.setStyleHint(QFont::SansSerif);
        fonts_[i] = font;

        const QFontMetrics fm(font, &device);
        metrics_.lineHeight[i] = fm.height() + std::max(0, fm.leading());
        metrics_.averageWidth[i] = fm.averageCharWidth();
    }
    metrics_.pageWidth = device.width();
    layout_ = BuildLabelLayout(input_, metrics_);

    contentBounds_ = QRect();
    for (const LabelLine& line : layout_.lines) {
        if (line.text.empty()) continue;
        const int advance = QFontMetrics(Font(line.font), &device).horizontalAdvance(FromRecordText(line.text));
        const int left = line.align == LabelAlign::Center ? line.rect.left + (line.rect.width - advance) / 2
                                                           : line.rect.left;
        contentBounds_ |= QRect(left, line.rect.top, advance, line.rect.height);
    }
    for (const LabelRect& b : layout_.boxes) contentBounds_ |= QRect(b.left, b.top, b.width, b.height);
}

void TAEILabelPrintout::PrintPage(QPainter& painter, int page) {
    if (!HasPage(page)) return;
    painter.save();
    painter.setPen(Qt::black);
    for (const LabelLine& line : layout_.lines) {
        painter.setFont(Font(line.font));
        const QRect r(line.rect.left, line.rect.top, line.rect.width, line.rect.height);
        const int align = (line.align == LabelAlign::Center ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter;
        painter.drawText(r, align | Qt::TextSingleLine | Qt::TextDontClip, FromRecordText(line.text));
    }
    // Frames lie inside their rectangles, about half a point wide.
    const int width = std::max(1, dpiY_ / 144);
    QPen pen(Qt::black);
    pen.setWidth(width);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const double half = width / 2.0;
    for (const LabelRect& b : layout_.boxes)
        painter.drawRect(QRectF(b.left + half, b.top + half, b.width - width, b.height - width));
    painter.restore();
}

} // namespace velmora
