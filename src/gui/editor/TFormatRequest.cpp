#include "editor/TFormatRequest.h"

#include "qt/QtOperator.h"
#include "tagdata/FormatEditor.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace velmora {

TFormatRequest::TFormatRequest(AEIData& data, QWidget* parent) : QDialog(parent), data_(data) {
    setWindowTitle(QStringLiteral("Format Request"));
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    auto* prompt = new QLabel(QString::fromLatin1(kMsgSelectFormat), this);
    prompt->setBuddy(list_);
    layout->addWidget(prompt);
    layout->addWidget(list_);

    list_->addItem(QString::fromLatin1(kNewFormatEntry));
    for (int slot = 0; slot < kFormatSlots; ++slot) {
        const TagFormatData f = data_.GetTagFormatData(slot);
        if (f.defined != 1) continue;
        auto* item = new QListWidgetItem(FromCoreText(std::string(f.Name())), list_);
        item->setData(Qt::UserRole, slot);
    }
    list_->setCurrentRow(0);
    list_->setMinimumWidth(list_->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 18);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    list_->setFocus();
}

bool TFormatRequest::NewChosen() const { return list_->currentRow() <= 0; }

std::string TFormatRequest::ChosenName() const {
    QListWidgetItem* item = list_->currentItem();
    return item ? ToCoreText(item->text()) : std::string();
}

int TFormatRequest::ChosenSlot() const {
    if (NewChosen()) return -1;
    return data_.FindTagFormatByName(ChosenName());
}

} // namespace velmora
