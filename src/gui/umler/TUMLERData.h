// "UMLER Data": the current UMLER record, shown while the operator works. A
// modeless window; the tag form's lookups refresh it.
#pragma once

#include "data/AEIData.h"

#include <QDialog>

#include <array>
#include <functional>

class QLineEdit;

namespace velmora {

class TUMLERData : public QDialog {
    Q_OBJECT
public:
    // onClosed runs when the operator closes the window (not when its owner
    // destroys it).
    TUMLERData(AEIData& data, std::function<void()> onClosed, QWidget* parent = nullptr);

    // Shows the current record (all fields empty when there is none).
    void ShowRecord();
    // The seven fields: Vehicle ID, Type, Axles, Platform, Length, Tare
    // Weight, Capacity.
    QLineEdit* Field(int index) const { return fields_[static_cast<std::size_t>(index)]; }
    void ForgetOwner() { onClosed_ = nullptr; }

private:
    AEIData& data_;
    std::function<void()> onClosed_;
    std::array<QLineEdit*, 7> fields_{};
};

} // namespace velmora
