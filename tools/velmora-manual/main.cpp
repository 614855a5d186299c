// velmora-manual: renders the operator's manual (docs/manual.md) into
// "Velmora Manual.pdf". The build runs it; it needs no screen (it is run on
// the offscreen platform).
//
//   velmora-manual MANUAL.md OUTPUT.pdf
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <cstdio>

namespace {

// Markdown tables come without rules; give them thin ones and some room.
void FormatTables(QTextDocument& doc) {
    QTextFrame* root = doc.rootFrame();
    for (auto it = root->begin(); !it.atEnd(); ++it) {
        QTextFrame* child = it.currentFrame();
        auto* table = qobject_cast<QTextTable*>(child);
        if (!table) continue;
        QTextTableFormat f = table->format();
        f.setBorder(0.5);
        f.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        f.setBorderBrush(QBrush(QColor(120, 120, 120)));
        f.setCellSpacing(0);
        f.setCellPadding(3);
        f.setBorderCollapse(true);
        f.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        table->setFormat(f);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: velmora-manual MANUAL.md OUTPUT.pdf\n");
        return 1;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "velmora-manual: cannot read %s: %s\n", argv[1], qPrintable(in.errorString()));
        return 2;
    }
    const QString markdown = QString::fromUtf8(in.readAll());

    QTextDocument doc;
    QFont body(QStringLiteral("Liberation Sans"));
    body.setStyleHint(QFont::SansSerif);
    body.setPointSizeF(10);
    doc.setDefaultFont(body);
    doc.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    FormatTables(doc);

    // Written whole to a temporary file and renamed into place.
    const QString outName = QString::fromLocal8Bit(argv[2]);
    QSaveFile out(outName);
    if (!out.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "velmora-manual: cannot write %s: %s\n", argv[2], qPrintable(out.errorString()));
        return 3;
    }
    {
        QPdfWriter pdf(&out);
        pdf.setTitle(QStringLiteral("Velmora Manual"));
        pdf.setCreator(QStringLiteral("Velmora"));
        pdf.setResolution(300);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(18, 16, 18, 16), QPageLayout::Millimeter));
        doc.print(&pdf);
    }
    if (!out.commit()) {
        std::fprintf(stderr, "velmora-manual: cannot write %s: %s\n", argv[2], qPrintable(out.errorString()));
        return 3;
    }
    return 0;
}
