#include "dialogs/TTagLog.h"

#include "qt/QtOperator.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>

namespace velmora {

TagLogColumns SplitTagLogLine(const std::string& line) {
    TagLogColumns c;
    const std::size_t dash = line.find('-');
    if (dash == std::string::npos) {
        c.dateTime = line;
        return c;
    }
    c.dateTime = line.substr(0, dash == 0 ? 0 : dash - 1);
    const std::string rest = dash + 2 <= line.size() ? line.substr(dash + 2) : std::string();
    const std::size_t comma = rest.find(',');
    if (comma == std::string::npos) {
        c.format = rest;
    } else {
        c.format = rest.substr(0, comma);
        c.fields = rest.substr(comma + 1);
    }
    return c;
}

TTagLog::TTagLog(AEIData& data, const TagLogList& lines, std::function<void()> onClosed, QWidget* parent)
    : QDialog(parent), data_(data), lines_(lines), onClosed_(std::move(onClosed)) {
    setWindowTitle(QStringLiteral("Tag Programming Log"));
    setModal(false);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("list%1").arg(kListId));
    list_->setGeometry(10, 10, 550, 325);
    list_->setRootIsDecorated(false);
    list_->setWordWrap(false);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHeaderLabels({QStringLiteral("Programmed Date/Time"), QStringLiteral("Format"),
                            QStringLiteral("Data Fields")});
    list_->header()->setStretchLastSection(false);
    for (int col = 0; col < 3; ++col) {
        // A stored width that is damaged is shown at a usable size.
        const int w = std::clamp(data_.GetColumnWidth(0, col), 20, 2000);
        list_->setColumnWidth(col, w);
    }
    QPalette pal = list_->palette();
    pal.setColor(QPalette::Text, Qt::black);
    list_->setPalette(pal);

    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setGeometry(150, 345, 110, 30);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    save_ = new QPushButton(QStringLiteral("Save Column Size"), this);
    save_->setObjectName(QStringLiteral("button%1").arg(kSaveColumnSizeId));
    save_->setGeometry(310, 345, 130, 30);
    connect(save_, &QPushButton::clicked, this, &TTagLog::SaveColumnSize);
    setFixedSize(570, 385);

    list_->clear();
    AddTagLogRows(-1);
    // Closed by the operator (Cancel, the close box or Escape).
    connect(this, &QDialog::finished, this, [this] {
        if (!onClosed_) return;
        auto done = std::move(onClosed_);
        onClosed_ = nullptr;
        done();
    });
}

void TTagLog::AddTagLogRows(int n) {
    const int count = n < 0 ? static_cast<int>(lines_.Size()) : std::min(n, static_cast<int>(lines_.Size()));
    for (int i = 0; i < count; ++i) {
        const TagLogColumns c = SplitTagLogLine(lines_.Line(static_cast<std::size_t>(i)));
        auto* item = new QTreeWidgetItem;
        item->setText(0, FromCoreText(c.dateTime));
        item->setText(1, FromCoreText(c.format));
        item->setText(2, FromCoreText(c.fields));
        list_->insertTopLevelItem(i, item);
    }
}

void TTagLog::SaveColumnSize() {
    for (int col = 0; col < 15; ++col)
        data_.UpdateColumnWidth(0, col, col < list_->columnCount() ? list_->columnWidth(col) : 0);
}

} // namespace velmora
