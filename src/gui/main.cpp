#include "app/TAEIApp.h"
#include "setup/ManualFile.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kHelp =
    "Usage: velmora [--help] [--version]\n"
    "\n"
    "Programs, reads, checks and labels railway AEI tags with a tag programmer and\n"
    "a portable RF reader on serial ports.  Velmora keeps its options, tag log,\n"
    "UMLER data and labels in the folder it is started from.\n"
    "\n"
    "Comm Port 1 to Comm Port 4 are /dev/ttyS0 to /dev/ttyS3 unless the variables\n"
    "VELMORA_COM1 to VELMORA_COM4 name other devices.\n"
    "\n"
    "  --help     show this text\n"
    "  --version  show the version\n";

} // namespace

int main(int argc, char* argv[]) {
    // Answered before the window system is touched.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("velmora %s\n", VELMORA_VERSION);
        return 0;
    }
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    velmora::AppServices services;
    services.frame.manualDirs = velmora::ManualSourceDirectories(QCoreApplication::applicationDirPath(),
                                                                 QStringLiteral(VELMORA_MANUAL_DOCDIR));
    velmora::TAEIApp app(std::move(services));
    app.InitMainWindow();
    return QApplication::exec();
}
