#include "commlog/TDisplayMonData.h"

#include "qt/QtOperator.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora {

TDisplayMonData::TDisplayMonData(CommLog& log, std::function<void()> onClosed, QWidget* parent)
    : QDialog(parent), log_(log), onClosed_(std::move(onClosed)) {
    setWindowTitle(QStringLiteral("Communication Monitoring"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Communication Data"), this));
    text_ = new QPlainTextEdit(this);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(text_);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(640, 420);
    connect(this, &QDialog::finished, this, [this] {
        log_.SetMonitorRefresh({});
        if (onClosed_) onClosed_();
    });
}

TDisplayMonData::~TDisplayMonData() {
    log_.SetMonitorRefresh({});
}

void TDisplayMonData::Open() {
    log_.SetMonitorRefresh([this](const std::string& text) { Refresh(text); });
    Refresh(log_.MonitorText());
    show();
}

void TDisplayMonData::Refresh(const std::string& text) {
    // The box holds at most 10000 characters; the text is cut before that.
    const std::string shown = text.size() > kMonitorTextLimit ? text.substr(0, kMonitorTextLimit) : text;
    QString t = FromCoreText(shown);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text_->setPlainText(t);
}

} // namespace velmora
