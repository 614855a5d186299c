// "Tag Manufactring Lot Number": the five-digit lot number (YYDDD) of a tag
// certified for reuse, asked before its label is printed when the
// recondition check is on. OK checks the number and stores the lot data in
// the last tag record; a bad number is shown and the dialog stays open.
// Cancel stores nothing.
#pragma once

#include "data/AEIData.h"
#include "tagwindow/Workflows.h"

#include <QDialog>

#include <functional>

class QLineEdit;

namespace velmora {

class TTagDate : public QDialog {
    Q_OBJECT
public:
    TTagDate(AEIData& data, QWidget* parent = nullptr);
    QLineEdit* Edit() const { return edit_; }
    void accept() override;

private:
    AEIData& data_;
    QLineEdit* edit_ = nullptr;
};

// The workflows' lot number step: runs the dialog modally (run: how it is
// run; empty = exec) and tells OK from Cancel.
LotDialogResult RunLotNumberDialog(AEIData& data, QWidget* parent,
                                   const std::function<int(QDialog&)>& run = {});

} // namespace velmora
