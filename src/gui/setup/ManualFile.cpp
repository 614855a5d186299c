#include "setup/ManualFile.h"

#include "app/MakerInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velmora {

QStringList ManualSourceDirectories() {
    QStringList dirs;
#ifdef VELMORA_MANUAL_BESIDE_PROGRAM
    const QString program = QCoreApplication::applicationDirPath();
    dirs << program + QLatin1Char('/');
#ifdef VELMORA_MANUAL_DOCDIR
    dirs << QDir::cleanPath(program + QStringLiteral("/../") + QStringLiteral(VELMORA_MANUAL_DOCDIR)) +
                QLatin1Char('/');
#endif
#endif
    return dirs;
}

bool InstallManual(const QStringList& sourceDirs, const QString& startDir) {
    const QString name = QString::fromLatin1(maker::kManualFileName);
    const QString target = startDir + name;
    if (QFileInfo::exists(target)) return true;
    for (const QString& dir : sourceDirs) {
        const QString source = dir + name;
        if (!QFileInfo(source).isFile()) continue;
        // Copied under a temporary name and renamed, so that a half-copied
        // manual never stands in the start directory.
        const QString temp = target + QStringLiteral(".tmp");
        QFile::remove(temp);
        if (!QFile::copy(source, temp)) return false;
        if (!QFile::rename(temp, target)) {
            QFile::remove(temp);
            return QFileInfo::exists(target);
        }
        return true;
    }
    return false;
}

} // namespace velmora
