#include "umler/TUMLERData.h"

#include "qt/QtOperator.h"
#include "umler/UmlerTexts.h"

#include <QFormLayout>
#include <QLineEdit>

namespace velmora {

TUMLERData::TUMLERData(AEIData& data, std::function<void()> onClosed, QWidget* parent)
    : QDialog(parent), data_(data), onClosed_(std::move(onClosed)) {
    setWindowTitle(QStringLiteral("UMLER Data"));
    setModal(false);
    auto* form = new QFormLayout(this);
    const char* labels[7] = {"Vehicle ID", "Type", "Axles", "Platform", "Length", "Tare Weight", "Capacity"};
    const int widths[7] = {kUmlerVehicleIdWidth, kUmlerTypeWidth,   kUmlerAxlesWidth, kUmlerPlatformWidth,
                           kUmlerLengthWidth,    kUmlerWeightWidth, kUmlerWeightWidth};
    for (int i = 0; i < 7; ++i) {
        auto* edit = new QLineEdit(this);
        edit->setReadOnly(true);
        edit->setMaxLength(widths[i] - 1);
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('W')) * (widths[i] + 1));
        form->addRow(QString::fromLatin1(labels[i]), edit);
        fields_[static_cast<std::size_t>(i)] = edit;
    }
    ShowRecord();
    // Closed by the operator (close box or Escape): tell the owner once.
    connect(this, &QDialog::finished, this, [this] {
        if (!onClosed_) return;
        auto done = std::move(onClosed_);
        onClosed_ = nullptr;
        done();
    });
}

void TUMLERData::ShowRecord() {
    const UmlerRecordTexts t = MakeUmlerRecordTexts(data_.GetUMLERRecord(), data_.GetVehicleKey());
    const std::string* texts[7] = {&t.vehicleId, &t.type,       &t.axles,   &t.platform,
                                   &t.length,    &t.tareWeight, &t.capacity};
    for (int i = 0; i < 7; ++i) fields_[static_cast<std::size_t>(i)]->setText(FromCoreText(*texts[i]));
}

} // namespace velmora
