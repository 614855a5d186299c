#include "dialogs/TImportSettings.h"

#include "qt/QtOperator.h"
#include "util/FixedText.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

namespace velmora {

TImportSettings::TImportSettings(AEIData& data, QWidget* parent) : QDialog(parent), data_(data) {
    setWindowTitle(QStringLiteral("Import Settings"));
    const ImportSettings s = data_.GetImportSettings();
    auto* form = new QFormLayout(this);
    fileName_ = new QLineEdit(FromCoreText(data_.ImportTagFileName()), this);
    fileName_->setMaxLength(static_cast<int>(kFileNameWidth) - 1);
    form->addRow(QStringLiteral("List file"), fileName_);
    delimiter_ = new QLineEdit(FromCoreText(std::string(GetText(s.delimiter))), this);
    delimiter_->setMaxLength(1);
    form->addRow(QStringLiteral("Delimiter"), delimiter_);
    header_ = new QCheckBox(QStringLiteral("First line names the columns"), this);
    header_->setChecked(s.flag1 != 0);
    form->addRow(header_);
    fillNext_ = new QCheckBox(QStringLiteral("Fill the next line after each finished tag"), this);
    fillNext_->setChecked(s.flag2 != 0);
    form->addRow(fillNext_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

void TImportSettings::accept() {
    const std::string name = ToCoreText(fileName_->text());
    const std::string delimiter = ToCoreText(delimiter_->text());
    // A quote or nothing cannot split a line.
    if (name.empty() || delimiter.size() != 1 || delimiter[0] == '"') {
        data_.GetOperator().MessageBox(data_.ErrorCaption(),
                                       "Please give the list file's name and one delimiter character other "
                                       "than a double quote.",
                                       MsgIcon::Stop, MsgButtons::Ok);
        return;
    }
    ImportSettings s = data_.GetImportSettings();
    SetText(s.fileName, name);
    SetText(s.delimiter, delimiter);
    s.flag1 = header_->isChecked() ? 1 : 0;
    s.flag2 = fillNext_->isChecked() ? 1 : 0;
    data_.UpdateImportSettings(s);
    data_.SetImportTagFileName(name);
    QDialog::accept();
}

} // namespace velmora
