// The operator seen through real widgets: modal message boxes, the frame's
// prompt bar and notifications posted to the frame. A posted notification is
// delivered from the event loop after the caller has returned, never from
// inside the call that posted it.
#pragma once

#include "platform/Operator.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <string>

class QMessageBox;

namespace velmora {

// Single-byte texts of the core and the records, as shown on screen.
QString FromCoreText(const std::string& text);
// A typed text as the core keeps it: characters outside one byte become "?".
std::string ToCoreText(const QString& text);

class QtOperator : public QObject, public Operator {
    Q_OBJECT
public:
    explicit QtOperator(QObject* parent = nullptr);

    // The window message boxes are centred on and modal to (the frame).
    void SetParentWidget(QWidget* parent) { parent_ = parent; }
    // Where ShowPrompt goes (the frame's prompt bar). Without it prompts are
    // kept only as LastPrompt.
    void SetPromptSink(std::function<void(const std::string&, int)> sink) { promptSink_ = std::move(sink); }

    MsgAnswer MessageBox(const std::string& caption, const std::string& text, MsgIcon icon,
                         MsgButtons buttons) override;
    void ShowPrompt(const std::string& text, int blink) override;
    void PostNotification(int code) override;

    const std::string& LastPrompt() const { return lastPrompt_; }

    // The box as MessageBox shows it, not yet run (used by MessageBox and by
    // the tests that look at it).
    static QMessageBox* BuildBox(QWidget* parent, const std::string& caption, const std::string& text,
                                 MsgIcon icon, MsgButtons buttons);
    // The answer for the button the box was closed with.
    static MsgAnswer AnswerFor(int standardButton, MsgButtons buttons);

signals:
    // A posted notification, emitted from the event loop.
    void notificationDelivered(int code);

private:
    QPointer<QWidget> parent_;
    std::function<void(const std::string&, int)> promptSink_;
    std::string lastPrompt_;
};

} // namespace velmora
