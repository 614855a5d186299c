// "Import List": the lines of the fleet list the operator opened, one row
// each with its state, the counts, a progress bar and the line on the form
// highlighted. A modeless window owned by the frame; a double-click puts a
// line on the form.
#pragma once

#include "tagwindow/ImportSession.h"

#include <QDialog>

#include <functional>

class QLabel;
class QProgressBar;
class QTreeWidget;

namespace velmora {

class TImportList : public QDialog {
    Q_OBJECT
public:
    TImportList(const ImportSession& session, std::function<void(int)> fillLine, std::function<void()> onClosed,
                QWidget* parent = nullptr);

    // Shows the session as it stands.
    void Refresh();

    QTreeWidget* List() const { return list_; }
    QLabel* CountsLabel() const { return counts_; }
    QProgressBar* Progress() const { return progress_; }
    void ForgetOwner() { onClosed_ = nullptr; }

private:
    const ImportSession& session_;
    std::function<void(int)> fillLine_;
    std::function<void()> onClosed_;
    QTreeWidget* list_ = nullptr;
    QLabel* counts_ = nullptr;
    QProgressBar* progress_ = nullptr;
};

// The state column of a line: "waiting", "programmed 12/07/2026 04:20",
// "failed: reason", "refused: reason", with a note for a vehicle already in
// the tag log.
std::string ImportLineStateText(const ImportLine& line);

} // namespace velmora
