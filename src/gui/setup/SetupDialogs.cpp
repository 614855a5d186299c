#include "setup/SetupDialogs.h"

#include "qt/QtOperator.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace velmora {

namespace {

constexpr int kEditId = 101;

// Label, the control, OK and Cancel, top to bottom.
QDialogButtonBox* BuildLayout(QDialog* dialog, const char* caption, const char* label, QWidget* control) {
    dialog->setWindowTitle(QString::fromLatin1(caption));
    auto* layout = new QVBoxLayout(dialog);
    auto* text = new QLabel(QString::fromLatin1(label), dialog);
    text->setWordWrap(true);
    text->setBuddy(control);
    layout->addWidget(text);
    layout->addWidget(control);
    control->setProperty("controlId", kEditId);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    control->setFocus();
    return buttons;
}

} // namespace

// ---- programmed by ------------------------------------------------------------------------

TProgrammedBy::TProgrammedBy(AEIData& data, QWidget* parent) : QDialog(parent), data_(data) {
    edit_ = new QLineEdit(this);
    edit_->setMaxLength(34);
    edit_->setMinimumWidth(edit_->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 24);
    BuildLayout(this, "Programmed By Data Entry", "Company Programmimg Tag", edit_);
    const SettingsBlock s = data_.GetSettings();
    edit_->setText(FromCoreText(std::string(FixedView(s.programmedByCompany, sizeof s.programmedByCompany))));
}

void TProgrammedBy::accept() {
    SettingsBlock s = data_.GetSettings();
    SetText(s.programmedByCompany, ToCoreText(edit_->text()).substr(0, 34));
    s.programmedByEntry = 1;
    data_.UpdateSettings(s);
    QDialog::accept();
}

// ---- certification initial ------------------------------------------------------------------

TCertificationData::TCertificationData(AEIData& data, QWidget* parent) : QDialog(parent), data_(data) {
    edit_ = new QLineEdit(this);
    edit_->setMaxLength(4);
    edit_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z ]*")), edit_));
    BuildLayout(this, "Vehicle Initial",
                "Vehicle initial programmed into the tag when tag is being certified for reuse", edit_);
    const SettingsBlock s = data_.GetSettings();
    edit_->setText(FromCoreText(std::string(FixedView(s.certificationInitial, sizeof s.certificationInitial))));
}

void TCertificationData::accept() {
    std::string initial = UpperAscii(ToCoreText(edit_->text()).substr(0, 4));
    // Only letters and blanks reach the tag's base-27 field.
    for (char& c : initial)
        if (!(c >= 'A' && c <= 'Z')) c = ' ';
    initial.resize(4, ' ');
    SettingsBlock s = data_.GetSettings();
    SetText(s.certificationInitial, initial);
    data_.UpdateSettings(s);
    QDialog::accept();
}

// ---- background colour -----------------------------------------------------------------------

std::string UnknownColorText(const std::string& name) {
    return "There is no color called \"" + name +
           "\".  Please select one of the colors in the list; the background color was not changed.";
}

QColor BackgroundColorValue(const BackgroundColor& entry) {
    return QColor(static_cast<int>(entry.value & 0xff), static_cast<int>((entry.value >> 8) & 0xff),
                  static_cast<int>((entry.value >> 16) & 0xff));
}

void ApplyBackgroundColor(QWidget* form, AEIData& data) {
    if (!form) return;
    int index = data.GetSettings().backgroundColor;
    if (index < 0 || index >= kBackgroundColors) index = 0;
    const BackgroundColor entry = data.GetBackgroundColor(index);
    if (!entry.defined) return;
    QPalette pal = form->palette();
    pal.setColor(QPalette::Window, BackgroundColorValue(entry));
    form->setPalette(pal);
    form->setAutoFillBackground(true);
    form->update();
}

TBackgroundColor::TBackgroundColor(AEIData& data, std::function<void(int)> applied, QWidget* parent)
    : QDialog(parent), data_(data), applied_(std::move(applied)) {
    combo_ = new QComboBox(this);
    combo_->setEditable(true);
    combo_->setInsertPolicy(QComboBox::NoInsert);
    combo_->lineEdit()->setMaxLength(31);
    combo_->setMinimumWidth(combo_->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 14);
    BuildLayout(this, "Set Background Color", "Select background color", combo_);
    const int stored = data_.GetSettings().backgroundColor;
    for (int i = 0; i < kBackgroundColors; ++i) {
        const BackgroundColor c = data_.GetBackgroundColor(i);
        if (c.defined != 1) continue;
        combo_->addItem(FromCoreText(std::string(FixedView(c.name, sizeof c.name))), i);
        if (i == stored) combo_->setCurrentIndex(combo_->count() - 1);
    }
}

void TBackgroundColor::accept() {
    const std::string name = ToCoreText(combo_->currentText()).substr(0, 31);
    const int index = data_.FindBackgroundColor(name);
    if (index < 0) {
        // The table has nothing to fall back on: nothing changes and the
        // operator picks again.
        data_.GetOperator().MessageBox(data_.ErrorCaption(), UnknownColorText(name), MsgIcon::Stop, MsgButtons::Ok);
        combo_->setFocus();
        combo_->lineEdit()->selectAll();
        return;
    }
    SettingsBlock s = data_.GetSettings();
    s.backgroundColor = index;
    data_.UpdateSettings(s);
    if (applied_) applied_(index);
    QDialog::accept();
}

} // namespace velmora
