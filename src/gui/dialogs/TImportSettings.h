// "Import Settings": the fleet list's file name, delimiter and the two flags.
// OK stores them; Cancel leaves them.
#pragma once

#include "data/AEIData.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace velmora {

class TImportSettings : public QDialog {
    Q_OBJECT
public:
    explicit TImportSettings(AEIData& data, QWidget* parent = nullptr);

    QLineEdit* FileName() const { return fileName_; }
    QLineEdit* Delimiter() const { return delimiter_; }
    QCheckBox* Header() const { return header_; }
    QCheckBox* FillNext() const { return fillNext_; }

    void accept() override;

private:
    AEIData& data_;
    QLineEdit* fileName_ = nullptr;
    QLineEdit* delimiter_ = nullptr;
    QCheckBox* header_ = nullptr;
    QCheckBox* fillNext_ = nullptr;
};

} // namespace velmora
