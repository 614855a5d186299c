// "Label Printer Setup": the choice of the printer labels go to.
#pragma once

#include "data/AEIData.h"
#include "qt/TLabelPrinter.h"

#include <QDialog>

#include <string>

class QListWidget;

namespace velmora {

// Modal: the default printer, each installed printer and "PDF file"; a
// stored printer that is no longer installed is listed too, so that OK
// without a change keeps it. OK stores the choice (StoreLabelPrinterChoice);
// Cancel changes nothing.
class TLabelPrinterSetup : public QDialog {
    Q_OBJECT
public:
    TLabelPrinterSetup(AEIData& data, TLabelPrinter& printer, const InstalledPrinters& installed,
                       QWidget* parent = nullptr);
    QListWidget* List() const { return list_; }
    // The device name of the selected entry, as the settings store it.
    std::string Choice() const;
    void accept() override;

private:
    AEIData& data_;
    TLabelPrinter& printer_;
    QListWidget* list_ = nullptr;
};

} // namespace velmora
