#include "qt/QtOperator.h"

#include <QMessageBox>
#include <QTimer>

#include <memory>

namespace velmora {

QString FromCoreText(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToCoreText(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text) out += c.unicode() < 256 ? static_cast<char>(c.unicode()) : '?';
    return out;
}

QtOperator::QtOperator(QObject* parent) : QObject(parent) {}

QMessageBox* QtOperator::BuildBox(QWidget* parent, const std::string& caption, const std::string& text,
                                  MsgIcon icon, MsgButtons buttons) {
    QMessageBox::Icon qicon = QMessageBox::NoIcon;
    switch (icon) {
    case MsgIcon::None: qicon = QMessageBox::NoIcon; break;
    case MsgIcon::Information: qicon = QMessageBox::Information; break;
    case MsgIcon::Question: qicon = QMessageBox::Question; break;
    case MsgIcon::Exclamation: qicon = QMessageBox::Warning; break;
    case MsgIcon::Stop: qicon = QMessageBox::Critical; break;
    }
    QMessageBox::StandardButtons set = QMessageBox::Ok;
    QMessageBox::StandardButton first = QMessageBox::Ok;
    switch (buttons) {
    case MsgButtons::Ok: set = QMessageBox::Ok; first = QMessageBox::Ok; break;
    case MsgButtons::OkCancel: set = QMessageBox::Ok | QMessageBox::Cancel; first = QMessageBox::Ok; break;
    case MsgButtons::YesNo: set = QMessageBox::Yes | QMessageBox::No; first = QMessageBox::Yes; break;
    case MsgButtons::YesNoCancel:
        set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        first = QMessageBox::Yes;
        break;
    }
    auto* box = new QMessageBox(qicon, FromCoreText(caption), FromCoreText(text), set, parent);
    // The texts are the system's own words, never markup.
    box->setTextFormat(Qt::PlainText);
    box->setDefaultButton(first);
    return box;
}

MsgAnswer QtOperator::AnswerFor(int standardButton, MsgButtons buttons) {
    switch (standardButton) {
    case QMessageBox::Ok: return MsgAnswer::Ok;
    case QMessageBox::Cancel: return MsgAnswer::Cancel;
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    default: break;
    }
    // Closed some other way (the window's close box): the safe answer.
    switch (buttons) {
    case MsgButtons::Ok: return MsgAnswer::Ok;
    case MsgButtons::YesNo: return MsgAnswer::No;
    case MsgButtons::OkCancel:
    case MsgButtons::YesNoCancel: return MsgAnswer::Cancel;
    }
    return MsgAnswer::Cancel;
}

MsgAnswer QtOperator::MessageBox(const std::string& caption, const std::string& text, MsgIcon icon,
                                 MsgButtons buttons) {
    std::unique_ptr<QMessageBox> box(BuildBox(parent_.data(), caption, text, icon, buttons));
    const int pressed = box->exec();
    return AnswerFor(pressed, buttons);
}

void QtOperator::ShowPrompt(const std::string& text, int blink) {
    lastPrompt_ = text;
    if (promptSink_) promptSink_(text, blink);
}

void QtOperator::PostNotification(int code) {
    // Queued: the frame sees it after the current tick or command has ended.
    QTimer::singleShot(0, this, [this, code] { emit notificationDelivered(code); });
}

} // namespace velmora
