// The tag form: the format list, one line per shown field with its control,
// the tag type list, the recent tags list, the raw data line and the eleven
// buttons, with the labels and notes painted beside the controls. It is built
// for one format and replaced whole when the format or the length units
// change. The workflows reach it through TagForm.
#pragma once

#include "data/AEIData.h"
#include "tagwindow/FormRules.h"
#include "tagwindow/TagForm.h"
#include "tagwindow/TagWindowHost.h"

#include <QMenu>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <array>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace velmora {

class TagWorkflows;

class TAEIWindow : public QWidget, public TagForm {
    Q_OBJECT
public:
    // Commands of the buttons, the keys and the format list.
    static constexpr int kCmProgramTag = 1001;
    static constexpr int kCmReadTag = 1002;
    static constexpr int kCmUmlerLookup = 1003;
    static constexpr int kCmNextTag = 1004;
    static constexpr int kCmPreviousTag = 1005;
    static constexpr int kCmFormatChange = 1006;
    static constexpr int kCmRebuildForm = 1007;
    static constexpr int kCmClearTagCounter = 1008;
    static constexpr int kCmCertifyTag = 1009;
    static constexpr int kCmAdd10 = 1010;
    static constexpr int kCmAdd100 = 1011;
    static constexpr int kCmSubtract10 = 1012;
    static constexpr int kCmSubtract100 = 1013;
    // Control ids: 1500 + row for field controls.
    static constexpr int kFirstFieldId = 1500;
    static constexpr int kTagTypeId = 1515;
    static constexpr int kRecentTagsId = 1516;
    static constexpr int kRawDataId = 1517;

    TAEIWindow(AEIData& data, TagWorkflows& workflows, TagWindowHost& host, bool certifyPending,
               QWidget* parent = nullptr);
    ~TAEIWindow() override;

    // Fills the form (SetupWindow): run once the workflows act on this form.
    void SetupWindow();
    // The commands of the buttons and the keys.
    void Command(int commandId);
    // Refills the recent tags list from the recent tag lines.
    void FillRecentTags();

    // ---- TagForm ----------------------------------------------------------------
    FieldControl Control(int row) const override;
    std::string FieldText(int row) const override;
    void SetFieldText(int row, const std::string& text) override;
    TagFormMarks Marks() const override { return marks_; }
    void SetMarks(const TagFormMarks& marks) override { marks_ = marks; }
    void SetSideFieldRow(int row) override { sideRow_ = row; }
    void Repaint() override;
    void FocusField(int row) override;
    void SetRawData(const std::string& text) override;
    std::string TagTypeText() const override;
    void SetTagTypeText(const std::string& text) override;
    void ReplaceTagWindow(bool certifyPending) override;

    // ---- what the frame and the tests look at -------------------------------------
    const TagFormatData& Format() const { return format_; }
    int FormatIndex() const { return formatIndex_; }
    int CurrentField() const { return currentField_; }
    int SideFieldRow() const { return sideRow_; }
    bool SettingUp() const { return settingUp_; }
    bool FeetInches() const { return feetInches_; }
    QLineEdit* EditAt(int row) const;
    QComboBox* SideListAt(int row) const;
    QComboBox* FormatList() const { return formatList_; }
    QComboBox* TagTypeList() const { return tagTypeList_; }
    QListWidget* RecentTags() const { return recentTags_; }
    QLabel* RawDataLine() const { return rawData_; }
    QPushButton* Button(int commandId) const;
    QMenu* PopupMenu() const { return popup_; }
    // The notes the next paint draws.
    FormNotes CurrentNotes() const;
    // Where the next paint draws each note (the class note with row -1): in
    // the right column of its line, left of the button column on the lines
    // beside the buttons, in a smaller font when the line's notes would not
    // fit there otherwise.
    struct PlacedNote {
        int row = -1;
        QString text;
        bool red = false;
        QRect rect;
        int pixelSize = 16;
    };
    std::vector<PlacedNote> PlacedNotes() const;
    // The line (0 = first field line) of a shown row, -1 for a row not shown.
    int LineOfRow(int row) const;
    // The y of a field line's text and of the tag type line.
    static int LineY(int line) { return 42 + 30 * line; }
    int TagTypeLineY() const { return LineY(shownLines_); }
    QColor Background() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void BuildButtons();
    // The buttons at the right edge of the form (at the narrowest form, the
    // columns at x 475 and 630), leaving the notes the width between.
    void PlaceButtons();
    void FillFormatList();
    void FillTagTypeList();
    // The key map; row is the row whose control has the key (the current
    // field for the window itself). True when the key was used.
    bool HandleMappedKey(int row, int key, bool fromWindow);
    bool HandleFunctionKey(int key);
    void MoveTo(int row);
    int NextRow(int row) const;
    int PreviousRow(int row) const;
    int LastRowWithControl() const;
    int RowOfControl(const QObject* control) const;
    void MouseMovedTo(const QPoint& pos);
    void ShowPopupMenu(const QPoint& globalPos);
    void FormatChosen(int index);

    AEIData& data_;
    TagWorkflows& workflows_;
    TagWindowHost& host_;
    bool certifyPending_ = false;

    bool settingUp_ = true;
    int currentField_ = 0;
    int sideRow_ = -1;
    int formatIndex_ = 0;
    TagFormatData format_;
    bool feetInches_ = true;
    int shownLines_ = 0;
    std::array<QComboBox*, kFieldRows> sideLists_{};
    std::array<QLineEdit*, kFieldRows> edits_{};
    TagFormMarks marks_;

    QComboBox* formatList_ = nullptr;
    QComboBox* tagTypeList_ = nullptr;
    QListWidget* recentTags_ = nullptr;
    QLabel* rawData_ = nullptr;
    std::array<QPushButton*, 11> buttons_{};

    QPoint lastMouse_;
    bool leftButtonHeld_ = false;
    QPointer<QMenu> popup_;
};

} // namespace velmora
