// "Find UMLER Data": looks a vehicle up in the UMLER data file without
// touching the tag form or the current UMLER record. The dialog stays open
// for the next search.
#pragma once

#include "data/AEIData.h"

#include <QDialog>

#include <array>
#include <string>

class QLineEdit;
class QPushButton;

namespace velmora {

class TFindUMLER : public QDialog {
    Q_OBJECT
public:
    // dataPath: the UMLER data file ("umlerdata.uml" in the start directory).
    TFindUMLER(AEIData& data, std::string dataPath, QWidget* parent = nullptr);

    QLineEdit* InitialEdit() const { return initial_; }
    QLineEdit* NumberEdit() const { return number_; }
    // The six result fields: Type, Axles, Platform, Length, Tare Weight,
    // Capacity.
    QLineEdit* Result(int index) const { return results_[static_cast<std::size_t>(index)]; }
    QPushButton* FindButton() const { return find_; }
    QPushButton* ClearButton() const { return clear_; }
    QPushButton* CancelButton() const { return cancel_; }

    void Find();
    void Clear();

private:
    AEIData& data_;
    std::string dataPath_;
    QLineEdit* initial_ = nullptr;
    QLineEdit* number_ = nullptr;
    std::array<QLineEdit*, 6> results_{};
    QPushButton* find_ = nullptr;
    QPushButton* clear_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace velmora
