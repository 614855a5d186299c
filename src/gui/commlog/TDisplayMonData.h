// "Communication Monitoring": the recent serial traffic, newest first, in a
// read-only text box that follows every message while the window is open.
#pragma once

#include "commlog/CommLog.h"

#include <QDialog>

#include <functional>
#include <string>

class QPlainTextEdit;

namespace velmora {

class TDisplayMonData : public QDialog {
    Q_OBJECT
public:
    // onClosed runs whenever the window closes (Cancel or its close box).
    TDisplayMonData(CommLog& log, std::function<void()> onClosed, QWidget* parent = nullptr);
    ~TDisplayMonData() override;

    // Opens the window (modeless), following the log from now on.
    void Open();
    // Puts the text into the "Communication Data" box, replacing it.
    void Refresh(const std::string& text);
    QPlainTextEdit* DataBox() const { return text_; }

private:
    CommLog& log_;
    std::function<void()> onClosed_;
    QPlainTextEdit* text_ = nullptr;
};

} // namespace velmora
