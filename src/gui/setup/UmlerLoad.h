// "Load UMLER CD Data": the operator picks the UMLER text extract and the
// register is converted into the data file while a gauge titled "Loading
// UMLER %d%%" shows how far it has got. The conversion runs on a worker
// thread, so the window, the timer and the serial links go on while a large
// extract loads; Cancel stops it and leaves the previous data file as it was.
#pragma once

#include "data/AEIData.h"
#include "umler/UmlerLoader.h"

#include <QDialog>

#include <atomic>
#include <functional>
#include <optional>
#include <string>

class QProgressBar;
class QPushButton;
class QThread;

namespace velmora {

// The gauge: shown while one load runs, closed when it ends.
class TUmlerLoadGauge : public QDialog {
    Q_OBJECT
public:
    TUmlerLoadGauge(std::string extractPath, std::string dataPath, QWidget* parent = nullptr);
    ~TUmlerLoadGauge() override;

    // Starts the load (once); the dialog closes itself when it ends.
    void Start();
    // Cancel: asks the load to stop; the dialog closes when it has.
    void reject() override;

    QProgressBar* Gauge() const { return gauge_; }
    QPushButton* CancelButton() const { return cancel_; }
    bool Running() const { return thread_ != nullptr; }
    // The outcome once the dialog has closed.
    const UmlerLoadResult& Result() const { return result_; }
    // Every value the gauge has shown, in order (for the tests).
    const std::vector<int>& Shown() const { return shown_; }

signals:
    void progressed(int percent); // emitted by the worker

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowPercent(int percent);
    void Finished();

    std::string extract_;
    std::string dataPath_;
    QProgressBar* gauge_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QThread* thread_ = nullptr;
    std::atomic<bool> stop_{false};
    UmlerLoadResult result_;
    std::vector<int> shown_;
};

// The file-open dialog of the command ("UMLER Text Files (*.txt)", the file
// must exist, "Umler.txt" proposed), run by `run` (empty: exec). The chosen
// file, or nullopt on Cancel.
std::optional<std::string> ChooseUmlerExtract(QWidget* parent, const std::string& startDirectory,
                                              const std::function<int(QDialog&)>& run = {});

struct UmlerLoadServices {
    // The file-open dialog; nullopt on Cancel. Empty: ChooseUmlerExtract.
    std::function<std::optional<std::string>(QWidget* parent, const std::string& startDirectory)> chooseExtract;
    // Runs the gauge modally (empty: exec). Tests look at it while it runs.
    std::function<void(TUmlerLoadGauge& gauge)> runGauge;
};

// The whole command: the file dialog, the gauge and, when the load did not
// end cleanly, its message (error caption, stop icon). No message on success.
void LoadUmlerCommand(AEIData& data, QWidget* parent, const UmlerLoadServices& services = {});

} // namespace velmora
