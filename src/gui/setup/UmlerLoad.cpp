#include "setup/UmlerLoad.h"

#include "qt/QtOperator.h"
#include "umler/UmlerRecord.h"
#include "umler/UmlerTexts.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace velmora {

TUmlerLoadGauge::TUmlerLoadGauge(std::string extractPath, std::string dataPath, QWidget* parent)
    : QDialog(parent), extract_(std::move(extractPath)), dataPath_(std::move(dataPath)) {
    setWindowTitle(QStringLiteral("Load UMLER CD Data"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    gauge_ = new QProgressBar(this);
    gauge_->setObjectName(QStringLiteral("umlerGauge"));
    gauge_->setProperty("controlId", 2200);
    gauge_->setRange(0, 100);
    gauge_->setValue(0);
    gauge_->setMinimumSize(200, 40);
    gauge_->setTextVisible(true);
    gauge_->setAlignment(Qt::AlignCenter);
    // The gauge draws its title with its value: "Loading UMLER 42%".
    gauge_->setFormat(QStringLiteral("Loading UMLER %p%"));
    layout->addWidget(gauge_);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setAutoDefault(false);
    layout->addWidget(cancel_, 0, Qt::AlignHCenter);
    connect(cancel_, &QPushButton::clicked, this, &TUmlerLoadGauge::reject);
    connect(this, &TUmlerLoadGauge::progressed, this, &TUmlerLoadGauge::ShowPercent, Qt::QueuedConnection);
}

TUmlerLoadGauge::~TUmlerLoadGauge() {
    if (thread_) {
        stop_ = true;
        thread_->wait();
        delete thread_;
    }
}

void TUmlerLoadGauge::Start() {
    if (thread_) return;
    thread_ = QThread::create([this] {
        result_ = LoadUMLER(extract_, dataPath_, [this](int percent) {
            emit progressed(percent);
            return !stop_.load();
        });
    });
    connect(thread_, &QThread::finished, this, &TUmlerLoadGauge::Finished, Qt::QueuedConnection);
    thread_->start();
}

void TUmlerLoadGauge::ShowPercent(int percent) {
    if (percent < 0) percent = 0;
    if (percent > 100) percent = 100;
    gauge_->setValue(percent);
    gauge_->repaint();
    shown_.push_back(percent);
}

void TUmlerLoadGauge::reject() {
    if (!thread_) {
        QDialog::reject();
        return;
    }
    // The load stops at its next step; the dialog closes once it has.
    stop_ = true;
    cancel_->setEnabled(false);
}

void TUmlerLoadGauge::closeEvent(QCloseEvent* event) {
    if (thread_) {
        reject();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TUmlerLoadGauge::Finished() {
    if (!thread_) return;
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    if (result_.Ok()) {
        ShowPercent(100);
        QDialog::accept();
    } else {
        QDialog::reject();
    }
}

std::optional<std::string> ChooseUmlerExtract(QWidget* parent, const std::string& start,
                                              const std::function<int(QDialog&)>& run) {
    // Extracts come on a CD; the start directory is where the dialog begins
    // on systems without drive letters.
#ifdef Q_OS_WIN
    const QString dir = QStringLiteral("E:\\");
#else
    const QString dir = start.empty() ? QDir::currentPath() : QFile::decodeName(start.c_str());
#endif
    QFileDialog dialog(parent, QStringLiteral("Load UMLER CD Data"), dir, QStringLiteral("UMLER Text Files (*.txt)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.selectFile(QString::fromLatin1(kUmlerDefaultExtract));
    const int result = run ? run(dialog) : dialog.exec();
    if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}

void LoadUmlerCommand(AEIData& data, QWidget* parent, const UmlerLoadServices& services) {
    AEIData::OperationScope scope(data, "TAEIDec::CmLoadUMLER");
    const std::string start = data.StartDirectory();
    const std::optional<std::string> chosen =
        services.chooseExtract ? services.chooseExtract(parent, start) : ChooseUmlerExtract(parent, start);
    if (!chosen || chosen->empty()) return;

    TUmlerLoadGauge gauge(*chosen, start + kUmlerDataFileName, parent);
    gauge.Start();
    if (services.runGauge) services.runGauge(gauge);
    else gauge.exec();
    // A test's runner may return before the load has ended.
    while (gauge.Running()) {
        QThread::msleep(5);
        QCoreApplication::processEvents();
    }

    const std::string message = UmlerLoadMessage(gauge.Result());
    if (!message.empty())
        data.GetOperator().MessageBox(data.ErrorCaption(), message, MsgIcon::Stop, MsgButtons::Ok);
}

} // namespace velmora
