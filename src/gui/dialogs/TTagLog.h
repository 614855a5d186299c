// "Tag Programming Log": the programmed tag log lines, newest first, in three
// columns. A modeless window; a tag logged while it is open becomes its top
// row.
#pragma once

#include "data/AEIData.h"
#include "data/TagLog.h"

#include <QDialog>

#include <functional>
#include <string>

class QTreeWidget;
class QPushButton;

namespace velmora {

// A tag log line split for the three columns.
struct TagLogColumns {
    std::string dateTime; // before the blank that precedes the first "-"
    std::string format;   // from two characters after the "-" up to the first ","
    std::string fields;   // after that ","
};
TagLogColumns SplitTagLogLine(const std::string& line);

class TTagLog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kListId = 998;
    static constexpr int kSaveColumnSizeId = 101;

    TTagLog(AEIData& data, const TagLogList& lines, std::function<void()> onClosed, QWidget* parent = nullptr);

    // Inserts the first n lines of the list as rows 0..n-1 (-1: all lines).
    void AddTagLogRows(int n);
    // Stores the widths of column positions 0..14 as width set 0.
    void SaveColumnSize();

    QTreeWidget* List() const { return list_; }
    QPushButton* SaveButton() const { return save_; }
    void ForgetOwner() { onClosed_ = nullptr; }

private:
    AEIData& data_;
    const TagLogList& lines_;
    std::function<void()> onClosed_;
    QTreeWidget* list_ = nullptr;
    QPushButton* save_ = nullptr;
};

} // namespace velmora
