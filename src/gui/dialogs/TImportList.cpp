#include "dialogs/TImportList.h"

#include "qt/QtOperator.h"

#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace velmora {

std::string ImportLineStateText(const ImportLine& line) {
    std::string text;
    switch (line.state) {
    case ImportLineState::Waiting: text = "waiting"; break;
    case ImportLineState::Programmed: text = "programmed " + line.when; break;
    case ImportLineState::Failed: text = "failed: " + line.reason; break;
    case ImportLineState::Refused: text = "refused: " + line.reason; break;
    }
    if (line.inTagLog && line.state != ImportLineState::Programmed) text += " (already in the tag log)";
    return text;
}

TImportList::TImportList(const ImportSession& session, std::function<void(int)> fillLine,
                         std::function<void()> onClosed, QWidget* parent)
    : QDialog(parent), session_(session), fillLine_(std::move(fillLine)), onClosed_(std::move(onClosed)) {
    setWindowTitle(QStringLiteral("Import List"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("importLines"));
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHeaderLabels({QStringLiteral("Line"), QStringLiteral("Values"), QStringLiteral("State")});
    layout->addWidget(list_);
    counts_ = new QLabel(this);
    counts_->setObjectName(QStringLiteral("importCounts"));
    layout->addWidget(counts_);
    progress_ = new QProgressBar(this);
    layout->addWidget(progress_);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(close);
    resize(640, 400);

    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        const int index = list_->indexOfTopLevelItem(item);
        if (index >= 0 && fillLine_) fillLine_(index);
    });
    connect(this, &QDialog::finished, this, [this] {
        if (!onClosed_) return;
        auto done = std::move(onClosed_);
        onClosed_ = nullptr;
        done();
    });
    Refresh();
}

void TImportList::Refresh() {
    const ImportList& list = session_.List();
    const int rows = static_cast<int>(list.lines.size());
    if (list_->topLevelItemCount() != rows) {
        list_->clear();
        for (int i = 0; i < rows; ++i) {
            const ImportLine& line = list.lines[static_cast<std::size_t>(i)];
            auto* item = new QTreeWidgetItem;
            item->setText(0, QString::number(line.fileLine));
            std::string values;
            for (int row = 0; row < kFieldRows; ++row) {
                if (!line.hasControl[static_cast<std::size_t>(row)]) continue;
                if (!values.empty()) values += ", ";
                values += line.texts[static_cast<std::size_t>(row)];
            }
            item->setText(1, FromCoreText(values));
            list_->addTopLevelItem(item);
        }
    }
    for (int i = 0; i < rows; ++i) {
        QTreeWidgetItem* item = list_->topLevelItem(i);
        item->setText(2, FromCoreText(ImportLineStateText(list.lines[static_cast<std::size_t>(i)])));
        QFont font = item->font(0);
        font.setBold(i == session_.Current());
        for (int col = 0; col < 3; ++col) item->setFont(col, font);
    }
    if (session_.Current() >= 0) list_->setCurrentItem(list_->topLevelItem(session_.Current()));
    const ImportCounts c = session_.Counts();
    counts_->setText(QStringLiteral("%1 lines: %2 programmed, %3 waiting, %4 failed, %5 refused")
                         .arg(rows)
                         .arg(c.programmed)
                         .arg(c.waiting)
                         .arg(c.failed)
                         .arg(c.refused));
    progress_->setRange(0, std::max(1, rows - c.refused));
    progress_->setValue(c.programmed);
    setWindowTitle(session_.Active() ? QStringLiteral("Import List - %1").arg(FromCoreText(session_.ListPath()))
                                     : QStringLiteral("Import List"));
}

} // namespace velmora
