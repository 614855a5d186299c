// "Format Request": picks the tag format to edit, or "<<New>>" for a new one.
#pragma once

#include "data/AEIData.h"

#include <QDialog>

#include <string>

class QListWidget;

namespace velmora {

class TFormatRequest : public QDialog {
    Q_OBJECT
public:
    TFormatRequest(AEIData& data, QWidget* parent = nullptr);

    QListWidget* List() const { return list_; }
    // After OK: true for "<<New>>"; otherwise the chosen format's name.
    bool NewChosen() const;
    std::string ChosenName() const;
    // The slot to edit: -1 for a new format, the slot found by name
    // otherwise (-1 also when the name is no longer defined).
    int ChosenSlot() const;

private:
    AEIData& data_;
    QListWidget* list_ = nullptr;
};

} // namespace velmora
