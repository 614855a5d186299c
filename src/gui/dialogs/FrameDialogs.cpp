#include "dialogs/FrameDialogs.h"

#include "app/MakerInfo.h"
#include "qt/QtOperator.h"
#include "serial/SerialAccess.h"
#include "util/FixedText.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora {

TAbout::TAbout(const std::string& versionText, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About"));
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("Velmora for Windows"), this);
    QFont f = title->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 4);
    title->setFont(f);
    layout->addWidget(title);
    auto* form = new QFormLayout;
    version_ = new QLineEdit(FromCoreText(versionText), this);
    version_->setReadOnly(true);
    form->addRow(QStringLiteral("Version"), version_);
    layout->addLayout(form);
    const QString details = QString::fromLatin1("%1\n%2\nTelephone %3\nFax %4\nE-mail %5\n%6")
                                .arg(QString::fromLatin1(maker::kName), QString::fromLatin1(maker::kAddress),
                                     QString::fromLatin1(maker::kTelephone), QString::fromLatin1(maker::kFax),
                                     QString::fromLatin1(maker::kEmail), QString::fromLatin1(maker::kWebAddress));
    auto* maker = new QLabel(details, this);
    maker->setTextFormat(Qt::PlainText);
    layout->addWidget(maker);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

TSearchMessage::TSearchMessage(const std::string& caption, const std::string& text, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(FromCoreText(caption));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    text_ = new QLabel(FromCoreText(text), this);
    text_->setTextFormat(Qt::PlainText);
    text_->setWordWrap(true);
    text_->setMinimumWidth(380);
    layout->addWidget(text_);
}

void TSearchMessage::SetText(const std::string& text) { text_->setText(FromCoreText(text)); }

QString TSearchMessage::Text() const { return text_->text(); }

TConnectionStatus::TConnectionStatus(AEIData& data, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("AEI Tag Programmer & Reader Connection Status"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    const char* heads[4] = {"Status", "Device Type", "Programmer Port", "Reader Port"};
    for (int c = 0; c < 4; ++c) grid->addWidget(new QLabel(QString::fromLatin1(heads[c]), this), 0, c + 1);
    for (int p = 0; p < kCommPorts; ++p) {
        const CommStatusData s = GetCommStatusData(data, p);
        grid->addWidget(new QLabel(QStringLiteral("Comm Port %1").arg(p + 1), this), p + 1, 0);
        auto* status = new QLineEdit(FromCoreText(std::string(GetText(s.statusText))), this);
        status->setReadOnly(true);
        status->setMinimumWidth(300);
        auto* type = new QLineEdit(FromCoreText(std::string(GetText(s.deviceType))), this);
        type->setReadOnly(true);
        auto* prog = new QCheckBox(this);
        prog->setChecked(s.programmerHere == 1);
        prog->setEnabled(false);
        auto* reader = new QCheckBox(this);
        reader->setChecked(s.readerHere == 1);
        reader->setEnabled(false);
        QWidget* row[4] = {status, type, prog, reader};
        for (int c = 0; c < 4; ++c) {
            grid->addWidget(row[c], p + 1, c + 1, c >= 2 ? Qt::AlignHCenter : Qt::Alignment());
            cells_[p][c] = row[c];
        }
    }
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QString TConnectionStatus::Cell(int port, int column) const {
    if (port < 0 || port >= 4 || column < 0 || column >= 4) return {};
    if (auto* e = qobject_cast<QLineEdit*>(cells_[port][column])) return e->text();
    if (auto* b = qobject_cast<QCheckBox*>(cells_[port][column])) return b->isChecked() ? "1" : "0";
    return {};
}

TProgrammerParameters::TProgrammerParameters(const ProgrammerState& state, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Programmer Parameters"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    const QString port = state.port >= 0 && state.port < kCommPorts ? QStringLiteral("COM%1").arg(state.port + 1)
                                                                     : QString();
    const QString values[4] = {port, FromCoreText(std::string(GetText(state.model))),
                               FromCoreText(std::string(GetText(state.version))),
                               FromCoreText(std::string(GetText(state.lastError)))};
    const char* labels[4] = {"Port", "Model", "Version", "Last Error"};
    for (int i = 0; i < 4; ++i) {
        fields_[i] = new QLineEdit(values[i], this);
        fields_[i]->setReadOnly(true);
        fields_[i]->setMinimumWidth(260);
        form->addRow(QString::fromLatin1(labels[i]), fields_[i]);
    }
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

QString TProgrammerParameters::Field(int index) const {
    return index >= 0 && index < 4 ? fields_[index]->text() : QString();
}

} // namespace velmora
