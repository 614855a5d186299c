#include "dialogs/ReaderDialogs.h"

#include "qt/QtOperator.h"
#include "serial/ReaderApi.h"
#include "util/FixedText.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora {

TReaderPortSelection::TReaderPortSelection(AEIData& data, QWidget* parent) : QDialog(parent), data_(data) {
    setWindowTitle(QStringLiteral("Reader Port Selection"));
    auto* layout = new QVBoxLayout(this);
    list_ = new QComboBox(this);
    for (const std::string& choice : ReaderPortChoices()) list_->addItem(FromCoreText(choice));
    list_->setCurrentIndex(ReaderPortChoiceIndex(data_));
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TReaderPortSelection::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(280);
}

void TReaderPortSelection::accept() {
    // Entry 0 is "-none-", entry n is Comm Port n.
    const int port = list_->currentIndex() - 1;
    QDialog::accept();
    AssignReaderPort(data_, port);
}

TPortableParameters::TPortableParameters(const ReaderParameters& p, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Portable Reader Parameters"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    const QString port = p.port >= 0 && p.port < 4 ? QStringLiteral("COM%1").arg(p.port + 1) : QString();
    const QString values[8] = {
        port,
        FromCoreText(std::string(GetText(p.userIdFirst)) + " " + std::string(GetText(p.userIdSecond))),
        FromCoreText(std::string(GetText(p.dateTime))),
        FromCoreText(std::string(GetText(p.battery))),
        FromCoreText(std::string(GetText(p.alarmLevel1))),
        FromCoreText(std::string(GetText(p.alarmLevel2))),
        FromCoreText(std::string(GetText(p.alarmLevel3))),
        FromCoreText(std::string(GetText(p.firmwareVersion)))};
    const char* labels[8] = {"Port",    "User ID", "Date/Time", "Battery", "Battery Alarm Level 1",
                             "Battery Alarm Level 2", "Battery Alarm Level 3", "Firmware version"};
    for (int i = 0; i < 8; ++i) {
        fields_[i] = new QLineEdit(values[i], this);
        fields_[i]->setReadOnly(true);
        fields_[i]->setMinimumWidth(220);
        form->addRow(QString::fromLatin1(labels[i]), fields_[i]);
    }
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* refresh = buttons->addButton(QStringLiteral("Refresh"), QDialogButtonBox::AcceptRole);
    refresh->setObjectName(QStringLiteral("refresh"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

QString TPortableParameters::Field(int index) const {
    return index >= 0 && index < 8 ? fields_[index]->text() : QString();
}

TRfReadStatus::TRfReadStatus(const std::string& caption, const std::string& text, std::function<void()> onCancel,
                             QWidget* parent)
    : QDialog(parent), onCancel_(std::move(onCancel)) {
    setWindowTitle(FromCoreText(caption));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    text_ = new QLabel(FromCoreText(text), this);
    text_->setTextFormat(Qt::PlainText);
    text_->setWordWrap(true);
    text_->setMinimumWidth(380);
    layout->addWidget(text_);
    auto* buttons = new QDialogButtonBox(this);
    cancel_ = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
    // Cancel, Escape or the close box give the reading up.
    connect(this, &QDialog::rejected, this, [this] {
        if (onCancel_) onCancel_();
    });
}

QString TRfReadStatus::Text() const { return text_->text(); }

void TRfReadStatus::SetText(const std::string& text) { text_->setText(FromCoreText(text)); }

void TRfReadStatus::Dismiss() {
    onCancel_ = nullptr;
    close();
}

} // namespace velmora
