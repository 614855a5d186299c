#include "app/TAEIApp.h"

#include "app/FrameTexts.h"
#include "app/MakerInfo.h"
#include "data/OptionsFile.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace velmora {

namespace {

// The program's icon: a tag with its antenna.
QIcon AppIcon() {
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 20, 20), 2));
    p.setBrush(QColor(230, 190, 40));
    p.drawRoundedRect(6, 16, 52, 32, 6, 6);
    p.setPen(QPen(QColor(30, 60, 140), 3));
    p.drawLine(14, 32, 50, 32);
    p.drawLine(14, 24, 14, 40);
    p.drawLine(50, 24, 50, 40);
    return QIcon(pm);
}

} // namespace

TAEIApp::TAEIApp(AppServices services) : services_(std::move(services)) {}

TAEIApp::~TAEIApp() {
    frame_.reset();
    data_.reset();
}

void TAEIApp::InitMainWindow() {
    Operator* op = services_.op;
    if (!op) {
        ownOperator_ = std::make_unique<QtOperator>();
        op = ownOperator_.get();
    }
    Clock* clock = services_.clock;
    if (!clock) {
        ownClock_ = std::make_unique<SystemClock>();
        clock = ownClock_.get();
    }

    // 1. The data object with its defaults, then the options file.
    data_ = std::make_unique<AEIData>(*op, *clock);
    LoadOptions(*data_, kOptionsFileName);

    // 2. The start directory: the working directory with a separator at its
    // end, kept whole however long it is.
    std::string start = QDir::currentPath().toLocal8Bit().toStdString();
    if (start.empty() || start.back() != '/') start += '/';
    data_->SetStartDirectory(start);

    // 3. Help is available on every platform this runs on.
    helpAvailable_ = true;

    // 4. Market region and version text.
    data_->SetMarketRegion(kRegionNorthAmerica);
    data_->SetVersionText(VersionText(MarketRegionName(kRegionNorthAmerica)));

    // 5. Log and import file names without a folder get the start directory,
    // when the completed name still fits the options file's 119 characters
    // (a shorter name is found in the start directory all the same).
    const std::string log = CompleteFileName(data_->TagLogFileName(), start);
    if (log.size() < kFileNameWidth) data_->SetTagLogFileName(log);
    const std::string import = CompleteFileName(data_->ImportTagFileName(), start);
    if (import.size() < kFileNameWidth) data_->SetImportTagFileName(import);

    // 8. Captions.
    data_->SetProductCaption(ProductCaptionText(kProductCaptionDefault, data_->VersionText()));
    title_ = FrameTitleText(data_->ProductCaption(), maker::kWebAddress);

    // 6, 9, 10. The frame with its bars and the tag window as its client.
    FrameServices fs = services_.frame;
    if (!fs.portFactory) {
        ownPorts_ = std::make_unique<PosixCommPortFactory>();
        fs.portFactory = ownPorts_.get();
    }
    frame_ = std::make_unique<TAEIDec>(*data_, std::move(fs));
    frame_->setWindowTitle(FromCoreText(title_));
    frame_->setWindowIcon(AppIcon());
    if (ownOperator_) {
        ownOperator_->SetParentWidget(frame_.get());
        TAEIDec* frame = frame_.get();
        ownOperator_->SetPromptSink([frame](const std::string& text, int blink) { frame->ShowPrompt(text, blink); });
        QObject::connect(ownOperator_.get(), &QtOperator::notificationDelivered, frame,
                         [frame](int code) { frame->HandleNotification(code); });
    }

    // 7, 11. Shown maximized as the main window, then its set-up.
    if (services_.showWindow) {
        // Without a window manager "maximized" means nothing: the frame then
        // takes the screen's free area itself.
        if (QScreen* screen = QGuiApplication::primaryScreen()) frame_->setGeometry(screen->availableGeometry());
        frame_->showMaximized();
    }
    frame_->SetupWindow();
}

} // namespace velmora
