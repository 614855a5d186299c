#include "dialogs/TLabelPrinterSetup.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace velmora {

TLabelPrinterSetup::TLabelPrinterSetup(AEIData& data, TLabelPrinter& printer, const InstalledPrinters& installed,
                                       QWidget* parent)
    : QDialog(parent), data_(data), printer_(printer) {
    setWindowTitle(QStringLiteral("Label Printer Setup"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Print labels on:"), this));
    list_ = new QListWidget(this);
    auto add = [this](const QString& text, const std::string& device) {
        auto* item = new QListWidgetItem(text, list_);
        item->setData(Qt::UserRole, QString::fromLocal8Bit(device));
    };
    add(installed.defaultName.empty()
            ? QStringLiteral("Default printer (none installed)")
            : QStringLiteral("Default printer (%1)").arg(QString::fromLocal8Bit(installed.defaultName)),
        "");
    for (const std::string& name : installed.names) add(QString::fromLocal8Bit(name), name);
    const std::string current = printer_.DeviceName();
    const bool listed = current.empty() || current == TLabelPrinter::kPdfFileDevice ||
                        std::find(installed.names.begin(), installed.names.end(), current) != installed.names.end();
    if (!listed) add(QStringLiteral("%1 (not installed)").arg(QString::fromLocal8Bit(current)), current);
    add(QString::fromLatin1(TLabelPrinter::kPdfFileDevice), TLabelPrinter::kPdfFileDevice);
    list_->item(list_->count() - 1)
        ->setToolTip(QStringLiteral("Each label is saved as a PDF file in the folder \"%1\" of the start directory")
                         .arg(QString::fromLatin1(TLabelPrinter::kLabelsFolder)));
    for (int row = 0; row < list_->count(); ++row) {
        if (list_->item(row)->data(Qt::UserRole).toString() == QString::fromLocal8Bit(current)) {
            list_->setCurrentRow(row);
            break;
        }
    }
    connect(list_, &QListWidget::itemDoubleClicked, this, &TLabelPrinterSetup::accept);
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TLabelPrinterSetup::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

std::string TLabelPrinterSetup::Choice() const {
    const QListWidgetItem* item = list_->currentItem();
    return item ? item->data(Qt::UserRole).toString().toLocal8Bit().toStdString() : printer_.DeviceName();
}

void TLabelPrinterSetup::accept() {
    const std::string choice = Choice();
    if (!StoreLabelPrinterChoice(data_, printer_, choice)) {
        data_.GetOperator().MessageBox(
            data_.ErrorCaption(),
            "The printer name \"" + choice + "\" is longer than the " + std::to_string(kMaxPrinterNameLength) +
                " characters the options can keep.  Give the printer a shorter name, or choose another.",
            MsgIcon::Stop, MsgButtons::Ok);
        return;
    }
    QDialog::accept();
}

} // namespace velmora
