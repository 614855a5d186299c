// The frame's small windows: the About box, the programmer search message,
// "AEI Tag Programmer & Reader Connection Status" and "Programmer
// Parameters".
#pragma once

#include "data/AEIData.h"

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;

namespace velmora {

class TAbout : public QDialog {
    Q_OBJECT
public:
    TAbout(const std::string& versionText, QWidget* parent = nullptr);
    QLineEdit* VersionField() const { return version_; }

private:
    QLineEdit* version_ = nullptr;
};

// A modeless message shown while the links search the ports.
class TSearchMessage : public QDialog {
    Q_OBJECT
public:
    TSearchMessage(const std::string& caption, const std::string& text, QWidget* parent = nullptr);
    void SetText(const std::string& text);
    QString Text() const;

private:
    QLabel* text_ = nullptr;
};

// Display only: the four ports' status records.
class TConnectionStatus : public QDialog {
    Q_OBJECT
public:
    TConnectionStatus(AEIData& data, QWidget* parent = nullptr);
    // Row 0..3, column 0 status, 1 device type; 2 and 3 "1"/"0" for the
    // programmer and reader check boxes.
    QString Cell(int port, int column) const;

private:
    QWidget* cells_[4][4] = {};
};

class TProgrammerParameters : public QDialog {
    Q_OBJECT
public:
    TProgrammerParameters(const ProgrammerState& state, QWidget* parent = nullptr);
    // 0 Port, 1 Model, 2 Version, 3 Last Error.
    QString Field(int index) const;

private:
    QLineEdit* fields_[4] = {};
};

} // namespace velmora
