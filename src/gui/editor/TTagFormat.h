// "AEI Tag Formats": the tag format editor's dialog. It shows the format's
// header, its 15 field rows, the default tag and the two check boxes, and
// hands every decision to FormatEditor: the OK checks with their messages
// and focus, Copy, Delete and storing. After a format was stored or deleted
// the tag form's format list is refilled.
#pragma once

#include "data/AEIData.h"
#include "tagdata/FormatEditor.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace velmora {

struct TagFormatHooks {
    // The formats changed: the tag form refills its format list.
    std::function<void()> formatsChanged;
    // "Help": the help on tag formats (or the manual where there is no help
    // viewer).
    std::function<void()> help;
};

class TTagFormat : public QDialog {
    Q_OBJECT
public:
    // The editor has been opened (FormatEditor::Open) for the slot to show.
    TTagFormat(AEIData& data, FormatEditor& editor, TagFormatHooks hooks, QWidget* parent = nullptr);

    // What the controls hold, and showing values in them.
    FormatEditorValues Collect() const;
    void Show(const FormatEditorValues& values);

    // The buttons.
    void CmOk();
    void CmCopy();
    void CmDelete();
    void CmHelp();

    // The control a check names.
    QWidget* Control(const EditorFocus& focus) const;

    QLineEdit* NameEdit() const { return name_; }
    QLineEdit* EquipmentEdit() const { return equipment_; }
    QLineEdit* FormatCodeEdit() const { return formatCode_; }
    QLineEdit* TagTypeEdit() const { return tagType_; }
    QLineEdit* FieldNameEdit(int row) const { return rows_[static_cast<std::size_t>(row)].name; }
    QLineEdit* StartEdit(int row) const { return rows_[static_cast<std::size_t>(row)].start; }
    QLineEdit* LengthEdit(int row) const { return rows_[static_cast<std::size_t>(row)].length; }
    QComboBox* TypeList(int row) const { return rows_[static_cast<std::size_t>(row)].type; }
    QLineEdit* MinimumEdit(int row) const { return rows_[static_cast<std::size_t>(row)].minimum; }
    QLineEdit* MaximumEdit(int row) const { return rows_[static_cast<std::size_t>(row)].maximum; }
    QLineEdit* DefaultEdit(int row) const { return rows_[static_cast<std::size_t>(row)].defaultText; }
    QComboBox* DefaultTagList() const { return defaultTag_; }
    QCheckBox* NotForReadingBox() const { return notForReading_; }
    QCheckBox* HalfFrameBox() const { return halfFrame_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }
    QPushButton* CopyButton() const { return copy_; }
    QPushButton* DeleteButton() const { return delete_; }
    QPushButton* HelpButton() const { return helpButton_; }

private:
    struct RowControls {
        QLineEdit* name = nullptr;
        QLineEdit* start = nullptr;
        QLineEdit* length = nullptr;
        QComboBox* type = nullptr;
        QLineEdit* minimum = nullptr;
        QLineEdit* maximum = nullptr;
        QLineEdit* defaultText = nullptr;
    };

    void UpdateButtons();

    AEIData& data_;
    FormatEditor& editor_;
    TagFormatHooks hooks_;
    QLineEdit* name_ = nullptr;
    QLineEdit* equipment_ = nullptr;
    QLineEdit* formatCode_ = nullptr;
    QLineEdit* tagType_ = nullptr;
    std::array<RowControls, kFieldRows> rows_{};
    QComboBox* defaultTag_ = nullptr;
    QCheckBox* notForReading_ = nullptr;
    QCheckBox* halfFrame_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* helpButton_ = nullptr;
};

} // namespace velmora
