#include "setup/TFindUMLER.h"

#include "qt/QtOperator.h"
#include "umler/UmlerKey.h"
#include "umler/UmlerLookup.h"
#include "umler/UmlerTexts.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace velmora {

namespace {

QLineEdit* MakeEdit(QWidget* parent, int widthWithTerminator, bool readOnly) {
    auto* e = new QLineEdit(parent);
    e->setMaxLength(widthWithTerminator - 1);
    e->setReadOnly(readOnly);
    e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('W')) * (widthWithTerminator + 1));
    return e;
}

} // namespace

TFindUMLER::TFindUMLER(AEIData& data, std::string dataPath, QWidget* parent)
    : QDialog(parent), data_(data), dataPath_(std::move(dataPath)) {
    setWindowTitle(QStringLiteral("Find UMLER Data"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout();
    layout->addLayout(form);

    initial_ = MakeEdit(this, 5, false);
    initial_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[a-zA-Z]*")), initial_));
    number_ = MakeEdit(this, 7, false);
    number_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), number_));
    form->addRow(QStringLiteral("Car Initial"), initial_);
    form->addRow(QStringLiteral("Number"), number_);

    const char* labels[6] = {"Type", "Axles", "Platform", "Length", "Tare Weight", "Capacity"};
    const int widths[6] = {kUmlerTypeWidth,   kUmlerAxlesWidth,  kUmlerPlatformWidth,
                           kUmlerLengthWidth, kUmlerWeightWidth, kUmlerWeightWidth};
    for (int i = 0; i < 6; ++i) {
        QLineEdit* e = MakeEdit(this, widths[i], true);
        e->setFocusPolicy(Qt::NoFocus);
        form->addRow(QString::fromLatin1(labels[i]), e);
        results_[static_cast<std::size_t>(i)] = e;
    }

    auto* buttons = new QHBoxLayout();
    find_ = new QPushButton(QStringLiteral("Find"), this);
    clear_ = new QPushButton(QStringLiteral("Clear"), this);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    find_->setDefault(true);
    find_->setAutoDefault(true);
    clear_->setAutoDefault(false);
    cancel_->setAutoDefault(false);
    buttons->addWidget(find_);
    buttons->addWidget(clear_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    connect(find_, &QPushButton::clicked, this, &TFindUMLER::Find);
    connect(clear_, &QPushButton::clicked, this, &TFindUMLER::Clear);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    Clear();
}

void TFindUMLER::Clear() {
    initial_->clear();
    number_->clear();
    for (QLineEdit* e : results_) e->clear();
    initial_->setFocus();
}

void TFindUMLER::Find() {
    const std::string initial = UpperAscii(ToCoreText(initial_->text()));
    const std::string number = ToCoreText(number_->text());
    std::string key;
    if (!BuildVehicleKey(initial, number, key)) {
        data_.GetOperator().MessageBox(data_.ErrorCaption(), kUmlerInvalidVehicleNumber, MsgIcon::Stop,
                                       MsgButtons::Ok);
        return;
    }
    const UmlerRecord r = LookupUMLER(key, dataPath_);
    if (r.initialCode == -1) {
        data_.GetOperator().MessageBox(data_.ErrorCaption(), kUmlerCannotFind, MsgIcon::Stop, MsgButtons::Ok);
        return;
    }
    const UmlerRecordTexts t = MakeUmlerRecordTexts(r, key);
    const std::string* texts[6] = {&t.type, &t.axles, &t.platform, &t.length, &t.tareWeight, &t.capacity};
    for (int i = 0; i < 6; ++i) results_[static_cast<std::size_t>(i)]->setText(FromCoreText(*texts[i]));
}

} // namespace velmora
