#include "setup/TTagDate.h"

#include "data/LotNumber.h"
#include "qt/QtOperator.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>

namespace velmora {

namespace {

// Room the title bar takes besides its text: the window icon and the
// minimize, maximize and close buttons with their margins.
constexpr int kTitleBarAllowance = 160;

} // namespace

TTagDate::TTagDate(AEIData& data, QWidget* parent) : QDialog(parent), data_(data) {
    setWindowTitle(QStringLiteral("Tag Manufactring Lot Number"));
    auto* layout = new QVBoxLayout(this);
    edit_ = new QLineEdit(this);
    edit_->setMaxLength(5);
    edit_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit_));
    edit_->setProperty("controlId", 101);
    auto* label = new QLabel(QStringLiteral("Manufacturing Lot Number"), this);
    label->setBuddy(edit_);
    layout->addWidget(label);
    layout->addWidget(edit_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    edit_->clear();
    edit_->setFocus();
    // Wide enough for the whole title beside the title bar's icon and
    // buttons, which are wider than the dialog's own content.
    QFont titleFont = font();
    titleFont.setBold(true);
    const int titleWidth = QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + kTitleBarAllowance;
    setMinimumWidth(std::max(sizeHint().width(), titleWidth));
}

void TTagDate::accept() {
    if (!ApplyLotNumber(data_, ToCoreText(edit_->text()))) {
        edit_->setFocus();
        edit_->selectAll();
        return;
    }
    QDialog::accept();
}

LotDialogResult RunLotNumberDialog(AEIData& data, QWidget* parent, const std::function<int(QDialog&)>& run) {
    TTagDate dialog(data, parent);
    const int result = run ? run(dialog) : dialog.exec();
    return result == QDialog::Accepted ? LotDialogResult::Ok : LotDialogResult::Cancel;
}

} // namespace velmora
