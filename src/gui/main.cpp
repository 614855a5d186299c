#include "app/TAEIApp.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    velmora::TAEIApp app;
    app.InitMainWindow();
    return QApplication::exec();
}
