// The portable reader's windows: "Reader Port Selection", "Portable Reader
// Parameters" and the modeless "Tag RF Read Status".
#pragma once

#include "data/AEIData.h"
#include "serial/ReaderRecords.h"

#include <QDialog>

#include <functional>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora {

// Modal: "-none-" or a port for the reader. OK stores the choice (and resumes
// a programmed tag's RF check).
class TReaderPortSelection : public QDialog {
    Q_OBJECT
public:
    TReaderPortSelection(AEIData& data, QWidget* parent = nullptr);
    QComboBox* List() const { return list_; }
    void accept() override;

private:
    AEIData& data_;
    QComboBox* list_ = nullptr;
};

// Modal, display only; "Refresh" closes it as OK does.
class TPortableParameters : public QDialog {
    Q_OBJECT
public:
    TPortableParameters(const ReaderParameters& p, QWidget* parent = nullptr);
    // 0 Port, 1 User ID, 2 Date/Time, 3 Battery, 4-6 alarm levels 1-3,
    // 7 Firmware version.
    QString Field(int index) const;

private:
    QLineEdit* fields_[8] = {};
};

// Modeless: shown while the operator reads the programmed tag with the
// portable reader; Cancel gives the reading up.
class TRfReadStatus : public QDialog {
    Q_OBJECT
public:
    TRfReadStatus(const std::string& caption, const std::string& text, std::function<void()> onCancel,
                  QWidget* parent = nullptr);
    QString Text() const;
    // A new text while the window stays open (the reader disconnected, and back).
    void SetText(const std::string& text);
    QPushButton* CancelButton() const { return cancel_; }
    // Closes the window without cancelling the reading.
    void Dismiss();

private:
    QLabel* text_ = nullptr;
    QPushButton* cancel_ = nullptr;
    std::function<void()> onCancel_;
};

} // namespace velmora
