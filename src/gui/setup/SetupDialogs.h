// The Setup menu's dialogs: "Programmed By Data Entry" (the company printed
// on every label after "Prog by "), "Vehicle Initial" (the initial written
// into tags certified for reuse) and "Set Background Color" (the tag form's
// background). Each shows the stored value, stores on OK and changes nothing
// on Cancel.
#pragma once

#include "data/AEIData.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QDialogButtonBox;
class QLineEdit;

namespace velmora {

class TProgrammedBy : public QDialog {
    Q_OBJECT
public:
    TProgrammedBy(AEIData& data, QWidget* parent = nullptr);
    QLineEdit* Edit() const { return edit_; }
    void accept() override;

private:
    AEIData& data_;
    QLineEdit* edit_ = nullptr;
};

class TCertificationData : public QDialog {
    Q_OBJECT
public:
    TCertificationData(AEIData& data, QWidget* parent = nullptr);
    QLineEdit* Edit() const { return edit_; }
    void accept() override;

private:
    AEIData& data_;
    QLineEdit* edit_ = nullptr;
};

// The message for a typed colour name that is not in the list.
std::string UnknownColorText(const std::string& name);

class TBackgroundColor : public QDialog {
    Q_OBJECT
public:
    // applied(index) runs after OK has stored a colour: the tag form takes it
    // and repaints.
    TBackgroundColor(AEIData& data, std::function<void(int index)> applied, QWidget* parent = nullptr);
    QComboBox* Combo() const { return combo_; }
    void accept() override;

private:
    AEIData& data_;
    std::function<void(int)> applied_;
    QComboBox* combo_ = nullptr;
};

// The colour of a background colour table entry (red in the low byte).
QColor BackgroundColorValue(const BackgroundColor& entry);
// Gives a widget the background colour of the stored index and repaints it.
void ApplyBackgroundColor(QWidget* form, AEIData& data);

} // namespace velmora
